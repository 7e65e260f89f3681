// Shows a floppy image read-only at a folder of this machine, through FUSE,
// so that Wine can present it as the disk in drive A:. Each file carries the
// date its directory entry gives (fusefat shows every FAT date a month late;
// the kernel of the build machines has no vfat).
//
// Usage: floppy_mount IMAGE FOLDER [FUSE OPTION...]
// Mounts and returns, the reader staying in the background until
// "fusermount -u FOLDER" (-f keeps it in the foreground).
// Exit code: 0 when mounted; 1 when IMAGE holds no FAT12 or FAT16 file system,
// a damaged one (the reason names the file or folder), or the mount failed;
// 2 for bad arguments.
#define FUSE_USE_VERSION 31
#include "tools/native/FatImage.h"

#include <fuse.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {
FatImage Image;

void Describe(const FatImage::Node& node, struct stat* info)
{
    std::memset(info, 0, sizeof *info);
    // Write permission as the FAT read-only attribute says; the mount itself is read-only.
    info->st_mode = node.Folder ? S_IFDIR | 0755 : S_IFREG | (node.ReadOnly ? 0444 : 0644);
    info->st_nlink = node.Folder ? 2 : 1;
    info->st_uid = getuid();
    info->st_gid = getgid();
    info->st_size = static_cast<off_t>(node.Size);
    info->st_blksize = Image.ClusterBytes();
    info->st_blocks = static_cast<blkcnt_t>(node.Clusters.size()) * Image.ClusterBytes() / 512;
    info->st_mtime = info->st_atime = info->st_ctime = node.Modified;
}

int GetAttributes(const char* path, struct stat* info, fuse_file_info*)
{
    const FatImage::Node* node = Image.Find(path);
    if (!node) return -ENOENT;
    Describe(*node, info);
    return 0;
}

int ReadFolder(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    const FatImage::Node* folder = Image.Find(path);
    if (!folder) return -ENOENT;
    if (!folder->Folder) return -ENOTDIR;
    fill(buffer, ".", nullptr, 0, fuse_fill_dir_flags{});
    fill(buffer, "..", nullptr, 0, fuse_fill_dir_flags{});
    for (std::size_t index : folder->Children) fill(buffer, Image.At(index).Name.c_str(), nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int Open(const char* path, fuse_file_info* file)
{
    const FatImage::Node* node = Image.Find(path);
    if (!node) return -ENOENT;
    if (node->Folder) return -EISDIR;
    if ((file->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
    file->fh = static_cast<std::uint64_t>(node - &Image.At(0));
    file->keep_cache = 1;  // the image never changes under the mount
    return 0;
}

int Read(const char*, char* buffer, std::size_t size, off_t offset, fuse_file_info* file)
{
    if (offset < 0 || file->fh >= Image.NodeCount()) return -EINVAL;
    return static_cast<int>(Image.Read(Image.At(file->fh), static_cast<std::uint64_t>(offset), buffer, size));
}

int FileSystemSize(const char*, struct statvfs* info)
{
    std::memset(info, 0, sizeof *info);
    info->f_bsize = info->f_frsize = Image.ClusterBytes();
    info->f_blocks = Image.ClusterCount();
    info->f_bfree = info->f_bavail = Image.FreeClusters();
    info->f_files = Image.NodeCount();
    info->f_namemax = 12;  // 8.3
    info->f_flag = ST_RDONLY;
    return 0;
}

void* Start(fuse_conn_info*, fuse_config* config)
{
    config->kernel_cache = 1;
    return nullptr;
}

void Usage(std::FILE* to, const char* self)
{
    std::fprintf(to, "usage: %s IMAGE FOLDER [FUSE OPTION...]\n", self);
}
}

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        Usage(stdout, argv[0]);
        return 0;
    }
    if (argc < 3) {
        Usage(stderr, argv[0]);
        return 2;
    }
    if (!Image.Load(argv[1])) {
        std::fprintf(stderr, "%s: %s %s\n", argv[0], argv[1], Image.Error().c_str());
        return 1;
    }
    fuse_operations operations = {};
    operations.getattr = GetAttributes;
    operations.readdir = ReadFolder;
    operations.open = Open;
    operations.read = Read;
    operations.statfs = FileSystemSize;
    operations.init = Start;
    std::vector<char*> arguments = {argv[0], argv[2], const_cast<char*>("-o"),
                                    const_cast<char*>("ro,default_permissions,subtype=floppy")};
    arguments.insert(arguments.end(), argv + 3, argv + argc);
    return fuse_main(static_cast<int>(arguments.size()), arguments.data(), &operations, nullptr) == 0 ? 0 : 1;
}
