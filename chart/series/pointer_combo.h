// A combo box listing the twelve pointer styles, each item drawn with a small pointer of its style.
#pragma once

#include <memory>

#include "chart/engine/series_pointer.h"
#include "platform/stdctrls.h"

class TPointerComboFlat : public TComboBox {
  VM_CLASS(TPointerComboFlat, TComboBox)
public:
  // The owner must be a windowed control and becomes the parent; anything else: EInvalidCast.
  explicit TPointerComboFlat(TComponent* AOwner);
  ~TPointerComboFlat() override;

  TColor PointerColor() const { return FPointerColor; }
  void SetPointerColor(TColor Value);
  TSeriesPointer* Pointer() const { return FPointer.get(); }

  // Draws item Index (style Index) into Rect of the combo's canvas; PaintItemOn draws on any canvas.
  void PaintItem(int Index, const TRect& Rect) { PaintItemOn(Canvas(), Index, Rect); }
  void PaintItemOn(TCanvas* Target, int Index, const TRect& Rect);

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

private:
  std::unique_ptr<TSeriesPointer> FPointer;
  TColor FPointerColor = clRed;
};
