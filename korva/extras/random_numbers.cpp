// A splitmix64 generator and an unbiased range. Its numbers are part of every recording that
// uses chance: changing the rule would make old recordings replay differently.
#include "korva/extras/random_numbers.h"

uint64_t next_random_bits(uint64_t* state) {
    uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int32_t random_in_range(uint64_t* state, int32_t low, int32_t high) {
    if (low > high) {
        int32_t t = low;
        low = high;
        high = t;
    }
    // Up to 2^32 values. Draws from the top part of the 64-bit range that is not a whole number
    // of spans are drawn again, so no value is more likely than another.
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;
    const uint64_t limit = UINT64_MAX - UINT64_MAX % span;
    uint64_t bits;
    do {
        bits = next_random_bits(state);
    } while (bits >= limit);
    return static_cast<int32_t>(static_cast<int64_t>(low) + static_cast<int64_t>(bits % span));
}

uint64_t seeded_state(uint32_t seed) {
    uint64_t state = seed;
    // One step mixes the seed's bits, so that neighbouring seeds start far apart.
    return next_random_bits(&state);
}
