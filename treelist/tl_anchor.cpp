// Anchor scrolling: a middle-button press leaves a round mark on the list, and while the mode
// lasts the list scrolls towards the pointer, one line every (13 - speed) ticks of 20 ms.
#include <algorithm>
#include <cstdlib>

#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "treelist/tl_treelist.h"

namespace {

constexpr int AnchorTick = 20;  // ms

// The mark: a light disc outlined in the window-text colour with an arrow head for each way
// the list can scroll; clFuchsia outside the disc is see-through.
void DrawAnchorMark(TBitmap* B, bool Horizontal, bool Vertical) {
  const int s = TCustomvmTreeList::AnchorSize, c = s / 2;
  B->SetSize(s, s);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clFuchsia);
  C->FillRect(TRect(0, 0, s, s));
  C->Brush()->SetColor(clWindow);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(clWindowText);
  C->Ellipse(0, 0, s, s);
  C->Brush()->SetColor(clWindowText);
  C->FillRect(TRect(c - 1, c - 1, c + 1, c + 1));
  auto head = [&](int dx, int dy) {
    // A small triangle pointing (dx, dy) away from the centre.
    int tx = c + dx * 10, ty = c + dy * 10;
    TPoint p[3] = {TPoint(tx, ty), TPoint(tx - dx * 4 + dy * 4, ty - dy * 4 + dx * 4),
                   TPoint(tx - dx * 4 - dy * 4, ty - dy * 4 - dx * 4)};
    C->Polygon(p, 3);
  };
  if (Vertical) {
    head(0, -1);
    head(0, 1);
  }
  if (Horizontal) {
    head(-1, 0);
    head(1, 0);
  }
}

TCursor RestingAnchorCursor(bool Horizontal, bool Vertical) {
  return Horizontal && Vertical ? crvmTLFullScroll : Horizontal ? crvmTLHorScroll : crvmTLVerScroll;
}

// The cursor pictures: a small ring with a dot at the hot spot (the centre) and an arrow head for
// each way it stands for, black outlined in white so they show on any background.
constexpr int CursorSize = 32;

void DrawAnchorCursor(TBitmap* B, bool Left, bool Up, bool Right, bool Down) {
  const int c = CursorSize / 2;
  B->SetSize(CursorSize, CursorSize);
  TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clFuchsia);
  C->FillRect(TRect(0, 0, CursorSize, CursorSize));
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(clWhite);
  C->Brush()->SetColor(clBlack);
  C->Ellipse(c - 5, c - 5, c + 6, c + 6);
  C->Brush()->SetColor(clWhite);
  C->Pen()->SetColor(clBlack);
  C->Ellipse(c - 3, c - 3, c + 4, c + 4);
  C->Brush()->SetColor(clBlack);
  C->FillRect(TRect(c - 1, c - 1, c + 2, c + 2));
  C->Pen()->SetColor(clWhite);
  auto head = [&](int dx, int dy) {
    // Tip 14 pixels out, base 6 pixels behind it and 5 to each side.
    int tx = c + dx * 14, ty = c + dy * 14;
    TPoint p[3] = {TPoint(tx, ty), TPoint(tx - dx * 6 + dy * 5, ty - dy * 6 + dx * 5),
                   TPoint(tx - dx * 6 - dy * 5, ty - dy * 6 - dx * 5)};
    C->Polygon(p, 3);
  };
  if (Left) head(-1, 0);
  if (Up) head(0, -1);
  if (Right) head(1, 0);
  if (Down) head(0, 1);
  B->SetTransparentColor(clFuchsia);
  B->SetTransparent(true);
}

bool gAnchorCursorsRegistered = false;

}  // namespace

void RegisterTreeListAnchorCursors() {
  if (gAnchorCursorsRegistered || !Screen) return;
  struct Entry {
    TCursor Number;
    const char* Name;
    bool Left, Up, Right, Down;
  };
  const Entry entries[] = {
      {crvmTLFullScroll, "VMTL_FULLSCROLLCURSOR", true, true, true, true},
      {crvmTLHorScroll, "VMTL_HORSCROLLCURSOR", true, false, true, false},
      {crvmTLVerScroll, "VMTL_VERSCROLLCURSOR", false, true, false, true},
      {crvmTLLeftScroll, "VMTL_LEFTSCROLLCURSOR", true, false, false, false},
      {crvmTLUpScroll, "VMTL_UPSCROLLCURSOR", false, true, false, false},
      {crvmTLRightScroll, "VMTL_RIGHTSCROLLCURSOR", false, false, true, false},
      {crvmTLDownScroll, "VMTL_DOWNSCROLLCURSOR", false, false, false, true},
  };
  for (const Entry& e : entries) {
    // A picture the program registered under the name takes the drawn one's place.
    HCURSOR h = LoadCursorResource(e.Name);
    if (!h) {
      TBitmap b;
      DrawAnchorCursor(&b, e.Left, e.Up, e.Right, e.Down);
      RegisterCursorResource(e.Name, &b, CursorSize / 2, CursorSize / 2);
      h = LoadCursorResource(e.Name);
    }
    Screen->SetCursors(e.Number, h ? h : Screen->Cursors(crSizeAll));
  }
  gAnchorCursorsRegistered = true;
}

