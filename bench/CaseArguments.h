#pragma once

#include <vornix/ExcelApi.h>

#include <cstring>

template <typename Record> struct TextUnit { using Type = XCHAR; };
template <> struct TextUnit<XLOPER> { using Type = char; };

// The value records of a case's arguments, as Excel passes them: numbers, or counted texts
// without a terminating NUL.
template <typename Record> class CaseArguments {
public:
    using Unit = typename TextUnit<Record>::Type;

    CaseArguments(double first, double second, const char* firstText, const char* secondText,
                  bool texts) {
        Make(first_, firstUnits_, first, firstText, texts);
        Make(second_, secondUnits_, second, secondText, texts);
    }
    CaseArguments(const CaseArguments&) = delete;
    CaseArguments& operator=(const CaseArguments&) = delete;

    Record* First() { return &first_; }
    Record* Second() { return &second_; }

private:
    static void Make(Record& record, Unit* units, double value, const char* text, bool texts) {
        if (texts && text != nullptr) {
            const std::size_t length = std::strlen(text);
            units[0] = static_cast<Unit>(length);
            for (std::size_t i = 0; i < length; ++i)
                units[i + 1] = static_cast<Unit>(text[i]);
            record.val.str = units;
            record.xltype = xltypeStr;
        } else {
            record.val.num = value;
            record.xltype = xltypeNum;
        }
    }

    Record first_{};
    Record second_{};
    Unit firstUnits_[32] = {};
    Unit secondUnits_[32] = {};
};
