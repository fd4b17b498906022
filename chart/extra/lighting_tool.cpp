#include "chart/extra/lighting_tool.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {
const TEnumInfo LightStyleInfo{"TLightStyle", {"lsLinear", "lsSpotLight"}};
std::unique_ptr<TBitmap>& SharedResult() {
  static std::unique_ptr<TBitmap> result;
  return result;
}
}  // namespace

TBitmap* ApplyLight(TBitmap* Source, int32_t X0, int32_t Y0, int32_t Factor, bool Spot) {
  const int32_t w = Source->Width(), h = Source->Height();
  std::unique_ptr<TBitmap>& out = SharedResult();
  if (!out || out->Width() != w || out->Height() != h) {
    out = std::make_unique<TBitmap>();
    out->SetPixelFormat(pf24bit);
    out->SetSize(w, h);
  }
  if (w == 0 || h == 0) return out.get();
  const double e = Factor * 0.01 * (Spot ? 1 : 20);
  const double f = 100 / std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h);
  const double g = f * e;
  for (int32_t y = 0; y < h; ++y) {
    const auto* src = static_cast<const uint8_t*>(Source->ScanLine(y));
    auto* dst = static_cast<uint8_t*>(out->ScanLine(y));
    const double dy2 = static_cast<double>(y - Y0) * (y - Y0);
    for (int32_t x = 0; x < w; ++x) {
      const double m = std::sqrt(dy2 + static_cast<double>(x - X0) * (x - X0));
      // Far beyond black (an extreme factor) stays black.
      const double raw = Spot ? ((m + 1) * f) * ((m + 1) * f) * e : g * m;
      const double o = raw >= 255 ? 255 : std::nearbyint(raw);
      const uint8_t* s = src + 3 * x;
      uint8_t* d = dst + 3 * x;
      if (o <= 0) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      } else if (o >= 255) {
        d[0] = d[1] = d[2] = 0;
      } else {
        const int k = static_cast<int>(o);
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(std::max(0, s[c] - k));
      }
    }
  }
  return out.get();
}

void FreeLightResult() { SharedResult().reset(); }

VM_PUBLISH(TLightTool) {
  using T = TLightTool;
  P.Int("Factor", &T::Factor, &T::SetFactor).Default(10);
  P.Bool("FollowMouse", &T::FollowMouse, &T::SetFollowMouse).Default(false);
  P.Int("Left", &T::Left, &T::SetLeft).Default(-1);
  P.Enum("Style", &T::Style, &T::SetStyle, LightStyleInfo).Default(lsLinear);
  P.Int("Top", &T::Top, &T::SetTop).Default(-1);
}

TLightTool::TLightTool(TComponent* AOwner) : TGraphCustomTool(AOwner) {}
TLightTool::~TLightTool() = default;

void TLightTool::SetStyle(TLightStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Repaint();
}

void TLightTool::GetDescription(std::string& Text) { Text = MsgOption2DLighting; }

void TLightTool::SetParentChart(TCustomAxisPanel* Value) {
  TGraphCustomTool::SetParentChart(Value);
  if (FParentChart) Repaint();
}

TPoint TLightTool::LightPoint() const {
  const int32_t w = FParentChart ? FParentChart->Width() : 0, h = FParentChart ? FParentChart->Height() : 0;
  return TPoint(FLeft == -1 ? w / 2 : FLeft, FTop == -1 ? h / 2 : FTop);
}

void TLightTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphCustomTool::HandleChartMouse(Kind, Button, Shift, X, Y);
  if (Active() && FFollowMouse && Kind == meMove) {
    FLeft = X;
    FTop = Y;
    Repaint();
  }
}

void TLightTool::HandleChartStage(TToolDrawStage Stage) {
  if (Stage != tdsAfterDraw || !Active()) return;
  FCapture.reset();
  LightChart();
}

void TLightTool::LightChart() {
  if (!FParentChart || FBusy) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (!c || c->Metafiling || !c->Handle()) return;
  FBusy = true;
  try {
    const int32_t w = FParentChart->Width(), h = FParentChart->Height();
    FCapture = std::make_unique<TBitmap>();
    FCapture->SetPixelFormat(pf24bit);
    FCapture->SetSize(w, h);
    // The picture of the chart as drawn so far: its back buffer, or the surface it draws on.
    TBitmap* back = c->Bitmap();
    TCanvas* source = back && c->BufferedDisplay() ? back->Canvas() : c->Handle();
    FCapture->Canvas()->CopyRect(TRect(0, 0, w, h), source, TRect(0, 0, w, h));
    const TPoint at = LightPoint();
    TBitmap* lit = ApplyLight(FCapture.get(), at.X, at.Y, FFactor, FStyle == lsSpotLight);
    c->Draw(0, 0, lit);
  } catch (...) {
    FBusy = false;
    throw;
  }
  FBusy = false;
}
