// The seven worksheet functions under their export names, as the add-in's module exports them:
// for tests and fuzzers that register a stand-in module of Tesmor with the Excel stand-in.
#pragma once

#include "WorksheetFunctions.h"

#include <windows.h>

#include <map>
#include <string>

inline std::map<std::string, FARPROC> TesmorExports() {
    const auto proc = [](auto function) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
    };
    return {{"xlbin_Dec2Bin", proc(xlbin_Dec2Bin)},      {"xlbin_Bin2Dec", proc(xlbin_Bin2Dec)},
            {"xlbin_bitXOR", proc(xlbin_bitXOR)},        {"xlbin_bitOR", proc(xlbin_bitOR)},
            {"xlbin_bitAnd", proc(xlbin_bitAnd)},        {"xlbin_leftShift", proc(xlbin_leftShift)},
            {"xlbin_RightShift", proc(xlbin_RightShift)}};
}
