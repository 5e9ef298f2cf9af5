// The console ring's index arithmetic: filling, wrapping, eviction order and line clipping.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "korva/console/console_ring.h"

struct Ring {
    int32_t first = CONSOLE_RING_EMPTY;
    int32_t next = 0;
};

// Pushes one line and returns the slot that had to be freed (-1 when none).
static int32_t push(Ring& r, int32_t* slot = nullptr) {
    RingPush p = ring_push(r.first, r.next);
    if (slot != nullptr) *slot = p.slot;
    r.first = p.new_first;
    r.next = p.new_next;
    return p.evict;
}

static std::vector<int32_t> slots_oldest_first(const Ring& r) {
    std::vector<int32_t> out;
    for (int32_t k = 0; k < ring_count(r.first, r.next); ++k) out.push_back(ring_slot(r.first, k));
    return out;
}

TEST(ConsoleRing, EmptyRingHoldsNothing) {
    Ring r;
    EXPECT_EQ(0, ring_count(r.first, r.next));
    EXPECT_FALSE(ring_is_full(r.first, r.next));
    EXPECT_TRUE(slots_oldest_first(r).empty());
}

TEST(ConsoleRing, AdvanceWrapsFrom24To0) {
    const int32_t cases[][2] = {{0, 1}, {12, 13}, {23, 24}, {24, 0}};
    for (const auto& c : cases) EXPECT_EQ(c[1], ring_advance(c[0])) << "after " << c[0];
}

TEST(ConsoleRing, FirstLineSetsFirstAndFreesNothing) {
    Ring r;
    int32_t slot = -2;
    EXPECT_EQ(-1, push(r, &slot));
    EXPECT_EQ(0, slot);
    EXPECT_EQ(0, r.first);
    EXPECT_EQ(1, r.next);
    EXPECT_EQ(1, ring_count(r.first, r.next));
}

TEST(ConsoleRing, TwentyFiveLinesFillTheRingWithoutLoss) {
    Ring r;
    for (int32_t i = 0; i < 25; ++i) {
        int32_t slot = -2;
        EXPECT_EQ(-1, push(r, &slot)) << "line " << i + 1 << " must not free anything";
        EXPECT_EQ(i, slot);
    }
    EXPECT_EQ(0, r.first);
    EXPECT_EQ(0, r.next);
    EXPECT_TRUE(ring_is_full(r.first, r.next));
    EXPECT_EQ(25, ring_count(r.first, r.next));
}

TEST(ConsoleRing, TwentySixthLineReplacesTheOldest) {
    Ring r;
    for (int32_t i = 0; i < 25; ++i) push(r);
    int32_t slot = -2;
    EXPECT_EQ(0, push(r, &slot)) << "line 1's slot is freed first";
    EXPECT_EQ(0, slot) << "and line 26 takes it";
    EXPECT_EQ(1, r.first);
    EXPECT_EQ(1, r.next);
    std::vector<int32_t> order = slots_oldest_first(r);
    ASSERT_EQ(25u, order.size());
    EXPECT_EQ(1, order.front()) << "oldest is line 2";
    EXPECT_EQ(0, order.back()) << "newest is line 26, wrapped to slot 0";
}

TEST(ConsoleRing, FullRingEvictsInWritingOrderForever) {
    Ring r;
    for (int32_t i = 0; i < 25; ++i) push(r);
    for (int32_t i = 0; i < 60; ++i) {
        int32_t slot = -2;
        int32_t evicted = push(r, &slot);
        EXPECT_EQ(i % 25, evicted) << "push " << i;
        EXPECT_EQ(evicted, slot);
        EXPECT_EQ(25, ring_count(r.first, r.next));
    }
}

TEST(ConsoleRing, PartlyFilledRingAfterWrapIsCountedAcrossTheEnd) {
    // first 20, next 3: lines in slots 20..24 and 0..2.
    EXPECT_EQ(8, ring_count(20, 3));
    Ring r{20, 3};
    std::vector<int32_t> expected = {20, 21, 22, 23, 24, 0, 1, 2};
    EXPECT_EQ(expected, slots_oldest_first(r));
}

TEST(ConsoleRing, IndicesOutOfRangeCountAsEmptyAndFreeNothing) {
    const int32_t cases[][2] = {{-2, 0}, {25, 3}, {0, 25}, {3, -1}, {INT32_MIN, INT32_MAX}};
    for (const auto& c : cases) {
        EXPECT_EQ(0, ring_count(c[0], c[1])) << "first " << c[0] << " next " << c[1];
        RingPush p = ring_push(c[0], c[1]);
        EXPECT_EQ(-1, p.evict) << "first " << c[0] << " next " << c[1];
        EXPECT_EQ(0, p.slot);
        EXPECT_EQ(0, p.new_first);
        EXPECT_EQ(1, p.new_next);
    }
}

TEST(ConsoleRing, FormattedLengthIsClippedTo1023) {
    const int64_t cases[][2] = {
        {-1, 0}, {0, 0}, {5, 5}, {1022, 1022}, {1023, 1023}, {1024, 1023}, {5000, 1023},
        {INT32_MAX, 1023}, {INT64_MIN, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c[1], console_clip_length(c[0])) << "formatted " << c[0];
}
