// The handshake between the console's lines and its paint: a new line invalidates the console
// window only when no paint of it is pending already, since the pending paint draws the ring
// as it is then. The paint says when it has run.
#ifndef KORVA_CONSOLE_CONSOLE_PAINT_H
#define KORVA_CONSOLE_CONSOLE_PAINT_H

// Called by the console window's paint before it draws the ring.
void console_painted();

#endif
