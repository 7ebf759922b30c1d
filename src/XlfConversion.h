#pragma once

#include <string>
#include <utility>

namespace vornix {

// The frame of every conversion of the value wrappers: make the start value, let the operation
// fill it, then hand the Excel return code back through err, or turn it into the wrapper's
// exception (with the context, when the form has one).
template <typename Wrapper> class XlfConversion {
public:
    template <typename Result, typename Operation>
    static Result Run(Result start, Operation operation, int* err, const std::string* context) {
        Result result = std::move(start);
        const int code = operation(result);
        if (err != nullptr)
            *err = code;
        else if (context != nullptr)
            Wrapper::ThrowOnError(code, *context);
        else
            Wrapper::ThrowOnError(code);
        return result;
    }
};

} // namespace vornix
