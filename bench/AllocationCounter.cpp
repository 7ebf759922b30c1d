#include "AllocationCounter.h"

#include <Win32Compat.h>

#include <cstddef>
#include <new>

namespace {

// Plain thread-local words: allocation functions must not allocate to reach them.
thread_local bool counting = false;
thread_local unsigned long long count = 0;

} // namespace

void AllocationCounter::Start() {
    counting = true;
}

void AllocationCounter::Stop() {
    counting = false;
}

unsigned long long AllocationCounter::Count() {
    return count;
}

void AllocationCounter::Note() {
    if (counting && !win32compat::InExcelStandIn())
        ++count;
}

// glibc's allocator behind our counting front; a program may replace malloc and its kin this way.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);

void* malloc(std::size_t size) {
    AllocationCounter::Note();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    AllocationCounter::Note();
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
    AllocationCounter::Note();
    return __libc_realloc(block, size);
}

void free(void* block) {
    __libc_free(block);
}
}

namespace {

void* Allocate(std::size_t size) {
    AllocationCounter::Note();
    if (void* block = __libc_malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}

void* operator new[](std::size_t size) {
    return Allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    AllocationCounter::Note();
    return __libc_malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    AllocationCounter::Note();
    return __libc_malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept {
    __libc_free(block);
}

void operator delete[](void* block) noexcept {
    __libc_free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    __libc_free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    __libc_free(block);
}
