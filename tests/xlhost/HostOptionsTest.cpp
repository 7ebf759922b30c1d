// xlhost's command line: every option in both spellings, and the one-line reasons for command
// lines it cannot run.
#include "HostOptions.h"

#include <vornix/ExcelApi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using xlhost::HostOptions;

HostOptions Read(const std::vector<std::string>& arguments) {
    HostOptions options;
    std::string error;
    EXPECT_TRUE(HostOptions::Parse(arguments, options, error)) << error;
    return options;
}

std::string Refused(const std::vector<std::string>& arguments) {
    HostOptions options;
    std::string error;
    EXPECT_FALSE(HostOptions::Parse(arguments, options, error));
    return error;
}

TEST(HostOptions, DefaultsToExcel12AndNothingElse) {
    const HostOptions options = Read({"Tesmor.xll"});
    EXPECT_EQ(12, options.excelVersion);
    EXPECT_FALSE(options.wizard || options.replaceDialog || options.list || options.status ||
                 options.noXlCall || options.debugOutput || options.trace || options.help);
    EXPECT_TRUE(options.faults.empty());
    EXPECT_EQ("Tesmor.xll", options.addIn);
    EXPECT_TRUE(options.formulas.empty());
}

TEST(HostOptions, ReadsEveryOptionBeforeAndAfterTheAddIn) {
    const HostOptions options =
        Read({"--excel-version", "11", "--wizard", "--list", "a.xll", "f(1)", "--status", "--fail",
              "xlCoerce=64", "--fail=xlGetName=32", "--no-xlcall", "--debug-output", "--trace",
              "=g(2)", "--replace-dialog"});
    EXPECT_EQ(11, options.excelVersion);
    EXPECT_TRUE(options.wizard && options.replaceDialog && options.list && options.status &&
                options.noXlCall && options.debugOutput && options.trace);
    EXPECT_FALSE(options.help);
    ASSERT_EQ(2u, options.faults.size());
    EXPECT_EQ("xlCoerce", options.faults[0].name);
    EXPECT_EQ(xlCoerce, options.faults[0].function);
    EXPECT_EQ(64, options.faults[0].code);
    EXPECT_EQ(xlGetName, options.faults[1].function);
    EXPECT_EQ(32, options.faults[1].code);
    EXPECT_EQ("a.xll", options.addIn);
    EXPECT_EQ((std::vector<std::string>{"f(1)", "=g(2)"}), options.formulas);
    EXPECT_EQ(16, Read({"--excel-version=16", "a.xll"}).excelVersion);
}

// --cell values may themselves hold "=", which only the first one ends.
TEST(HostOptions, KeepsCellsAndCellFilesInTheirOrder) {
    const HostOptions options = Read({"--cell", "A1=\"a=b\"", "--cells", "c.txt", "a.xll",
                                      "--cell=B1=2", "--cells=d.txt", "f(A1)"});
    ASSERT_EQ(4u, options.cells.size());
    EXPECT_FALSE(options.cells[0].file);
    EXPECT_EQ("A1=\"a=b\"", options.cells[0].text);
    EXPECT_TRUE(options.cells[1].file);
    EXPECT_EQ("c.txt", options.cells[1].text);
    EXPECT_EQ("B1=2", options.cells[2].text);
    EXPECT_EQ("d.txt", options.cells[3].text);
    EXPECT_EQ(std::vector<std::string>{"f(A1)"}, options.formulas);
}

