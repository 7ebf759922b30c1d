#include "XlfLog.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int ThreadCount = 4;
constexpr int LinesPerThread = 200;

std::string LineOf(int thread, int line) {
    return "..\\..\\src\\Unit" + std::to_string(thread) + "(" + std::to_string(line) +
           "): message " + std::to_string(line) + " of thread " + std::to_string(thread);
}

} // namespace

// Each piece of a line is a write of its own (the debugger gets them one by one); lines written
// by several threads at once must still arrive whole, each piece after the one before it.
TEST(XlfLogTest, LinesOfSeveralThreadsStayWhole) {
    testing::internal::CaptureStderr();
    std::vector<std::thread> threads;
    for (int thread = 0; thread < ThreadCount; ++thread) {
        threads.emplace_back([thread] {
            const std::string unit = "Unit" + std::to_string(thread);
            for (int line = 0; line < LinesPerThread; ++line) {
                vornix::XlfLog::At(unit.c_str(), line)
                    << "message " << line << " of thread " << thread << std::endl;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::istringstream written(testing::internal::GetCapturedStderr());
    std::vector<int> next(ThreadCount, 0);
    std::string line;
    int lines = 0;
    while (std::getline(written, line)) {
        ++lines;
        const std::size_t unit = line.find("Unit");
        ASSERT_NE(unit, std::string::npos) << line;
        const int thread = line[unit + 4] - '0';
        ASSERT_TRUE(thread >= 0 && thread < ThreadCount) << line;
        ASSERT_EQ(line, LineOf(thread, next[thread]));
        ++next[thread];
    }
    EXPECT_EQ(lines, ThreadCount * LinesPerThread);
}
