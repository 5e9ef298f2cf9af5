// How the opt-in extensions hear the graphics window's messages: one table of hooks, which the
// window procedure asks for every message. The table itself is the extensions' own
// (korva/extras/window_hooks.cpp); adding an extension adds its rows there.
#ifndef KORVA_CORE_WINDOW_HOOKS_H
#define KORVA_CORE_WINDOW_HOOKS_H

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

// Before the window procedure's own handling of the message, or after it (and before the
// default procedure, for a message that the procedure leaves to it).
enum HookPhase : uint8_t { HOOK_BEFORE, HOOK_AFTER };

struct WindowHook {
    UINT message;
    HookPhase phase;
    // True when the hook takes the message: the procedure returns 0 and no later hook, nor the
    // default procedure, sees it.
    bool (*take)(UINT message, WPARAM wparam, LPARAM lparam);
};

extern const WindowHook WINDOW_HOOKS[];
extern const size_t WINDOW_HOOK_COUNT;

#endif
