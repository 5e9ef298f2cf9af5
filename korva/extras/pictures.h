// Loaded pictures: what the library's close asks of them.
#ifndef KORVA_EXTRAS_PICTURES_H
#define KORVA_EXTRAS_PICTURES_H

// Frees every loaded picture (KORVA_close).
void free_pictures();

#endif
