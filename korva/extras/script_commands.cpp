// Menu commands in the script file: writing a line for each one while recording, and running
// the command of a line during playback. See script_commands.h for the opt-in.
#include "korva/extras/script_commands.h"

#include "korva/base/command_ids.h"
#include "korva/base/state.h"
#include "korva/extras/replay.h"
#include "korva/script/script.h"

struct ScriptCommand {
    int32_t id;
    bool makes_event;  // the wait delivers an event of it; the others only change state
};

static const ScriptCommand SCRIPT_COMMANDS[] = {
    {CMD_ANIMATE, false},          {CMD_HALT, false},
    {CMD_ADVANCE_FRAME, false},    {CMD_LOGGING, false},
    {CMD_QUIT, true},              {CMD_CONTROL_BESOURU, false},
    {CMD_CONTROL_BLAZRACK, false}, {CMD_CONTROL_MUSHI, false},
    {CMD_BESOURU_ENTERS, true},    {CMD_BLAZRACK_ENTERS, true},
    {CMD_MUSHI_ENTERS, true},      {CMD_BESOURU_LEAVES, true},
    {CMD_BLAZRACK_LEAVES, true},   {CMD_MUSHI_LEAVES, true},
    {CMD_FROM_NORTH, false},       {CMD_FROM_SOUTH, false},
    {CMD_FROM_EAST, false},        {CMD_FROM_WEST, false},
};

static const ScriptCommand* find_script_command(int32_t id) {
    for (const ScriptCommand& command : SCRIPT_COMMANDS)
        if (command.id == id) return &command;
    return nullptr;
}

bool is_script_command(int32_t id) {
    return find_script_command(id) != nullptr;
}

bool command_lines_played() {
    return korva_state.replay.active || korva_state.replay.script_commands;
}

void record_menu_command(int32_t id) {
    LibraryState& s = korva_state;
    if (!s.recording || !s.replay.script_commands || !is_script_command(id)) return;
    // The periodic events counted so far came before this command.
    if (s.periodic_count > 0) {
        record_event(KORVA_PERIODIC, s.event);
        s.periodic_count = 0;
    }
    record_command(id);
}

CommandPlay play_menu_command(int32_t id) {
    const ScriptCommand* command = find_script_command(id);
    if (command == nullptr) {
        KORVA_printf("Script file %s: command %d cannot be played\n", script_file_name(), static_cast<int>(id));
        return COMMAND_REFUSED;
    }
    return command->makes_event ? COMMAND_MAKES_EVENT : COMMAND_APPLIES;
}
