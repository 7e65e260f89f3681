#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// A FAT12 or FAT16 disk image (a floppy) read whole into memory and never
// written: its folders and files with their sizes, dates and attributes, as
// the disk's directory entries give them. An image that a FAT driver would
// call damaged is refused whole, the reason naming the file or folder: a
// cluster chain that loops, ends short of its size, leaves the disk or meets
// another's; a folder that refers back to one above it; a date no driver
// writes; a name Windows cannot open, or one a folder holds twice.
class FatImage {
public:
    struct Node {
        std::string Name;            // the 8.3 name as the disk holds it, "NAME.EXT"
        bool Folder = false;
        bool ReadOnly = false;
        std::uint64_t Size = 0;      // the bytes a read yields
        std::time_t Modified = 0;
        std::vector<std::uint32_t> Clusters;  // its data on the disk, in order
        std::vector<std::size_t> Children;    // a folder's entries: indexes of Nodes
        std::size_t Parent = 0;
    };

    // Reads the image; false, with the reason in Error(), when it holds no
    // FAT12 or FAT16 file system or a damaged one.
    bool Load(const std::string& path);
    const std::string& Error() const { return Problem; }

    // The node at a path below the root ("/", "/SETUP/TSINST95.EXE"), or null.
    const Node* Find(const char* path) const;
    const Node& At(std::size_t index) const { return Nodes[index]; }
    std::size_t NodeCount() const { return Nodes.size(); }

    // Copies up to `size` bytes of a file from `offset`; returns the count.
    std::size_t Read(const Node& file, std::uint64_t offset, char* buffer, std::size_t size) const;

    std::uint32_t ClusterBytes() const { return ClusterSize; }
    std::uint32_t ClusterCount() const { return Clusters; }
    std::uint32_t FreeClusters() const;

private:
    std::uint32_t NextCluster(std::uint32_t cluster) const;
    bool TakeChain(std::size_t node, std::uint32_t first);
    bool ReadFolder(std::size_t folder);
    const unsigned char* FolderEntry(const Node& folder, std::size_t index) const;
    std::string PathOf(std::size_t node) const;
    bool Damaged(std::size_t node, const std::string& why);
    bool Fail(const std::string& why);

    std::vector<unsigned char> Bytes;
    std::vector<Node> Nodes;  // the root first
    std::string Problem;
    std::vector<std::uint32_t> Owners;  // while loading: the node each cluster belongs to, 0 for none
    std::size_t FatStart = 0;
    std::size_t RootStart = 0;
    std::size_t RootEntries = 0;
    std::size_t DataStart = 0;
    std::uint32_t ClusterSize = 0;
    std::uint32_t Clusters = 0;  // data clusters, numbered from 2
    bool Fat12 = true;
};
