#include "Coercion.h"

#include "NumberText.h"

#include <cmath>
#include <utility>

namespace xlstandin {

namespace {

// Types tried, in order, when the source's own type is not among those asked for.
constexpr DWORD conversionOrder[] = {xltypeNum,  xltypeInt,   xltypeStr,
                                     xltypeBool, xltypeMulti, xltypeErr};

bool EqualsIgnoringCase(const std::u16string& text, const char* word) {
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        if (i >= text.size()) {
            return false;
        }
        char16_t unit = text[i];
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        }
        if (unit != static_cast<char16_t>(word[i])) {
            return false;
        }
    }
    return i == text.size();
}

bool IsEmpty(const HostValue& value) {
    return value.Is(HostValue::Kind::Missing) || value.Is(HostValue::Kind::Nil);
}

} // namespace

bool Coercion::Convert(const HostValue& source, DWORD typeMask, Answer& answer) const {
    if (source.Is(HostValue::Kind::Reference) && (typeMask & (xltypeRef | xltypeSRef)) != 0) {
        answer = Answer{source, false};
        return true;
    }
    HostValue value;
    if (!Dereference(source, value)) {
        return false;
    }
    const DWORD own = TypeOf(value);
    if ((typeMask & own) != 0) {
        answer = Answer{value, false};
        return true;
    }
    for (DWORD type : conversionOrder) {
        if ((typeMask & type) != 0 && ConvertValue(value, type, answer)) {
            return true;
        }
    }
    return false;
}

bool Coercion::ConvertValue(const HostValue& value, DWORD type, Answer& answer) const {
    switch (type) {
    case xltypeNum: {
        double number = 0;
        if (!ToNumber(value, number)) {
            return false;
        }
        answer = Answer{HostValue::Number(number)};
        return true;
    }
    case xltypeInt: {
        long number = 0;
        if (!ToInt(value, number)) {
            return false;
        }
        answer = Answer{HostValue::Number(static_cast<double>(number)), true};
        return true;
    }
    case xltypeStr: {
        std::u16string text;
        if (!ToText(value, text)) {
            return false;
        }
        answer = Answer{HostValue::Text(std::move(text))};
        return true;
    }
    case xltypeBool: {
        bool boolean = false;
        if (!ToBoolean(value, boolean)) {
            return false;
        }
        answer = Answer{HostValue::Boolean(boolean)};
        return true;
    }
    case xltypeMulti:
        // A plain value becomes a one-cell array; an error stays an error inside it.
        answer = Answer{HostValue::Array(1, 1, {IsEmpty(value) ? HostValue::Nil() : value})};
        return true;
    default:
        return false; // only an error converts to an error, and that kept its own type
    }
}

bool Coercion::Dereference(const HostValue& source, HostValue& value) const {
    if (!source.Is(HostValue::Kind::Reference)) {
        value = source;
        return true;
    }
    return sheet_.Read(source, value);
}

bool Coercion::ToNumber(const HostValue& source, double& number) const {
    const HostValue& value = Scalar(source);
    switch (value.GetKind()) {
    case HostValue::Kind::Number:
        number = value.AsNumber();
        return true;
    case HostValue::Kind::Boolean:
        number = value.AsBoolean() ? 1 : 0;
        return true;
    case HostValue::Kind::Text:
        return NumberText::Parse(value.AsNarrowText(), number);
    case HostValue::Kind::Missing:
    case HostValue::Kind::Nil:
        number = 0;
        return true;
    default:
        return false;
    }
}

bool Coercion::ToText(const HostValue& source, std::u16string& text) const {
    const HostValue& value = Scalar(source);
    std::string digits;
    switch (value.GetKind()) {
    case HostValue::Kind::Number:
        if (!NumberText::General(value.AsNumber(), digits)) {
            return false;
        }
        text = HostValue::Text(digits).AsText();
        return true;
    case HostValue::Kind::Boolean:
        text = value.AsBoolean() ? u"TRUE" : u"FALSE";
        return true;
    case HostValue::Kind::Text:
        text = value.AsText().substr(0, limits_.maxTextLength);
        return true;
    case HostValue::Kind::Missing:
    case HostValue::Kind::Nil:
        text.clear();
        return true;
    default:
        return false;
    }
}

bool Coercion::ToBoolean(const HostValue& source, bool& boolean) const {
    const HostValue& value = Scalar(source);
    switch (value.GetKind()) {
    case HostValue::Kind::Number:
    case HostValue::Kind::Boolean:
        boolean = value.AsNumber() != 0;
        return true;
    case HostValue::Kind::Text:
        if (EqualsIgnoringCase(value.AsText(), "TRUE") ||
            EqualsIgnoringCase(value.AsText(), "FALSE")) {
            boolean = EqualsIgnoringCase(value.AsText(), "TRUE");
            return true;
        }
        return false;
    case HostValue::Kind::Missing:
    case HostValue::Kind::Nil:
        boolean = false;
        return true;
    default:
        return false;
    }
}

bool Coercion::ToInt(const HostValue& source, long& number) const {
    double real = 0;
    if (!ToNumber(source, real)) {
        return false;
    }
    const double truncated = std::trunc(real);
    if (truncated < static_cast<double>(limits_.minInt) ||
        truncated > static_cast<double>(limits_.maxInt)) {
        return false;
    }
    number = static_cast<long>(truncated);
    return true;
}

DWORD Coercion::TypeOf(const HostValue& value) {
    switch (value.GetKind()) {
    case HostValue::Kind::Number:
        return xltypeNum;
    case HostValue::Kind::Text:
        return xltypeStr;
    case HostValue::Kind::Boolean:
        return xltypeBool;
    case HostValue::Kind::Error:
        return xltypeErr;
    case HostValue::Kind::Array:
        return xltypeMulti;
    case HostValue::Kind::Nil:
        return xltypeNil;
    case HostValue::Kind::Missing:
        return xltypeMissing;
    default:
        return xltypeRef;
    }
}

const HostValue& Coercion::Scalar(const HostValue& value) {
    return value.Is(HostValue::Kind::Array) ? value.Elements()[0] : value;
}

} // namespace xlstandin
