// The one LibraryState and its initial values: all zero except the four set below.
#include "korva/base/state.h"

static constexpr LibraryState initial_state() {
    LibraryState s{};
    s.canvas_dirty = 1;
    s.console_first = -1;
    s.logging = 1;
    s.entry_direction = -1;
    return s;
}

// Constant-initialised, so it holds its values before any other static initialiser runs.
LibraryState korva_state = initial_state();

int32_t LibraryState::*const HERO_CONTROL_FLAGS[HERO_COUNT] = {
    &LibraryState::control_besouru,
    &LibraryState::control_blazrack,
    &LibraryState::control_mushi,
};
