// xlhost: runs an Excel add-in headless. See HostOptions.cpp for the command line.
#include "CrashGuard.h"
#include "DebugOutputRelay.h"
#include "HostOptions.h"
#include "XlHost.h"

#include <windows.h>

#include <exception>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <stdio.h>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Lines end in "\n" alone, as other tools reading the output expect.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    xlhost::CrashGuard::Install();
    xlhost::HostOptions options;
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
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
