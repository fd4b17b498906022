// Private to platform/*.cpp: the Qt side of controls and the application.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "platform/controls.h"
#include "platform/qt_graphics.h"

namespace vmqt {

// Reports the exception being handled through the application (an abort silently).
void HandleCurrentException(TObject* Sender);
// The Qt cursor for a toolkit cursor number (Screen's table).
QCursor CursorFor(TCursor Cursor);
QWidget* ControlWidget(TControl* Control);
TShiftState ShiftFromQt(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons);
uint16_t KeyFromQt(int QtKey);

}  // namespace vmqt
