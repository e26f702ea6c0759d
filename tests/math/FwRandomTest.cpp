#include "framework/math/FwRandom.h"

#include <cstdlib>

#include <gtest/gtest.h>

// The game's generator against the C library's own rand(), which on this platform (glibc) is the
// sequence every recording and fixed-seed test was made with. Seed 0 acts as 1; seeds with the top
// bit set go through the signed seeding path.
TEST(FwRandomTest, MatchesTheCLibrarySequenceForEverySeed) {
    for (const uint32_t seed : {0u, 1u, 2u, 7u, 42u, 12345u, 127773u, 2147483647u, 2147483648u, 4294967295u}) {
        std::srand(seed);
        FwSrand(seed);
        for (int i = 0; i < 2000; ++i) {
            ASSERT_EQ(FwRand(), std::rand()) << "seed " << seed << ", draw " << i;
        }
    }
    FwSrand(1);
    EXPECT_EQ(FwRand(), 1804289383);
    EXPECT_EQ(kFwRandMax, RAND_MAX);
}