namespace {
TCursor DirectionCursor(int Direction) {
  switch (Direction) {
    case 1:
      return crvmTLLeftScroll;
    case 2:
      return crvmTLUpScroll;
    case 3:
      return crvmTLRightScroll;
    default:
      return crvmTLDownScroll;
  }
}

// The mode's cursor shows over every window while the list holds the pointer.
void ShowAnchorCursor(TCursor Cursor) {
  if (Screen) Screen->SetCursor(Cursor);
}
}  // namespace

void TCustomvmTreeList::ScrollByAnchor(const TPoint& ScreenAnchor) {
  if (FAnchor.Active) EndAnchorScroll();
  FAnchor = {};
  FAnchor.Active = true;
  FAnchor.Horizontal = ScrollBarShowing(SB_HORZ);
  FAnchor.Vertical = ScrollBarShowing(SB_VERT);
  FAnchor.Point = ScreenAnchor;
  TBitmap mark;
  DrawAnchorMark(&mark, FAnchor.Horizontal, FAnchor.Vertical || !FAnchor.Horizontal);
  if (!FAnchorImage) FAnchorImage = std::make_unique<TDragImage>();
  FAnchorImage->SetImage(&mark, clFuchsia, TPoint(AnchorSize / 2, AnchorSize / 2));
  FAnchorImage->BeginDrag(ScreenAnchor);
  RegisterTreeListAnchorCursors();
  FAnchor.ScreenCursor = Screen ? Screen->Cursor() : crDefault;
  ShowAnchorCursor(RestingAnchorCursor(FAnchor.Horizontal, FAnchor.Vertical));
  if (!FAnchorTimer) {
    FAnchorTimer = new TTimer(this);
    FAnchorTimer->SetEnabled(false);
    FAnchorTimer->OnTimer = [this](TObject*) { AnchorTimerFired(); };
  }
  FAnchorTimer->SetInterval(AnchorTick);
  FAnchorTimer->SetEnabled(true);
  SetMouseCapture(true);
}

void TCustomvmTreeList::EndAnchorScroll() {
  if (!FAnchor.Active) return;
  FAnchor.Active = false;
  FAnchor.Direction = 0;
  FAnchor.Speed = 0;
  if (FAnchorTimer) FAnchorTimer->SetEnabled(false);
  if (FAnchorImage) FAnchorImage->EndDrag();
  ShowAnchorCursor(FAnchor.ScreenCursor);
  if (MouseCapture()) SetMouseCapture(false);
}

void TCustomvmTreeList::AnchorMouseMove(const TPoint& Screen) {
  int dx = Screen.X - FAnchor.Point.X, dy = Screen.Y - FAnchor.Point.Y;
  int half = AnchorSize / 2;
  // The resting square spans the whole screen along a way the list cannot scroll.
  bool insideX = !FAnchor.Horizontal || std::abs(dx) <= half;
  bool insideY = !FAnchor.Vertical || std::abs(dy) <= half;
  if (insideX && insideY) {
    FAnchor.Direction = 0;
    FAnchor.Speed = 0;
    ShowAnchorCursor(RestingAnchorCursor(FAnchor.Horizontal, FAnchor.Vertical));
    return;
  }
  FAnchor.Moved = true;
  int d;
  if (FAnchor.Vertical && (!FAnchor.Horizontal || std::abs(dy) >= std::abs(dx))) {
    FAnchor.Direction = dy < 0 ? 2 : 4;
    d = std::abs(dy);
  } else {
    FAnchor.Direction = dx < 0 ? 1 : 3;
    d = std::abs(dx);
  }
  FAnchor.Speed = std::clamp((d - half) / 5 + 1, 1, 12);
  ShowAnchorCursor(DirectionCursor(FAnchor.Direction));
}

void TCustomvmTreeList::AnchorTimerFired() {
  if (!FAnchor.Active) {
    FAnchorTimer->SetEnabled(false);
    return;
  }
  ++FAnchor.Ticks;
  if (FAnchor.Direction == 0 || FAnchor.Ticks % (13 - FAnchor.Speed) != 0) return;
  TScopeFail endAnchorScroll([&] { EndAnchorScroll(); });
  switch (FAnchor.Direction) {
    case 2:
      SetTopRowIndex(GetTopRowIndex() - 1);
      break;
    case 4:
      SetTopRowIndex(GetTopRowIndex() + 1);
      break;
    default: {
      // One horizontal line is the width of a digit.
      int step = 8;
      if (TCanvas* c = Canvas()) {
        c->Font()->Assign(Font());
        step = std::max(1, c->TextWidth("0"));
      }
      SetLeftPos(FLeftPos + (FAnchor.Direction == 1 ? -step : step));
    }
  }
}
