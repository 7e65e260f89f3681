#include "tests/kit/FileTree.h"

#include <windows.h>

#include <algorithm>

const std::string FolderMark = "<folder>";

std::string Join(const std::string& directory, const std::string& name)
{
    if (!directory.empty() && directory.back() == '\\') return directory + name;
    return directory + "\\" + name;
}

bool IsDirectory(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectories(const std::string& path)
{
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\') continue;
        std::string level = path.substr(0, i);
        if (!IsDirectory(level) && !::CreateDirectoryA(level.c_str(), nullptr)) return false;
    }
    return true;
}

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(Join(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveTree(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& name : Names(path)) RemoveTree(Join(path, name));
        ::RemoveDirectoryA(path.c_str());
    } else {
        ::DeleteFileA(path.c_str());
    }
    return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool CopyTree(const std::string& from, const std::string& to)
{
    if (!MakeDirectories(to) || !IsDirectory(from)) return false;
    bool ok = true;
    for (const std::string& name : Names(from)) {
        std::string source = Join(from, name);
        if (IsDirectory(source))
            ok = CopyTree(source, Join(to, name)) && ok;
        else
            ok = ::CopyFileA(source.c_str(), Join(to, name).c_str(), FALSE) && ok;
    }
    return ok;
}

namespace {
std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool AddTree(const std::string& folder, const std::string& prefix, unsigned options, FileMap& tree)
{
    if (!IsDirectory(folder)) return false;
    bool ok = true;
    for (const std::string& found : Names(folder)) {
        std::string path = Join(folder, found);
        std::string relative = prefix + ((options & TreeUpperCase) ? Upper(found) : found);
        if (IsDirectory(path)) {
            if (options & TreeTopOnly) continue;
            if (options & TreeWithFolders) tree[relative + "\\"] = FolderMark;
            ok = AddTree(path, relative + "\\", options, tree) && ok;
        } else {
            ok = ReadFileBytes(path, tree[relative]) && ok;
        }
    }
    return ok;
}
}

bool ReadTree(const std::string& folder, FileMap& tree, unsigned options)
{
    tree.clear();
    return AddTree(folder, std::string(), options, tree);
}

FileMap TakeTree(const std::string& folder, unsigned options)
{
    FileMap tree;
    ReadTree(folder, tree, options);
    return tree;
}

bool WriteTree(const std::string& folder, const FileMap& files)
{
    bool ok = MakeDirectories(folder);
    for (const auto& file : files) {
        std::string path = Join(folder, file.first);
        if (file.second == FolderMark && path.back() == '\\') {
            ok = MakeDirectories(path.substr(0, path.size() - 1)) && ok;
            continue;
        }
        ok = MakeDirectories(path.substr(0, path.rfind('\\'))) && WriteFileBytes(path, file.second) && ok;
    }
    return ok;
}

std::vector<std::string> TreeDifferences(const FileMap& expected, const FileMap& actual)
{
    std::vector<std::string> differences;
    for (const auto& entry : expected) {
        auto found = actual.find(entry.first);
        if (found == actual.end())
            differences.push_back("missing " + entry.first);
        else if (found->second != entry.second)
            differences.push_back("changed " + entry.first + " (" + std::to_string(entry.second.size()) + " -> " +
                                  std::to_string(found->second.size()) + " bytes)");
    }
    for (const auto& entry : actual)
        if (!expected.count(entry.first)) differences.push_back("unexpected " + entry.first);
    return differences;
}

::testing::AssertionResult SameTree(const FileMap& expected, const FileMap& actual)
{
    std::vector<std::string> differences = TreeDifferences(expected, actual);
    if (differences.empty()) return ::testing::AssertionSuccess() << expected.size() << " entries the same";
    auto failure = ::testing::AssertionFailure();
    failure << "the trees differ (" << expected.size() << " entries expected, " << actual.size() << " found):";
    for (const std::string& line : differences) failure << "\n  " << line;
    return failure;
}
