#include "chart/engine/editor_controls.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "chart/engine/graph_canvas.h"
#include "platform/bitmap.h"
#include "platform/dialogs.h"
#include "platform/paintover.h"
#include "platform/strings.h"

// =============================================================================================
// Buttons

VM_PUBLISH(TGraphButton) {
  P.Int("Height", &TGraphButton::Height, &TGraphButton::SetHeight).Default(25);
  P.Int("Width", &TGraphButton::Width, &TGraphButton::SetWidth).Default(75);
}

TGraphButton::TGraphButton(TComponent* AOwner) : TButton(AOwner) {
  SetBounds(Left(), Top(), 75, 25);
  // The symbol goes over the face the window system painted, through a temporary chart canvas.
  SetPaintOver(this, [this](TControl*, TCanvas* Canvas) {
    TGraphCanvas3D c;
    c.SetCanvas(Canvas);
    DrawSymbol(&c);
  });
}

TRect TGraphButton::SymbolRect() const {
  const int w = Width(), h = Height();
  return TRect{w - 19, h - 3 * (h / 4), w - 6, h - h / 4};
}

void TGraphButton::LinkProperty(TObject* Instance, const std::string& PropName) {
  FInstance = Instance;
  if (!Instance) return;
  FInfo = PropName.empty() ? nullptr : GetPropInfo(Instance, PropName);
  Invalidate();
}

VM_DEFINE_CLASS(TButtonColor)

TColor TButtonColor::GetColor() const {
  if (GetColorProc) return GetColorProc();
  if (FInstance && FInfo && FInfo->GetOrd) return ColorToRGB(static_cast<TColor>(FInfo->GetOrd(FInstance)));
  return FColor;
}

void TButtonColor::SetColor(TColor Value) {
  if (FInstance && FInfo && FInfo->SetOrd)
    FInfo->SetOrd(FInstance, Value);
  else
    FColor = Value;
}

