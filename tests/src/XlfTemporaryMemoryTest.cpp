#include "XlfMutexLock.h"
#include <vornix/XlfTemporaryMemory.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <new>
#include <sstream>
#include <thread>
#include <vector>

using vornix::XlfTemporaryMemory;

namespace {

using Sizes = std::vector<std::uint32_t>;

TEST(XlfTemporaryMemory, FirstRequestCreatesTheFirstBuffer) {
    XlfTemporaryMemory memory;
    EXPECT_TRUE(memory.BufferSizes().empty());
    char* block = memory.Get(8191);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(memory.BufferSizes(), Sizes{8192});
    EXPECT_EQ(memory.Offset(), 8191u);
}

TEST(XlfTemporaryMemory, RequestFillingTheBufferExactlyMovesToTheNextSize) {
    XlfTemporaryMemory memory;
    memory.Get(8192);
    EXPECT_EQ(memory.BufferSizes(), (Sizes{12288, 8192}));
    EXPECT_EQ(memory.Offset(), 8192u);
}

TEST(XlfTemporaryMemory, EarlierBlocksStayValidWhenABufferIsAdded) {
    XlfTemporaryMemory memory;
    char* first = memory.Get(8000);
    std::memset(first, 'a', 8000);
    char* second = memory.Get(200);
    std::memset(second, 'b', 200);
    EXPECT_EQ(memory.BufferSizes(), (Sizes{12288, 8192}));
    EXPECT_EQ(memory.Offset(), 200u);
    EXPECT_EQ(first[0], 'a');
    EXPECT_EQ(first[7999], 'a');
}

TEST(XlfTemporaryMemory, LargeRequestGrowsThroughTheSequence) {
    XlfTemporaryMemory memory;
    char* block = memory.Get(20000);
    EXPECT_EQ(memory.BufferSizes(), (Sizes{27648, 18432, 12288, 8192}));
    std::memset(block, 0, 20000);
    EXPECT_EQ(memory.Offset(), 20000u);
}

TEST(XlfTemporaryMemory, ResetKeepsTheNewestBufferAndStartsAtItsBeginning) {
    XlfTemporaryMemory memory;
    memory.Get(8000);
    memory.Get(12000);
    char* newestStart = memory.Get(1000);
    ASSERT_EQ(memory.BufferSizes(), (Sizes{18432, 12288, 8192}));
    ASSERT_EQ(memory.Offset(), 1000u);
    memory.Release(false);
    EXPECT_EQ(memory.BufferSizes(), Sizes{18432});
    EXPECT_EQ(memory.Offset(), 0u);
    EXPECT_EQ(memory.Get(16), newestStart);
}

TEST(XlfTemporaryMemory, FinishReleasesEverythingAndStartsOverSmall) {
    XlfTemporaryMemory memory;
    memory.Get(20000);
    memory.Release(true);
    EXPECT_TRUE(memory.BufferSizes().empty());
    memory.Get(1);
    EXPECT_EQ(memory.BufferSizes(), Sizes{8192});
}

TEST(XlfTemporaryMemory, EmptyRequestDoesNotMoveThePosition) {
    XlfTemporaryMemory memory;
    char* first = memory.Get(16);
    char* empty = memory.Get(0);
    char* next = memory.Get(8);
    EXPECT_EQ(empty, first + 16);
    EXPECT_EQ(next, empty);
}

// Requests of 0, 1 and 2 bytes from offsets that are not on the boundary: each block starts on
// the next boundary, so a record carved from any of them may hold a double.
TEST(XlfTemporaryMemory, EmptyAndSmallRequestsFromUnalignedOffsets) {
    XlfTemporaryMemory memory;
    char* first = memory.Get(3);
    char* empty = memory.Get(0);
    EXPECT_EQ(empty, first + 8);
    EXPECT_EQ(memory.Offset(), 8u);
    char* one = memory.Get(1);
    EXPECT_EQ(one, empty);
    EXPECT_EQ(memory.Offset(), 9u);
    char* two = memory.Get(2);
    EXPECT_EQ(two, first + 16);
    EXPECT_EQ(memory.Offset(), 18u);
    char* afterTwo = memory.Get(0);
    EXPECT_EQ(afterTwo, first + 24);
    for (const char* block : {first, empty, one, two, afterTwo})
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % XlfTemporaryMemory::Alignment, 0u);
}

