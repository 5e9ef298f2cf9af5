// The commands of the "&Run" menu that act on the program: animation, logging, the heroes, the
// direction of entry, and quit. The menu runs them, and so does a script's command line.
#include "korva/core/commands.h"

#include "korva/base/command_ids.h"
#include "korva/base/heroes.h"
#include "korva/base/state.h"

static void check_item(int32_t id, bool checked) {
    CheckMenuItem(korva_state.run_menu, static_cast<UINT>(id),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

static void enable_item(int32_t id, bool enabled) {
    EnableMenuItem(korva_state.run_menu, static_cast<UINT>(id),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The order in which taking control sets the three Control items' check marks.
static const int32_t CONTROL_CHECK_ORDER[HERO_COUNT] = {
    CMD_CONTROL_BLAZRACK, CMD_CONTROL_MUSHI, CMD_CONTROL_BESOURU};

static void set_animation(int32_t animate) { korva_state.animating = static_cast<uint8_t>(animate); }

static void advance_one_frame(int32_t) {
    korva_state.animating = 0;
    korva_state.single_step = 1;
}

static void toggle_logging(int32_t) {
    korva_state.logging = korva_state.logging ? 0 : 1;
    check_item(CMD_LOGGING, korva_state.logging != 0);
}

static void quit(int32_t) { PostQuitMessage(0); }

static void toggle_control(int32_t hero) {
    LibraryState& s = korva_state;
    int32_t& flag = s.*HERO_CONTROL_FLAGS[hero];
    int32_t own_item = HEROES[hero].control_command;
    if (flag == 0) {
        for (int32_t item : CONTROL_CHECK_ORDER) check_item(item, item == own_item);
        for (int32_t other = 0; other < HERO_COUNT; ++other)
            if (other != hero) s.*HERO_CONTROL_FLAGS[other] = 0;
    } else {
        check_item(own_item, false);
    }
    flag = flag == 0 ? 1 : 0;
    // Written either way, so a click later in this wait carries the hero just named.
    set_character(&s.event.hero, HEROES[hero]);
}

static void hero_enters(int32_t hero) {
    enable_item(HEROES[hero].control_command, true);
    korva_state.event_kind = KORVA_ENTER;
    set_character(&korva_state.event.hero, HEROES[hero]);
}

static void hero_leaves(int32_t hero) {
    LibraryState& s = korva_state;
    enable_item(HEROES[hero].control_command, false);
    check_item(HEROES[hero].control_command, false);
    s.*HERO_CONTROL_FLAGS[hero] = 0;
    s.event_kind = KORVA_LEAVE;
    set_character(&s.event.hero, HEROES[hero]);
    s.event.region = -1;  // the wait puts entry_direction here before returning the event
}

// The four Enter From items with the direction each one chooses, in id order.
struct DirectionItem {
    int32_t id;
    int32_t direction;
};
static const DirectionItem DIRECTION_ITEMS[] = {
    {CMD_FROM_NORTH, NORTH}, {CMD_FROM_SOUTH, SOUTH}, {CMD_FROM_EAST, EAST}, {CMD_FROM_WEST, WEST}};

static void choose_direction(int32_t id) {
    check_item(id, true);
    for (const DirectionItem& item : DIRECTION_ITEMS) {
        if (item.id == id)
            korva_state.entry_direction = item.direction;
        else
            check_item(item.id, false);
    }
}

struct CommandAction {
    int32_t id;
    void (*run)(int32_t argument);
    int32_t argument;
};

static const CommandAction COMMAND_ACTIONS[] = {
    {CMD_ANIMATE, set_animation, 1},
    {CMD_HALT, set_animation, 0},
    {CMD_ADVANCE_FRAME, advance_one_frame, 0},
    {CMD_LOGGING, toggle_logging, 0},
    {CMD_QUIT, quit, 0},
    {CMD_CONTROL_BESOURU, toggle_control, 0},
    {CMD_CONTROL_BLAZRACK, toggle_control, 1},
    {CMD_CONTROL_MUSHI, toggle_control, 2},
    {CMD_BESOURU_ENTERS, hero_enters, 0},
    {CMD_BLAZRACK_ENTERS, hero_enters, 1},
    {CMD_MUSHI_ENTERS, hero_enters, 2},
    {CMD_BESOURU_LEAVES, hero_leaves, 0},
    {CMD_BLAZRACK_LEAVES, hero_leaves, 1},
    {CMD_MUSHI_LEAVES, hero_leaves, 2},
    {CMD_FROM_NORTH, choose_direction, CMD_FROM_NORTH},
    {CMD_FROM_SOUTH, choose_direction, CMD_FROM_SOUTH},
    {CMD_FROM_EAST, choose_direction, CMD_FROM_EAST},
    {CMD_FROM_WEST, choose_direction, CMD_FROM_WEST},
};

void run_program_command(int32_t id) {
    for (const CommandAction& action : COMMAND_ACTIONS) {
        if (action.id == id) {
            action.run(action.argument);
            return;
        }
    }
}
