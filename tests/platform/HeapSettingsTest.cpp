#include "platform/HeapSettings.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

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

// The setting is measured in a child of its own, so this process's heap is
// neither changed by it nor in the way of what is measured.
TEST(HeapSettingsTest, LargeBlocksGetMappingsOfTheirOwnGivenBackWhenFreed)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer brings a heap of its own, which glibc's settings do not reach";
#endif
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeEnds[0]);
        measureAndReport(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    Mapped measured[std::size(blocks)] = {};
    auto *into = reinterpret_cast<char *>(measured);
    size_t received = 0;
    while (received < sizeof measured) {
        const ssize_t n = ::read(pipeEnds[0], into + received, sizeof measured - received);
        if (n <= 0)
            break;
        received += size_t(n);
    }
    close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(received, sizeof measured);

    for (size_t i = 0; i < std::size(blocks); ++i) {
        SCOPED_TRACE(blocks[i].bytes);
        EXPECT_EQ(measured[i].whileHeld >= static_cast<long long>(blocks[i].bytes), blocks[i].ownMapping);
        EXPECT_EQ(measured[i].afterFree, 0);
    }
}

} // namespace
