// The room a run needs on its target's drive, before it writes anything.
#include "engine/plain/RoomNeeded.h"

#include <gtest/gtest.h>

TEST(RoomNeeded, ClustersReplacedFilesAndTheUpdate)
{
    const struct {
        const char* Case;
        std::vector<FileRoom> Files;
        std::uint32_t Cluster;
        std::uint64_t Installation;
        std::uint64_t Update;  // with a record of 100 bytes
    } cases[] = {
        {"nothing to write", {}, 4096, 0, 4096},
        {"each file whole clusters, the largest once more", {{1, 0}, {4096, 0}, {4097, 0}}, 4096, 24576, 20480},
        {"an empty file takes none", {{0, 0}, {512, 0}}, 512, 1024, 1024},
        {"replaced files give their room back", {{8192, 4096}, {4096, 8192}}, 4096, 8192, 16384},
        {"shrinking files: the file written beside its earlier version", {{100, 9000}, {100, 9000}}, 512, 512, 1536},
        {"a larger cluster", {{100, 0}, {100, 0}}, 32768, 98304, 98304},
        {"no cluster known: bytes", {{100, 0}, {300, 0}}, 0, 700, 500},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Installation, RoomForInstallation(c.Files, c.Cluster)) << c.Case;
        EXPECT_EQ(c.Update, RoomForUpdate(c.Files, c.Cluster, 100)) << c.Case;
    }
    const struct {
        std::uint64_t Bytes;
        const char* Text;
    } texts[] = {{0, "0 KB"}, {1, "1 KB"}, {1024, "1 KB"}, {3178496, "3,104 KB"}, {1044480, "1,020 KB"},
                 {1099511627776ull, "1,073,741,824 KB"}};
    for (const auto& t : texts) {
        char text[32];
        FormatKilobytes(t.Bytes, text);
        EXPECT_STREQ(t.Text, text);
    }
}
