// xlhost: runs an Excel add-in headless. See HostOptions.cpp for the command line.
#include "CrashGuard.h"
#include "DebugOutputRelay.h"
#include "HostOptions.h"
#include "UnicodeText.h"
#include "XlHost.h"

#include <windows.h>

#include <exception>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

// The arguments after the program's name, in UTF-8, read from the wide command line: the narrow
// one holds only what the code page can.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(
            xlstandin::UnicodeText::ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    }
    LocalFree(wide);
    return arguments;
}

} // namespace

int main() {
    // Lines end in "\n" alone, as other tools reading the output expect; texts go out as UTF-8.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);

    xlhost::CrashGuard::Install();
    xlhost::HostOptions options;
    std::string error;
    const std::vector<std::string> arguments = Arguments();
    if (!xlhost::HostOptions::Parse(arguments, options, error)) {
        std::cerr << "xlhost: " << error << std::endl;
        return xlhost::HostOptions::AsksForCheck(arguments) ? xlhost::XlHost::CouldNotRun : 1;
    }
    if (options.help) {
        std::cout << xlhost::HostOptions::Usage();
        return 0;
    }
    // The debuggee started below finds its debugger present and runs the add-in itself.
    if (options.debugOutput && !IsDebuggerPresent()) {
        DWORD status = 1;
        if (!xlhost::DebugOutputRelay::Run(status, error)) {
            std::cerr << "xlhost: " << error << std::endl;
        }
        return static_cast<int>(status);
    }
    try {
        return xlhost::XlHost(options).Run();
    } catch (const std::exception& failure) {
        std::cerr << "xlhost: " << failure.what() << std::endl;
        return 1;
    }
}
