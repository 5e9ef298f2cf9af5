// Fuzz target for the player's reading of a whole script file: the bytes of a file in, the
// events it plays out. The reader must take any bytes (NULs, lines longer than one read,
// a last line without its end) without a fault, and give exactly the events of a plain model
// of it: pieces of at most 511 characters ending at a line feed, lines that are only a line
// feed skipped, and reading ended by the end of the data.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "korva/platform/script_line.h"
#include "korva/script/script_reader.h"

static void check(bool condition) {
    if (!condition) abort();
}

static bool same(const ScriptLine& a, const ScriptLine& b) {
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.key == b.key && a.count == b.count;
}

// The model: the same rules, written over the bytes instead of a stream.
static std::vector<ScriptLine> modelled_events(const uint8_t* data, size_t size) {
    std::vector<ScriptLine> events;
    const size_t piece_max = SCRIPT_LINE_BUFFER_SIZE - 1;
    size_t pos = 0;
    for (;;) {
        if (pos == size) break;  // nothing left: the read fails
        size_t length = 0;
        while (pos + length < size && length < piece_max && data[pos + length] != '\n') ++length;
        bool ended_by_feed = pos + length < size && length < piece_max;  // data[pos + length] is '\n'
        if (ended_by_feed) ++length;
        // A piece that stops at the end of the data, short of a full read, meets the end of
        // the file: it counts as the end.
        if (!ended_by_feed && length < piece_max) break;
        const uint8_t* piece = data + pos;
        pos += length;
        if (length == 1 && piece[0] == '\n') continue;
        char line[SCRIPT_LINE_BUFFER_SIZE] = {};
        memcpy(line, piece, length);
        events.push_back(parse_script_line(line, sizeof line));
    }
    return events;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = tmpfile();
    if (file == nullptr) return 0;
    if (size > 0 && fwrite(data, 1, size, file) != size) {
        fclose(file);
        return 0;
    }
    rewind(file);

    std::vector<ScriptLine> events;
    char text[SCRIPT_LINE_BUFFER_SIZE];
    // Each line read takes at least one byte, so the file ends within size + 1 reads.
    for (size_t reads = 0; reads <= size + 1; ++reads) {
        memset(text, 0x55, sizeof text);
        if (!read_script_line(file, text, static_cast<int>(sizeof text))) break;
        check(memchr(text, '\0', sizeof text) != nullptr);
        events.push_back(parse_script_line(text, sizeof text));
    }
    check(feof(file) || ferror(file));
    fclose(file);

    std::vector<ScriptLine> expected = modelled_events(data, size);
    check(events.size() == expected.size());
    for (size_t i = 0; i < events.size(); ++i) check(same(events[i], expected[i]));
    return 0;
}
