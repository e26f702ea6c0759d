#include "framework/math/FwRandom.h"

#include <array>
#include <cstddef>

namespace {

// r[i] = r[i-3] + r[i-31] over 31 words, the result dropping the lowest bit.
constexpr size_t kDegree = 31;
constexpr size_t kSeparation = 3;

struct Generator {
    std::array<uint32_t, kDegree> state{};
    size_t front = kSeparation;
    size_t rear = 0;

    uint32_t Next() {
        state[front] += state[rear];
        const uint32_t result = state[front] >> 1;
        front = (front + 1) % kDegree;
        rear = (rear + 1) % kDegree;
        return result;
    }

    void Seed(uint32_t seed) {
        if (seed == 0) {
            seed = 1;
        }
        // 16807 * word mod (2^31 - 1) on the seed taken as a signed word, without overflow.
        int32_t word = static_cast<int32_t>(seed);
        state[0] = seed;
        for (size_t i = 1; i < kDegree; ++i) {
            const int32_t high = word / 127773;
            const int32_t low = word % 127773;
            word = 16807 * low - 2836 * high;
            if (word < 0) {
                word += 2147483647;
            }
            state[i] = static_cast<uint32_t>(word);
        }
        front = kSeparation;
        rear = 0;
        // The first ten rounds are thrown away: they still show the seed.
        for (size_t i = 0; i < kDegree * 10; ++i) {
            Next();
        }
    }

    Generator() { Seed(1); }
};

Generator generator;

}  // namespace

void FwSrand(uint32_t seed) { generator.Seed(seed); }

int32_t FwRand() { return static_cast<int32_t>(generator.Next()); }