TEST(HostOptions, ChecksACaseFileWithoutFormulasOnTheCommandLine) {
    const HostOptions options = Read({"--check", "t.cases", "a.xll", "--cell", "A1=1"});
    EXPECT_EQ("t.cases", options.check);
    EXPECT_EQ("a.xll", options.addIn);
    EXPECT_EQ("--check takes the formulas from its file, not from the command line",
              Refused({"--check=t.cases", "a.xll", "f(1)"}));
    EXPECT_EQ("--check needs a value", Refused({"a.xll", "--check"}));
    EXPECT_TRUE(HostOptions::AsksForCheck({"--verbose", "--check", "t.cases"}));
    EXPECT_TRUE(HostOptions::AsksForCheck({"--check=t.cases"}));
    EXPECT_FALSE(HostOptions::AsksForCheck({"a.xll", "--", "--check"}));
    EXPECT_FALSE(HostOptions::AsksForCheck({"--checks", "a.xll"}));
    EXPECT_EQ("--check takes the formulas from its file, not from --formulas",
              Refused({"--check", "t.cases", "--formulas", "f.txt", "a.xll"}));
}

TEST(HostOptions, FormulaFilesAndTheAsynchronousTimeout) {
    const HostOptions defaults = Read({"a.xll"});
    EXPECT_EQ(std::chrono::seconds(10), defaults.asyncTimeout);
    EXPECT_TRUE(defaults.formulaFiles.empty());
    const HostOptions options =
        Read({"--formulas", "-", "a.xll", "--async-timeout", "0.25", "--formulas=f.txt"});
    EXPECT_EQ((std::vector<std::string>{"-", "f.txt"}), options.formulaFiles);
    EXPECT_EQ(std::chrono::milliseconds(250), options.asyncTimeout);
    EXPECT_EQ(std::chrono::milliseconds(0), Read({"--async-timeout=0", "a.xll"}).asyncTimeout);
    for (const char* wrong : {"-1", "x", "86401", "nan"}) {
        EXPECT_EQ("--async-timeout needs a number of seconds from 0 to 86400, not \"" +
                      std::string(wrong) + "\"",
                  Refused({"--async-timeout", wrong, "a.xll"}));
    }
    EXPECT_EQ("--formulas needs a value", Refused({"a.xll", "--formulas"}));
}

TEST(HostOptions, EverythingAfterDoubleDashIsAddInAndFormulas) {
    const HostOptions options = Read({"--list", "--", "--odd.xll", "--status"});
    EXPECT_EQ("--odd.xll", options.addIn);
    EXPECT_EQ(std::vector<std::string>{"--status"}, options.formulas);
    EXPECT_FALSE(options.status);
}

TEST(HostOptions, HelpNeedsNoAddIn) {
    EXPECT_TRUE(Read({"--help"}).help);
    EXPECT_NE(std::string::npos,
              std::string(HostOptions::Usage()).find("usage: xlhost [options] ADDIN.xll"));
}

TEST(HostOptions, RefusesWithOneLineReason) {
    EXPECT_EQ("no add-in given (xlhost --help tells more)", Refused({}));
    EXPECT_EQ("no add-in given (xlhost --help tells more)", Refused({"--list"}));
    EXPECT_EQ("unknown option \"--verbose\"", Refused({"--verbose", "a.xll"}));
    EXPECT_EQ("--list takes no value", Refused({"--list=yes", "a.xll"}));
    EXPECT_EQ("--excel-version needs a value", Refused({"a.xll", "--excel-version"}));
    EXPECT_EQ("--excel-version needs a version number, not \"12.0\"",
              Refused({"--excel-version", "12.0", "a.xll"}));
    EXPECT_EQ("--excel-version needs a version number, not \"0\"",
              Refused({"--excel-version=0", "a.xll"}));
    EXPECT_EQ("--fail needs NAME=CODE with a number for CODE, not \"xlCoerce\"",
              Refused({"--fail", "xlCoerce", "a.xll"}));
    EXPECT_EQ("--fail needs NAME=CODE with a number for CODE, not \"xlCoerce=-1\"",
              Refused({"--fail", "xlCoerce=-1", "a.xll"}));
    EXPECT_EQ("--fail: the Excel stand-in plays no function \"xlcoerce\"",
              Refused({"--fail", "xlcoerce=32", "a.xll"}));
}

} // namespace
