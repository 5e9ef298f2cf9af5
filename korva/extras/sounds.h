// Loaded sounds: what the library's close asks of them.
#ifndef KORVA_EXTRAS_SOUNDS_H
#define KORVA_EXTRAS_SOUNDS_H

// Stops every play, ends the audio engine and frees every sound (KORVA_close).
void free_sounds();

#endif
