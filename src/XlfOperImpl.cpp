#include "XlfOperImpl.h"

#include <stdexcept>

namespace vornix {

namespace {

const XlfOperImpl* current = nullptr;

} // namespace

XlfOperImpl::XlfOperImpl() {
    current = this;
}

XlfOperImpl::~XlfOperImpl() {
    if (current == this)
        current = nullptr;
}

const XlfOperImpl& XlfOperImpl::Current() {
    if (current == nullptr)
        throw std::logic_error("Excel values are used before the Excel gateway was initialised");
    return *current;
}

const XlfOperImpl* XlfOperImpl::CurrentOrNull() {
    return current;
}

} // namespace vornix
