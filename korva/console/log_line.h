// The drawing calls' log lines: stored in the console as KORVA_printf stores a line, but, unlike
// the program's own lines and the library's corrections, never shown on a replay's output.
#ifndef KORVA_CONSOLE_LOG_LINE_H
#define KORVA_CONSOLE_LOG_LINE_H

#include "korva/korva.h"

int log_printf(const char* format, ...) KORVA_PRINTF_LIKE(1, 2);

#endif
