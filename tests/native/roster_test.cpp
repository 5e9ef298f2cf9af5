// The roster's bounds and order, under the sanitizers: a full roster refuses without overrun,
// and leaving removes the first matching entry while the rest keep order and position.
#include <gtest/gtest.h>

#include <string.h>

#include "room/roster.h"

namespace {

CharacterRecord hero(const char* name, int32_t id) {
    CharacterRecord r{};
    strncpy(r.name, name, sizeof r.name - 1);
    r.id = id;
    return r;
}

TEST(Roster, FullRosterRefusesAndKeepsItsEntries) {
    Roster r{};
    for (int32_t i = 0; i < ROSTER_CAPACITY; ++i)
        ASSERT_EQ(1, roster_enter(&r, hero("Mushi the Thief", 1000 + i), i % 5 - 1)) << "entry " << i;
    EXPECT_EQ(0, roster_enter(&r, hero("Besouru the Fighter", HERO_BESOURU_ID), -1));
    EXPECT_EQ(ROSTER_CAPACITY, r.hero_count);
    EXPECT_EQ(-1, find_hero(r.roster, r.hero_count, HERO_BESOURU_ID));
    EXPECT_EQ(1000 + ROSTER_CAPACITY - 1, r.roster[ROSTER_CAPACITY - 1].id);
}

TEST(Roster, EntryPositionsAndLeavingKeepOrder) {
    Roster r{};
    const struct {
        int32_t id, region, x, y;
    } entries[] = {
        {HERO_BESOURU_ID, -1, 0, 0},   {HERO_MUSHI_ID, EAST, 60, -60},  {HERO_BLAZRACK_ID, NORTH, 60, 60},
        {HERO_BESOURU_ID, WEST, -60, 60}, {HERO_MUSHI_ID, SOUTH, -60, -60},
        {HERO_MUSHI_ID, 7, 0, 0},  // not a direction: the centre, never the doorway table
    };
    for (const auto& e : entries) roster_enter(&r, hero("h", e.id), e.region);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(entries[i].x, r.positions[i].x) << "entry " << i;
        EXPECT_EQ(entries[i].y, r.positions[i].y) << "entry " << i;
    }

    EXPECT_EQ(0, find_hero(r.roster, r.hero_count, HERO_BESOURU_ID));
    EXPECT_EQ(-1, find_hero(r.roster, r.hero_count, HERO_NOBODY_ID));
    EXPECT_EQ(0, roster_leave(&r, HERO_NOBODY_ID));
    EXPECT_EQ(0, roster_leave(&r, 12345));
    ASSERT_EQ(1, roster_leave(&r, HERO_MUSHI_ID));  // the first Mushi, at (60, -60)

    const struct {
        int32_t id, x, y;
    } after[] = {{HERO_BESOURU_ID, 0, 0},
                 {HERO_BLAZRACK_ID, 60, 60},
                 {HERO_BESOURU_ID, -60, 60},
                 {HERO_MUSHI_ID, -60, -60},
                 {HERO_MUSHI_ID, 0, 0}};
    ASSERT_EQ(5, r.hero_count);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(after[i].id, r.roster[i].id) << "entry " << i;
        EXPECT_EQ(after[i].x, r.positions[i].x) << "entry " << i;
        EXPECT_EQ(after[i].y, r.positions[i].y) << "entry " << i;
    }
}

}  // namespace
