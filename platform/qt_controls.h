// Private to platform/*.cpp: the Qt side of controls and the application.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <string>

#include "platform/controls.h"
#include "platform/qt_graphics.h"

namespace vmqt {

// Reports the exception being handled through the application (an abort silently).
void HandleCurrentException(TObject* Sender);
// The Qt cursor for a toolkit cursor number (Screen's table).
QCursor CursorFor(TCursor Cursor);
QWidget* ControlWidget(TControl* Control);
// Puts a control's window where its bounds say: in its parent's client area, or for a window
// held by another control's window (a child form in its frame), in that one's client area.
void PlaceControlWidget(TControl* Control);
// A window frame that holds a control's widget without being a control (an MDI child's
// sub-window): the control's bounds become the holder's geometry, less Origin, and its client area
// the holder's inside, Frame less on each side. Holder null: the control's widget is placed again.
void SetControlHolder(TControl* Control, QWidget* Holder, const QPoint& Origin, const QMargins& Frame);
// The least size of a holder, whatever its control's limits: room for a caption's buttons.
constexpr int HeldMinimumWidth = 40, HeldMinimumHeight = 20;
QWidget* ControlHolder(TControl* Control);
// True while the control moves its holder (the holder's own reports of it change nothing).
bool PlacingControlHolder(TControl* Control);
// Starts writing the map of the program's windows to the file VAROMARK_WINDOW_MAP names (when it
// names one): what the tests that drive the real program from outside read.
void StartWindowMap();
TShiftState ShiftFromQt(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons);
uint16_t KeyFromQt(int QtKey);

// The program's texts for Qt's own English ones: whenever Qt asks for Source in Context (a menu
// being built, a dialog being made), it takes the text behind the pointer then, so a language
// switch reaches the next menu or dialog; an empty text keeps Qt's own. The texts live as long
// as the program. Added once per context; installed on the application object.
struct TProgramText {
  const char* Source;
  const std::string* Text;
};
void AddProgramTexts(const char* Context, std::initializer_list<TProgramText> Texts);

}  // namespace vmqt
