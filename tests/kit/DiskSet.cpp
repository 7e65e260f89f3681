#include "tests/kit/DiskSet.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>

const char* const NewDiskTitle = "New Disk Required";
const std::string PromptDisk1 = "New Disk Required|Place Program Disk 1 in Drive A";
const std::string PromptDisk2 = "New Disk Required|Place Program Disk 2 in Drive A";
const Lines Subdirectories = {"CANADA", "CCIR", "CRANE", "LOOKUP", "TSDATA", "USER_DLL"};
const Lines AllLists = {"disk_1.lst",  "disk_2.lst",  "disk_2e.lst", "disk_2f.lst",
                        "disk_2a.lst", "disk_2b.lst", "disk_2c.lst", "disk_2d.lst"};

std::string SampleBytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::string Compress(const std::string& data)
{
    std::string image("SZDD\x88\xF0\x27\x33", 8);
    image += 'A';
    image += '\0';
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) image += static_cast<char>((size >> (8 * i)) & 0xFF);
    // Each control byte announces eight literals (bits set, lowest first).
    for (std::size_t i = 0; i < data.size(); i += 8) {
        image += '\xFF';
        image += data.substr(i, 8);
    }
    return image;
}

std::string CompressedFileName(const std::string& installed)
{
    std::string name = installed;
    if (!name.empty()) name.back() = '_';
    return name;
}

bool WriteCompressed(const std::string& directory, const std::string& installed, const std::string& data)
{
    std::string image = Compress(data);
    image[9] = installed.empty() ? '\0' : installed.back();
    return WriteFileBytes(Join(directory, CompressedFileName(installed)), image);
}

std::string ListText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

const std::vector<SetFile> StandardFiles = {
    {1, "", "TSW.EXE", "Tessaryn 3.0", 3000},
    {1, "", "TSW.HLP", "", 1200},
    {2, "", "TSWDB.DLL", "", 2000},
    {2, "", "RAINCALC.EXE", "Rain Calculator", 1500},
    {2, "LOOKUP", "LOOKUP1.TBL", "", 900},
    {2, "LOOKUP", "LOOKUP2.TBL", "", 2500},
    {2, "LOOKUP", "LOOKUP3.TBL", "", 700},
    {2, "USER_DLL", "USERDB.DOC", "", 1100},
    {2, "CRANE", "CRANE1.RN", "", 800},
    {2, "CCIR", "CCIR1.RN", "", 800},
    {2, "CANADA", "CANADA1.RN", "", 800},
    {2, "TSDATA", "EXAMPLE1.DAT", "", 800},
};

const char* ListFor(int disk, const std::string& folder)
{
    if (folder.empty()) return disk == 1 ? "disk_1.lst" : "disk_2.lst";
    static const std::map<std::string, const char*> lists = {
        {"LOOKUP", "disk_2e.lst"}, {"USER_DLL", "disk_2f.lst"}, {"CRANE", "disk_2a.lst"},
        {"CCIR", "disk_2b.lst"},   {"CANADA", "disk_2c.lst"},   {"TSDATA", "disk_2d.lst"},
    };
    return lists.at(folder);
}

std::string InstalledPath(const SetFile& file)
{
    return file.Folder.empty() ? file.Name : file.Folder + "\\" + file.Name;
}

std::string DiskSet::CompressedPath(const std::string& installed, int disk) const
{
    return Join(disk == 1 ? Disk1 : Disk2, CompressedFileName(installed));
}

FileMap DiskSet::Complete() const
{
    FileMap tree = Installed;
    for (const std::string& sub : Subdirectories) tree[sub + "\\"] = FolderMark;
    return tree;
}

DiskSet MakeDiskSet(const std::string& folder, int version, const std::vector<SetFile>& files)
{
    DiskSet set;
    set.Disk1 = Join(folder, "disk1");
    set.Disk2 = Join(folder, "disk2");
    EXPECT_TRUE(MakeDirectories(set.Disk1) && MakeDirectories(set.Disk2)) << folder;
    std::vector<std::pair<std::string, Lines>> lists;  // list path, entry lines; in first-use order
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SetFile& file = files[i];
        std::string directory = file.Disk == 1 ? set.Disk1 : set.Disk2;
        if (!file.Folder.empty()) directory = Join(directory, file.Folder);
        MakeDirectories(directory);
        std::string data = "version " + std::to_string(version) + " of " + file.Name + "\r\n";
        data += SampleBytes(file.Size, static_cast<unsigned>(version * 1000 + i));
        EXPECT_TRUE(WriteCompressed(directory, file.Name, data)) << file.Name;
        set.Installed[InstalledPath(file)] = data;

        std::string list = Join(directory, ListFor(file.Disk, file.Folder));
        auto it = std::find_if(lists.begin(), lists.end(), [&](const auto& l) { return l.first == list; });
        if (it == lists.end()) it = lists.insert(lists.end(), {list, Lines()});
        it->second.push_back(file.Title.empty() ? file.Name : file.Name + " " + file.Title);
    }
    for (const auto& list : lists) {
        Lines text = {std::to_string(list.second.size())};
        text.insert(text.end(), list.second.begin(), list.second.end());
        EXPECT_TRUE(WriteFileBytes(list.first, ListText(text))) << list.first;
    }
    return set;
}

