#include "remover/ProgramGroup.h"

#include "framework/UniqueHandle.h"
#include "remover/plain/RemovalPlan.h"

namespace {
constexpr DWORD ExecuteTimeout = 5000;

HDDEDATA CALLBACK Ignore(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}
}

bool DeleteProgramGroup(bool common)
{
    DWORD instance = 0;
    if (::DdeInitializeA(&instance, Ignore, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
    TDdeInstance owner(instance);
    TDdeString service({instance, ::DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI)});
    if (!service.IsValid()) return false;
    HCONV conversation = ::DdeConnect(instance, service.Get().String, service.Get().String, nullptr);
    if (!conversation) return false;
    std::string command = DeleteGroupCommand(common);
    // Program Manager refuses to delete a group it does not have: the group
    // is gone either way. The length sent counts the terminating NUL.
    ::DdeClientTransaction(reinterpret_cast<LPBYTE>(&command[0]), static_cast<DWORD>(command.size() + 1),
                           conversation, nullptr, CF_TEXT, XTYP_EXECUTE, ExecuteTimeout, nullptr);
    ::DdeDisconnect(conversation);
    return true;
}
