// The harness's look at a script before replaying it, with the player's own line reader.
#include "script_check.h"

#include <string.h>

#include <string>

#include "korva/platform/script_line.h"

bool script_plays_a_line(const uint8_t* bytes, size_t size) {
    const void* ctrl_z = memchr(bytes, 0x1A, size);
    if (ctrl_z != nullptr) size = static_cast<size_t>(static_cast<const uint8_t*>(ctrl_z) - bytes);
    size_t start = 0;
    while (start < size) {
        const void* feed = memchr(bytes + start, '\n', size - start);
        // The player takes a last line without its line feed for the end of the file.
        if (feed == nullptr) return false;
        size_t end = static_cast<size_t>(static_cast<const uint8_t*>(feed) - bytes);
        std::string line(reinterpret_cast<const char*>(bytes + start), end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        // The player reads at most this much of a line at once.
        if (line.size() > SCRIPT_LINE_BUFFER_SIZE - 1) line.resize(SCRIPT_LINE_BUFFER_SIZE - 1);
        return parse_script_line(line.c_str(), line.size()).kind != KORVA_NONE;
    }
    return false;
}
