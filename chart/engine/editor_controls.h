// Small controls of the chart editors (a push button that paints a symbol, its colour-swatch
// descendant, a flat combo box), the shared colour choosing, smooth bitmap resampling and two
// geometric helpers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/stdctrls.h"
#include "platform/typinfo.h"
#include "platform/types.h"

class TBitmap;
class TCanvas;
class TGraphCanvas;

// A push button that paints a symbol beside its caption.
class TGraphButton : public TButton {
  VM_CLASS(TGraphButton, TButton)
public:
  explicit TGraphButton(TComponent* AOwner);

  // Paints the button's symbol; nothing here.
  virtual void DrawSymbol(TGraphCanvas* /*Canvas*/) {}
  TRect SymbolRect() const;
  // Links the button to a published property of Instance (no property when PropName is empty).
  void LinkProperty(TObject* Instance, const std::string& PropName);

  TObject* LinkedInstance() const { return FInstance; }
  const TPropInfo* LinkedProperty() const { return FInfo; }

protected:
  TObject* FInstance = nullptr;
  const TPropInfo* FInfo = nullptr;
};

// A button showing a colour: its getter's, its linked property's, or its own.
class TButtonColor : public TGraphButton {
  VM_CLASS(TButtonColor, TGraphButton)
public:
  explicit TButtonColor(TComponent* AOwner) : TGraphButton(AOwner) {}

  TColor GetColor() const;
  void SetColor(TColor Value);
  void DrawSymbol(TGraphCanvas* Canvas) override;
  // Lets the user pick a colour; only a changed colour is stored and clicks.
  void Click() override;

  std::function<TColor()> GetColorProc;

private:
  TColor FColor = clBlack;
};

// The colour dialog with the custom colours remembered for the run of the program. EditColor
// answers the chosen colour, or Color when cancelled; EditColorChanged tells whether it changed.
TColor EditColor(TComponent* Owner, TColor Color);
bool EditColorChanged(TComponent* Owner, TColor& Color);
// Forgets the remembered custom colours (module shutdown).
void FreeCustomColorList();

// A combo box drawn flat unless the mouse is over it or it has the focus.
class TComboFlat : public TComboBox {
  VM_CLASS(TComboFlat, TComboBox)
public:
  explicit TComboFlat(TComponent* AOwner);

  // The width of the dropped list; the control's width until set.
  int32_t DropDownWidth() const { return FDropDownWidth > 0 ? FDropDownWidth : Width(); }
  void SetDropDownWidth(int32_t Value) { FDropDownWidth = Value; }
  bool IsDropDownWidthStored() const { return DropDownWidth() != Width(); }
  int32_t ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int32_t Value) { FItemHeight = Value; }
  bool MouseInside() const { return FMouseInside; }
  // Drawn flat: neither hovered nor focused.
  bool DrawnFlat() const { return !FMouseInside && !Focused(); }
  // The width of the window system's caption buttons, which the drop button's area spans.
  static constexpr int kCaptionButtonWidth = 18;
  // The drop button's area, framed in the window colour when drawn flat.
  TRect DropButtonRect() const;

protected:
  void MouseEnter() override;
  void MouseLeave() override;
  void DoEnter() override;
  void DoExit() override;

  // Over the face the window system painted: two frames in the button-face colour round the
  // client area, the drop button's area framed in the window colour.
  void DrawFlat(TCanvas* Canvas) const;

private:
  int32_t FDropDownWidth = 0;
  int32_t FItemHeight = 13;
  bool FMouseInside = false;
};

// Resampling filters (single precision) and the separable resampler.
using TSmoothFilter = std::function<float(float X)>;
float Lanczos3Weight(float X);
float TriangleWeight(float X);
// Resamples Source into Dest (Dest keeps its size). Bitmaps narrower or lower than 2 pixels raise
// "SmoothStretch: Source bitmap too small" / "SmoothStretch: Destination bitmap too small".
void SmoothStretch(TBitmap* Source, TBitmap* Dest, const TSmoothFilter& Filter, float Support);
void SmoothBitmapFilter(TBitmap* Source, TBitmap* Dest, bool Fast);
void SmoothBitmap(TBitmap* Source, TBitmap* Dest);

// The point Distance pixels back from P1 towards P0.
TPoint PointBackFromEnd(const TPoint& P0, const TPoint& P1, int Distance);
double Hypotenuse(double A, double B);
