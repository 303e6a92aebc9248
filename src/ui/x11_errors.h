// Keeps a harmless X error from ending the program.
#pragma once

namespace ui {

// SDL's event wait wakes itself by sending a message to one of our windows
// over a second connection; when that window has just been destroyed the
// server answers BadWindow, and Xlib's default handler would exit. Only that
// error is ignored; every other one goes to the handler that was there.
// Does nothing unless SDL's video runs on X11.
void IgnoreStaleWakeUps();

} // namespace ui
