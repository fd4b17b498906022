// Private to platform/*.cpp: the frame's MDI area and the sub-windows that frame its children.
#pragma once

#include <QMdiArea>
#include <QMdiSubWindow>

#include "platform/forms.h"

namespace vmqt {

// The program itself moves, shows, hides or activates sub-windows while one of these lives: the
// area's and the sub-windows' reports of it change nothing.
struct TMdiSync {
  TMdiSync();
  ~TMdiSync();
  TMdiSync(const TMdiSync&) = delete;
  TMdiSync& operator=(const TMdiSync&) = delete;
  static bool Active();
};

// The frame's MDI area over its MDI client rectangle; made on first use when Make is set.
QMdiArea* MdiArea(TForm* Frame, bool Make);
// Puts the area over the frame's MDI client rectangle again (bars came, went or changed size) with
// the frame's colour behind the children; the children stay where their bounds say.
void PlaceMdiArea(TForm* Frame);
// The sub-window that frames an MDI child in the frame's area (made on first use), placed by the
// child's bounds; its caption is the child's.
QMdiSubWindow* HoldMdiChild(TForm* Frame, TForm* Child);
// The child's sub-window, or null.
QMdiSubWindow* MdiSubWindow(TForm* Child);
// Takes the child's widget out of its sub-window and frees the sub-window.
void ReleaseMdiChild(TForm* Child);
// The sub-window's state in the toolkit's terms.
TWindowState MdiSubWindowState(QMdiSubWindow* Sub);
// Gives the sub-window the state (its buttons and frame follow; the bounds are the form's).
void ShowMdiSubWindowState(TForm* Child, TWindowState State);
// The frame's caption and menu bar follow the children: a maximized active child merges its
// caption into the frame's ("Frame - [Child]") and its buttons into the menu bar's corner.
void UpdateMdiMerge(TForm* Frame);

}  // namespace vmqt
