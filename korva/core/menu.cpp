// The "&Run" menu: its entries as one table, the builder, and running a command by its id.
// Commands 5, 6 and 7 belong to the script recorder and player; the rest act on the program.
#include "korva/core/menu.h"

#include "korva/base/state.h"
#include "korva/core/commands.h"
#include "korva/extras/hooks.h"
#include "korva/script/script.h"

struct MenuEntry {
    int32_t id;         // 0 for a separator
    const char* label;  // null for a separator
    UINT flags;
};

static const MenuEntry RUN_MENU_ENTRIES[] = {
    {CMD_ANIMATE, "&Animate\tCtrl+A", MF_STRING},
    {CMD_HALT, "&Halt animation\tCtrl+H", MF_STRING},
    {CMD_ADVANCE_FRAME, "Advance one &frame\tCtrl+F", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {CMD_LOGGING, "&Logging\tCtrl+L", MF_STRING | MF_CHECKED},  // logging starts on
    {0, nullptr, MF_SEPARATOR},
    {CMD_RECORD, "&Record Script\tCtrl+R", MF_STRING},
    {CMD_PLAYBACK, "&Playback Script\tCtrl+P", MF_STRING},
    {CMD_PLAY_ONE, "Play &One Script\tCtrl+O", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    // Heroes stand in the order Blazrack, Mushi, Besouru; their ids follow the hero table.
    {CMD_CONTROL_BLAZRACK, "&Control Blazrack", MF_STRING | MF_GRAYED},
    {CMD_CONTROL_MUSHI, "&Control Mushi", MF_STRING | MF_GRAYED},
    {CMD_CONTROL_BESOURU, "&Control Besouru", MF_STRING | MF_GRAYED},
    {0, nullptr, MF_SEPARATOR},
    {CMD_BLAZRACK_ENTERS, "&Blazrack Enters", MF_STRING},
    {CMD_MUSHI_ENTERS, "&Mushi Enters", MF_STRING},
    {CMD_BESOURU_ENTERS, "&Besouru Enters", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {CMD_BLAZRACK_LEAVES, "&Blazrack Leaves", MF_STRING},
    {CMD_MUSHI_LEAVES, "&Mushi Leaves", MF_STRING},
    {CMD_BESOURU_LEAVES, "&Besouru Leaves", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {CMD_FROM_NORTH, "&Enter From North", MF_STRING},
    {CMD_FROM_EAST, "&Enter From East", MF_STRING},
    {CMD_FROM_SOUTH, "&Enter From South", MF_STRING},
    {CMD_FROM_WEST, "&Enter From West", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {CMD_QUIT, "&Quit\tCtrl+Q", MF_STRING},
};

void build_run_menu(HWND window) {
    HMENU bar = CreateMenu();
    korva_state.run_menu = CreatePopupMenu();
    for (const MenuEntry& entry : RUN_MENU_ENTRIES)
        AppendMenuA(korva_state.run_menu, entry.flags, static_cast<UINT_PTR>(entry.id), entry.label);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(korva_state.run_menu), "&Run");
    // The window owns the bar from here on and destroys it with itself.
    SetMenu(window, bar);
    DrawMenuBar(window);
}

void run_menu_command(int32_t id) {
    // Before it runs: a line written for it must come before any event the command makes.
    extensions_menu_command_runs(id);
    switch (id) {
    case CMD_RECORD:
        toggle_recording();
        return;
    case CMD_PLAYBACK:
        toggle_playback();
        return;
    case CMD_PLAY_ONE:
        request_play_one();
        return;
    default:
        run_program_command(id);
    }
}
