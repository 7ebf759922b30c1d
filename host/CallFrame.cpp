#include "CallFrame.h"

#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace xlstandin {

namespace {

template <typename Target> Target As(FARPROC function) {
    return reinterpret_cast<Target>(reinterpret_cast<void (*)()>(function));
}

} // namespace

#if defined(_WIN32) && !defined(_WIN64)

namespace {

template <std::size_t> using Word = std::uint32_t;

template <typename Result, std::size_t... Index>
Result CallWords(FARPROC function, [[maybe_unused]] const std::uint32_t* words,
                 std::index_sequence<Index...>) {
    using Target = Result(__stdcall*)(Word<Index>...);
    return As<Target>(function)(words[Index]...);
}

template <typename Result, std::size_t Count>
Result CallCount(FARPROC function, const std::uint32_t* words) {
    return CallWords<Result>(function, words, std::make_index_sequence<Count>());
}

// One caller per word count, so that the callee pops exactly what was pushed.
template <typename Result, std::size_t... Count>
Result Dispatch(FARPROC function, const std::uint32_t* words, std::size_t count,
                std::index_sequence<Count...>) {
    using Caller = Result (*)(FARPROC, const std::uint32_t*);
    static constexpr Caller callers[] = {&CallCount<Result, Count>...};
    return callers[count](function, words);
}

} // namespace

void CallFrame::AddWord(std::intptr_t word) {
    if (wordCount_ + 1 > MaxWords) {
        throw std::length_error("too many arguments");
    }
    words_[wordCount_++] = static_cast<std::uint32_t>(word);
}

void CallFrame::AddDouble(double value) {
    if (wordCount_ + 2 > MaxWords) {
        throw std::length_error("too many arguments");
    }
    std::memcpy(&words_[wordCount_], &value, sizeof value);
    wordCount_ += 2;
}

double CallFrame::CallReturningDouble(FARPROC function) const {
    return Dispatch<double>(function, words_.data(), wordCount_,
                            std::make_index_sequence<MaxWords + 1>());
}

std::uintptr_t CallFrame::CallReturningWord(FARPROC function) const {
    return Dispatch<std::uint32_t>(function, words_.data(), wordCount_,
                                   std::make_index_sequence<MaxWords + 1>());
}

#elif defined(_WIN64)

namespace {

// The i-th of the first four arguments is a double when bit i of the mask is set.
template <unsigned Mask, std::size_t Index>
using Slot = std::conditional_t<(Mask >> Index) & 1, double, std::uint64_t>;

template <typename Result, unsigned Mask>
Result CallSlots(FARPROC function, const std::uint64_t* slots) {
    using Target = Result (*)(Slot<Mask, 0>, Slot<Mask, 1>, Slot<Mask, 2>, Slot<Mask, 3>,
                              std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t);
    const auto at = [slots](std::size_t i, auto kind) {
        decltype(kind) value;
        std::memcpy(&value, &slots[i], sizeof value);
        return value;
    };
    return As<Target>(function)(at(0, Slot<Mask, 0>{}), at(1, Slot<Mask, 1>{}),
                                at(2, Slot<Mask, 2>{}), at(3, Slot<Mask, 3>{}), slots[4], slots[5],
                                slots[6], slots[7]);
}

template <typename Result, unsigned... Mask>
Result Dispatch(FARPROC function, const std::uint64_t* slots, unsigned mask,
                std::integer_sequence<unsigned, Mask...>) {
    using Caller = Result (*)(FARPROC, const std::uint64_t*);
    static constexpr Caller callers[] = {&CallSlots<Result, Mask>...};
    return callers[mask](function, slots);
}

} // namespace

void CallFrame::AddWord(std::intptr_t word) {
    AddSlot(&word, sizeof word, false);
}

void CallFrame::AddDouble(double value) {
    AddSlot(&value, sizeof value, true);
}

void CallFrame::AddSlot(const void* bits, std::size_t size, bool isDouble) {
    if (slotCount_ >= MaxArguments) {
        throw std::length_error("too many arguments");
    }
    std::memcpy(&slots_[slotCount_], bits, size);
    if (isDouble && slotCount_ < RegisterSlots)
        doubleMask_ |= 1u << slotCount_;
    ++slotCount_;
}

double CallFrame::CallReturningDouble(FARPROC function) const {
    return Dispatch<double>(function, slots_.data(), doubleMask_,
                            std::make_integer_sequence<unsigned, 1u << RegisterSlots>());
}

std::uintptr_t CallFrame::CallReturningWord(FARPROC function) const {
    return Dispatch<std::uintptr_t>(function, slots_.data(), doubleMask_,
                                    std::make_integer_sequence<unsigned, 1u << RegisterSlots>());
}

#elif defined(__x86_64__) || defined(__aarch64__)

namespace {

template <typename Result>
Result CallPacked(FARPROC function, const std::intptr_t* i, const double* d) {
    using Target = Result (*)(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                              std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, double,
                              double, double, double, double, double, double, double);
    return As<Target>(function)(i[0], i[1], i[2], i[3], i[4], i[5], i[6], i[7], d[0], d[1], d[2],
                                d[3], d[4], d[5], d[6], d[7]);
}

} // namespace

void CallFrame::AddWord(std::intptr_t word) {
    if (integerCount_ + doubleCount_ >= MaxArguments) {
        throw std::length_error("too many arguments");
    }
    integers_[integerCount_++] = word;
}

void CallFrame::AddDouble(double value) {
    if (integerCount_ + doubleCount_ >= MaxArguments) {
        throw std::length_error("too many arguments");
    }
    doubles_[doubleCount_++] = value;
}

double CallFrame::CallReturningDouble(FARPROC function) const {
    return CallPacked<double>(function, integers_.data(), doubles_.data());
}

std::uintptr_t CallFrame::CallReturningWord(FARPROC function) const {
    return CallPacked<std::uintptr_t>(function, integers_.data(), doubles_.data());
}

#else
#error "CallFrame knows the calling conventions of i386 and x64 Windows, x86-64 and AArch64 only"
#endif

} // namespace xlstandin
