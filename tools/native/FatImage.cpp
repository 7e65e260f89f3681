#include "tools/native/FatImage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

namespace {
// An image larger than this holds no FAT12 or FAT16 floppy or small disk.
constexpr std::size_t kMaxImageBytes = 64u << 20;
constexpr std::size_t kEntryBytes = 32;
// A FAT driver keeps a folder to this many entries (2 MB of them).
constexpr std::size_t kMaxFolderEntries = 65536;
// The longest path Windows opens, "A:" and the closing NUL included.
constexpr std::size_t kMaxPath = 260;
// FAT12 has fewer clusters than this, FAT16 fewer than the second.
constexpr std::uint32_t kFat12Clusters = 4085;
constexpr std::uint32_t kFat16Clusters = 65525;

enum Attribute : unsigned char { ReadOnlyBit = 0x01, VolumeLabel = 0x08, FolderBit = 0x10, LongNamePart = 0x0F };

std::uint16_t Word(const unsigned char* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }
std::uint32_t Long(const unsigned char* at) { return Word(at) | static_cast<std::uint32_t>(Word(at + 2)) << 16; }

// A FAT date and time as a FAT driver writes them: a day the month has, a
// time of day to 23:59:58.
bool DriverWrites(std::uint16_t date, std::uint16_t time)
{
    static const unsigned char kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const unsigned year = 1980 + (date >> 9), month = (date >> 5) & 0x0F, day = date & 0x1F;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] || (month == 2 && day == 29 && !leap))
        return false;
    return (time >> 11) < 24 && ((time >> 5) & 0x3F) < 60 && (time & 0x1F) < 30;
}

std::string DateText(std::uint16_t date, std::uint16_t time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980u + (date >> 9), (date >> 5) & 0x0Fu,
                  date & 0x1Fu, time >> 11u, (time >> 5) & 0x3Fu, (time & 0x1Fu) * 2);
    return text;
}

// A FAT date and time is a local time without a zone. The release's images
// are written in UTC (tools/make_disk_set.py), so it is read as UTC: the
// file then has the instant its release file had, whatever this machine's
// zone. The month counts from 1, the C library's from 0.
std::time_t FatTime(std::uint16_t date, std::uint16_t time)
{
    std::tm when = {};
    when.tm_year = 80 + (date >> 9);
    when.tm_mon = ((date >> 5) & 0x0F) - 1;
    when.tm_mday = date & 0x1F;
    when.tm_hour = time >> 11;
    when.tm_min = (time >> 5) & 0x3F;
    when.tm_sec = (time & 0x1F) * 2;
    return timegm(&when);
}

// "NAME.EXT" from an entry's 11 name bytes. Bytes from 0x80 up, an OEM code
// page's letters, are shown as the Latin-1 characters of that value.
std::string EntryName(const unsigned char* entry)
{
    auto part = [](const unsigned char* begin, std::size_t length) {
        while (length > 0 && begin[length - 1] == ' ') --length;
        return std::string(reinterpret_cast<const char*>(begin), length);
    };
    std::string raw = part(entry, 8);
    const std::string extension = part(entry + 8, 3);
    if (!extension.empty()) raw += "." + extension;
    if (!raw.empty() && static_cast<unsigned char>(raw[0]) == 0x05) raw[0] = static_cast<char>(0xE5);
    std::string name;
    for (unsigned char c : raw) {
        if (c < 0x80) {
            name += static_cast<char>(c);
        } else {
            name += static_cast<char>(0xC0 | c >> 6);
            name += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return name;
}

// Whether Windows can open a file of this name: no control character and
// none of the characters its paths give a meaning to.
bool WindowsOpens(const std::string& name)
{
    if (name.empty()) return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c)) return false;
    return true;
}

// The name as the case-blind lookup of Windows compares it.
std::string Folded(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}
}

bool FatImage::Fail(const std::string& why)
{
    Problem = why;
    Bytes.clear();
    Nodes.clear();
    return false;
}

