// Turned pictures: what the library's close asks of them.
#ifndef KORVA_EXTRAS_TURNED_PICTURES_H
#define KORVA_EXTRAS_TURNED_PICTURES_H

// Ends the platform's imaging that turned pictures started (KORVA_close).
void end_picture_imaging();

#endif
