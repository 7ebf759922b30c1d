// One fuzz input's work against the Excel stand-in in one Excel mode: the stand-in is reset to
// that version and installed, the mode's value implementation made current and the gateway
// created; at the end the gateway is deleted, as at add-in close, and every result the stand-in
// handed out must have come back through xlFree exactly once.
#pragma once

#include "ExcelStandIn.h"
#include "FuzzCheck.h"
#include "XlfOperImpl12.h"
#include "XlfOperImpl4.h"
#include <vornix/XlfExcel.h>

#include <cstdio>

struct Excel12Mode {
    static constexpr int Version = 12;
    using Impl = vornix::XlfOperImpl12;
    using Record = XLOPER12;
};

// Excel 2016 and later: Excel 4 records.
struct Excel16Mode {
    static constexpr int Version = 16;
    using Impl = vornix::XlfOperImpl4;
    using Record = XLOPER;
};

template <typename Mode> class StandInRound {
public:
    StandInRound() {
        Excel().Reset(Mode::Version);
        Excel().Install();
        vornix::XlfExcel::Instance();
    }

    ~StandInRound() {
        delete vornix::XlfExcel::Existing();
        FUZZ_CHECK(Excel().OutstandingAllocations() == 0 || !freeing_);
        for (const xlstandin::FreeProblem& problem : Excel().TakeFreeProblems()) {
            std::fprintf(stderr, "xlFree problem of kind %d\n", static_cast<int>(problem.kind));
            FUZZ_CHECK(!"memory given back to Excel wrongly");
        }
    }

    StandInRound(const StandInRound&) = delete;
    StandInRound& operator=(const StandInRound&) = delete;

    static xlstandin::ExcelStandIn& Excel() { return xlstandin::ExcelStandIn::Instance(); }

    // While xlFree is made to fail, memory cannot come back: outstanding results are no fault.
    void SetFreeing(bool freeing) { freeing_ = freeing; }

private:
    // Made before the gateway, so that it is the current one whatever mode ran before.
    typename Mode::Impl impl_;
    bool freeing_ = true;
};
