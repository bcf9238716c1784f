#include "engine/CParallelFiles.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>

// Every file is converted once, by at most the workers asked at a time, and
// ends once; after StopTaking the running files end and no other starts.
TEST(CParallelFiles, SharesTheFilesOutAndStopsTakingWhenAsked) {
    for (const bool stop : {false, true}) {
        std::atomic<int> atOnce{0}, most{0}, wakes{0};
        std::vector<std::atomic<int>> converted(40);
        CParallelFiles files(
            converted.size(), 3,
            [&](size_t, size_t file) {
                most = std::max(most.load(), ++atOnce);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                ++converted[file];
                --atOnce;
                return static_cast<int>(file);
            },
            [&] { ++wakes; });
        if (stop)
            files.StopTaking();
        files.Join();
        const std::vector<CParallelFiles::Ended> ended = files.TakeEnded();
        EXPECT_FALSE(files.Running());
        EXPECT_EQ(ended.size() + 3, static_cast<size_t>(wakes.load())) << "each end and each worker";
        EXPECT_LE(most.load(), 3);
        for (const CParallelFiles::Ended& end : ended) {
            EXPECT_EQ(1, converted[end.file]) << end.file;
            EXPECT_EQ(static_cast<int>(end.file), end.result);
        }
        if (stop)
            EXPECT_LE(ended.size(), 3u);
        else
            EXPECT_EQ(40u, ended.size());
    }
}