bool FatImage::Damaged(std::size_t node, const std::string& why)
{
    // A name refused for its control bytes reaches a terminal: each shown as
    // \xNN, a NUL too, which would cut the reason short.
    std::string shown;
    for (unsigned char c : "is damaged: " + PathOf(node) + " " + why) {
        if (c >= 0x20 && c != 0x7F) {
            shown += static_cast<char>(c);
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        shown += escaped;
    }
    return Fail(shown);
}

std::string FatImage::PathOf(std::size_t node) const
{
    std::string path;
    for (; node != 0; node = Nodes[node].Parent) path = "/" + Nodes[node].Name + path;
    return path.empty() ? "/" : path;
}

bool FatImage::Load(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return Fail("cannot be opened");
    Bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) return Fail("cannot be read");
    if (Bytes.size() < 512 || Bytes.size() > kMaxImageBytes) return Fail("is not the size of a FAT12 or FAT16 disk");

    // The BIOS parameter block of the boot sector.
    const unsigned char* boot = Bytes.data();
    const std::uint32_t sectorSize = Word(boot + 11);
    const std::uint32_t sectorsPerCluster = boot[13];
    const std::uint32_t reservedSectors = Word(boot + 14);
    const std::uint32_t fatCount = boot[16];
    const std::uint32_t rootEntries = Word(boot + 17);
    const std::uint32_t totalSectors = Word(boot + 19) ? Word(boot + 19) : Long(boot + 32);
    const std::uint32_t fatSectors = Word(boot + 22);
    const bool powerOfTwo = sectorsPerCluster && !(sectorsPerCluster & (sectorsPerCluster - 1));
    if (sectorSize < 512 || sectorSize > 4096 || (sectorSize & (sectorSize - 1)) || !powerOfTwo ||
        reservedSectors == 0 || fatCount == 0 || fatSectors == 0 || totalSectors == 0)
        return Fail("holds no FAT12 or FAT16 boot sector");

    FatStart = std::size_t{reservedSectors} * sectorSize;
    RootStart = FatStart + std::size_t{fatCount} * fatSectors * sectorSize;
    RootEntries = rootEntries;
    const std::size_t rootBytes = std::size_t{rootEntries} * kEntryBytes;
    DataStart = RootStart + (rootBytes + sectorSize - 1) / sectorSize * sectorSize;
    const std::size_t diskBytes = std::size_t{totalSectors} * sectorSize;
    if (DataStart >= diskBytes || diskBytes > Bytes.size())
        return Fail("is shorter than the file system its boot sector describes");
    ClusterSize = sectorsPerCluster * sectorSize;
    Clusters = static_cast<std::uint32_t>((diskBytes - DataStart) / ClusterSize);
    if (Clusters >= kFat16Clusters) return Fail("holds a FAT32 file system");
    Fat12 = Clusters < kFat12Clusters;
    // Every cluster's entry, and the two reserved ones, lie in the first FAT.
    const std::size_t fatBytes = std::size_t{fatSectors} * sectorSize;
    if ((Fat12 ? (Clusters + 2) * 3 / 2 + 1 : (Clusters + 2) * 2) > fatBytes)
        return Fail("has a FAT too small for its clusters");

    Nodes.assign(1, Node());
    Nodes[0].Folder = true;
    Owners.assign(std::size_t{Clusters} + 2, 0);
    const bool sound = ReadFolder(0);
    std::vector<std::uint32_t>().swap(Owners);
    return sound;
}

std::uint32_t FatImage::NextCluster(std::uint32_t cluster) const
{
    const unsigned char* fat = Bytes.data() + FatStart;
    if (!Fat12) return Word(fat + std::size_t{cluster} * 2);
    const std::uint16_t pair = Word(fat + std::size_t{cluster} * 3 / 2);
    return cluster & 1 ? pair >> 4 : pair & 0x0FFF;
}

// Gives the node the clusters of the chain from `first`, each cluster to one
// node only: a cluster met again is a loop, a cross-link, or a folder that
// refers back to one above it.
bool FatImage::TakeChain(std::size_t node, std::uint32_t first)
{
    const bool folder = Nodes[node].Folder;
    if (first == 0) return !folder || Damaged(node, "refers back to the root folder above it");
    const std::uint32_t endMark = Fat12 ? 0xFF8 : 0xFFF8;
    std::uint32_t from = 0;
    for (std::uint32_t cluster = first; cluster < endMark; from = cluster, cluster = NextCluster(cluster)) {
        const std::string at = "cluster " + std::to_string(cluster);
        if (cluster < 2 || cluster >= Clusters + 2)
            return Damaged(node, (from ? "has cluster " + std::to_string(from) + " leading to " : "starts at ") + at +
                                     ", outside the disk's data");
        const std::uint32_t owner = Owners[cluster];
        if (owner == node) return Damaged(node, "has a cluster chain that loops back to " + at);
        if (owner != 0) {
            for (std::size_t above = Nodes[node].Parent; folder && above != 0; above = Nodes[above].Parent)
                if (above == owner) return Damaged(node, "refers back to " + PathOf(owner) + ", a folder above it");
            return Damaged(node, "shares " + at + " with " + PathOf(owner));
        }
        Owners[cluster] = static_cast<std::uint32_t>(node);
        Nodes[node].Clusters.push_back(cluster);
    }
    return true;
}

