// The random generator of KORVA_random: a 64-bit state stepped by a fixed rule, so that a state
// written into a recording draws the same numbers again on any machine. Platform-free.
#ifndef KORVA_EXTRAS_RANDOM_NUMBERS_H
#define KORVA_EXTRAS_RANDOM_NUMBERS_H

#include <stdint.h>

// The next 64 random bits; steps the state.
uint64_t next_random_bits(uint64_t* state);

// A number from the smaller of the two bounds to the larger, both included, every one equally
// likely; steps the state once or (rarely) more.
int32_t random_in_range(uint64_t* state, int32_t low, int32_t high);

// The state a seed starts: different seeds give unrelated sequences.
uint64_t seeded_state(uint32_t seed);

#endif
