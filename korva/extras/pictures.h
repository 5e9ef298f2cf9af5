// Loaded pictures: what the library's close asks of them, and what drawing them turned needs.
#ifndef KORVA_EXTRAS_PICTURES_H
#define KORVA_EXTRAS_PICTURES_H

#include "korva/base/state.h"

// The loaded picture of an id; null when the id is not one.
Picture* loaded_picture(int32_t id);

// Frees every loaded picture (KORVA_close).
void free_pictures();

#endif
