#include <vornix/Excel12RecordsDeclaration.h>

#include <atomic>

namespace vornix {

namespace {

// Constant-initialised, so that declarations made while the library loads find it ready.
std::atomic<int> declarations{0};

} // namespace

Excel12RecordsDeclaration::Excel12RecordsDeclaration() {
    ++declarations;
}

Excel12RecordsDeclaration::~Excel12RecordsDeclaration() {
    --declarations;
}

bool Excel12RecordsDeclaration::Declared() {
    return declarations.load() > 0;
}

} // namespace vornix
