// The names of the end mark that korva-launch makes and a KORVA program sets when it ends
// through its own code: two named events whose common name the launcher puts in the program's
// environment; each event adds its suffix. Platform-free.
#ifndef KORVA_PLATFORM_END_MARK_NAMES_H
#define KORVA_PLATFORM_END_MARK_NAMES_H

constexpr char END_MARK_VARIABLE[] = "KORVA_END_MARK";
constexpr char END_MARK_PROMISED[] = "-promised";  // set at the first open
constexpr char END_MARK_ENDED[] = "-ended";        // set when the program exits through its code

#endif
