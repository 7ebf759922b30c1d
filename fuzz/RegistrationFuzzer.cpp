// Registration of function descriptions with any names, help texts, type tags and flags, in both
// Excel modes: registering and unregistering never crashes, leaks or throws anything but the
// library's documented exceptions. A sane description (plain names and texts, known type letters)
// must arrive in the stand-in exactly as declared, and be gone after unregistering.
#include "FuzzCheck.h"
#include "StandInRound.h"
#include <vornix/XlfArgDesc.h>
#include <vornix/XlfFuncDesc.h>

#include <fuzzer/FuzzedDataProvider.h>
#include <windows.h>

#include <cstdint>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <Win32Compat.h>
#endif

namespace {

const char* const kModule = "C:\\fuzz\\Registered.xll";
const char* const kSaneTypeTags[] = {"XLF_OPER", "B", "J"};
const char* const kSaneReturnTypes[] = {"P", "B", "J"};
const char* const kAnyTypeTags[] = {"XLF_OPER", "XLF_XLOPER", "VORNIX_WSTR", "B", "J",
                                    "P",        "Q",          "R",           "U", "A",
                                    "C",        "#",          "!",           "$", ""};

extern "C" double RegisteredProcedure() {
    return 0;
}

struct Description {
    bool sane = true;
    std::string name, alias, comment, category, returnType;
    int volatility = 0;
    bool threadSafe = false;
    std::vector<vornix::XlfArgDesc> arguments;
};

// A name of letters and digits after a letter; unless sane, possibly any bytes.
std::string Name(FuzzedDataProvider& input, bool sane) {
    std::string text = input.ConsumeRandomLengthString(300);
    if (!sane && input.ConsumeBool())
        return text;
    static const char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    text = text.substr(0, 30);
    for (char& c : text)
        c = alphabet[static_cast<unsigned char>(c) % (sizeof(alphabet) - 1)];
    return "f" + text;
}

// Printable ASCII of at most 200 bytes; possibly any bytes, as for names.
std::string HelpText(FuzzedDataProvider& input, bool sane) {
    std::string text = input.ConsumeRandomLengthString(300);
    if (!sane && input.ConsumeBool())
        return text;
    text = text.substr(0, 200);
    for (char& c : text)
        c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
    return text;
}

Description AnyDescription(FuzzedDataProvider& input) {
    Description d;
    // Half the descriptions are meant to be sane; the others mix sane and any parts.
    d.sane = input.ConsumeBool();
    d.name = Name(input, d.sane);
    d.alias = Name(input, d.sane);
    d.comment = HelpText(input, d.sane);
    d.category = HelpText(input, d.sane);
    if (d.sane || input.ConsumeBool()) {
        d.returnType = input.PickValueInArray(kSaneReturnTypes);
    } else {
        d.returnType = input.ConsumeRandomLengthString(8);
        d.sane = false;
    }
    d.volatility = input.ConsumeIntegralInRange(-1, 2);
    d.threadSafe = input.ConsumeBool();
    const int count = input.ConsumeIntegralInRange(0, d.sane || input.ConsumeBool() ? 8 : 40);
    d.sane = d.sane && count <= 8;
    for (int i = 0; i < count; ++i) {
        std::string name = Name(input, d.sane);
        std::string help = HelpText(input, d.sane);
        std::string tag = d.sane || input.ConsumeBool() ? input.PickValueInArray(kSaneTypeTags)
                                                        : input.PickValueInArray(kAnyTypeTags);
        d.sane = d.sane && name.size() <= 18 && (tag == "XLF_OPER" || tag == "B" || tag == "J");
        d.arguments.emplace_back(name, help, tag);
    }
    return d;
}

std::string Joined(const std::vector<vornix::XlfArgDesc>& arguments) {
    std::string text;
    for (const vornix::XlfArgDesc& argument : arguments)
        text += (text.empty() ? "" : ", ") + argument.GetName();
    return text;
}

template <typename Mode> void CheckArrivedExactly(const Description& d) {
    const auto& excel = xlstandin::ExcelStandIn::Instance();
    const xlstandin::Registration* stored = excel.FindFunction(d.alias);
    FUZZ_CHECK(stored != nullptr);
    FUZZ_CHECK(stored->id != 0);
    FUZZ_CHECK(stored->procedure == d.name);
    FUZZ_CHECK(stored->macroType == 1);
    FUZZ_CHECK(stored->category == d.category);
    FUZZ_CHECK(stored->functionHelp == d.comment);
    FUZZ_CHECK(stored->argumentText == Joined(d.arguments));
    std::string typeText = d.returnType;
    for (const vornix::XlfArgDesc& argument : d.arguments)
        typeText += argument.GetType() == "XLF_OPER" ? (Mode::Version == 12 ? "Q" : "P")
                                                     : argument.GetType();
    typeText += d.volatility == 1 ? "!" : "";
    typeText += Mode::Version == 12 && d.threadSafe ? "$" : "";
    FUZZ_CHECK(stored->typeText == typeText);
    FUZZ_CHECK(stored->argumentHelps.size() == d.arguments.size());
    for (std::size_t i = 0; i < d.arguments.size(); ++i) {
        const std::string& help = stored->argumentHelps[i];
        FUZZ_CHECK(help == d.arguments[i].GetComment());
        FUZZ_CHECK(help.size() >= 2 && help.compare(help.size() - 2, 2, ". ") == 0);
    }
}

template <typename Mode> void RunRound(FuzzedDataProvider& input) {
    const Description d = AnyDescription(input);
    win32compat::RegisterModule(
        kModule,
        {{d.name, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RegisteredProcedure))}});
    StandInRound<Mode> round;
    round.Excel().SetAddInName(kModule);
    // Sometimes the first REGISTER fails with one of Excel's return codes.
    const bool faultless = input.ConsumeBool();
    if (!faultless)
        round.Excel().FailNext(xlfRegister, 1 << input.ConsumeIntegralInRange(0, 8));

    vornix::XlfFuncDesc function(d.name, d.alias, d.comment, d.category, d.volatility, d.threadSafe,
                                 d.returnType);
    vornix::XlfArgDescList arguments(d.arguments.begin(), d.arguments.end());
    function.SetArguments(arguments);
    try {
        function.Register();
        if (d.sane && faultless)
            CheckArrivedExactly<Mode>(d);
        function.Unregister();
        if (d.sane && faultless)
            FUZZ_CHECK(round.Excel().FindFunction(d.alias) == nullptr);
    } catch (const std::exception&) {
        FUZZ_CHECK(!(d.sane && faultless));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        std::cerr.rdbuf(nullptr); // the library's log lines are not what is checked here
        return true;
    }();
    static_cast<void>(quiet);
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool())
        RunRound<Excel12Mode>(input);
    else
        RunRound<Excel16Mode>(input);
    return 0;
}