void TButtonColor::DrawSymbol(TGraphCanvas* Canvas) {
  const TColor c = GetColor();
  Canvas->Brush->SetColor(c);
  if (c == clNone) return;
  if (!Enabled()) Canvas->Pen->SetStyle(psClear);
  const TRect r = SymbolRect();
  Canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

void TButtonColor::Click() {
  TColor c = GetColor();
  if (!EditColorChanged(this, c)) return;
  SetColor(c);
  Repaint();
  TGraphButton::Click();
}

// =============================================================================================
// Colour choosing

namespace {
std::unique_ptr<TStringList>& CustomColorList() {
  static std::unique_ptr<TStringList> list;
  return list;
}
}  // namespace

TColor EditColor(TComponent* Owner, TColor Color) {
  TColorDialog dlg(Owner);
  dlg.SetColor(Color);
  if (CustomColorList()) dlg.CustomColors()->Assign(*CustomColorList());
  if (!dlg.Execute()) return Color;
  if (!CustomColorList()) CustomColorList() = std::make_unique<TStringList>();
  CustomColorList()->Assign(*dlg.CustomColors());
  return dlg.Color();
}

bool EditColorChanged(TComponent* Owner, TColor& Color) {
  const TColor c = EditColor(Owner, Color);
  if (c == Color) return false;
  Color = c;
  return true;
}

void FreeCustomColorList() { CustomColorList().reset(); }

// =============================================================================================
// Flat combo box

VM_PUBLISH(TComboFlat) {
  P.Int("DropDownWidth", &TComboFlat::DropDownWidth, &TComboFlat::SetDropDownWidth)
      .Stored(&TComboFlat::IsDropDownWidthStored);
  P.Int("Height", &TComboFlat::Height, &TComboFlat::SetHeight).Default(21);
  P.Int("ItemHeight", &TComboFlat::ItemHeight, &TComboFlat::SetItemHeight).Default(13);
  P.Int("ItemIndex", &TComboFlat::ItemIndex, &TComboFlat::SetItemIndex).Default(-1);
}

TComboFlat::TComboFlat(TComponent* AOwner) : TComboBox(AOwner) {
  SetBounds(Left(), Top(), Width(), 21);
  SetStyle(csDropDownList);
  SetPaintOver(this, [this](TControl*, TCanvas* Canvas) {
    if (DrawnFlat()) DrawFlat(Canvas);
  });
}

void TComboFlat::DrawFlat(TCanvas* Canvas) const {
  const TRect r = ClientRect();
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetColor(clBtnFace);
  Canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
  Canvas->Rectangle(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  Canvas->Pen()->SetColor(clWindow);
  const TRect b = DropButtonRect();
  Canvas->Rectangle(b.Left, b.Top, b.Right, b.Bottom);
  Canvas->MoveTo(r.Right - 2, b.Top);
  Canvas->LineTo(r.Right - 2, b.Bottom);
}

TRect TComboFlat::DropButtonRect() const {
  const TRect r = ClientRect();
  return TRect{r.Right - kCaptionButtonWidth - 2, r.Top + 1, r.Right, r.Bottom - 1};
}

void TComboFlat::MouseEnter() {
  TComboBox::MouseEnter();
  FMouseInside = true;
  Invalidate();
}

void TComboFlat::MouseLeave() {
  TComboBox::MouseLeave();
  FMouseInside = false;
  Invalidate();
}

void TComboFlat::DoEnter() {
  TComboBox::DoEnter();
  FMouseInside = false;
  Invalidate();
}

void TComboFlat::DoExit() {
  TComboBox::DoExit();
  FMouseInside = false;
  Invalidate();
}

// =============================================================================================
// Smoothing

float Lanczos3Weight(float X) {
  const float ax = std::fabs(X);
  if (ax == 0) return 1;
  if (ax >= 3) return 0;
  const float t = static_cast<float>(M_PI) * ax;
  return (std::sin(t) / t) * (std::sin(t / 3) / (t / 3));
}

float TriangleWeight(float X) {
  const float ax = std::fabs(X);
  return ax < 1 ? 1 - ax : 0;
}

namespace {

struct TContributor {
  int Pixel;
  int Weight;
};

// The contributors of every destination index along one axis.
std::vector<std::vector<TContributor>> Contributors(int DestSize, int SourceSize, const TSmoothFilter& Filter,
                                                    float Support) {
  const float scale = static_cast<float>(DestSize - 1) / static_cast<float>(SourceSize - 1);
  std::vector<std::vector<TContributor>> out(static_cast<size_t>(DestSize));
  // Reflected at the edges; a support wider than the source stays clamped inside it.
  auto mirror = [&](int j) {
    if (j < 0) j = -j;
    if (j >= SourceSize) j = 2 * SourceSize - j - 1;
    return std::clamp(j, 0, SourceSize - 1);
  };
  for (int i = 0; i < DestSize; ++i) {
    auto& list = out[static_cast<size_t>(i)];
    const float c = static_cast<float>(i) / scale;
    if (scale >= 1) {
      list.reserve(static_cast<size_t>(2 * Support + 1));
      for (int j = static_cast<int>(std::floor(c - Support)); j <= static_cast<int>(std::ceil(c + Support)); ++j) {
        const float w = Filter(c - static_cast<float>(j));
        if (w != 0) list.push_back({mirror(j), static_cast<int>(std::nearbyint(w * 1024))});
      }
    } else {
      const float width = Support / scale;
      list.reserve(static_cast<size_t>(2 * width + 1));
      for (int j = static_cast<int>(std::floor(c - width)); j <= static_cast<int>(std::ceil(c + width)); ++j) {
        const float w = Filter(scale * (c - static_cast<float>(j)));
        if (w != 0) list.push_back({mirror(j), static_cast<int>(std::nearbyint(w * scale * 1024))});
      }
    }
  }
  return out;
}

uint8_t Clamp255(int Sum) { return static_cast<uint8_t>(std::clamp(Sum / 1024, 0, 255)); }

}  // namespace

void SmoothStretch(TBitmap* Source, TBitmap* Dest, const TSmoothFilter& Filter, float Support) {
  if (!Source || !Dest) return;
  if (Source->Width() < 2 || Source->Height() < 2) throw Exception("SmoothStretch: Source bitmap too small");
  if (Dest->Width() < 2 || Dest->Height() < 2) throw Exception("SmoothStretch: Destination bitmap too small");
  Source->SetPixelFormat(pf24bit);
  Dest->SetPixelFormat(pf24bit);
  const int sw = Source->Width(), sh = Source->Height(), dw = Dest->Width(), dh = Dest->Height();
  // Horizontal pass into a work image (source height, destination width), three bytes a pixel.
  std::vector<uint8_t> work(static_cast<size_t>(dw) * sh * 3);
  const auto cols = Contributors(dw, sw, Filter, Support);
  for (int y = 0; y < sh; ++y) {
    const auto* src = static_cast<const uint8_t*>(Source->ScanLine(y));
    uint8_t* dst = work.data() + static_cast<size_t>(y) * dw * 3;
    for (int i = 0; i < dw; ++i) {
      int b = 0, g = 0, r = 0;
      for (const TContributor& c : cols[static_cast<size_t>(i)]) {
        const uint8_t* p = src + c.Pixel * 3;
        b += p[0] * c.Weight;
        g += p[1] * c.Weight;
        r += p[2] * c.Weight;
      }
      dst[i * 3] = Clamp255(b);
      dst[i * 3 + 1] = Clamp255(g);
      dst[i * 3 + 2] = Clamp255(r);
    }
  }
  // Vertical pass into the destination.
  const auto rows = Contributors(dh, sh, Filter, Support);
  for (int y = 0; y < dh; ++y) {
    auto* dst = static_cast<uint8_t*>(Dest->ScanLine(y));
    for (int x = 0; x < dw; ++x) {
      int b = 0, g = 0, r = 0;
      for (const TContributor& c : rows[static_cast<size_t>(y)]) {
        const uint8_t* p = work.data() + (static_cast<size_t>(c.Pixel) * dw + x) * 3;
        b += p[0] * c.Weight;
        g += p[1] * c.Weight;
        r += p[2] * c.Weight;
      }
      dst[x * 3] = Clamp255(b);
      dst[x * 3 + 1] = Clamp255(g);
      dst[x * 3 + 2] = Clamp255(r);
    }
  }
}

void SmoothBitmapFilter(TBitmap* Source, TBitmap* Dest, bool Fast) {
  if (Fast)
    SmoothStretch(Source, Dest, TriangleWeight, 1);
  else
    SmoothStretch(Source, Dest, Lanczos3Weight, 3);
}

void SmoothBitmap(TBitmap* Source, TBitmap* Dest) { SmoothBitmapFilter(Source, Dest, false); }

// =============================================================================================
// Geometry

TPoint PointBackFromEnd(const TPoint& P0, const TPoint& P1, int Distance) {
  TPoint r = P1;
  if (P1.X != P0.X) {
    const double a = std::atan2(static_cast<double>(P1.Y - P0.Y), static_cast<double>(P1.X - P0.X));
    r.X -= static_cast<int>(std::nearbyint(std::cos(a) * Distance));
    r.Y -= static_cast<int>(std::nearbyint(std::sin(a) * Distance));
  } else if (P0.Y < P1.Y) {
    r.Y -= Distance;
  } else {
    r.Y += Distance;
  }
  return r;
}

double Hypotenuse(double A, double B) { return std::sqrt(A * A + B * B); }
