// The player's reading of the script file, line by line.
#include "korva/script/script_reader.h"

bool read_script_line(FILE* file, char* line, int size) {
    line[0] = '\0';
    bool got = fgets(line, size, file) != nullptr;
    while (got && !feof(file) && line[0] == '\n') got = fgets(line, size, file) != nullptr;
    // A read error that is not the end would leave the buffer as it was and repeat forever;
    // it ends playback like the end of the file.
    return got && !feof(file);
}
