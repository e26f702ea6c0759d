#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Every reader of data from outside the program, fed one whole file (or command line) as bytes
// and reading it exactly as the game does. The fuzzers call these, and so does the regression
// test that replays every input a fuzzer once crashed on.
struct FuzzTarget {
    const char* name;
    void (*run)(std::span<const uint8_t> bytes);
};

std::span<const FuzzTarget> FuzzTargets();
// Null for a name that is not a target.
const FuzzTarget* FindFuzzTarget(std::string_view name);
