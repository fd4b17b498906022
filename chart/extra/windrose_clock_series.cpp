#include "chart/extra/windrose_clock_series.h"

#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "platform/datetime.h"
#include "platform/forms.h"
#include "platform/sysutils.h"

const TEnumInfo ClockSeriesStyleInfo("TClockSeriesStyle", {"cssDecimal", "cssRoman"});

std::function<TDateTime()> ClockNowHook;

#define VM_ROSE_COMMON(S)                                                                      \
  P.Object("Brush", &S::Brush, &S::SetBrush);                                                  \
  P.Int("CircleBackColor", &S::CircleBackColor, &S::SetCircleBackColor).Default(clGraphColor); \
  P.Object("CircleGradient", &S::CircleGradient, &S::SetCircleGradient);                       \
  P.Object("CircleLabelsFont", &S::CircleLabelsFont, &S::SetCircleLabelsFont);                 \
  P.Object("CirclePen", &S::CirclePen, &S::SetCirclePen);                                      \
  P.Bool("Circled", &S::Circled, &S::SetCircled).Default(false);                               \
  P.Object("Pen", &S::Pen, &S::SetPen);                                                        \
  P.Object("Pointer", &S::Pointer, &S::SetPointer);                                            \
  P.Int("Transparency", &S::Transparency, &S::SetTransparency).Default(0);                     \
  P.Bool("CircleLabels", &S::CircleLabels, &S::SetCircleLabels).Default(true)

VM_DEFINE_CLASS(TCustom2DPolarSeries)

VM_PUBLISH(TWindRoseSeries) {
  using S = TWindRoseSeries;
  VM_ROSE_COMMON(S);
  P.Float("AngleIncrement", &S::AngleIncrement, &S::SetAngleIncrement).Stored(true);
  P.Object("AngleValues", &S::AngleValues, &S::SetAngleValues);
  P.Bool("MirrorLabels", &S::MirrorLabels, &S::SetMirrorLabels).Default(false);
  P.Object("RadiusValues", &S::RadiusValues, &S::SetRadiusValues);
  P.Int("RotationAngle", &S::RotationAngle, &S::SetRotationAngle).Default(90);
}

VM_PUBLISH(TClockSeries) {
  using S = TClockSeries;
  VM_ROSE_COMMON(S);
  P.Object("PenHours", &S::PenHours, &S::SetPenHours);
  P.Object("PenMinutes", &S::PenMinutes, &S::SetPenMinutes);
  P.Object("PenSeconds", &S::PenSeconds, &S::SetPenSeconds);
  P.Enum("Style", &S::Style, &S::SetStyle, ClockSeriesStyleInfo).Default(cssRoman);
  P.Event("OnGetTime", &S::OnGetTime);
}

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

// =============================================================================================

void TCustom2DPolarSeries::SetGalleryView3D(bool) {
  TCustomPolarSeries::SetGalleryView3D(false);
  if (FParentChart) FParentChart->SetView3D(false);
}

void TCustom2DPolarSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustomPolarSeries::MakeGalleryThumbnail(Coloured);
  CircleLabelsFont()->SetSize(6);
  Pointer()->SetHorizSize(2);
  Pointer()->SetVertSize(2);
}

// ---- wind rose -----------------------------------------------------------------------------------

TWindRoseSeries::TWindRoseSeries(TComponent* AOwner) : TCustom2DPolarSeries(AOwner) {
  SetCircleLabels(true);
  SetRotationAngle(90);
}

std::string TWindRoseSeries::GetCircleLabel(double Angle, int32_t) {
  static const char* const names[] = {"N", "NNNW", "NNW", "NW", "NWW", "NWWW", "W", "SWWW", "SWW", "SW", "SSW", "SSSW",
                                      "S", "SSSE", "SSE", "SE", "SEE", "SEEE", "E", "NEEE", "NEE", "NE", "NNE", "NNNE"};
  const auto a = static_cast<int64_t>(Round(FMirrorLabels ? 360 - Angle : Angle));
  if (a == 360) return "N";
  if (a < 0 || a > 345 || a % 15 != 0) return "";
  return names[a / 15];
}

void TWindRoseSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom2DPolarSeries::MakeGalleryThumbnail(Coloured);
  SetAngleIncrement(45);
}

// ---- clock ---------------------------------------------------------------------------------------

TClockSeries::TClockSeries(TComponent* AOwner) : TCustom2DPolarSeries(AOwner) {
  Pointer()->SetVisible(false);
  Brush()->SetStyle(bsSolid);
  SetCircleLabels(true);
  SetRotationAngle(90);
  FCircled = true;
  AddValue(0);
  FPenHours.reset(CreateChartPen());
  FPenMinutes.reset(CreateChartPen());
  FPenSeconds.reset(CreateChartPen());
  FTimer = std::make_unique<TTimer>(nullptr);
  FTimer->SetInterval(1000);
  FTimer->OnTimer = [this](TObject*) {
    FTimer->SetEnabled(false);
    Repaint();
    FTimer->SetEnabled(true);
  };
  FTimer->SetEnabled(true);
}

