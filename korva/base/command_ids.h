// The ids of the "&Run" menu's commands, as the menu, the window's shortcuts and script command
// lines name them.
#ifndef KORVA_BASE_COMMAND_IDS_H
#define KORVA_BASE_COMMAND_IDS_H

#include <stdint.h>

enum MenuCommand : int32_t {
    CMD_ANIMATE = 1,
    CMD_HALT = 2,
    CMD_ADVANCE_FRAME = 3,
    CMD_LOGGING = 4,
    CMD_RECORD = 5,
    CMD_PLAYBACK = 6,
    CMD_PLAY_ONE = 7,
    CMD_QUIT = 8,
    CMD_CONTROL_BESOURU = 10,
    CMD_CONTROL_BLAZRACK = 11,
    CMD_CONTROL_MUSHI = 12,
    CMD_BESOURU_ENTERS = 13,
    CMD_BLAZRACK_ENTERS = 14,
    CMD_MUSHI_ENTERS = 15,
    CMD_BESOURU_LEAVES = 16,
    CMD_BLAZRACK_LEAVES = 17,
    CMD_MUSHI_LEAVES = 18,
    CMD_FROM_NORTH = 19,
    CMD_FROM_SOUTH = 20,
    CMD_FROM_EAST = 21,
    CMD_FROM_WEST = 22,
};

#endif
