#include "HostOptions.h"

#include "ExcelStandIn.h"
#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstddef>

namespace xlhost {

namespace {

const char* const usage =
    "usage: xlhost [options] ADDIN.xll [FORMULA ...]\n"
    "       xlhost [options] --check CASES ADDIN.xll\n"
    "Loads the add-in into an Excel stand-in, calls xlAutoOpen, evaluates each formula, calls\n"
    "xlAutoClose and prints one line per formula with its result.\n"
    "\n"
    "A formula is [=]NAME(ARGUMENT, ...) of a function the add-in registered; an argument is a\n"
    "number (2.5, -6.75, 1E-07), a text (\"10.1\", \"\" for a quote), TRUE, FALSE, an error\n"
    "(#VALUE!, #N/A, ...), an array {1,2;3,4}, a reference (A1, $B$2:C3, Sheet2!A1:A10,\n"
    "'My Sheet'!A1), a nested call, or nothing (missing). Formula N lives in cell IVN of Sheet1.\n"
    "\n"
    "options:\n"
    "  --excel-version N  play Excel version N (default 12; other versions use Excel 4 records)\n"
    "  --wizard           evaluate the formulas while the function wizard is open\n"
    "  --replace-dialog   evaluate the formulas while Excel's Replace dialog is open\n"
    "  --list             print the registered functions, one per line, fields tab-separated:\n"
    "                     name, export, type text, argument text, category, function help,\n"
    "                     argument helps\n"
    "  --status           print each status-bar message on standard error as \"status> TEXT\"\n"
    "  --trace            print each callback on standard error as \"trace> NAME ...\"; with\n"
    "                     --status or --trace, callbacks xlhost does not play are listed at exit\n"
    "  --fail NAME=CODE   every call of Excel function NAME (xlCoerce, xlGetName, ...) returns\n"
    "                     CODE; repeatable\n"
    "  --cell REF=VALUE   give a cell a value before the formulas run (A1=2.5, Sheet2!B3=\"x\",\n"
    "                     an array {1,2;3,4} fills the block from REF); repeatable\n"
    "  --cells FILE       the same for each line REF=VALUE of FILE (# comments)\n"
    "  --check CASES      check the add-in against the lines FORMULA => EXPECTED of CASES\n"
    "                     (REF=VALUE lines set cells): one line per failing case, then\n"
    "                     \"N passed, N failed\"; exit status 1 when a case failed, 3 when the\n"
    "                     check could not run\n"
    "  --no-xlcall        keep XLCALL32.DLL out of reach of the add-in\n"
    "  --debug-output     print each debug string the add-in sends as \"debug> TEXT\" on standard\n"
    "                     error (a line feed as \\n)\n"
    "  --formulas FILE    evaluate the formulas of FILE too, one a line, in UTF-8, after those of\n"
    "                     the command line; - reads standard input; repeatable\n"
    "  --async-timeout SECONDS\n"
    "                     wait at most SECONDS for asynchronous results (default 10); a result\n"
    "                     that does not come prints #N/A\n"
    "  --help             print this text\n"
    "  --threads N        evaluate as Excel's multi-threaded recalculation: formulas whose\n"
    "                     functions are all registered thread-safe run on N calculation threads\n"
    "                     at once, the others on the main thread meanwhile (default 1)\n"
    "  --repeat K         evaluate each formula K times; results that differ fail the run\n"
    "                     (default 1)\n"
    "\n"
    "Exit status 0 when the add-in loaded and xlAutoOpen returned 1; otherwise 1, with one line\n"
    "on standard error saying what failed. A formula that does not read fails the run before\n"
    "the add-in is loaded. Exit status 2 when the add-in crashed, with one line naming where.\n";

bool ReadNumber(const std::string& text, int& number) {
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, number);
    return !text.empty() && read.ec == std::errc() && read.ptr == end && number >= 0;
}

// Seconds up to a day, to the millisecond.
bool ReadTimeout(const std::string& text, std::chrono::milliseconds& timeout, std::string& error) {
    constexpr double mostSeconds = 86400;
    double seconds = 0;
    if (!xlstandin::NumberText::Parse(text, seconds) || !(seconds >= 0 && seconds <= mostSeconds)) {
        error = "--async-timeout needs a number of seconds from 0 to 86400, not \"" + text + "\"";
        return false;
    }
    timeout = std::chrono::milliseconds(std::llround(seconds * 1000));
    return true;
}

bool ReadFault(const std::string& text, InjectedFault& fault, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || !ReadNumber(text.substr(equals + 1), fault.code)) {
        error = "--fail needs NAME=CODE with a number for CODE, not \"" + text + "\"";
        return false;
    }
    fault.name = text.substr(0, equals);
    fault.function = xlstandin::ExcelStandIn::FunctionNumber(fault.name);
    if (fault.function < 0) {
        error = "--fail: the Excel stand-in plays no function \"" + fault.name + "\"";
        return false;
    }
    return true;
}

