// Calls an add-in function whose signature is known only at run time, from its type text.
//
// Arguments are doubles or integers and pointers of at most the pointer's width; results are a
// double, an integer or pointer, or nothing. How each platform passes them:
// - 32-bit Windows, __stdcall: every argument lies on the stack in 32-bit words, the first at
//   the lowest address, a double as two words, and the callee pops them. A small thunk copies
//   the words onto its own stack, calls, and puts the stack pointer back itself, so that any
//   number of words is passed exactly.
// - 64-bit Windows: argument n occupies slot n, the first four in rcx, rdx, r8, r9 for integers
//   or xmm0-xmm3 for doubles, the rest on the stack, 8 bytes each, where a double and an
//   integer look alike; the caller cleans up. One signature per mix of doubles among the first
//   four slots (16) passes them in the right registers, and the rest as stack words.
// - x86-64 System V and AArch64: integers and pointers fill the integer registers in order,
//   doubles the vector registers, and what does not fit goes on the stack in argument order,
//   8 bytes each. Calling through a signature of all integer registers, all vector registers
//   and then stack words passes any mix; unused registers and words are ignored by the callee.
// Doubles return in st(0) or the first vector register, integers in the accumulator.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xlstandin {

class CallFrame {
public:
    // More arguments than a function registered with Excel takes, "O" codes counting three.
    static constexpr std::size_t MaxArguments = 3 * 255;

    // An integer, pointer or boolean argument; narrower types are widened with their sign.
    void AddWord(std::intptr_t word);
    void AddDouble(double value);
    std::size_t Count() const { return slots_.size(); }

    double CallReturningDouble(FARPROC function) const;
    std::uintptr_t CallReturningWord(FARPROC function) const;

    struct Slot {
        bool isDouble;
        std::uint64_t bits; // the word, or the double's bits
    };

private:
    std::vector<Slot> slots_;
};

} // namespace xlstandin
