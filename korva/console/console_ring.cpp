// Index arithmetic of the console's ring of lines. Platform-free.
#include "korva/console/console_ring.h"

int32_t ring_advance(int32_t index) {
    return index >= CONSOLE_RING_SIZE - 1 || index < 0 ? 0 : index + 1;
}

bool ring_is_valid(int32_t first, int32_t next) {
    return first >= CONSOLE_RING_EMPTY && first < CONSOLE_RING_SIZE && next >= 0 &&
           next < CONSOLE_RING_SIZE;
}

bool ring_is_full(int32_t first, int32_t next) {
    return first != CONSOLE_RING_EMPTY && first == next;
}

int32_t ring_count(int32_t first, int32_t next) {
    if (!ring_is_valid(first, next) || first == CONSOLE_RING_EMPTY) return 0;
    if (first == next) return CONSOLE_RING_SIZE;
    return (next - first + CONSOLE_RING_SIZE) % CONSOLE_RING_SIZE;
}

int32_t ring_slot(int32_t first, int32_t k) {
    return (first + k) % CONSOLE_RING_SIZE;
}

RingPush ring_push(int32_t first, int32_t next) {
    if (!ring_is_valid(first, next)) {
        first = CONSOLE_RING_EMPTY;
        next = 0;
    }
    RingPush p{};
    p.slot = next;
    p.evict = -1;
    p.new_first = first;
    if (ring_is_full(first, next)) {
        p.evict = first;
        p.new_first = ring_advance(first);
    }
    if (p.new_first == CONSOLE_RING_EMPTY) p.new_first = next;
    p.new_next = ring_advance(next);
    return p;
}

int32_t console_clip_length(int64_t formatted) {
    if (formatted < 0) return 0;
    if (formatted > CONSOLE_LINE_MAX) return CONSOLE_LINE_MAX;
    return static_cast<int32_t>(formatted);
}
