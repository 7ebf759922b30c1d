#pragma once

#include "RegistrationRecord.h"

#include <vector>

namespace vornix {

// Collects the registration data of every declared worksheet function while the library loads,
// before Excel can be called, and registers them all when the add-in is opened.
class RegistrationRegistry {
public:
    // The single registry, created on first use so that it exists before any static declaration
    // adds to it, whatever the order of static initialisation.
    static RegistrationRegistry& Instance();

    void Add(const RegistrationRecord& record);
    const std::vector<RegistrationRecord>& Records() const { return records_; }

    // Registers every record in order. A refusal by Excel is logged and the pass goes on; an
    // exception (no module name, for one) ends it. The result carries no meaning.
    int RegisterAll() const;

private:
    RegistrationRegistry() = default;

    std::vector<RegistrationRecord> records_;
};

} // namespace vornix