TClockSeries::~TClockSeries() {
  if (FTimer) FTimer->SetEnabled(false);
}

void TClockSeries::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TClockSeries*>(Source)) {
    FPenHours->Assign(c->FPenHours.get());
    FPenMinutes->Assign(c->FPenMinutes.get());
    FPenSeconds->Assign(c->FPenSeconds.get());
    FStyle = c->FStyle;
  }
  TCustom2DPolarSeries::Assign(Source);
}

void TClockSeries::SetStyle(TClockSeriesStyle V) {
  if (FStyle == V) return;
  FStyle = V;
  Repaint();
}

TDateTime TClockSeries::ClockTime() {
  TDateTime t = ClockNowHook ? ClockNowHook() : Now();
  if (OnGetTime) OnGetTime(this, t);
  return t;
}

void TClockSeries::HandAngles(TDateTime Time, double& Hour, double& Minute, double& Second) {
  uint16_t h, m, s, ms;
  DecodeTime(Time, h, m, s, ms);
  Hour = 360 - (60.0 * h + m) * 360 / 720;
  Minute = 360 - m * 360.0 / 60;
  Second = 360 - (s + ms / 1000.0) * 360 / 60;
}

void TClockSeries::SetParentChart(TCustomAxisPanel* Value) {
  if (Value == FParentChart) {
    TCustom2DPolarSeries::SetParentChart(Value);
    return;
  }
  if (FParentChart && FParentChart->Axes) FParentChart->Axes->SetVisible(FOldAxesVisible);
  TCustom2DPolarSeries::SetParentChart(Value);
  if (ComponentState().Contains(csDestroying)) return;
  SetAngleIncrement(30);
  if (FParentChart && FParentChart->Axes) {
    FOldAxesVisible = FParentChart->Axes->GetVisible();
    FParentChart->Axes->SetVisible(false);
  }
}

void TClockSeries::RemovedFromChart() {
  if (FParentChart && FParentChart->Axes) FParentChart->Axes->SetVisible(FOldAxesVisible);
  TCustom2DPolarSeries::RemovedFromChart();
}

void TClockSeries::FireBeforeDrawValues() {
  if (Transparency() <= 0 || !FParentChart) {
    TCustom2DPolarSeries::FireBeforeDrawValues();
    return;
  }
  TGraphCanvas3D* c = FParentChart->Canvas;
  TGraphBlend* blend = c->BeginBlending(FParentChart->ChartRect, Transparency());
  try {
    TCustom2DPolarSeries::FireBeforeDrawValues();
  } catch (...) {
    c->EndBlending(blend);
    throw;
  }
  c->EndBlending(blend);
}

void TClockSeries::DrawVisiblePoints() {
  TGraphCanvas3D* c = FParentChart->Canvas;
  double hour, minute, second;
  HandAngles(ClockTime(), hour, minute, second);
  c->AssignBrush(Brush(), SeriesColor());
  const TPoint centre(CircleXCenter, CircleYCenter);
  auto tip = [&](double F, double Angle) {
    int x, y;
    AngleToPos(Angle * kPi / 180, XRadius * F / 2, YRadius * F / 2, x, y);
    return TPoint(x, y);
  };
  if (FPenHours->Visible()) {
    c->AssignVisiblePen(FPenHours.get());
    c->Arrow3D(true, centre, tip(1.3, hour), 14, 20, EndZ, 50);
  }
  if (FPenMinutes->Visible()) {
    c->AssignVisiblePen(FPenMinutes.get());
    c->Arrow3D(true, centre, tip(1.7, minute), 10, 16, EndZ, 50);
  }
  const TPoint s = tip(1.8, second);
  if (FPenSeconds->Visible()) {
    c->AssignVisiblePen(FPenSeconds.get());
    c->LineWithZ(centre.X, centre.Y, s.X, s.Y, EndZ);
  }
  if (Pointer()->Visible()) {
    Pointer()->SetUpCanvas(c, Pointer()->Brush()->Color());
    Pointer()->DrawAt(s.X, s.Y);
  }
}

void TClockSeries::FormatLegendText(int32_t, TLegendTextStyle, std::string& Text) { Text = TimeToStr(ClockTime()); }

std::string TClockSeries::GetCircleLabel(double Angle, int32_t) {
  static const char* const roman[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII"};
  const auto n = static_cast<int64_t>(Round((360 - Angle) / 30));
  if (FStyle == cssDecimal) return IntToStr(n);
  // Other angle steps than 30 degrees give numbers outside the dial: shown in decimal.
  return n >= 1 && n <= 12 ? roman[n - 1] : IntToStr(n);
}

// =============================================================================================

void RegisterWindRoseClockSeries() {
  RegisterSeriesType(TWindRoseSeries::StaticClass(), &MsgGalleryWindRose, &MsgGalleryPageOther, 1);
  RegisterSeriesType(TClockSeries::StaticClass(), &MsgGalleryClock, &MsgGalleryPageOther, 1);
}

void UnregisterWindRoseClockSeries() {
  UnregisterSeriesTypes({TWindRoseSeries::StaticClass(), TClockSeries::StaticClass()});
}
