// Fixture for tests of the library against the Excel stand-in, in one Excel mode per test.
//
// The library keeps the value implementation it chose first for the rest of the process (Excel
// does not change version under an add-in). Tests of both modes share one process, so each test
// makes the implementation of its own mode current by constructing one, before the gateway is
// created; the gateway is deleted after each test, as the add-in does at close. The fixture's
// implementation stops being current when the fixture ends, so no later test reaches it.
#pragma once

#include "ExcelStandInTest.h"
#include "XlfOperImpl12.h"
#include "XlfOperImpl4.h"
#include <vornix/XlfExcel.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <type_traits>

struct Excel12Mode {
    static constexpr int Version = 12;
    using Impl = vornix::XlfOperImpl12;
    using Record = XLOPER12;
};

struct Excel4Mode {
    static constexpr int Version = 11;
    using Impl = vornix::XlfOperImpl4;
    using Record = XLOPER;
};

// Excel 2010: later than 12, so Excel 4 records as well.
struct Excel14Mode {
    static constexpr int Version = 14;
    using Impl = vornix::XlfOperImpl4;
    using Record = XLOPER;
};

using BothModes = ::testing::Types<Excel12Mode, Excel4Mode>;

template <typename Mode> class GatewayTest : public ExcelStandInTest {
protected:
    using Record = typename Mode::Record;
    static constexpr bool IsExcel12 = Mode::Version == 12;

    GatewayTest() : ExcelStandInTest(Mode::Version) {}

    void SetUp() override {
        ExcelStandInTest::SetUp();
        vornix::XlfExcel::Instance();
        callsBefore_ = Excel().CallsRecorded();
    }

    void TearDown() override {
        delete vornix::XlfExcel::Existing();
        ExcelStandInTest::TearDown();
    }

    static vornix::XlfExcel& Gateway() { return vornix::XlfExcel::Instance(); }
    static const vornix::XlfOperImpl& Impl() { return vornix::XlfOperImpl::Current(); }

    static Record* RecordOf(const vornix::XlfOper& oper) {
        return static_cast<Record*>(oper.AsValuePointer());
    }

    // Number of calls of one function that reached the stand-in since the gateway started.
    int CallCount(int xlfn) const {
        // The log keeps only the newest calls; those since the start are at its end.
        const auto& calls = Excel().Calls();
        const std::size_t since = Excel().CallsRecorded() - callsBefore_;
        EXPECT_LE(since, calls.size()) << "more calls than the stand-in's log holds";
        int count = 0;
        for (std::size_t i = calls.size() - std::min(since, calls.size()); i < calls.size(); ++i)
            count += calls[i].function == xlfn ? 1 : 0;
        return count;
    }

    // A text as Excel passes it: counted, without a terminating NUL.
    static vornix::XlfOper ExcelText(const std::string& text) {
        using Unit = std::remove_pointer_t<decltype(Record{}.val.str)>;
        auto* counted =
            reinterpret_cast<Unit*>(Gateway().GetMemory((text.size() + 1) * sizeof(Unit)));
        counted[0] = static_cast<Unit>(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            counted[i + 1] = static_cast<Unit>(static_cast<unsigned char>(text[i]));
        auto* record = reinterpret_cast<Record*>(Gateway().GetMemory(sizeof(Record)));
        record->val.str = counted;
        record->xltype = xltypeStr;
        return vornix::XlfOper(static_cast<LPXLFOPER>(record));
    }

private:
    typename Mode::Impl impl_;
    std::size_t callsBefore_ = 0;
};
