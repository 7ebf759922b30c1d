// Excel's calculation threads outlive an add-in: they call its thread-safe functions, Excel closes
// and unloads it while they live, and they go on to call other functions and end later. The
// add-in (ThreadsAddin, a real DLL on the vornix library) must give every thread's temporary
// memory back at close, and the end of its threads must run nothing of the unloaded DLL.
#include "ExcelStandInTest.h"
#include "RecordKit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using xlstandin::ExcelStandIn;
using xlstandin::HostValue;

constexpr int ThreadCount = 4;
// Text sizes from a few characters to more than the first buffer of 8192 bytes, so that the
// threads' memories grow.
constexpr int TextSizes[] = {1, 300, 5000, 12000};

// How far the main thread is: the calculation threads wait until it has counted the memories
// their calls took, or until the add-in is gone.
enum Stage { Calculating, Counted, Unloaded };

} // namespace

// A function of another add-in (this executable), which the calculation threads call once the
// add-in under test is gone.
XLSTANDIN_TEST_EXPORT double __stdcall UnloadTestNext(double number) {
    return number + 1;
}

namespace {

class AddInUnloadTest : public ExcelStandInTest {
protected:
    void SetUp() override {
        ExcelStandInTest::SetUp();
        module_ = LoadLibraryA(AddInPath().c_str());
        ASSERT_NE(module_, nullptr) << AddInPath() << ": Windows error " << GetLastError();
        char name[MAX_PATH + 1] = {};
        GetModuleFileNameA(module_, name, MAX_PATH);
        Excel().SetAddInName(name);
        ASSERT_EQ(CallAddIn("xlAutoOpen"), 1);
        RegisterNext();
    }

    // A test that stopped early lets its threads run out before the add-in goes.
    void TearDown() override {
        FinishThreads();
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
        ExcelStandInTest::TearDown();
    }

    // What an export of the add-in taking no arguments answers; -1 when there is none.
    int CallAddIn(const char* name) const {
        typedef int(WINAPI * Procedure)();
        const auto procedure = ProcAs<Procedure>(GetProcAddress(module_, name));
        EXPECT_NE(procedure, nullptr) << "the add-in exports no " << name;
        return procedure == nullptr ? -1 : procedure();
    }

    // Threads holding a temporary memory of the add-in's library.
    int LiveMemories() const { return CallAddIn("tsLiveMemories"); }

    // Excel's add-in manager taking the add-in away: xlAutoClose, then FreeLibrary.
    void CloseAndUnload() {
        ASSERT_EQ(CallAddIn("xlAutoClose"), 1);
        EXPECT_EQ(LiveMemories(), 0) << "temporary memories left after xlAutoClose";
        ASSERT_TRUE(FreeLibrary(module_));
        module_ = nullptr;
        EXPECT_EQ(GetModuleHandleA(AddInPath().c_str()), nullptr)
            << "the add-in is still loaded: the test proves nothing";
    }

    void Reach(Stage stage) {
        std::lock_guard<std::mutex> guard(lock_);
        stage_ = stage;
        changed_.notify_all();
    }

    // Lets the threads go on past the unload, waits for their end and reports what they found.
    void FinishThreads() {
        Reach(Unloaded);
        for (std::thread& thread : threads_) {
            if (thread.joinable()) {
                thread.join();
            }
        }
        for (const std::string& problem : problems_) {
            ADD_FAILURE() << problem;
        }
        problems_.clear();
    }

    // A calculation thread: calls ts_Text of every size and, once the main thread has counted
    // the memories, either ends (endsEarly) or waits until the add-in is unloaded and calls
    // UnloadTestNext.
    void StartThread(bool endsEarly) {
        threads_.emplace_back([this, endsEarly] {
            const ExcelStandIn::CalculationThread calculation;
            for (int size : TextSizes) {
                const HostValue result = Excel().Call("ts_Text", {HostValue::Number(size)}).value;
                Check(result.Is(HostValue::Kind::Text) &&
                          result.AsText().size() == static_cast<std::size_t>(size),
                      "ts_Text(" + std::to_string(size) + ") gave no text of that size");
            }
            ThreadCalled();
            WaitFor(endsEarly ? Counted : Unloaded);
            if (endsEarly) {
                return;
            }
            const HostValue next = Excel().Call("UnloadTestNext", {HostValue::Number(41)}).value;
            Check(next.Is(HostValue::Kind::Number) && next.AsNumber() == 42,
                  "UnloadTestNext(41) did not give 42");
        });
    }

    // Waits until every thread started has made its calls.
    void WaitForCalls() {
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait(guard, [&] { return called_ == static_cast<int>(threads_.size()); });
    }

    std::vector<std::thread> threads_;

private:
    static std::string AddInPath() {
        char path[MAX_PATH + 1] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder(path);
        folder.erase(folder.find_last_of('\\') + 1);
        return folder + THREADS_ADDIN_FILE;
    }

    void RegisterNext() {
        const std::string module = TestModule({{"UnloadTestNext", Proc(&UnloadTestNext)}});
        RecordKit<XLOPER> kit;
        XLOPER id{};
        ASSERT_EQ(xlretSuccess, CallExcel4v(xlfRegister, &id,
                                            {kit.Str(module), kit.Str("UnloadTestNext"),
                                             kit.Str("BB$"), kit.Str("UnloadTestNext")}));
        ASSERT_EQ(id.xltype, xltypeNum);
    }

    void WaitFor(Stage stage) {
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait(guard, [&] { return stage_ >= stage; });
    }

    void ThreadCalled() {
        std::lock_guard<std::mutex> guard(lock_);
        ++called_;
        changed_.notify_all();
    }

    // GoogleTest is built without thread support for Windows, so its assertions stay on the main
    // thread: the calculation threads note what went wrong and the main thread reports it.
    void Check(bool holds, const std::string& problem) {
        if (!holds) {
            std::lock_guard<std::mutex> guard(lock_);
            problems_.push_back(problem);
        }
    }

    XlCallHold xlCall_;
    HMODULE module_ = nullptr;
    std::mutex lock_;
    std::condition_variable changed_;
    Stage stage_ = Calculating;
    int called_ = 0;
    std::vector<std::string> problems_;
};

TEST_F(AddInUnloadTest, CalculationThreadsOutliveTheUnloadedAddIn) {
    const int before = LiveMemories();
    for (int i = 0; i < ThreadCount; ++i) {
        StartThread(false);
    }
    WaitForCalls();
    EXPECT_EQ(LiveMemories(), before + ThreadCount);
    CloseAndUnload();
    FinishThreads();
}

TEST_F(AddInUnloadTest, ThreadEndingBeforeCloseGivesItsMemoryBackThen) {
    const int before = LiveMemories();
    StartThread(true);
    for (int i = 1; i < ThreadCount; ++i) {
        StartThread(false);
    }
    WaitForCalls();
    EXPECT_EQ(LiveMemories(), before + ThreadCount);
    Reach(Counted);
    threads_.front().join();
    EXPECT_EQ(LiveMemories(), before + ThreadCount - 1) << "not given back at the thread's end";
    CloseAndUnload();
    FinishThreads();
}

} // namespace
