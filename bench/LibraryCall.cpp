#include "LibraryCall.h"

#include "WorksheetFunctions.h"

LPXLFOPER CallLibrary(const WorksheetCase& call, LPXLFOPER first, LPXLFOPER second) {
    switch (call.function) {
    case WorksheetFunction::Dec2Bin:
        return xlbin_Dec2Bin(first, call.second);
    case WorksheetFunction::Bin2Dec:
        return xlbin_Bin2Dec(first);
    case WorksheetFunction::BitXor:
        return xlbin_bitXOR(first, second);
    case WorksheetFunction::BitOr:
        return xlbin_bitOR(first, second);
    case WorksheetFunction::BitAnd:
        return xlbin_bitAnd(first, second);
    case WorksheetFunction::LeftShift:
        return xlbin_leftShift(call.first, call.second);
    case WorksheetFunction::RightShift:
        return xlbin_RightShift(call.first, call.second);
    }
    return nullptr;
}
