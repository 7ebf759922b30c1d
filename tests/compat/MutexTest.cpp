#include <Win32Compat.h>

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace {

template <typename Body> auto OnOtherThread(Body body) {
    return std::async(std::launch::async, body).get();
}

// Tries to take the mutex from another thread without waiting; gives it back if taken.
DWORD TryElsewhere(HANDLE mutex) {
    return OnOtherThread([mutex] {
        const DWORD result = WaitForSingleObject(mutex, 0);
        if (result == WAIT_OBJECT_0) {
            ReleaseMutex(mutex);
        }
        return result;
    });
}

class MutexTest : public ::testing::Test {
protected:
    void SetUp() override { handlesBefore = win32compat::OpenMutexHandleCount(); }
    void TearDown() override {
        for (HANDLE handle : opened) {
            CloseHandle(handle);
        }
        EXPECT_EQ(win32compat::OpenMutexHandleCount(), handlesBefore);
    }

    // Creates a mutex closed at the end, and reports the last error CreateMutexA left.
    HANDLE Create(BOOL initialOwner, const char* name, DWORD* error = nullptr) {
        SetLastError(12345);
        opened.push_back(CreateMutexA(nullptr, initialOwner, name));
        if (error != nullptr) {
            *error = GetLastError();
        }
        return opened.back();
    }

    int handlesBefore = 0;
    std::vector<HANDLE> opened;
};

TEST_F(MutexTest, SameNameOpensOneObjectThroughDistinctHandles) {
    DWORD error = 0;
    HANDLE first = Create(FALSE, "tesmor_test_mutex", &error);
    EXPECT_EQ(error, ERROR_SUCCESS);
    HANDLE second = Create(FALSE, "tesmor_test_mutex", &error);
    EXPECT_EQ(error, ERROR_ALREADY_EXISTS);
    EXPECT_NE(first, second);
    EXPECT_EQ(win32compat::OpenMutexHandleCount(), handlesBefore + 2);

    ASSERT_EQ(WaitForSingleObject(first, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(TryElsewhere(second), WAIT_TIMEOUT);
    EXPECT_EQ(OnOtherThread([second] { return WaitForSingleObject(second, 5); }), WAIT_TIMEOUT);
    EXPECT_EQ(OnOtherThread([second] { return ReleaseMutex(second) ? 0 : GetLastError(); }),
              ERROR_NOT_OWNER);
    ASSERT_TRUE(ReleaseMutex(second)); // either handle releases the one object
    EXPECT_EQ(TryElsewhere(second), WAIT_OBJECT_0);
}

TEST_F(MutexTest, OwnerMayWaitAgainAndMustReleaseAsOften) {
    HANDLE mutex = Create(TRUE, "tesmor_recursive");
    ASSERT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(TryElsewhere(mutex), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(TryElsewhere(mutex), WAIT_OBJECT_0);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
}

TEST_F(MutexTest, OpeningAnExistingNameIgnoresInitialOwner) {
    HANDLE mutex = Create(TRUE, "tesmor_owned");
    const DWORD releasedElsewhere = OnOtherThread([this] {
        HANDLE other = Create(TRUE, "tesmor_owned");
        return ReleaseMutex(other) ? ERROR_SUCCESS : GetLastError();
    });
    EXPECT_EQ(releasedElsewhere, ERROR_NOT_OWNER);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(TryElsewhere(mutex), WAIT_OBJECT_0);
}

TEST_F(MutexTest, BlockedWaiterGetsTheMutexOnceReleased) {
    HANDLE mutex = Create(TRUE, "tesmor_blocking");
    std::promise<void> acquired;
    std::promise<void> mayRelease;
    std::thread waiter([&] {
        EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
        acquired.set_value();
        mayRelease.get_future().wait();
        EXPECT_TRUE(ReleaseMutex(mutex));
    });
    ASSERT_TRUE(ReleaseMutex(mutex));
    acquired.get_future().wait();
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
    mayRelease.set_value();
    waiter.join();
    EXPECT_EQ(TryElsewhere(mutex), WAIT_OBJECT_0);
}

TEST_F(MutexTest, NameLivesWhileAnyHandleIsOpen) {
    HANDLE first = CreateMutexA(nullptr, FALSE, "tesmor_lifetime");
    HANDLE second = CreateMutexA(nullptr, FALSE, "tesmor_lifetime");
    ASSERT_TRUE(CloseHandle(first));
    HANDLE third = CreateMutexA(nullptr, FALSE, "tesmor_lifetime");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CloseHandle(second));
    ASSERT_TRUE(CloseHandle(third));
    EXPECT_EQ(win32compat::OpenMutexHandleCount(), handlesBefore);
    DWORD error = 0;
    Create(FALSE, "tesmor_lifetime", &error);
    EXPECT_EQ(error, ERROR_SUCCESS);
}

TEST_F(MutexTest, UnnamedAndDifferentlyCasedNamesAreSeparateObjects) {
    DWORD error = 0;
    Create(TRUE, nullptr);
    EXPECT_EQ(TryElsewhere(Create(FALSE, "", &error)), WAIT_OBJECT_0);
    EXPECT_EQ(error, ERROR_SUCCESS);
    Create(TRUE, "Tesmor_Case");
    EXPECT_EQ(TryElsewhere(Create(FALSE, "tesmor_case", &error)), WAIT_OBJECT_0);
    EXPECT_EQ(error, ERROR_SUCCESS);
}

// As on Windows, a name held by an object of another kind cannot be opened as a mutex.
TEST_F(MutexTest, NameHeldByAnEventCannotBeOpenedAsAMutex) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, "held");
    ASSERT_NE(event, nullptr);
    DWORD error = 0;
    SetLastError(0);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "held"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(ReleaseMutex(event), FALSE);
    EXPECT_TRUE(CloseHandle(event));
    // With the event gone, the name is free for a mutex.
    EXPECT_NE(Create(FALSE, "held", &error), nullptr);
    EXPECT_EQ(error, ERROR_SUCCESS);
    EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "held"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(MutexTest, ClosedAndUnknownHandlesAreInvalid) {
    HANDLE closed = CreateMutexA(nullptr, FALSE, "tesmor_closed");
    ASSERT_TRUE(CloseHandle(closed));
    for (HANDLE handle : {closed, static_cast<HANDLE>(nullptr)}) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        SetLastError(0);
        EXPECT_FALSE(ReleaseMutex(handle));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

} // namespace

namespace {

// Each step of a cycle counts once, also a failing one; the counts are what benchmarks and the
// worksheet tests compare.
TEST(MutexCallCounts, EachStepOfACycleCountsOnce) {
    const win32compat::CallCounts before = win32compat::Counts();
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "counted_mutex");
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(mutex, INFINITE));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(CloseHandle(mutex));
    EXPECT_FALSE(CloseHandle(mutex));
    const win32compat::CallCounts after = win32compat::Counts();
    EXPECT_EQ(after.mutexOpens - before.mutexOpens, 1u);
    EXPECT_EQ(after.mutexWaits - before.mutexWaits, 1u);
    EXPECT_EQ(after.mutexReleases - before.mutexReleases, 1u);
    EXPECT_EQ(after.handleCloses - before.handleCloses, 2u);
    EXPECT_EQ(after.windowSearches, before.windowSearches);
    EXPECT_FALSE(win32compat::InExcelStandIn());
}

} // namespace
