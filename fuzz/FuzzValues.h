// Values the fuzzers draw from their input, and the one comparison of doubles they share.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>

// Any 64 bits as a double: NaNs with any payload, infinities, subnormals and -0 included.
inline double AnyDouble(FuzzedDataProvider& input) {
    const auto bits = input.ConsumeIntegral<std::uint64_t>();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The same bits, or both NaN.
inline bool SameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}
