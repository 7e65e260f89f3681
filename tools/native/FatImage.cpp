#include "tools/native/FatImage.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
// An image larger than this holds no FAT12 or FAT16 floppy or small disk.
constexpr std::size_t kMaxImageBytes = 64u << 20;
constexpr std::size_t kEntryBytes = 32;
// Deeper folders, or more entries, than any disk of these sizes holds come
// from a folder that refers back to one above it.
constexpr int kMaxDepth = 32;
constexpr std::size_t kMaxNodes = 1u << 16;
// FAT12 has fewer clusters than this, FAT16 fewer than the second.
constexpr std::uint32_t kFat12Clusters = 4085;
constexpr std::uint32_t kFat16Clusters = 65525;

enum Attribute : unsigned char { ReadOnlyBit = 0x01, VolumeLabel = 0x08, FolderBit = 0x10, LongNamePart = 0x0F };

std::uint16_t Word(const unsigned char* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }
std::uint32_t Long(const unsigned char* at) { return Word(at) | static_cast<std::uint32_t>(Word(at + 2)) << 16; }

// A FAT date and time is a local time without a zone. The release's images
// are written in UTC (tools/make_disk_set.py), so it is read as UTC: the
// file then has the instant its release file had, whatever this machine's
// zone. The month counts from 1, the C library's from 0.
std::time_t FatTime(std::uint16_t date, std::uint16_t time)
{
    std::tm when = {};
    when.tm_year = 80 + (date >> 9);
    when.tm_mon = std::max(1, (date >> 5) & 0x0F) - 1;
    when.tm_mday = std::max(1, date & 0x1F);
    when.tm_hour = time >> 11;
    when.tm_min = (time >> 5) & 0x3F;
    when.tm_sec = (time & 0x1F) * 2;
    return timegm(&when);
}

// "NAME.EXT" from an entry's 11 name bytes; empty for a name no FAT driver
// writes (a separator or a control character in it). Bytes from 0x80 up, an
// OEM code page's letters, are shown as the Latin-1 characters of that value.
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
        if (c < 0x20 || c == '/' || c == 0x7F) return std::string();
        if (c < 0x80) {
            name += static_cast<char>(c);
        } else {
            name += static_cast<char>(0xC0 | c >> 6);
            name += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
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
    const std::size_t rootStart = FatStart + std::size_t{fatCount} * fatSectors * sectorSize;
    const std::size_t rootBytes = std::size_t{rootEntries} * kEntryBytes;
    DataStart = rootStart + (rootBytes + sectorSize - 1) / sectorSize * sectorSize;
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
    ReadFolder(0, Bytes.data() + rootStart, rootEntries, 0);
    return true;
}

std::uint32_t FatImage::NextCluster(std::uint32_t cluster) const
{
    const unsigned char* fat = Bytes.data() + FatStart;
    if (!Fat12) return Word(fat + std::size_t{cluster} * 2);
    const std::uint16_t pair = Word(fat + std::size_t{cluster} * 3 / 2);
    return cluster & 1 ? pair >> 4 : pair & 0x0FFF;
}

std::vector<std::uint32_t> FatImage::Chain(std::uint32_t first) const
{
    // A chain ends at its end mark, or where it leaves the disk's clusters;
    // one longer than the disk has clusters has looped.
    std::vector<std::uint32_t> chain;
    for (std::uint32_t cluster = first; cluster >= 2 && cluster < Clusters + 2 && chain.size() < Clusters;
         cluster = NextCluster(cluster))
        chain.push_back(cluster);
    return chain;
}

std::uint32_t FatImage::FreeClusters() const
{
    std::uint32_t free = 0;
    for (std::uint32_t cluster = 2; cluster < Clusters + 2; ++cluster) free += NextCluster(cluster) == 0;
    return free;
}

void FatImage::ReadFolder(std::size_t folder, const unsigned char* entries, std::size_t count, int depth)
{
    for (std::size_t i = 0; i < count && Nodes.size() < kMaxNodes; ++i) {
        const unsigned char* entry = entries + i * kEntryBytes;
        if (entry[0] == 0x00) break;  // no entries after this one
        const unsigned char attributes = entry[11];
        if (entry[0] == 0xE5 || entry[0] == '.' || (attributes & LongNamePart) == LongNamePart ||
            (attributes & VolumeLabel))
            continue;
        Node node;
        node.Name = EntryName(entry);
        if (node.Name.empty()) continue;
        node.Folder = attributes & FolderBit;
        node.ReadOnly = attributes & ReadOnlyBit;
        node.Modified = FatTime(Word(entry + 24), Word(entry + 22));
        node.Clusters = Chain(Word(entry + 26));
        const std::uint64_t held = std::uint64_t{node.Clusters.size()} * ClusterSize;
        node.Size = node.Folder ? held : std::min<std::uint64_t>(Long(entry + 28), held);
        if (node.Folder && depth >= kMaxDepth) continue;
        const std::size_t index = Nodes.size();
        Nodes.push_back(node);
        Nodes[folder].Children.push_back(index);
        if (node.Folder) {
            std::vector<unsigned char> data(node.Size);
            Read(Nodes[index], 0, reinterpret_cast<char*>(data.data()), data.size());
            ReadFolder(index, data.data(), data.size() / kEntryBytes, depth + 1);
        }
    }
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
