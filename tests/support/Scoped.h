#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/platform/FwClock.h"
#include "framework/platform/FwPath.h"

// The random seed fixed while the object lives; afterwards it comes from the clock again.
class ScopedSeed {
public:
    explicit ScopedSeed(uint32_t seed) { FwSetFixedRandomSeed(seed); }
    ~ScopedSeed() { FwSetFixedRandomSeed(std::nullopt); }
    ScopedSeed(const ScopedSeed&) = delete;
    ScopedSeed& operator=(const ScopedSeed&) = delete;
};

// Content read from `root` while the object lives; afterwards from the root before it.
class ScopedContentRoot {
public:
    explicit ScopedContentRoot(const std::string& root) : previous(FwContentRoot()) { FwSetContentRoot(root); }
    ~ScopedContentRoot() { FwSetContentRoot(previous); }
    ScopedContentRoot(const ScopedContentRoot&) = delete;
    ScopedContentRoot& operator=(const ScopedContentRoot&) = delete;

private:
    std::string previous;
};
