// Worksheet calls on several threads at once, as Excel's multi-threaded recalculation makes them:
// each result must stay as it was made until the same thread's next call, whatever the other
// threads do meanwhile.
#include "GatewayTest.h"
#include "XlfThreadMemories.h"
#include <vornix/CellMatrix.h>
#include <vornix/XlfExcel.h>
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

constexpr int ThreadCount = 4;
// Under Wine every named-mutex cycle is a round trip to the Wine server: fewer calls there, and
// the many in the end-to-end test of xlhost.
#ifdef _WIN32
constexpr int CallsPerThread = 100;
#else
constexpr int CallsPerThread = 2000;
#endif
constexpr unsigned LargestRowCount = 600;

// What call `call` of thread `thread` answers: a column whose first cell is a text and whose
// other cells are numbers, both telling the call apart. Sizes vary from a few bytes to more than
// the first buffer, so that buffers grow while other threads read their results.
struct Expected {
    std::string text;
    std::vector<double> numbers;

    Expected(int thread, int call, bool excel12) {
        const unsigned rows = 1 + static_cast<unsigned>(call * 37 + thread * 11) % LargestRowCount;
        const std::size_t length = excel12 ? rows * 4 : rows % 250;
        text.assign(length, static_cast<char>('a' + (call + thread) % 26));
        for (unsigned row = 1; row < rows; ++row) {
            numbers.push_back(thread * 1e7 + call * 1e3 + row);
        }
    }
};

// A thread-safe worksheet function: its result lives in temporary memory.
LPXLFOPER MakeResult(const Expected& expected) {
    vornix::XlfExcel::Instance().FreeMemory(false);
    vornix::CellMatrix cells(expected.numbers.size() + 1, 1);
    cells(0, 0) = expected.text;
    for (std::size_t row = 0; row < expected.numbers.size(); ++row) {
        cells(row + 1, 0) = expected.numbers[row];
    }
    return vornix::XlfOper(cells).AsValuePointer();
}

template <typename Record> std::string TextOf(const Record& cell) {
    if ((cell.xltype & 0x0FFF) != xltypeStr || cell.val.str == nullptr) {
        return "(not a text)";
    }
    using Unit = std::make_unsigned_t<std::remove_pointer_t<decltype(cell.val.str)>>;
    const auto length = static_cast<std::size_t>(static_cast<Unit>(cell.val.str[0]));
    std::string text;
    for (std::size_t i = 1; i <= length; ++i) {
        text.push_back(static_cast<char>(cell.val.str[i]));
    }
    return text;
}

// Reads the result as Excel does once the function has returned: straight from the records.
template <typename Record> bool Matches(const Record* result, const Expected& expected) {
    if (result == nullptr || (result->xltype & 0x0FFF) != xltypeMulti) {
        return false;
    }
    const auto rows = static_cast<std::size_t>(result->val.array.rows);
    if (rows != expected.numbers.size() + 1 || result->val.array.columns != 1) {
        return false;
    }
    const Record* cells = result->val.array.lparray;
    if (TextOf(cells[0]) != expected.text) {
        return false;
    }
    for (std::size_t row = 1; row < rows; ++row) {
        if ((cells[row].xltype & 0x0FFF) != xltypeNum ||
            cells[row].val.num != expected.numbers[row - 1]) {
            return false;
        }
    }
    return true;
}

} // namespace

template <typename Mode> class ThreadedCallTest : public GatewayTest<Mode> {};

TYPED_TEST_SUITE(ThreadedCallTest, BothModes);

