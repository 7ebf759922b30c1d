// xlhost's command line: options, the add-in, and the formulas to evaluate.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace xlhost {

// --fail NAME=CODE: every call of the Excel function returns code.
struct InjectedFault {
    std::string name; // as in Excel's SDK, "xlCoerce"
    int function;
    int code;
};

// --cell REF=VALUE (text) or --cells FILE (file set, text the path), in the order given.
struct CellSource {
    bool file;
    std::string text;
};

struct HostOptions {
    int excelVersion = 12;
    int threads = 1; // calculation threads for thread-safe formulas
    int repeat = 1;  // evaluations of each formula
    bool wizard = false;
    bool replaceDialog = false;
    bool list = false;
    bool status = false;
    bool noXlCall = false;
    bool debugOutput = false;
    bool trace = false;
    bool help = false;
    std::vector<InjectedFault> faults;
    std::vector<CellSource> cells;
    std::string check; // --check FILE: the case file whose formulas are checked
    // How long asynchronous results are waited for, at most.
    std::chrono::milliseconds asyncTimeout = std::chrono::seconds(10);
    // Files of formulas, one a line, after those of the command line; "-" is standard input.
    std::vector<std::string> formulaFiles;
    std::string addIn;
    std::vector<std::string> formulas;

    // Options may stand anywhere before "--", as "--name value" or "--name=value". False with
    // a one-line reason for a command line xlhost cannot run; --help needs nothing else.
    static bool Parse(const std::vector<std::string>& arguments, HostOptions& options,
                      std::string& error);
    static const char* Usage();
    // Whether the arguments ask for --check, whose runs that cannot start end with their own
    // status, also when the command line does not read.
    static bool AsksForCheck(const std::vector<std::string>& arguments);
};

} // namespace xlhost
