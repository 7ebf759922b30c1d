// Calls an add-in function whose signature is known only at run time, from its type text.
//
// The stand-in supports arguments and results that are doubles or 32-bit-or-smaller integers
// and pointers, and relies on how the two platforms pass them:
// - 32-bit Windows, __stdcall: every argument lies on the stack in 32-bit words, first argument
//   at the lowest address, a double as two words (low word first), and the callee pops them.
//   A function of any such signature is therefore called correctly as a function of K 32-bit
//   words, K being the total; one instantiation per K (0 to 16) covers up to 8 doubles.
// - 64-bit Windows: one convention; every argument takes one 8-byte slot. The first four go to
//   registers, an integer or pointer to rcx, rdx, r8, r9 and a double to xmm0 to xmm3 by
//   position; the others lie on the stack, where a double and an integer of 8 bytes look alike.
//   The caller cleans the stack, so surplus arguments are harmless: one instantiation per mix of
//   doubles among the first four slots (16) covers every signature of up to 8 arguments.
// - x86-64 System V (and AArch64): integer and pointer arguments go, in order, to the integer
//   registers and then to the stack; doubles go, in order, to the vector registers. Calling
//   through R(*)(8 integers, 8 doubles) with the integers and the doubles each packed in order
//   passes any mix of up to 8 of each exactly as a function declared with that mix expects.
// Doubles return in st(0) or xmm0, integers and pointers in eax or rax, so the caller picks
// the result kind.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace xlstandin {

class CallFrame {
public:
    static constexpr std::size_t MaxArguments = 8;

    // An integer, pointer or boolean argument; narrower types are widened with their sign.
    void AddWord(std::intptr_t word);
    void AddDouble(double value);

    double CallReturningDouble(FARPROC function) const;
    std::uintptr_t CallReturningWord(FARPROC function) const;

private:
#if defined(_WIN32) && !defined(_WIN64)
    static constexpr std::size_t MaxWords = 2 * MaxArguments;
    std::array<std::uint32_t, MaxWords> words_{};
    std::size_t wordCount_ = 0;
#elif defined(_WIN64)
    static constexpr std::size_t RegisterSlots = 4;
    void AddSlot(const void* bits, std::size_t size, bool isDouble);
    std::array<std::uint64_t, MaxArguments> slots_{};
    std::size_t slotCount_ = 0;
    unsigned doubleMask_ = 0;
#else
    std::array<std::intptr_t, MaxArguments> integers_{};
    std::array<double, MaxArguments> doubles_{};
    std::size_t integerCount_ = 0;
    std::size_t doubleCount_ = 0;
#endif
};

} // namespace xlstandin