TYPED_TEST(ThreadedCallTest, EveryResultStaysUntilItsThreadCallsAgain) {
    std::atomic<int> changed{0};
    std::atomic<int> started{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < ThreadCount; ++thread) {
        threads.emplace_back([thread, &changed, &started] {
            ++started;
            while (started < ThreadCount) {
                std::this_thread::yield();
            }
            for (int call = 0; call < CallsPerThread; ++call) {
                const Expected expected(thread, call, TestFixture::IsExcel12);
                const auto* result =
                    static_cast<const typename TypeParam::Record*>(MakeResult(expected));
                if (!Matches(result, expected)) {
                    ++changed;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(changed, 0) << "results changed before they could be read, of "
                          << ThreadCount * CallsPerThread;
}

// A thread's memory goes when the thread ends; all of it when the add-in closes, also that of
// calculation threads still alive, which find a new memory when Excel calls them again.
class ThreadedGatewayTest : public GatewayTest<Excel12Mode> {};

TEST_F(ThreadedGatewayTest, ThreadEndReleasesItsMemory) {
    Gateway().GetMemory(16);
    const std::size_t before = vornix::XlfThreadMemories::Count();
    std::thread calculation([] { vornix::XlfExcel::Instance().GetMemory(20000); });
    calculation.join();
    EXPECT_EQ(vornix::XlfThreadMemories::Count(), before);
}

// Two calculation threads live through the close: one is called again after the add-in opened
// again, the other (silent) only ends. Neither end gives back what the close gave back.
TEST_F(ThreadedGatewayTest, ClosingReleasesTheMemoryOfThreadsStillAlive) {
    std::mutex lock;
    std::condition_variable changed;
    int step = 0;
    auto waitFor = [&](int wanted) {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return step >= wanted; });
    };
    auto moveTo = [&](int next) {
        std::lock_guard<std::mutex> guard(lock);
        step = next;
        changed.notify_all();
    };
    std::thread silent([&] {
        vornix::XlfExcel::Instance().GetMemory(20000);
        moveTo(1);
        waitFor(3);
    });
    std::vector<std::uint32_t> afterReopen;
    std::thread calculation([&] {
        waitFor(1);
        vornix::XlfExcel::Instance().FreeMemory(false);
        vornix::XlfExcel::Instance().GetMemory(20000);
        moveTo(2);
        waitFor(3);
        // The add-in was closed and opened again: this thread starts a memory of its own.
        afterReopen = vornix::XlfExcel::Instance().Memory().BufferSizes();
        vornix::XlfExcel::Instance().GetMemory(100);
        moveTo(4);
    });
    waitFor(2);
    Gateway().GetMemory(16);
    EXPECT_EQ(vornix::XlfThreadMemories::Count(), 3u);
    delete vornix::XlfExcel::Existing();
    EXPECT_EQ(vornix::XlfThreadMemories::Count(), 0u);
    vornix::XlfExcel::Instance();
    moveTo(3);
    silent.join();
    waitFor(4);
    calculation.join();
    EXPECT_TRUE(afterReopen.empty());
    EXPECT_EQ(vornix::XlfThreadMemories::Count(), 0u) << "the new memory went with its thread";
}

TEST_F(ThreadedGatewayTest, ConcurrentFirstCallsMakeOneGateway) {
    delete vornix::XlfExcel::Existing();
    const std::size_t before = Excel().CallsRecorded();
    std::atomic<int> started{0};
    std::vector<vornix::XlfExcel*> seen(ThreadCount, nullptr);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < ThreadCount; ++thread) {
        threads.emplace_back([thread, &seen, &started] {
            ++started;
            while (started < ThreadCount) {
                std::this_thread::yield();
            }
            seen[thread] = &vornix::XlfExcel::Instance();
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (vornix::XlfExcel* gateway : seen) {
        EXPECT_EQ(gateway, vornix::XlfExcel::Existing());
    }
    int versionQuestions = 0;
    for (std::size_t i = before; i < Excel().CallsRecorded(); ++i) {
        versionQuestions += Excel().Calls()[i].function == xlfGetWorkspace ? 1 : 0;
    }
    EXPECT_EQ(versionQuestions, 1);
}

// Excel answers xlretNotThreadSafe to the version question on a calculation thread: no mode is
// chosen from that, the call fails, and the next one (here on the main thread) asks again.
TEST_F(ThreadedGatewayTest, RefusedVersionMakesNoGateway) {
    delete vornix::XlfExcel::Existing();
    Excel().FailNext(xlfGetWorkspace, xlretNotThreadSafe);
    EXPECT_THROW(vornix::XlfExcel::Instance(), std::runtime_error);
    EXPECT_EQ(vornix::XlfExcel::Existing(), nullptr);
    EXPECT_TRUE(vornix::XlfExcel::Instance().IsExcel12Mode());
    EXPECT_EQ(vornix::XlfExcel::Instance().OperTypeCode(), "Q");
}
