// The handshake between the console's lines and its paint: a new line invalidates the console
// window only when no paint of it is pending already, since the pending paint draws the ring
// as it is then. The paint says when it has run, and the message loops make sure before taking
// messages that a paint asked for has not been lost.
#ifndef KORVA_CONSOLE_CONSOLE_PAINT_H
#define KORVA_CONSOLE_CONSOLE_PAINT_H

// Called by the console window's paint before it draws the ring.
void console_painted();

// Called before messages are taken (the event wait, the prompt): makes sure that a paint asked
// for since the last one is still pending, whatever emptied the window's update region meanwhile.
void keep_console_paint_pending();

#endif
