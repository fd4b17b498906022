#include "chart/series/pointer_combo.h"

#include "chart/engine/graph_canvas.h"
#include "platform/exceptions.h"

VM_PUBLISH(TPointerComboFlat) {
  P.Int("PointerColor", &TPointerComboFlat::PointerColor, &TPointerComboFlat::SetPointerColor).Default(clRed);
}

namespace {
TWinControl* WindowedOwner(TComponent* AOwner) {
  auto* w = dynamic_cast<TWinControl*>(AOwner);
  if (!w) throw EInvalidCast("Invalid class typecast");
  return w;
}
}  // namespace

TPointerComboFlat::TPointerComboFlat(TComponent* AOwner) : TComboBox(WindowedOwner(AOwner)) {
  SetParent(static_cast<TWinControl*>(AOwner));
  FPointer = std::make_unique<TSeriesPointer>(nullptr);
  SetStyle(csOwnerDrawFixed);
  SetHeight(22);
  SetItemHeight(16);
  for (const char* s : {"Square", "Circle", "Triangle", "Down Triangle", "Cross", "Diagonal Cross", "Star", "Diamond",
                        "Small Dot", "Nothing", "Left Triangle", "Right Triangle"})
    Items()->Add(s);
}

TPointerComboFlat::~TPointerComboFlat() = default;

void TPointerComboFlat::SetPointerColor(TColor Value) {
  if (FPointerColor == Value) return;
  FPointerColor = Value;
  Invalidate();
}

void TPointerComboFlat::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    TComboBox::DrawItem(Index, Rect, State);
    return;
  }
  PaintItem(Index, Rect);
}

void TPointerComboFlat::PaintItemOn(TCanvas* Target, int Index, const TRect& Rect) {
  if (!Target || Index < 0 || Index > psRightTriangle) return;
  const TColor back = Target->Brush()->Color();
  Target->FillRect(Rect);
  {
    TGraphCanvas3D c;
    c.SetCanvas(Target);
    const auto style = static_cast<TSeriesPointerStyle>(Index);
    FPointer->SetUpCanvas(&c, FPointerColor);
    const bool lineOnly = style == psCross || style == psDiagCross || style == psStar || style == psSmallDot;
    if (lineOnly && !FPointer->Pen()->Visible()) {
      c.Pen->SetStyle(psSolid);
      c.Pen->SetWidth(1);
      c.Pen->SetColor(FPointerColor);
    }
    FPointer->DrawPointerShape(&c, false, Rect.Left + 6, Rect.Top + 8, 4, 4, FPointerColor, style);
  }
  Target->Brush()->SetColor(back);
  Target->Brush()->SetStyle(bsClear);
  Target->TextOut(Rect.Left + 14, Rect.Top + 2, Items()->Strings(Index));
}
