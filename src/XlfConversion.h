#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace vornix {

// The frame of every conversion of the value wrappers: make the start value, let the operation
// fill it, then hand the Excel return code back through err, or turn it into the wrapper's
// exception. The context text is made by a callable (or is nullptr for the forms without one),
// and only when there is something to throw: conversions run on every worksheet call, and a
// text built for nothing would cost a heap allocation each time.
template <typename Wrapper> class XlfConversion {
public:
    template <typename Result, typename Operation, typename MakeContext>
    static Result Run(Result start, Operation operation, int* err, MakeContext makeContext) {
        Result result = std::move(start);
        const int code = operation(result);
        if (err != nullptr)
            *err = code;
        else if (code != 0)
            Throw(code, makeContext);
        return result;
    }

private:
    static void Throw(int code, std::nullptr_t) { Wrapper::ThrowOnError(code); }

    template <typename MakeContext> static void Throw(int code, MakeContext makeContext) {
        Wrapper::ThrowOnError(code, makeContext());
    }
};

} // namespace vornix
