#include "FormulaParser.h"

#include "NumberText.h"
#include "UnicodeText.h"
#include <vornix/ExcelApi.h>

#include <cctype>
#include <stdexcept>
#include <utility>

namespace xlhost {

using xlstandin::HostValue;

namespace {

// Thrown inside the parser only; Parse turns it into the reason.
struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr int errorLiterals[] = {xlerrNull, xlerrDiv0, xlerrValue, xlerrRef,
                                 xlerrName, xlerrNum,  xlerrNA};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Every character beyond ASCII counts as a letter, each byte of its UTF-8 sequence with it.
bool StartsName(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x80 && std::isalpha(byte) != 0) || byte >= 0x80 || c == '_';
}

bool ContinuesName(char c) {
    return StartsName(c) || IsDigit(c) || c == '.';
}

bool StartsNumber(char c) {
    return IsDigit(c) || c == '.' || c == '+' || c == '-';
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

bool FormulaParser::Parse(const std::string& text, Expression& formula, std::string& reason,
                          const SheetGrid& grid) {
    FormulaParser parser(text, grid);
    return parser.ReadWhole(
        "call",
        [&parser] {
            if (parser.Peek() == '=') {
                ++parser.position_;
            }
            return parser.ReadCall();
        },
        formula, reason);
}

bool FormulaParser::ParseValue(const std::string& text, HostValue& value, std::string& reason) {
    FormulaParser parser(text, SheetGrid::Of(12));
    return parser.ReadWhole(
        "value",
        [&parser] { return parser.Peek() == '{' ? parser.ReadArray() : parser.ReadConstant(); },
        value, reason);
}

template <typename Result, typename Reader>
bool FormulaParser::ReadWhole(const char* what, Reader read, Result& result, std::string& reason) {
    try {
        const std::size_t invalid = xlstandin::UnicodeText::InvalidUtf8At(text_);
        if (invalid != std::string::npos) {
            position_ = invalid;
            Fail("not UTF-8 text");
        }
        Result whole = read();
        if (Peek() != '\0') {
            Fail("unexpected \"" + Character() + "\" after the " + what);
        }
        result = std::move(whole);
        return true;
    } catch (const ParseError& error) {
        reason = error.what();
        return false;
    }
}

Expression FormulaParser::ReadCall() {
    if (!StartsName(Peek())) {
        Fail("expected a function name");
    }
    if (++depth_ > MaxDepth) {
        FailWhole("nested deeper than " + std::to_string(MaxDepth));
    }
    Expression call;
    call.name = ReadName();
    Expect('(');
    if (Peek() == ')') {
        ++position_;
        --depth_;
        return call;
    }
    for (;;) {
        call.arguments.push_back(ReadArgument());
        const char next = Peek();
        if (next != ',' && next != ')') {
            Fail("expected \",\" or \")\"");
        }
        ++position_;
        if (next == ')') {
            --depth_;
            return call;
        }
    }
}

Expression FormulaParser::ReadArgument() {
    const char next = Peek();
    if (next == ',' || next == ')') {
        return Expression{}; // missing
    }
    Expression reference;
    if (ReadReference(reference)) {
        return reference;
    }
    if (StartsName(next)) {
        return ReadNamed();
    }
    Expression constant;
    constant.value = next == '{' ? ReadArray() : ReadConstant();
    return constant;
}

// A call, or TRUE or FALSE; other bare names Excel would look up as defined names.
Expression FormulaParser::ReadNamed() {
    const std::size_t start = position_;
    const std::string name = ReadName();
    if (Peek() == '(') {
        position_ = start;
        return ReadCall();
    }
    const std::string upper = Upper(name);
    if (upper != "TRUE" && upper != "FALSE") {
        position_ = start;
        Fail("unknown name \"" + name + "\"");
    }
    Expression constant;
    constant.value = HostValue::Boolean(upper == "TRUE");
    return constant;
}

bool FormulaParser::ReadReference(Expression& reference) {
    CellReference read;
    std::string reason;
    if (!CellReferenceReader::Read(text_, position_, grid_, read, reason)) {
        if (!reason.empty()) {
            Fail(reason);
        }
        return false;
    }
    reference.value = HostValue::Reference(HostValue::CurrentSheet, {read.area});
    reference.sheet = read.sheet;
    return true;
}

HostValue FormulaParser::ReadConstant() {
    const char next = Peek();
    if (next == '"') {
        return ReadText();
    }
    if (next == '#') {
        return ReadError();
    }
    if (StartsNumber(next)) {
        return ReadNumber();
    }
    const std::size_t start = position_;
    Expression reference;
    if (ReadReference(reference)) {
        position_ = start;
        Fail("an array holds constants only");
    }
    if (StartsName(next)) {
        const Expression named = ReadNamed();
        if (!named.IsCall()) {
            return named.value;
        }
        position_ = start;
        Fail("an array holds constants only");
    }
    Fail("expected a value");
}

HostValue FormulaParser::ReadNumber() {
    const std::size_t start = position_;
    if (text_[position_] == '+' || text_[position_] == '-') {
        ++position_;
    }
    while (position_ < text_.size() && (IsDigit(text_[position_]) || text_[position_] == '.')) {
        ++position_;
    }
    if (position_ < text_.size() && (text_[position_] == 'E' || text_[position_] == 'e')) {
        ++position_;
        if (position_ < text_.size() && (text_[position_] == '+' || text_[position_] == '-')) {
            ++position_;
        }
        while (position_ < text_.size() && IsDigit(text_[position_])) {
            ++position_;
        }
    }
    const std::string number = text_.substr(start, position_ - start);
    double value = 0;
    if (!xlstandin::NumberText::Parse(number, value)) {
        position_ = start;
        Fail("cannot read the number \"" + number + "\"");
    }
    return HostValue::Number(value);
}

HostValue FormulaParser::ReadText() {
    const std::size_t start = position_++;
    std::string bytes;
    for (;;) {
        if (position_ >= text_.size()) {
            position_ = start;
            Fail("text without its closing quote");
        }
        const char c = text_[position_++];
        if (c != '"') {
            bytes += c;
        } else if (position_ < text_.size() && text_[position_] == '"') {
            bytes += '"';
            ++position_;
        } else {
            return HostValue::Text(xlstandin::UnicodeText::FromUtf8(bytes));
        }
    }
}

HostValue FormulaParser::ReadError() {
    for (int code : errorLiterals) {
        const std::string literal = HostValue::ErrorName(code);
        if (Upper(text_.substr(position_, literal.size())) == literal) {
            position_ += literal.size();
            return HostValue::Error(code);
        }
    }
    Fail("unknown error value");
}

HostValue FormulaParser::ReadArray() {
    Expect('{');
    std::vector<HostValue> elements;
    int rows = 1;
    int columns = 0;
    for (;;) {
        elements.push_back(ReadConstant());
        const char next = Peek();
        ++position_;
        if (next == ';' || next == '}') {
            const int count = static_cast<int>(elements.size());
            if (columns == 0) {
                columns = count;
            } else if (count != rows * columns) {
                --position_;
                Fail("array rows of different lengths");
            }
            if (next == '}') {
                return HostValue::Array(rows, columns, std::move(elements));
            }
            ++rows;
        } else if (next != ',') {
            --position_;
            Fail("expected \",\", \";\" or \"}\"");
        }
    }
}

std::string FormulaParser::ReadName() {
    const std::size_t start = position_;
    while (position_ < text_.size() && ContinuesName(text_[position_])) {
        ++position_;
    }
    return text_.substr(start, position_ - start);
}

char FormulaParser::Peek() {
    while (position_ < text_.size() && IsBlank(text_[position_])) {
        ++position_;
    }
    return position_ < text_.size() ? text_[position_] : '\0';
}

void FormulaParser::Expect(char wanted) {
    if (Peek() != wanted) {
        Fail(std::string("expected \"") + wanted + "\"");
    }
    ++position_;
}

// The whole character at the position, all bytes of its UTF-8 sequence.
std::string FormulaParser::Character() const {
    std::size_t end = position_ + 1;
    while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return text_.substr(position_, end - position_);
}

// Columns count characters, not bytes.
void FormulaParser::Fail(const std::string& what) const {
    const std::size_t column = xlstandin::UnicodeText::CharactersBefore(text_, position_) + 1;
    FailWhole("at column " + std::to_string(column) + ": " + what);
}

void FormulaParser::FailWhole(const std::string& what) {
    throw ParseError(what);
}

} // namespace xlhost
