#include <Win32Compat.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> detachedThreads{0};
std::atomic<int> otherReasons{0};

void NTAPI CountDetach(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_DETACH) {
        ++detachedThreads;
    } else {
        ++otherReasons;
    }
}

const bool countAdded = win32compat::AddTlsCallback(CountDetach);

} // namespace

TEST(ThreadStorageTest, ValuesAreEachThreadsOwn) {
    const DWORD slot = TlsAlloc();
    ASSERT_NE(slot, TLS_OUT_OF_INDEXES);
    int own = 0;
    EXPECT_EQ(TlsGetValue(slot), nullptr);
    ASSERT_TRUE(TlsSetValue(slot, &own));
    LPVOID seen = &own;
    std::thread other([slot, &seen] { seen = TlsGetValue(slot); });
    other.join();
    EXPECT_EQ(seen, nullptr);
    EXPECT_EQ(TlsGetValue(slot), &own);
    EXPECT_TRUE(TlsFree(slot));
}

// As on Windows, a freed slot holds null in every thread, also once it is allocated again.
TEST(ThreadStorageTest, FreeingMakesTheSlotNullEverywhere) {
    const DWORD slot = TlsAlloc();
    int own = 0;
    ASSERT_TRUE(TlsSetValue(slot, &own));
    ASSERT_TRUE(TlsFree(slot));
    EXPECT_FALSE(TlsSetValue(slot, &own));
    EXPECT_FALSE(TlsFree(slot));
    const DWORD again = TlsAlloc();
    ASSERT_EQ(again, slot) << "the lowest free slot";
    EXPECT_EQ(TlsGetValue(again), nullptr);
    EXPECT_TRUE(TlsFree(again));
}

TEST(ThreadStorageTest, ThreadEndIsToldToThreadsThatSetAValue) {
    ASSERT_TRUE(countAdded);
    const DWORD slot = TlsAlloc();
    const int before = detachedThreads;
    int value = 0;
    std::thread setting([slot, &value] { TlsSetValue(slot, &value); });
    setting.join();
    EXPECT_EQ(detachedThreads, before + 1);
    std::thread reading([slot] { TlsGetValue(slot); });
    reading.join();
    EXPECT_EQ(detachedThreads, before + 1) << "a thread that set nothing holds nothing";
    EXPECT_EQ(otherReasons, 0);
    TlsFree(slot);
}
