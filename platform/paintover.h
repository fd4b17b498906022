// Painting over a native control's face: a control backed by a widget of the window system (a
// push button, a combo box) paints itself; a handler set here runs each time after it did, with a
// canvas over the control's client area (origin at its top left), to draw a symbol or a frame on
// top of the face. The canvas lives only for that call.
#pragma once

#include <functional>

class TCanvas;
class TControl;

using TPaintOverEvent = std::function<void(TControl* Sender, TCanvas* Canvas)>;

// Sets (or, with an empty handler, removes) Control's paint-over handler and repaints it. Only
// controls backed by a native widget call it; the others paint on their own canvas anyway. An
// exception of the handler is reported through the application and goes no further.
void SetPaintOver(TControl* Control, TPaintOverEvent Handler);
