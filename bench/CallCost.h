// What one worksheet call costs besides time: heap allocations of the library, named-mutex
// cycles, window searches and Excel callbacks, averaged over the calls between Start and Stop.
#pragma once

struct CallCost {
    double allocations = 0;
    double mutexCycles = 0; // -1 when the four steps of the cycles do not add up
    double windowSearches = 0;
    double callbacks = 0;

    class Meter {
    public:
        void Start();
        CallCost Stop(double calls) const;

    private:
        unsigned long long allocations_ = 0;
        unsigned long long mutexOpens_ = 0;
        unsigned long long mutexWaits_ = 0;
        unsigned long long mutexReleases_ = 0;
        unsigned long long handleCloses_ = 0;
        unsigned long long windowSearches_ = 0;
        unsigned long long callbacks_ = 0;
    };
};
