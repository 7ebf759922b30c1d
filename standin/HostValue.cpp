#include "HostValue.h"

#include "ValueText.h"

#include <stdexcept>

namespace xlstandin {

HostValue HostValue::Nil() {
    return HostValue(Kind::Nil);
}

HostValue HostValue::Number(double value) {
    HostValue result(Kind::Number);
    result.number_ = value;
    return result;
}

HostValue HostValue::Text(const std::string& bytes) {
    std::u16string units;
    for (char byte : bytes) {
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(byte)));
    }
    return Text(std::move(units));
}

HostValue HostValue::Text(std::u16string units) {
    HostValue result(Kind::Text);
    result.text_ = std::move(units);
    return result;
}

HostValue HostValue::Boolean(bool value) {
    HostValue result(Kind::Boolean);
    result.number_ = value ? 1 : 0;
    return result;
}

HostValue HostValue::Error(int code) {
    HostValue result(Kind::Error);
    result.number_ = code;
    return result;
}

HostValue HostValue::Array(int rows, int columns, std::vector<HostValue> elements) {
    if (rows < 1 || columns < 1 || elements.size() != static_cast<std::size_t>(rows) * columns) {
        throw std::invalid_argument("array needs rows * columns elements");
    }
    for (const HostValue& element : elements) {
        if (element.Is(Kind::Array) || element.Is(Kind::Reference)) {
            throw std::invalid_argument("array elements must be plain values");
        }
    }
    HostValue result(Kind::Array);
    result.rows_ = rows;
    result.columns_ = columns;
    result.elements_ = std::move(elements);
    return result;
}

HostValue HostValue::Reference(std::uintptr_t sheetId, std::vector<CellArea> areas) {
    HostValue result(Kind::Reference);
    result.sheetId_ = sheetId;
    result.areas_ = std::move(areas);
    return result;
}

std::string HostValue::AsNarrowText() const {
    std::string bytes;
    for (char16_t unit : text_) {
        bytes.push_back(unit > 0xFF ? '?' : static_cast<char>(unit));
    }
    return bytes;
}

const HostValue& HostValue::At(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) {
        throw std::out_of_range("array element outside the array");
    }
    return elements_[static_cast<std::size_t>(row) * columns_ + column];
}

bool HostValue::operator==(const HostValue& other) const {
    if (kind_ != other.kind_) {
        return false;
    }
    switch (kind_) {
    case Kind::Number:
    case Kind::Boolean:
    case Kind::Error:
        return number_ == other.number_;
    case Kind::Text:
        return text_ == other.text_;
    case Kind::Array:
        return rows_ == other.rows_ && columns_ == other.columns_ && elements_ == other.elements_;
    case Kind::Reference:
        return sheetId_ == other.sheetId_ && areas_ == other.areas_;
    default:
        return true;
    }
}

std::string HostValue::ErrorName(int code) {
    switch (code) {
    case 0:
        return "#NULL!";
    case 7:
        return "#DIV/0!";
    case 15:
        return "#VALUE!";
    case 23:
        return "#REF!";
    case 29:
        return "#NAME?";
    case 36:
        return "#NUM!";
    case 42:
        return "#N/A";
    case 43:
        return "#GETTING_DATA";
    default:
        return "#ERR" + std::to_string(code);
    }
}

std::ostream& operator<<(std::ostream& out, const HostValue& value) {
    return out << ValueText::Of(value, ValueText::Readable);
}

} // namespace xlstandin
