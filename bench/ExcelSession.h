// One Excel of the given mode for a measurement: the stand-in reset and installed behind counting
// entries, the library's value implementation of that mode made current, and a gateway, deleted
// at the end as the add-in does at close.
#pragma once

#include "CountedExcel.h"
#include "ExcelLayout.h"
#include "ExcelStandIn.h"
#include <vornix/XlfExcel.h>

template <typename Record> class ExcelSession {
public:
    ExcelSession() {
        xlstandin::ExcelStandIn& excel = xlstandin::ExcelStandIn::Instance();
        excel.Reset(ExcelLayout<Record>::Version);
        excel.Install();
        CountedExcel::Install();
        ExcelEntries::Load();
        vornix::XlfExcel::Instance();
    }
    ~ExcelSession() { delete vornix::XlfExcel::Existing(); }
    ExcelSession(const ExcelSession&) = delete;
    ExcelSession& operator=(const ExcelSession&) = delete;

private:
    // Constructed before the gateway, so that it is the current implementation whichever mode
    // ran before in this process.
    typename ExcelLayout<Record>::Impl impl_;
};
