#include "CallFrame.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace xlstandin {

void CallFrame::AddWord(std::intptr_t word) {
    if (slots_.size() >= MaxArguments) {
        throw std::length_error("too many arguments");
    }
    slots_.push_back(Slot{false, static_cast<std::uint64_t>(static_cast<std::int64_t>(word))});
}

void CallFrame::AddDouble(double value) {
    if (slots_.size() >= MaxArguments) {
        throw std::length_error("too many arguments");
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    slots_.push_back(Slot{true, bits});
}

#if defined(_WIN32) && !defined(_WIN64)

} // namespace xlstandin

// The thunk: (function, words, count) -> whatever the function returns, in eax or st(0).
extern "C" std::uint32_t __cdecl xlstandin_CallStackWords(FARPROC, const std::uint32_t*,
                                                          std::uint32_t);
extern "C" double __cdecl xlstandin_CallStackWordsDouble(FARPROC, const std::uint32_t*,
                                                         std::uint32_t);
asm(R"(
    .text
    .globl _xlstandin_CallStackWords
    .globl _xlstandin_CallStackWordsDouble
_xlstandin_CallStackWords:
_xlstandin_CallStackWordsDouble:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 16(%ebp), %ecx
    movl 12(%ebp), %esi
    leal 0(,%ecx,4), %eax
    subl %eax, %esp
    andl $-16, %esp
    movl %esp, %edi
    cld
    rep movsl
    call *8(%ebp)
    leal -8(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace xlstandin {

namespace {

// A double takes two words, its low word first.
std::vector<std::uint32_t> StackWords(const std::vector<CallFrame::Slot>& slots) {
    std::vector<std::uint32_t> words;
    for (const CallFrame::Slot& slot : slots) {
        words.push_back(static_cast<std::uint32_t>(slot.bits));
        if (slot.isDouble) {
            words.push_back(static_cast<std::uint32_t>(slot.bits >> 32));
        }
    }
    return words;
}

} // namespace

double CallFrame::CallReturningDouble(FARPROC function) const {
    const std::vector<std::uint32_t> words = StackWords(slots_);
    return xlstandin_CallStackWordsDouble(function, words.data(),
                                          static_cast<std::uint32_t>(words.size()));
}

std::uintptr_t CallFrame::CallReturningWord(FARPROC function) const {
    const std::vector<std::uint32_t> words = StackWords(slots_);
    return xlstandin_CallStackWords(function, words.data(),
                                    static_cast<std::uint32_t>(words.size()));
}

#else

namespace {

template <typename Target> Target As(FARPROC function) {
    return reinterpret_cast<Target>(reinterpret_cast<void (*)()>(function));
}

double BitsAsDouble(std::uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

#if defined(_WIN64)
// Every slot a variadic double: no register slots of either kind apart.
constexpr std::size_t integerRegisters = 0;
constexpr std::size_t vectorRegisters = 0;
#elif defined(__x86_64__)
constexpr std::size_t integerRegisters = 6;
constexpr std::size_t vectorRegisters = 8;
#elif defined(__aarch64__)
constexpr std::size_t integerRegisters = 8;
constexpr std::size_t vectorRegisters = 8;
#else
#error "CallFrame knows the calling conventions of Windows, x86-64 and AArch64 only"
#endif

// Registers and the remaining slots, in the order the calling convention fills them.
struct Packed {
    std::array<std::intptr_t, integerRegisters> integers{};
    std::array<double, vectorRegisters> doubles{};
    std::array<std::uint64_t, CallFrame::MaxArguments> rest{};
    std::size_t restCount = 0;
};

// A function rather than a comparison in place: on 64-bit Windows there are no registers apart
// and a comparison with the constant 0 would be flagged as always false.
bool Fits(std::size_t used, std::size_t registers) {
    return used < registers;
}

Packed Pack(const std::vector<CallFrame::Slot>& slots) {
    Packed packed;
    std::size_t integers = 0;
    std::size_t doubles = 0;
    for (const CallFrame::Slot& slot : slots) {
        if (slot.isDouble && Fits(doubles, vectorRegisters)) {
            packed.doubles[doubles++] = BitsAsDouble(slot.bits);
        } else if (!slot.isDouble && Fits(integers, integerRegisters)) {
            packed.integers[integers++] = static_cast<std::intptr_t>(slot.bits);
        } else {
            packed.rest[packed.restCount++] = slot.bits;
        }
    }
    return packed;
}

template <std::size_t> using Integer = std::intptr_t;
template <std::size_t> using Double = double;

#if !defined(_WIN64)
// The callee's real signature is known only to the ABI: every argument goes in its register or
// stack slot whatever the declared list, so one packed call serves every function. clang's check
// of the declared type is therefore left out here.
#if defined(__clang__)
#define XLSTANDIN_PACKED_CALL __attribute__((no_sanitize("function")))
#else
#define XLSTANDIN_PACKED_CALL
#endif

template <typename Result, std::size_t... I, std::size_t... D, std::size_t... R>
XLSTANDIN_PACKED_CALL Result CallRegisters(FARPROC function, const Packed& packed,
                                           std::index_sequence<I...>, std::index_sequence<D...>,
                                           std::index_sequence<R...>) {
    using Target = Result (*)(Integer<I>..., Double<D>..., Integer<R>...);
    return As<Target>(function)(packed.integers[I]..., packed.doubles[D]...,
                                static_cast<std::intptr_t>(packed.rest[R])...);
}
#endif

#if defined(_WIN64)
// The first four slots go to rcx, rdx, r8, r9 or to xmm0 to xmm3 by their declared type: one
// signature per mix of doubles among them (Mask); the rest are 8-byte stack slots alike.
template <unsigned Mask, std::size_t I>
using SlotType = std::conditional_t<((Mask >> I) & 1u) != 0, double, std::uint64_t>;

template <unsigned Mask, std::size_t I> SlotType<Mask, I> SlotValue(std::uint64_t bits) {
    if constexpr (((Mask >> I) & 1u) != 0) {
        return BitsAsDouble(bits);
    } else {
        return bits;
    }
}

template <typename Result, unsigned Mask, std::size_t... R>
Result CallMaskedSlots(FARPROC function, const Packed& packed, std::index_sequence<R...>) {
    using Target = Result (*)(SlotType<Mask, 0>, SlotType<Mask, 1>, SlotType<Mask, 2>,
                              SlotType<Mask, 3>, Integer<R>...);
    return As<Target>(function)(
        SlotValue<Mask, 0>(packed.rest[0]), SlotValue<Mask, 1>(packed.rest[1]),
        SlotValue<Mask, 2>(packed.rest[2]), SlotValue<Mask, 3>(packed.rest[3]),
        static_cast<std::intptr_t>(packed.rest[4 + R])...);
}

template <typename Result, unsigned Mask, std::size_t Count>
Result CallMasked(FARPROC function, const Packed& packed) {
    return CallMaskedSlots<Result, Mask>(function, packed, std::make_index_sequence<Count>());
}

template <typename Result, std::size_t Count, unsigned... Masks>
Result CallByMask(FARPROC function, const Packed& packed, unsigned mask,
                  std::integer_sequence<unsigned, Masks...>) {
    using Entry = Result (*)(FARPROC, const Packed&);
    static constexpr Entry callers[] = {&CallMasked<Result, Masks, Count>...};
    return callers[mask](function, packed);
}

template <typename Result> Result CallSized(FARPROC function, const Packed& packed, unsigned mask) {
    if (packed.restCount <= 8) {
        return CallByMask<Result, 4>(function, packed, mask,
                                     std::make_integer_sequence<unsigned, 16>());
    }
    return CallByMask<Result, CallFrame::MaxArguments - 4>(
        function, packed, mask, std::make_integer_sequence<unsigned, 16>());
}
#else
template <typename Result, std::size_t... R>
Result CallRest(FARPROC function, const Packed& packed, std::index_sequence<R...>) {
    return CallRegisters<Result>(function, packed, std::make_index_sequence<integerRegisters>(),
                                 std::make_index_sequence<vectorRegisters>(),
                                 std::index_sequence<R...>());
}
#endif

// Few arguments are common: the callers pass the smallest number of slots that covers them.
template <typename Result>
Result Call(FARPROC function, const std::vector<CallFrame::Slot>& slots) {
    const Packed packed = Pack(slots);
#if defined(_WIN64)
    unsigned mask = 0;
    for (std::size_t i = 0; i < slots.size() && i < 4; ++i) {
        mask |= slots[i].isDouble ? 1u << i : 0u;
    }
    return CallSized<Result>(function, packed, mask);
#else
    if (packed.restCount <= 8) {
        return CallRest<Result>(function, packed, std::make_index_sequence<8>());
    }
    if (packed.restCount <= 64) {
        return CallRest<Result>(function, packed, std::make_index_sequence<64>());
    }
    return CallRest<Result>(function, packed, std::make_index_sequence<CallFrame::MaxArguments>());
#endif
}

} // namespace

double CallFrame::CallReturningDouble(FARPROC function) const {
    return Call<double>(function, slots_);
}

std::uintptr_t CallFrame::CallReturningWord(FARPROC function) const {
    return Call<std::uintptr_t>(function, slots_);
}

#endif

} // namespace xlstandin
