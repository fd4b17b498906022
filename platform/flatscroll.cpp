#include "platform/flatscroll.h"

#include <algorithm>
#include <map>

#include "platform/controls.h"

namespace {
struct TBars {
  bool Flat = false;
  int Style[2] = {FSB_REGULAR_MODE, FSB_REGULAR_MODE};
  TScrollInfo Info[2];
};

std::map<const TWinControl*, TBars>& Table() {
  static std::map<const TWinControl*, TBars> t;
  return t;
}
}  // namespace

bool InitializeFlatSB(TWinControl* Control) {
  if (!Control) return false;
  TBars& b = Table()[Control];
  if (b.Flat) return false;
  b.Flat = true;
  return true;
}

void UninitializeFlatSB(TWinControl* Control) { Table().erase(Control); }

bool FlatSBInitialized(TWinControl* Control) {
  auto it = Table().find(Control);
  return it != Table().end() && it->second.Flat;
}

void FlatSB_SetScrollStyle(TWinControl* Control, int Bar, int Mode, bool Redraw) {
  if (!Control) return;
  TBars& b = Table()[Control];
  if (Bar == SB_HORZ || Bar == SB_BOTH) b.Style[0] = Mode;
  if (Bar == SB_VERT || Bar == SB_BOTH) b.Style[1] = Mode;
  if (Redraw) Control->Invalidate();
}

int FlatSB_GetScrollStyle(TWinControl* Control, int Bar) {
  auto it = Table().find(Control);
  if (it == Table().end() || (Bar != SB_HORZ && Bar != SB_VERT)) return FSB_REGULAR_MODE;
  return it->second.Style[Bar];
}

bool FlatSB_GetScrollInfo(TWinControl* Control, int Bar, TScrollInfo& Info) {
  if (!Control || (Bar != SB_HORZ && Bar != SB_VERT)) return false;
  const TScrollInfo& s = Table()[Control].Info[Bar];
  if (Info.fMask & SIF_RANGE) {
    Info.nMin = s.nMin;
    Info.nMax = s.nMax;
  }
  if (Info.fMask & SIF_PAGE) Info.nPage = s.nPage;
  if (Info.fMask & SIF_POS) Info.nPos = s.nPos;
  if (Info.fMask & SIF_TRACKPOS) Info.nTrackPos = s.nTrackPos;
  return true;
}

int FlatSB_SetScrollInfo(TWinControl* Control, int Bar, const TScrollInfo& Info, bool Redraw) {
  if (!Control || (Bar != SB_HORZ && Bar != SB_VERT)) return 0;
  TScrollInfo& s = Table()[Control].Info[Bar];
  if (Info.fMask & SIF_RANGE) {
    s.nMin = Info.nMin;
    s.nMax = std::max(Info.nMin, Info.nMax);
  }
  if (Info.fMask & SIF_PAGE) s.nPage = std::min<unsigned>(Info.nPage, static_cast<unsigned>(s.nMax - s.nMin + 1));
  if (Info.fMask & SIF_POS) s.nPos = Info.nPos;
  // The position stays where a whole page still fits.
  int top = s.nMax - std::max(0, static_cast<int>(s.nPage) - 1);
  s.nPos = std::clamp(s.nPos, s.nMin, std::max(s.nMin, top));
  s.nTrackPos = s.nPos;
  if (Redraw) Control->Invalidate();
  return s.nPos;
}