std::uint32_t FatImage::FreeClusters() const
{
    std::uint32_t free = 0;
    for (std::uint32_t cluster = 2; cluster < Clusters + 2; ++cluster) free += NextCluster(cluster) == 0;
    return free;
}

const unsigned char* FatImage::FolderEntry(const Node& folder, std::size_t index) const
{
    const std::size_t offset = index * kEntryBytes;
    if (&folder == &Nodes[0]) return Bytes.data() + RootStart + offset;
    const std::uint32_t cluster = folder.Clusters[offset / ClusterSize];
    return Bytes.data() + DataStart + std::size_t{cluster - 2} * ClusterSize + offset % ClusterSize;
}

bool FatImage::ReadFolder(std::size_t folder)
{
    const std::size_t count = folder == 0 ? RootEntries : Nodes[folder].Size / kEntryBytes;
    if (count > kMaxFolderEntries) return Damaged(folder, "holds more entries than a FAT folder can");
    const std::size_t pathLength = folder == 0 ? 0 : PathOf(folder).size();
    std::set<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = FolderEntry(Nodes[folder], i);
        if (entry[0] == 0x00) break;  // no entries after this one
        const unsigned char attributes = entry[11];
        if (entry[0] == 0xE5 || (attributes & LongNamePart) == LongNamePart || (attributes & VolumeLabel) ||
            std::memcmp(entry, ".          ", 11) == 0 || std::memcmp(entry, "..         ", 11) == 0)
            continue;
        const std::size_t index = Nodes.size();
        Nodes.emplace_back();
        Nodes[folder].Children.push_back(index);
        Node& node = Nodes[index];
        node.Name = EntryName(entry);
        node.Parent = folder;
        node.Folder = attributes & FolderBit;
        node.ReadOnly = attributes & ReadOnlyBit;
        const std::uint16_t date = Word(entry + 24), time = Word(entry + 22);
        if (!WindowsOpens(node.Name)) return Damaged(index, "has a name Windows cannot open");
        if (2 + pathLength + 1 + node.Name.size() >= kMaxPath)
            return Damaged(index, "lies deeper than the longest path Windows opens");
        if (!names.insert(Folded(node.Name)).second) return Damaged(index, "is a second entry of that name");
        if (!DriverWrites(date, time))
            return Damaged(index, "is dated " + DateText(date, time) + ", a date no FAT driver writes");
        node.Modified = FatTime(date, time);
        if (!TakeChain(index, Word(entry + 26))) return false;
        const std::uint64_t clusters = Nodes[index].Clusters.size();
        if (Nodes[index].Folder) {
            Nodes[index].Size = clusters * ClusterSize;
            if (!ReadFolder(index)) return false;
            continue;
        }
        const std::uint32_t size = Long(entry + 28);
        if (clusters != (std::uint64_t{size} + ClusterSize - 1) / ClusterSize)
            return Damaged(index, "is " + std::to_string(size) + " bytes long, but its cluster chain holds " +
                                      std::to_string(clusters * ClusterSize));
        Nodes[index].Size = size;
    }
    return true;
}

const FatImage::Node* FatImage::Find(const char* path) const
{
    if (Nodes.empty()) return nullptr;
    const Node* node = &Nodes[0];
    while (*path) {
        while (*path == '/') ++path;
        const std::size_t length = std::strcspn(path, "/");
        if (length == 0) break;
        const Node* child = nullptr;
        for (std::size_t index : node->Children)
            if (Nodes[index].Name.size() == length && Nodes[index].Name.compare(0, length, path, length) == 0) {
                child = &Nodes[index];
                break;
            }
        if (!child) return nullptr;
        node = child;
        path += length;
    }
    return node;
}

std::size_t FatImage::Read(const Node& file, std::uint64_t offset, char* buffer, std::size_t size) const
{
    if (offset >= file.Size) return 0;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, file.Size - offset));
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        const std::uint32_t cluster = file.Clusters[at / ClusterSize];
        const std::size_t within = at % ClusterSize;
        const std::size_t part = std::min<std::size_t>(size - done, ClusterSize - within);
        std::memcpy(buffer + done, Bytes.data() + DataStart + std::size_t{cluster - 2} * ClusterSize + within, part);
        done += part;
    }
    return done;
}
