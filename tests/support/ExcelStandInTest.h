// Base fixture for tests that run code against the Excel stand-in. Each test starts with a
// freshly reset stand-in of the fixture's Excel version, in reach of the code under test, and
// fails if it leaves results not given back through xlFree or frees anything wrongly.
//
//   class GatewayTest : public ExcelStandInTest {};                       // Excel 12
//   class Gateway4Test : public ExcelStandInTest {
//   protected:
//       Gateway4Test() : ExcelStandInTest(11) {}                            // Excel 4 records
//   };
//
// The test executable must be a stand-in host: excel_standin_host(<target>) in CMake.
#pragma once

#include "ExcelStandIn.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#ifndef _WIN32
#include <Win32Compat.h>
#endif

// Declares a function of the test that the stand-in registers and calls through REGISTER: on
// Windows the test executable exports it under its plain name (declare it __stdcall).
#ifdef _WIN32
#define XLSTANDIN_TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define XLSTANDIN_TEST_EXPORT extern "C"
#endif

class ExcelStandInTest : public ::testing::Test {
public:
    static xlstandin::ExcelStandIn& Excel() { return xlstandin::ExcelStandIn::Instance(); }

    template <typename Function> static FARPROC Proc(Function function) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
    }

    // The module text under which REGISTER finds this test's XLSTANDIN_TEST_EXPORT functions:
    // on Windows the test executable's own file, natively a stand-in module with these exports.
    static std::string TestModule(const std::map<std::string, FARPROC>& exports) {
#ifdef _WIN32
        static_cast<void>(exports);
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        return path;
#else
        const std::string name = "C:\\tests\\TestFunctions.xll";
        win32compat::RegisterModule(name, exports);
        return name;
#endif
    }

protected:
    explicit ExcelStandInTest(int version = 12) : version_(version) {}

    void SetUp() override {
        Excel().Reset(version_);
        Excel().Install();
    }

    void TearDown() override {
        EXPECT_EQ(0u, Excel().OutstandingAllocations())
            << "results of the Excel stand-in not given back through xlFree";
        for (const xlstandin::FreeProblem& problem : Excel().FreeProblems()) {
            ADD_FAILURE() << "xlFree: " << problem;
        }
    }

private:
    int version_;
};
