// libFuzzer's entry for one target; the build names it in QUARNEL_FUZZ_TARGET.

#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzTarget* const target = FindFuzzTarget(QUARNEL_FUZZ_TARGET);
    if (target == nullptr) {
        std::fprintf(stderr, "no fuzz target named %s\n", QUARNEL_FUZZ_TARGET);
        std::abort();
    }
    target->run({data, size});
    return 0;
}
