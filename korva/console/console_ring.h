// Index arithmetic of the console's ring of 25 lines, as pure functions on (first, next).
// first is the oldest stored line (-1 while empty), next is where the next line goes.
// Platform-free: the Win32 console code keeps the indices in LibraryState and calls these.
#ifndef KORVA_CONSOLE_CONSOLE_RING_H
#define KORVA_CONSOLE_CONSOLE_RING_H

#include <stdint.h>

constexpr int32_t CONSOLE_RING_SIZE = 25;
constexpr int32_t CONSOLE_RING_EMPTY = -1;  // console_first before the first line
// A formatted line lives in a 1024-byte buffer, so at most this many characters are kept.
constexpr int32_t CONSOLE_LINE_MAX = 1023;
constexpr int32_t CONSOLE_FORMAT_BUFFER_SIZE = CONSOLE_LINE_MAX + 1;

// Where a new line goes, what it displaces, and the indices once it is stored.
struct RingPush {
    int32_t slot;       // index that receives the new line
    int32_t evict;      // index whose line must be freed first, or -1 when nothing is lost
    int32_t new_first;
    int32_t new_next;
};

// The index after this one: 0..23 step by one, 24 wraps to 0.
int32_t ring_advance(int32_t index);

// Both indices lie in their ranges: first in -1..24, next in 0..24.
bool ring_is_valid(int32_t first, int32_t next);

// The ring holds 25 lines: first equals next and is not -1.
bool ring_is_full(int32_t first, int32_t next);

// How many lines are stored, 0..25; 0 for indices out of range.
int32_t ring_count(int32_t first, int32_t next);

// The index of the k-th stored line, oldest first (k in 0..ring_count-1).
int32_t ring_slot(int32_t first, int32_t k);

// Storing one more line. Indices out of range count as an empty ring, so a damaged
// state cannot make the caller free a handle outside the ring.
RingPush ring_push(int32_t first, int32_t next);

// The characters kept of a text whose formatting gave this count: a negative count
// (a formatting error) keeps none, and anything above 1023 keeps 1023.
int32_t console_clip_length(int64_t formatted);

#endif
