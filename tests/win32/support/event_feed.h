// Ways for the Windows tests to feed the event wait with posted messages and to look at what
// it returns: fillers, clicks at drawing coordinates, the playback sentinel, and a record of
// seen events that failure messages can print.
#ifndef KORVA_TESTS_SUPPORT_EVENT_FEED_H
#define KORVA_TESTS_SUPPORT_EVENT_FEED_H

#include <windows.h>

#include <string>
#include <vector>

#include "korva/base/state.h"

// A message that no window procedure of the library handles: it only counts as a message.
constexpr UINT FILLER = WM_APP + 7;

// Window pixel of the click that ends a wait in which playback produced nothing.
constexpr int SENTINEL_PX = 3;
constexpr int SENTINEL_PY = 5;

// Opens the library once (see open_korva_once) and stops its tick timer, so that every tick a
// wait sees is a WM_TIMER message the test posted itself.
void open_korva_without_ticks();

HWND graphics();

// Posts a message to the graphics window.
void post(UINT message, WPARAM w = 0, LPARAM l = 0);

// Runs a menu command through the graphics window's procedure.
void command(int32_t id);

void post_fillers(int n);

// A left click at drawing coordinates (x, y).
void post_click(int32_t x, int32_t y);

// Takes every posted filler, tick and click still queued, without dispatching; returns how many.
int take_leftovers();

// Back to a quiet library between tests: queue drained, script closed and its file gone, no
// recording, playback (menu ticks cleared), animation, quit request, pending or injected event,
// hero control or entry direction.
void reset_wait_state();

// A wait that returns one periodic event: 101 messages make it, the 102nd tick delivers it.
// Animation is off again and the queue drained afterwards.
int32_t periodic_wait(EventRecord* out);

// A wait while playback is asked for: one harmless message lets the player run; if it produces
// nothing, the sentinel click ends the wait instead. A quit message left queued is reported in
// *quit_left (when given) before anything else could take it; then the queue is drained.
int32_t playback_wait(EventRecord* out, bool* quit_left = nullptr);

bool quit_message_queued();

// What a test compares of one event; the fields a test does not look at stay 0.
struct SeenEvent {
    int32_t kind = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t key = 0;
    int32_t hero = 0;
    int32_t region = 0;
};

std::string describe(const std::vector<SeenEvent>& events);
bool same(const std::vector<SeenEvent>& a, const std::vector<SeenEvent>& b);

#endif
