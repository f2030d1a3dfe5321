#include "platform/HeapSettings.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>
#include <vector>

using namespace tamo;

namespace {

struct Block
{
    size_t bytes;
    bool ownMapping;
};

struct Mapped
{
    long long whileHeld; // what the block added to the mapped space
    long long afterFree; // what of that stayed after it was freed
};

constexpr Block blocks[] = {
    {1 << 20, true},
    {256 << 10, true},
    {300 << 10, true},
    {192 << 10, false},
};

void *volatile sink; // keeps the compiler from leaving out an allocation

long long mappedBytes()
{
    return static_cast<long long>(mallinfo2().hblkhd);
}

// In this process: the setting, then each block held and freed.
[[noreturn]] void measureAndReport(int out)
{
    giveLargeBlocksBackWhenFreed();
    // Without the setting, freeing a large mapped block raises the size from
    // which blocks are mapped past it.
    sink = std::malloc(4 << 20);
    std::memset(sink, 1, 4 << 20);
    std::free(sink);
    for (const Block &block : blocks) {
        const long long before = mappedBytes();
        sink = std::malloc(block.bytes);
        std::memset(sink, 1, block.bytes);
        const long long held = mappedBytes();
        std::free(sink);
        const Mapped mapped{held - before, mappedBytes() - before};
        if (write(out, &mapped, sizeof mapped) != sizeof mapped)
            _exit(1);
    }
    _exit(0);
}

// Runs `measure` in a child of its own, so this process's heap is neither
// changed by it nor in the way of what is measured, and reads what it reports.
template<typename Report>
::testing::AssertionResult reportOfChild(void (*measure)(int out), Report &report)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return ::testing::AssertionFailure() << "no pipe";
    const pid_t child = fork();
    if (child < 0)
        return ::testing::AssertionFailure() << "no child";
    if (child == 0) {
        close(pipeEnds[0]);
        measure(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    auto *into = reinterpret_cast<char *>(&report);
    size_t received = 0;
    while (received < sizeof report) {
        const ssize_t n = ::read(pipeEnds[0], into + received, sizeof report - received);
        if (n <= 0)
            break;
        received += size_t(n);
    }
    close(pipeEnds[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ::testing::AssertionFailure() << "the measuring child failed";
    if (received != sizeof report)
        return ::testing::AssertionFailure() << "the child reported " << received << " of " << sizeof report << " bytes";
    return ::testing::AssertionSuccess();
}

TEST(HeapSettingsTest, LargeBlocksGetMappingsOfTheirOwnGivenBackWhenFreed)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer brings a heap of its own, which glibc's settings do not reach";
#endif
    Mapped measured[std::size(blocks)] = {};
    ASSERT_TRUE(reportOfChild(measureAndReport, measured));

    for (size_t i = 0; i < std::size(blocks); ++i) {
        SCOPED_TRACE(blocks[i].bytes);
        EXPECT_EQ(measured[i].whileHeld >= static_cast<long long>(blocks[i].bytes), blocks[i].ownMapping);
        EXPECT_EQ(measured[i].afterFree, 0);
    }
}

// In this process: a worker's heap left with many small blocks freed among
// a few kept; what giving the free pages back took off the resident size.
[[noreturn]] void measureGivingBackAndReport(int out)
{
    const auto resident = [] {
        long long pages = 0;
        FILE *statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%*s %lld", &pages) != 1)
            _exit(1);
        std::fclose(statm);
        return pages * sysconf(_SC_PAGESIZE);
    };
    std::vector<void *> kept;
    std::thread worker([&] {
        std::vector<void *> blocks(400'000);
        for (void *&block : blocks) {
            block = std::malloc(64);
            std::memset(block, 1, 64);
        }
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (i % 1000 == 0)
                kept.push_back(blocks[i]);
            else
                std::free(blocks[i]);
        }
    });
    worker.join();
    const long long before = resident();
    giveFreedHeapBack();
    const long long givenBack = before - resident();
    if (write(out, &givenBack, sizeof givenBack) != sizeof givenBack)
        _exit(1);
    _exit(0);
}

// A file list's tens of thousands of names once stayed in a worker's heap
// after the copy was saved.
TEST(HeapSettingsTest, FreedSmallBlocksAreGivenBack)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer brings a heap of its own, which glibc's settings do not reach";
#endif
    long long givenBack = 0;
    ASSERT_TRUE(reportOfChild(measureGivingBackAndReport, givenBack));
    EXPECT_GT(givenBack, 16 << 20) << "of the 30 MB the freed blocks took";
}

} // namespace
