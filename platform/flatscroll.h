// Scroll-bar state of a window's own two bars, in regular, encarta or flat look. The state is
// kept per control; the bars are drawn by the control that owns them.
#pragma once

#include <cstdint>

class TWinControl;

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_BOTH = 3;

// How the user works a scroll bar (TWinControl::ScrollRequested).
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
              SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
              SB_BOTTOM = 7, SB_RIGHT = 7;

constexpr uint32_t SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
                   SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// Looks of a flat scroll bar.
constexpr int FSB_REGULAR_MODE = 0, FSB_ENCARTA_MODE = 1, FSB_FLAT_MODE = 2;

struct TScrollInfo {
  uint32_t fMask = SIF_ALL;
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// Makes the control's bars flat-capable; false when it already is.
bool InitializeFlatSB(TWinControl* Control);
void UninitializeFlatSB(TWinControl* Control);
bool FlatSBInitialized(TWinControl* Control);
// The look of one bar (SB_HORZ, SB_VERT or SB_BOTH); Redraw repaints the control.
void FlatSB_SetScrollStyle(TWinControl* Control, int Bar, int Mode, bool Redraw);
int FlatSB_GetScrollStyle(TWinControl* Control, int Bar);
// Reads the fields named by Info.fMask; false for an unknown bar.
bool FlatSB_GetScrollInfo(TWinControl* Control, int Bar, TScrollInfo& Info);
// Writes the fields named by Info.fMask, keeps the position inside the range and returns it.
int FlatSB_SetScrollInfo(TWinControl* Control, int Bar, const TScrollInfo& Info, bool Redraw);
