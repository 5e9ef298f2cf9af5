// Chance before the library is open, in a process of its own: a seed given before the open holds
// after it and after opening again, and unseeded draws are seeded once, by chance, at the first
// of them (not from a state every run shares).
#include <gtest/gtest.h>

#include <vector>

#include "korva/extras/random_numbers.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

std::vector<int32_t> reference_numbers(uint64_t state, int count) {
    std::vector<int32_t> numbers;
    for (int i = 0; i < count; ++i) numbers.push_back(random_in_range(&state, 1, 1000000));
    return numbers;
}

TEST(ChanceBeforeOpen, AnUnseededDrawIsSeededByChanceAndASeedHoldsThroughOpens) {
    ASSERT_EQ(nullptr, korva_state.graphics_window) << "this test must run before the library opens";

    // A generator that started from nothing would give these on every run.
    const std::vector<int32_t> from_nothing = reference_numbers(0, 3);
    std::vector<int32_t> drawn;
    for (int i = 0; i < 3; ++i) drawn.push_back(KORVA_random(1, 1000000));
    EXPECT_NE(from_nothing, drawn) << "draws before any seed start from a fixed state";

    // Seeded before the open: the open, a close and a second open go on with the seed's numbers.
    const std::vector<int32_t> seeded = reference_numbers(seeded_state(77), 4);
    ASSERT_EQ(1, KORVA_seed_random(77));
    EXPECT_EQ(seeded[0], KORVA_random(1, 1000000));
    open_korva_without_ticks();
    EXPECT_EQ(seeded[1], KORVA_random(1, 1000000)) << "the open started the numbers again";
    drain_messages();
    ASSERT_EQ(1, KORVA_close());
    EXPECT_EQ(seeded[2], KORVA_random(1, 1000000));
    ASSERT_EQ(1, KORVA_open());
    EXPECT_EQ(seeded[3], KORVA_random(1, 1000000)) << "opening again started the numbers again";
    drain_messages();
    EXPECT_TRUE(console_lines().empty()) << console_lines()[0];
}

}  // namespace
