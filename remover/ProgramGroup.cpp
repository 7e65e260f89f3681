#include "remover/ProgramGroup.h"

#include "engine/plain/InstallRecord.h"
#include "framework/UniqueHandle.h"
#include "remover/plain/RemovalPlan.h"

#include <cstring>

namespace {
constexpr DWORD Timeout = 5000;
// A group's contents as Program Manager gives them; a larger answer is not read.
char Contents[8192];

HDDEDATA CALLBACK Ignore(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

class ProgmanConversation {
public:
    ProgmanConversation()
    {
        DWORD instance = 0;
        if (::DdeInitializeA(&instance, Ignore, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return;
        Instance.Reset(instance);
        Service.Reset({instance, ::DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI)});
        Group.Reset({instance, ::DdeCreateStringHandleA(instance, kRecordedProductName, CP_WINANSI)});
        if (Service.IsValid() && Group.IsValid())
            Conversation = ::DdeConnect(instance, Service.Get().String, Service.Get().String, nullptr);
    }
    ~ProgmanConversation()
    {
        if (Conversation) ::DdeDisconnect(Conversation);
    }
    ProgmanConversation(const ProgmanConversation&) = delete;
    ProgmanConversation& operator=(const ProgmanConversation&) = delete;

    // True when Program Manager took the command (the length sent counts its
    // NUL). Its answer, taken or refused, sets the result's flags: where it
    // stays as it was, Program Manager did not answer in time.
    bool Execute(const char* command)
    {
        Result = NoAnswer;
        return Conversation &&
               ::DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command)),
                                      static_cast<DWORD>(std::strlen(command) + 1), Conversation, nullptr, CF_TEXT,
                                      XTYP_EXECUTE, Timeout, &Result);
    }
    bool Answered() const { return Result != NoAnswer; }

    // The group's contents into Contents; false when Program Manager gives
    // none (it has no such group, or does not answer) or more than fits. The
    // data handle goes with the instance.
    bool ReadGroup()
    {
        const HDDEDATA data = Conversation ? ::DdeClientTransaction(nullptr, 0, Conversation, Group.Get().String,
                                                                    CF_TEXT, XTYP_REQUEST, Timeout, nullptr)
                                           : nullptr;
        const DWORD length = data ? ::DdeGetData(data, reinterpret_cast<LPBYTE>(Contents), sizeof Contents - 1, 0) : 0;
        Contents[length] = '\0';
        return length > 0 && length < sizeof Contents - 1;
    }

private:
    TDdeInstance Instance;
    TDdeString Service;
    TDdeString Group;
    HCONV Conversation = nullptr;
    static constexpr DWORD NoAnswer = 0xFFFFFFFFu;
    DWORD Result = NoAnswer;
};

}

GroupFate RemoveProgramGroup(bool common, bool registered, const char* folder)
{
    ProgmanConversation progman;
    if (!registered) {
        if (!progman.ReadGroup()) return GroupFate::Left;
        if (!OnlyItemsOf(Contents, folder)) return GroupFate::Shared;
    }
    if (progman.Execute(DeleteGroupCommand(common))) return GroupFate::Removed;
    // Refused: gone already (a removal taken up again) when Program Manager
    // has no such group to list.
    return !progman.Answered() || progman.ReadGroup() ? GroupFate::Left : GroupFate::Removed;
}