// The options that take no value, and where each sets its flag.
struct Flag {
    const char* name;
    bool HostOptions::*field;
};

constexpr Flag flags[] = {
    {"--wizard", &HostOptions::wizard},      {"--replace-dialog", &HostOptions::replaceDialog},
    {"--list", &HostOptions::list},          {"--status", &HostOptions::status},
    {"--no-xlcall", &HostOptions::noXlCall}, {"--debug-output", &HostOptions::debugOutput},
    {"--trace", &HostOptions::trace},        {"--help", &HostOptions::help},
};

const Flag* FindFlag(const std::string& name) {
    for (const Flag& flag : flags) {
        if (name == flag.name) {
            return &flag;
        }
    }
    return nullptr;
}

// The options that take a value.
constexpr const char* valued[] = {"--excel-version", "--fail",   "--cell",
                                  "--cells",         "--check",  "--formulas",
                                  "--threads",       "--repeat", "--async-timeout"};

bool TakesValue(const std::string& name) {
    for (const char* option : valued) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

bool ReadValued(const std::string& name, const std::string& value, HostOptions& options,
                std::string& error) {
    if (name == "--formulas") {
        options.formulaFiles.push_back(value);
        return true;
    }
    if (name == "--async-timeout") {
        return ReadTimeout(value, options.asyncTimeout, error);
    }
    if (name == "--excel-version") {
        if (!ReadNumber(value, options.excelVersion) || options.excelVersion == 0) {
            error = "--excel-version needs a version number, not \"" + value + "\"";
            return false;
        }
        return true;
    }
    if (name == "--threads" || name == "--repeat") {
        int& count = name == "--threads" ? options.threads : options.repeat;
        if (!ReadNumber(value, count) || count == 0) {
            error = name + " needs a positive count, not \"" + value + "\"";
            return false;
        }
        return true;
    }
    if (name == "--cell" || name == "--cells") {
        options.cells.push_back(CellSource{name == "--cells", value});
        return true;
    }
    if (name == "--check") {
        options.check = value;
        return true;
    }
    InjectedFault fault;
    if (!ReadFault(value, fault, error)) {
        return false;
    }
    options.faults.push_back(fault);
    return true;
}

// Reads the option at arguments[next - 1], and its value from arguments[next] when it takes one
// that it does not carry after "=".
bool ReadOption(const std::vector<std::string>& arguments, std::size_t& next, HostOptions& options,
                std::string& error) {
    const std::string& argument = arguments[next - 1];
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (const Flag* flag = FindFlag(name)) {
        if (equals != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
        options.*flag->field = true;
        return true;
    }
    if (!TakesValue(name)) {
        error = "unknown option \"" + name + "\"";
        return false;
    }
    if (equals != std::string::npos) {
        return ReadValued(name, argument.substr(equals + 1), options, error);
    }
    if (next >= arguments.size()) {
        error = name + " needs a value";
        return false;
    }
    return ReadValued(name, arguments[next++], options, error);
}

void ReadPositional(const std::string& argument, HostOptions& options) {
    if (options.addIn.empty()) {
        options.addIn = argument;
    } else {
        options.formulas.push_back(argument);
    }
}

} // namespace

bool HostOptions::Parse(const std::vector<std::string>& arguments, HostOptions& options,
                        std::string& error) {
    options = HostOptions();
    bool optionsEnded = false;
    for (std::size_t next = 0; next < arguments.size();) {
        const std::string& argument = arguments[next++];
        if (optionsEnded || argument.compare(0, 2, "--") != 0) {
            ReadPositional(argument, options);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (!ReadOption(arguments, next, options, error)) {
            return false;
        }
    }
    if (options.addIn.empty() && !options.help) {
        error = "no add-in given (xlhost --help tells more)";
        return false;
    }
    if (!options.check.empty() && !options.formulas.empty()) {
        error = "--check takes the formulas from its file, not from the command line";
        return false;
    }
    if (!options.check.empty() && !options.formulaFiles.empty()) {
        error = "--check takes the formulas from its file, not from --formulas";
        return false;
    }
    return true;
}

bool HostOptions::AsksForCheck(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            return false;
        }
        if (argument == "--check" || argument.compare(0, 8, "--check=") == 0) {
            return true;
        }
    }
    return false;
}

const char* HostOptions::Usage() {
    return usage;
}

} // namespace xlhost
