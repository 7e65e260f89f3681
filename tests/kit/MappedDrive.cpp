#include "tests/kit/MappedDrive.h"

#include "tests/kit/UnixBridge.h"

MappedDrive::MappedDrive(const std::string& candidates, const std::string& windowsFolder)
{
    std::string devices = ToUnixPath("C:\\");  // ".../dosdevices/c:/"
    while (!devices.empty() && devices.back() == '/') devices.pop_back();
    if (devices.size() < 3 || devices.compare(devices.size() - 3, 3, "/c:") != 0) return;
    devices.resize(devices.size() - 2);
    for (char candidate : candidates) {
        std::string link = devices + static_cast<char>(candidate - 'A' + 'a') + ":";
        if (RunUnixShell("[ ! -e \"$2\" ] && [ ! -L \"$2\" ] && ln -s \"$1\" \"$2\"",
                         {ToUnixPath(windowsFolder), link}) == 0) {
            Link = link;
            Letter = candidate;
            return;
        }
    }
}

MappedDrive::~MappedDrive()
{
    if (!Link.empty()) RunUnixShell("rm -f \"$1\"", {Link});
}
