// The one table of the extensions' hooks into the graphics window procedure, in the order they
// are asked. An extension that hears the window adds its rows here.
#include "korva/core/window_hooks.h"

#include "korva/extras/held_keys.h"
#include "korva/extras/keyboard.h"
#include "korva/extras/mouse.h"

const WindowHook WINDOW_HOOKS[] = {
    // A click is about to take the place of the event being assembled.
    {WM_LBUTTONDOWN, HOOK_BEFORE, held_keys_click_hook},
    // Keys: held keys first; a key-down they do not take may be a typed key.
    {WM_KEYDOWN, HOOK_AFTER, held_keys_key_hook},
    {WM_KEYDOWN, HOOK_AFTER, typed_key_down_hook},
    {WM_KEYUP, HOOK_AFTER, held_keys_key_hook},
    {WM_SYSKEYDOWN, HOOK_AFTER, held_keys_key_hook},
    {WM_SYSKEYUP, HOOK_AFTER, held_keys_key_hook},
    {WM_CHAR, HOOK_AFTER, typed_character_hook},
    // No key release reaches a window without the keyboard, nor one whose menu or move loop has it.
    {WM_KILLFOCUS, HOOK_AFTER, held_keys_keyboard_lost_hook},
    {WM_ENTERMENULOOP, HOOK_AFTER, held_keys_keyboard_lost_hook},
    {WM_ENTERSIZEMOVE, HOOK_AFTER, held_keys_keyboard_lost_hook},
    {WM_SETFOCUS, HOOK_AFTER, held_keys_keyboard_back_hook},
    {WM_EXITMENULOOP, HOOK_AFTER, held_keys_keyboard_back_hook},
    {WM_EXITSIZEMOVE, HOOK_AFTER, held_keys_keyboard_back_hook},
    // The rest of the mouse is the platform's own until the program asks for it.
    {WM_LBUTTONDOWN, HOOK_AFTER, mouse_button_hook},
    {WM_LBUTTONUP, HOOK_AFTER, mouse_button_hook},
    {WM_RBUTTONDOWN, HOOK_AFTER, mouse_button_hook},
    {WM_RBUTTONUP, HOOK_AFTER, mouse_button_hook},
    {WM_MBUTTONDOWN, HOOK_AFTER, mouse_button_hook},
    {WM_MBUTTONUP, HOOK_AFTER, mouse_button_hook},
    {WM_MOUSEMOVE, HOOK_AFTER, mouse_motion_hook},
    {WM_CAPTURECHANGED, HOOK_AFTER, mouse_capture_hook},
};
const size_t WINDOW_HOOK_COUNT = sizeof WINDOW_HOOKS / sizeof WINDOW_HOOKS[0];