TEST(XlfTemporaryMemory, BlocksAreAlignedForRecords) {
    XlfTemporaryMemory memory;
    memory.Get(3);
    char* block = memory.Get(16);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % XlfTemporaryMemory::Alignment, 0u);
    EXPECT_EQ(memory.Offset(), 8u + 16u);
}

TEST(XlfTemporaryMemory, RequestsBeyondThirtyTwoBitBuffersFailBeforeAllocating) {
    // 8192 grown by 1.5 (truncated) 32 times; one more step passes 32 bits.
    EXPECT_EQ(XlfTemporaryMemory::LargestBufferSize, 3534354384u);
    XlfTemporaryMemory memory;
    memory.Get(1);
    EXPECT_THROW(memory.Get(XlfTemporaryMemory::LargestBufferSize), std::bad_alloc);
    EXPECT_THROW(memory.Get(0xFFFFFFFFu), std::bad_alloc);
    EXPECT_THROW(memory.Get(0xF0000000u), std::bad_alloc);
    // Nothing was added, and what was handed out before is untouched.
    EXPECT_EQ(memory.BufferSizes(), Sizes{8192});
    EXPECT_EQ(memory.Offset(), 1u);
}

// Named-lock suites run where no other program can hold the lock's name meanwhile.
TEST(XlfTemporaryMemoryNamedLock, EveryOperationReleasesTheMutex) {
    HANDLE probe = CreateMutexA(nullptr, FALSE, vornix::XlfMutexLock::Name());
    ASSERT_NE(probe, nullptr);
    {
        XlfTemporaryMemory memory;
        memory.Get(10);
        memory.Release(false);
    }
    // The mutex is free again: another thread can take it at once.
    DWORD waited = WAIT_FAILED;
    std::thread other([&] { waited = WaitForSingleObject(probe, 0); });
    other.join();
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    CloseHandle(probe);
}

// Another object holding the mutex's name must not bring Excel down: requests, resets and the
// final release all go on unlocked, nothing throws, and the error stream hears of it once.
TEST(XlfTemporaryMemoryNamedLock, WorksUnlockedWhenTheMutexNameIsTaken) {
    HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, vornix::XlfMutexLock::Name());
    ASSERT_NE(squatter, nullptr);
    std::ostringstream log;
    std::streambuf* const previous = std::cerr.rdbuf(log.rdbuf());
    try {
        {
            const vornix::XlfMutexLock lock;
            EXPECT_FALSE(lock.Held());
        }
        XlfTemporaryMemory memory;
        char* block = memory.Get(10);
        std::memset(block, 'x', 10);
        memory.Get(9000);
        memory.Release(false);
        EXPECT_EQ(memory.BufferSizes(), Sizes{12288});
        memory.Get(20);
    } catch (...) {
        ADD_FAILURE() << "an operation threw without the mutex";
    }
    std::cerr.rdbuf(previous);
    CloseHandle(squatter);
    EXPECT_EQ(log.str(), "..\\..\\src\\XlfMutexLock(28): Could not open the mutex vornix_mutex "
                         "(error 6); temporary memory is used without the lock\n");
    const vornix::XlfMutexLock lock;
    EXPECT_TRUE(lock.Held());
}

TEST(XlfTemporaryMemory, RequestWaitsWhileAnotherThreadHoldsTheMutex) {
    XlfTemporaryMemory memory;
    std::vector<int> order;
    std::thread holder;
    {
        vornix::XlfMutexLock lock;
        holder = std::thread([&] {
            memory.Get(4);
            order.push_back(2);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        order.push_back(1);
    }
    holder.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

} // namespace
