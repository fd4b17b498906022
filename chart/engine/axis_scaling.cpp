// The axis' range, scale, value-to-pixel conversions, label increment and the range setters.
#include <cmath>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "chart/engine/chart_published.h"
#include <limits>

#include "chart/engine/tool_base.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/series_base.h"
#include "chart/engine/value_lists.h"
#include "platform/datetime.h"
#include "platform/sysutils.h"

// AxisPixelLimit is set with the series model module at start-up.

namespace {

constexpr double OneMicrosecond = 1.0 / (24.0 * 60 * 60 * 1000000);

// Halves to even, as every rounded chart coordinate.
int32_t RoundPixel(double V) {
  if (!std::isfinite(V)) return V < 0 ? -AxisPixelLimit : AxisPixelLimit;
  if (V > 2147483647.0 || V < -2147483648.0) throw ERangeError("Range check error");
  return static_cast<int32_t>(std::nearbyint(V));
}

// Rounded without the range-check: values that do not fit are held at the 32-bit ends.
int64_t RoundWide(double V) {
  if (!std::isfinite(V)) return V < 0 ? INT64_MIN / 2 : INT64_MAX / 2;
  if (V > 9.0e18) return INT64_MAX / 2;
  if (V < -9.0e18) return INT64_MIN / 2;
  return static_cast<int64_t>(std::nearbyint(V));
}

// The linear value-to-pixel loop of ValuesToPixels, two values at a time.
void ConvertLinear(const double* V, int32_t* Out, size_t N, double min, double ppu, double base, double sign,
                   double limit, double centre) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128d vmin = _mm_set1_pd(min), vppu = _mm_set1_pd(ppu), vbase = _mm_set1_pd(base), vsign = _mm_set1_pd(sign),
                vlim = _mm_set1_pd(limit), vnlim = _mm_set1_pd(-limit), vcentre = _mm_set1_pd(centre);
  for (; i + 2 <= N; i += 2) {
    const __m128d a = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(V + i), vmin), vppu);
    __m128d p = _mm_add_pd(vbase, _mm_mul_pd(vsign, a));
    const __m128d nan = _mm_cmpunord_pd(p, p);
    p = _mm_max_pd(_mm_min_pd(p, vlim), vnlim);
    p = _mm_or_pd(_mm_and_pd(nan, vcentre), _mm_andnot_pd(nan, p));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(Out + i), _mm_cvtpd_epi32(p));
  }
#endif
  for (; i < N; ++i) {
    double p = base + sign * ((V[i] - min) * ppu);
    p = p > limit ? limit : p;
    p = p < -limit ? -limit : p;
    Out[i] = p == p ? static_cast<int32_t>(std::nearbyint(p)) : static_cast<int32_t>(centre);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define VM_WIDE_CONVERT 1
// The same loop four values at a time on processors with the wide vector unit. It must be built
// for that unit: after the drawing engine's wide-vector code, the two-value loop in the old
// encoding runs several times slower.
__attribute__((target("avx2"))) void ConvertLinearWide(const double* V, int32_t* Out, size_t N, double min, double ppu,
                                                       double base, double sign, double limit, double centre) {
  const __m256d vmin = _mm256_set1_pd(min), vppu = _mm256_set1_pd(ppu), vbase = _mm256_set1_pd(base),
                vsign = _mm256_set1_pd(sign), vlim = _mm256_set1_pd(limit), vnlim = _mm256_set1_pd(-limit),
                vcentre = _mm256_set1_pd(centre);
  size_t i = 0;
  for (; i + 4 <= N; i += 4) {
    const __m256d a = _mm256_mul_pd(_mm256_sub_pd(_mm256_loadu_pd(V + i), vmin), vppu);
    __m256d p = _mm256_add_pd(vbase, _mm256_mul_pd(vsign, a));
    const __m256d nan = _mm256_cmp_pd(p, p, _CMP_UNORD_Q);
    p = _mm256_max_pd(_mm256_min_pd(p, vlim), vnlim);
    p = _mm256_blendv_pd(p, vcentre, nan);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i), _mm256_cvtpd_epi32(p));
  }
  for (; i < N; ++i) {
    double p = base + sign * ((V[i] - min) * ppu);
    p = p > limit ? limit : p;
    p = p < -limit ? -limit : p;
    Out[i] = p == p ? static_cast<int32_t>(std::nearbyint(p)) : static_cast<int32_t>(centre);
  }
}

bool HasWideVectors() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

// ---------------------------------------------------------------------------------------------
// Small classes.

TChartAxisTitle::TChartAxisTitle(IGraphShapeParent* Parent) : TGraphCustomShape(Parent) {}

void TChartAxisTitle::Assign(TPersistent* Source) {
  if (auto* t = dynamic_cast<TChartAxisTitle*>(Source)) {
    FAngle = t->FAngle;
    FCaption = t->FCaption;
  }
  TGraphCustomShape::Assign(Source);
}

void TChartAxisTitle::SetAngle(int32_t Value) {
  Value %= 360;
  if (Value != FAngle) {
    FAngle = Value;
    Repaint();
  }
}

void TChartAxisTitle::SetCaption(const std::string& Value) {
  if (Value != FCaption) {
    FCaption = Value;
    Repaint();
  }
}

TChartAxisPen::TChartAxisPen(const TNotifyEvent& OnChangeEvent) : TChartPen(OnChangeEvent) { SetWidth(2); }

TAxisGridPen::TAxisGridPen(const TNotifyEvent& OnChangeEvent) : TDottedGrayPen(OnChangeEvent) {}

void TAxisGridPen::Assign(TPersistent* Source) {
  if (auto* g = dynamic_cast<TAxisGridPen*>(Source)) {
    FCentered = g->FCentered;
    FZPosition = g->FZPosition;
  }
  TDottedGrayPen::Assign(Source);
}

void TAxisGridPen::SetCentered(bool Value) {
  if (Value != FCentered) {
    FCentered = Value;
    Changed();
  }
}

void TAxisGridPen::SetZPosition(double Value) {
  if (Value != FZPosition) {
    FZPosition = Value;
    Changed();
  }
}

TAxisItem::TAxisItem(IGraphShapeParent* Parent) : TGraphCustomShape(Parent) {
  SetTransparent(true);
  DefaultTransparent = true;
}

void TAxisItem::SetText(const std::string& Value) {
  if (Value != FText) {
    FText = Value;
    Repaint();
  }
}

void TAxisItem::SetValue(double Value) {
  if (Value != FValue) {
    FValue = Value;
    Repaint();
  }
}

TAxisItems::TAxisItems(TChartAxis* AAxis) : Axis(AAxis) {
  IGraphShapeParent* parent = AAxis ? AAxis->ParentChart : nullptr;
  Format = std::make_unique<TGraphShape>(parent);
  Format->SetTransparent(true);
  Format->DefaultTransparent = true;
}

TAxisItems::~TAxisItems() {
  Format.reset();
  FItems.clear();
}

TAxisItem* TAxisItems::AddItem(double Value) {
  auto item = std::make_unique<TAxisItem>(Axis ? Axis->ParentChart : nullptr);
  item->SetValue(Value);
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

TAxisItem* TAxisItems::AddLabeledItem(double Value, const std::string& Text) {
  TAxisItem* item = AddItem(Value);
  item->SetText(Text);
  return item;
}

void TAxisItems::Clear() {
  FItems.clear();
  if (Axis) Axis->Repaint();
}

void TAxisItems::AssignItems(const TAxisItems* Source) {
  if (!Source) return;
  Format->Assign(Source->Format.get());
  Clear();
  for (const auto& i : Source->FItems) AddLabeledItem(i->Value(), i->Text());
}

// ---------------------------------------------------------------------------------------------
// Construction.

VM_DEFINE_CLASS_EX(TChartAxisTitle, "TChartAxisTitle", PublishChartAxisTitle)
VM_DEFINE_CLASS(TChartAxisPen)
VM_DEFINE_CLASS_EX(TAxisGridPen, "TAxisGridPen", PublishAxisGridPen)
VM_DEFINE_CLASS(TAxisItem)
VM_DEFINE_CLASS_EX(TChartAxis, "TChartAxis", PublishChartAxis)
VM_DEFINE_CLASS(TChartDepthAxis)

TChartAxis::TChartAxis(TCollection* Collection)
    : TCollectionItem(Collection),
      ParentChart(Collection ? dynamic_cast<TCustomAxisPanel*>(Collection->Owner()) : nullptr) {
  Init();
}

TChartAxis::TChartAxis(TCustomAxisPanel* Chart) : TCollectionItem(nullptr), ParentChart(Chart) { Init(); }

void TChartAxis::Init() {
  auto changed = [this](TObject* Sender) { SettingChanged(Sender); };
  SelectValueToPixel();
  FItems = std::make_unique<TAxisItems>(this);
  FAxisValuesFormat = DefaultValueFormat;
  FTitle = std::make_unique<TChartAxisTitle>(ParentChart);
  FTicks = std::make_unique<TDarkGrayPen>(changed);
  FMinorTicks = std::make_unique<TDarkGrayPen>(changed);
  FTicksInner = std::make_unique<TDarkGrayPen>(changed);
  FGrid = std::make_unique<TAxisGridPen>(changed);
  FMinorGrid = std::make_unique<TChartHiddenPen>(changed);
  FAxis = std::make_unique<TChartAxisPen>(changed);
  if (ParentChart && ParentChart->Axes) ParentChart->Axes->Add(this);
}

TChartAxis::~TChartAxis() {
  if (!ParentChart) return;
  if (ParentChart->Axes) ParentChart->Axes->Remove(this);
  // A tool drawn on this axis must not reach it once it is gone.
  if (ParentChart->Tools)
    for (TGraphCustomTool* t : *ParentChart->Tools)
      if (auto* a = dynamic_cast<TGraphCustomToolAxis*>(t); a && a->Axis() == this) a->AxisFreed();
}

void TChartAxis::SettingChanged(TObject*) { Repaint(); }

void TChartAxis::Repaint() {
  if (ParentChart) ParentChart->Invalidate();
}

bool TChartAxis::ChartLoading() const {
  return ParentChart &&
         (ParentChart->ComponentState().Contains(csLoading) || ParentChart->ComponentState().Contains(csReading));
}

void TChartAxis::SetBooleanProp(bool& Field, bool Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}

void TChartAxis::SetIntegerProp(int32_t& Field, int32_t Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}

void TChartAxis::SetDoubleProp(double& Field, double Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}

void TChartAxis::Assign(TPersistent* Source) {
  auto* a = dynamic_cast<TChartAxis*>(Source);
  if (!a) {
    TCollectionItem::Assign(Source);
    return;
  }
  FAxis->Assign(a->FAxis.get());
  FItems->AssignItems(a->FItems.get());
  FLabelsAlign = a->FLabelsAlign;
  FLabelsAlternate = a->FLabelsAlternate;
  FLabelsAngle = a->FLabelsAngle;
  FLabelsExponent = a->FLabelsExponent;
  FLabelsMultiLine = a->FLabelsMultiLine;
  FLabelsSeparation = a->FLabelsSeparation;
  FLabelsSize = a->FLabelsSize;
  FLabelStyle = a->FLabelStyle;
  FLabelsOnAxis = a->FLabelsOnAxis;
  FTicks->Assign(a->FTicks.get());
  FTicksInner->Assign(a->FTicksInner.get());
  FTitleSize = a->FTitleSize;
  FGrid->Assign(a->FGrid.get());
  FMinorTicks->Assign(a->FMinorTicks.get());
  FMinorGrid->Assign(a->FMinorGrid.get());
  FTickLength = a->FTickLength;
  FMinorTickLength = a->FMinorTickLength;
  FMinorTickCount = a->FMinorTickCount;
  FTickInnerLength = a->FTickInnerLength;
  FAxisValuesFormat = a->FAxisValuesFormat;
  FIncrement = a->FIncrement;
  FMaximum = a->FMaximum;
  FMaximumOffset = a->FMaximumOffset;
  FMinimum = a->FMinimum;
  FMinimumOffset = a->FMinimumOffset;
  FAutomatic = a->FAutomatic;
  FAutomaticMaximum = a->FAutomaticMaximum;
  FAutomaticMinimum = a->FAutomaticMinimum;
  FTitle->Assign(a->FTitle.get());
  FDateTimeFormat = a->FDateTimeFormat;
  FLogarithmic = a->FLogarithmic;
  FLogarithmicBase = a->FLogarithmicBase;
  FInverted = a->FInverted;
  FExactDateTime = a->FExactDateTime;
  FRoundFirstLabel = a->FRoundFirstLabel;
  FTickOnLabelsOnly = a->FTickOnLabelsOnly;
  IsDepthAxis = a->IsDepthAxis;
  FStartPosition = a->FStartPosition;
  FEndPosition = a->FEndPosition;
  FPositionPercent = a->FPositionPercent;
  FPositionUnits = a->FPositionUnits;
  FVisible = a->FVisible;
  FHorizontal = a->FHorizontal;
  FOtherSide = a->FOtherSide;
  SelectValueToPixel();
}

// ---------------------------------------------------------------------------------------------
// Range.

bool TChartAxis::IsDateTime() {
  if (!ParentChart) return false;
  for (int i = 0; i < ParentChart->CountSeries(); ++i) {
    TChartSeries* s = ParentChart->SeriesAt(i);
    if (!s->Active()) continue;
    if (TChartValueList* list = s->ValueListForAxis(this)) return list->DateTime();
  }
  return false;
}

void TChartAxis::CalcAutomaticRange(double& AMin, double& AMax) {
  if (!ParentChart) return;
  if (FAutomatic || FAutomaticMaximum) AMax = ParentChart->CalcAxisLimit(this, false, FHorizontal);
  if (FAutomatic || FAutomaticMinimum) AMin = ParentChart->CalcAxisLimit(this, true, FHorizontal);
}

void TChartAxis::RecalcRange() {
  CalcAutomaticRange(FMinimum, FMaximum);
  ScaleMaximum = FMaximum;
  ScaleMinimum = FMinimum;
  RecalcScales();
}

void TChartAxis::SetMinimumMaximum(double AMin, double AMax) {
  FAutomatic = false;
  FAutomaticMinimum = false;
  FAutomaticMaximum = false;
  if (AMin > AMax) std::swap(AMin, AMax);
  SetDoubleProp(FMinimum, AMin);
  SetDoubleProp(FMaximum, AMax);
  if (!(FMaximum - FMinimum >= 1e-10)) SetDoubleProp(FMaximum, FMinimum + 1e-10);
}

void TChartAxis::InternalSetRange(double AMin, double AMax) {
  SetDoubleProp(FMinimum, AMin);
  SetDoubleProp(FMaximum, AMax);
}

void TChartAxis::ShiftRange(double Delta, bool CheckLimits) {
  if (CheckLimits) {
    if (!ParentChart) return;
    bool ok = false;
    if (Delta > 0)
      ok = ParentChart->CalcAxisLimit(this, false, FHorizontal) > FMaximum;
    else if (Delta < 0)
      ok = ParentChart->CalcAxisLimit(this, true, FHorizontal) < FMinimum;
    if (!ok) return;
  }
  FAutomatic = false;
  FAutomaticMaximum = false;
  FAutomaticMinimum = false;
  FMaximum += Delta;
  FMinimum += Delta;
  Repaint();
}

void TChartAxis::WidenRangeForMargins(const TRect& Margins) {
  const int32_t startMargin = FHorizontal ? Margins.Left : Margins.Top;
  const int32_t endMargin = FHorizontal ? Margins.Right : Margins.Bottom;
  const int32_t oldStart = StartPixel, oldEnd = EndPixel;
  StartPixel += startMargin;
  EndPixel -= endMargin;
  AxisLength = EndPixel - StartPixel;
  const double a = PixelToValue(oldStart);
  const double b = PixelToValue(oldEnd);
  CalcStartEndPixels();
  ScaleMaximum = a;
  ScaleMinimum = b;
  if (ScaleMinimum > ScaleMaximum) std::swap(ScaleMinimum, ScaleMaximum);
  RecalcScales();
}

// ---------------------------------------------------------------------------------------------
// Scale.

void TChartAxis::RecalcScales() {
  ScaleRange = ScaleMaximum - ScaleMinimum;
  RangeIsZero = ScaleRange == 0;
  PixelsPerUnit = RangeIsZero ? 0 : AxisLength / ScaleRange;
  if (FLogarithmic) {
    LogMinimum = ScaleMinimum > 0 ? std::log(ScaleMinimum) : 0;
    LogMaximum = ScaleMaximum > 0 ? std::log(ScaleMaximum) : 0;
    LogRange = LogMaximum - LogMinimum;
    PixelsPerLogUnit = LogRange == 0 ? 0 : AxisLength / LogRange;
  }
  DepthPixel = CalcDepthPixel();
}

int32_t TChartAxis::CalcDepthPixel() {
  if (!ParentChart) return 0;
  const double d = IsDepthAxis ? ParentChart->ChartHeight : ParentChart->Width3D;
  return RoundPixel(FZPosition * d * 0.01);
}

void TChartAxis::CalcStartEndPixels() {
  if (!ParentChart) return;
  int32_t origin, size;
  if (IsDepthAxis) {
    origin = 0;
    size = ParentChart->Width3D;
  } else if (FHorizontal) {
    origin = ParentChart->ChartRect.Left;
    size = ParentChart->ChartWidth;
  } else {
    origin = ParentChart->ChartRect.Top;
    size = ParentChart->ChartHeight;
  }
  StartPixel = origin + RoundPixel(size * 0.01 * FStartPosition);
  EndPixel = origin + RoundPixel(size * 0.01 * FEndPosition);
  RecalcLengthAndCenter();
}

void TChartAxis::RecalcLengthAndCenter() {
  AxisLength = EndPixel - StartPixel;
  CenterPixel = (StartPixel + EndPixel) / 2;
  RecalcScales();
}

void TChartAxis::ResetScaleFromRange() {
  ScaleMaximum = FMaximum;
  ScaleMinimum = FMinimum;
  RecalcScales();
}

void TChartAxis::SelectValueToPixel() {
  if (IsDepthAxis) {
    FHorizValueToPixel = FVertValueToPixel = &TChartAxis::DepthToPixel;
  } else if (FLogarithmic) {
    FHorizValueToPixel = &TChartAxis::LogHorizToPixel;
    FVertValueToPixel = &TChartAxis::LogVertToPixel;
  } else if (FastCalculation) {
    FHorizValueToPixel = &TChartAxis::FastHorizToPixel;
    FVertValueToPixel = &TChartAxis::FastVertToPixel;
  } else {
    FHorizValueToPixel = &TChartAxis::LinearHorizToPixel;
    FVertValueToPixel = &TChartAxis::LinearVertToPixel;
  }
  FValueToPixel = FHorizontal ? FHorizValueToPixel : FVertValueToPixel;
}

int32_t TChartAxis::DepthToPixel(double V) const {
  if (RangeIsZero) return CenterPixel;
  const double d = FInverted ? ScaleMaximum - V : V - ScaleMinimum;
  const double p = PixelsPerUnit * d;
  if (!(std::fabs(p) <= AxisPixelLimit)) return p < 0 ? -AxisPixelLimit : AxisPixelLimit;
  return RoundPixel(p);
}

int32_t TChartAxis::LogHorizToPixel(double V) const {
  if (LogRange == 0) return CenterPixel;
  if (!(V > 0)) return FInverted ? EndPixel : StartPixel;
  const double d = FInverted ? LogMaximum - std::log(V) : std::log(V) - LogMinimum;
  const int64_t p = StartPixel + RoundWide(PixelsPerLogUnit * d);
  return static_cast<int32_t>(std::clamp<int64_t>(p, -AxisPixelLimit, AxisPixelLimit));
}

int32_t TChartAxis::LogVertToPixel(double V) const {
  if (LogRange == 0) return CenterPixel;
  if (!(V > 0)) return FInverted ? StartPixel : EndPixel;
  const double d = FInverted ? LogMaximum - std::log(V) : std::log(V) - LogMinimum;
  const int64_t p = EndPixel - RoundWide(PixelsPerLogUnit * d);
  return static_cast<int32_t>(std::clamp<int64_t>(p, -AxisPixelLimit, AxisPixelLimit));
}

int32_t TChartAxis::LinearHorizToPixel(double V) const {
  if (RangeIsZero) return CenterPixel;
  const double a = (V - ScaleMinimum) * PixelsPerUnit;
  const double p = FInverted ? EndPixel - a : StartPixel + a;
  if (p > AxisPixelLimit) return AxisPixelLimit;
  if (p < -AxisPixelLimit) return -AxisPixelLimit;
  if (std::isnan(p)) return CenterPixel;
  return static_cast<int32_t>(std::nearbyint(p));
}

int32_t TChartAxis::LinearVertToPixel(double V) const {
  if (RangeIsZero) return CenterPixel;
  const double a = (V - ScaleMinimum) * PixelsPerUnit;
  const double p = FInverted ? StartPixel + a : EndPixel - a;
  if (p > AxisPixelLimit) return AxisPixelLimit;
  if (p < -AxisPixelLimit) return -AxisPixelLimit;
  if (std::isnan(p)) return CenterPixel;
  return static_cast<int32_t>(std::nearbyint(p));
}

int32_t TChartAxis::FastHorizToPixel(double V) const {
  if (RangeIsZero) return CenterPixel;
  const int32_t a = static_cast<int32_t>(RoundWide((V - ScaleMinimum) * PixelsPerUnit));
  return FInverted ? EndPixel - a : a + StartPixel;
}

int32_t TChartAxis::FastVertToPixel(double V) const {
  if (RangeIsZero) return CenterPixel;
  const int32_t a = static_cast<int32_t>(RoundWide((V - ScaleMinimum) * PixelsPerUnit));
  return FInverted ? a + StartPixel : EndPixel - a;
}

void TChartAxis::ValuesToPixels(const double* V, int32_t* Out, size_t N) const {
  const bool linear =
      FValueToPixel == &TChartAxis::LinearHorizToPixel || FValueToPixel == &TChartAxis::LinearVertToPixel;
  if (!linear || RangeIsZero) {
    for (size_t i = 0; i < N; ++i) Out[i] = ValueToPixel(V[i]);
    return;
  }
  // The linear conversion with its constants taken out of the loop (base - a is base + (-1 * a)
  // exactly); conversions to integers round half to even like nearbyint.
  const double sign = FHorizontal != FInverted ? 1.0 : -1.0;
  const double base = sign > 0 ? double(StartPixel) : double(EndPixel);
  const double min = ScaleMinimum, ppu = PixelsPerUnit, limit = AxisPixelLimit;
  const double centre = CenterPixel;
#if defined(VM_WIDE_CONVERT)
  if (HasWideVectors()) {
    ConvertLinearWide(V, Out, N, min, ppu, base, sign, limit, centre);
    return;
  }
#endif
  ConvertLinear(V, Out, N, min, ppu, base, sign, limit, centre);
}

double TChartAxis::PixelToValue(int32_t Pixel) const {
  const double d = FInverted ? double(EndPixel) - Pixel : double(Pixel) - StartPixel;
  if (FLogarithmic) {
    const bool maxAtStart = FHorizontal ? FInverted : !FInverted;
    if (Pixel == StartPixel) return maxAtStart ? ScaleMaximum : ScaleMinimum;
    if (Pixel == EndPixel) return maxAtStart ? ScaleMinimum : ScaleMaximum;
    if (LogRange == 0 || AxisLength == 0) return ScaleMinimum;
    const double f = d * LogRange / AxisLength;
    return FHorizontal ? std::exp(LogMinimum + f) : std::exp(LogMaximum - f);
  }
  if (AxisLength < 1) return 0;
  const double c = d * ScaleRange / AxisLength;
  return FHorizontal ? ScaleMinimum + c : ScaleMaximum - c;
}

int32_t TChartAxis::PixelSizeOfValue(double V) const {
  if (!(V > 0)) return 0;
  if (FLogarithmic) return LogRange == 0 ? 0 : RoundPixel(std::log(V) * PixelsPerLogUnit);
  return ScaleRange == 0 ? 0 : RoundPixel(V * PixelsPerUnit);
}

// ---------------------------------------------------------------------------------------------
// Label increment.

int32_t TChartAxis::LabelSizeAlongAxis(bool AHorizontal, double Value) {
  if (!ParentChart) return 0;
  const std::string text = LabelText(Value);
  int lines = 0;
  const int32_t w = ParentChart->WidestLineWidth(text, lines);
  const bool acrossHeight =
      AHorizontal ? (FLabelsAngle == 90 || FLabelsAngle == 270) : (FLabelsAngle == 0 || FLabelsAngle == 180);
  if (acrossHeight) return ParentChart->Canvas->FontHeight() * lines;
  return w;
}

double TChartAxis::CalcLabelIncrement() {
  int32_t s = std::max(LabelSizeAlongAxis(FHorizontal, ScaleMaximum), LabelSizeAlongAxis(FHorizontal, ScaleMinimum));
  if (FIncrement != 0) {
    s = std::max(s, LabelSizeAlongAxis(FHorizontal, ScaleMaximum - FIncrement));
    s = std::max(s, LabelSizeAlongAxis(FHorizontal, ScaleMinimum + FIncrement));
  } else {
    s = std::max(s, LabelSizeAlongAxis(FHorizontal, (ScaleMaximum + ScaleMinimum) * 0.5));
  }
  double result = IncrementForLabelSize(s);
  if (FLabelsAlternate) result = FLogarithmic ? result / FLogarithmicBase : result * 0.5;
  return result;
}

double TChartAxis::IncrementForLabelSize(int32_t S) {
  int32_t n = 1;
  if (S > 0) {
    if (FLabelsSeparation > 0) S += RoundPixel(FLabelsSeparation * 0.01 * S);
    n = RoundPixel(double(AxisLength) / S);
  }
  return CalcIncrement(n);
}

double TChartAxis::CalcIncrement(int32_t MaxLabels) {
  if (MaxLabels < 1) return DateTimeAxis ? DateTimeStepTable[0] : 1e-12;
  return DateTimeAxis ? CalcDateTimeIncrement(MaxLabels) : CalcValueIncrement(MaxLabels);
}

double TChartAxis::CalcValueIncrement(int32_t MaxLabels) {
  double step;
  if (FIncrement > 0) {
    step = FIncrement;
  } else if (ScaleRange != 0) {
    step = std::fabs(ScaleRange) / (MaxLabels + 1.0);
    if (FLogarithmic) step = NearestLogPower(step);
    if (ScaleRange >= 1 && FewPointsOnAxis(MaxLabels)) step = std::max(step, 1.0);
  } else {
    step = 1;
  }
  if (FLabelsSeparation > 0) {
    // Bounded: each turn at least doubles the step (a logarithmic base below 2 still grows it).
    for (int guard = 0; guard < 4000; ++guard) {
      const double c = ScaleRange / step;
      if (std::fabs(c) < 2147483647.0) {
        if (std::nearbyint(c) <= MaxLabels) break;
      }
      if (FLogarithmic && FLogarithmicBase > 1)
        step *= FLogarithmicBase;
      else
        step = NextNiceStep(step);
      if (step > ScaleRange || std::isinf(step)) break;
    }
  }
  if (std::isinf(step)) return ScaleRange;
  if (std::isnan(step)) return 1e-12;
  return std::max(1e-12, step);
}

bool TChartAxis::FewPointsOnAxis(int32_t MaxLabels) {
  if (!ParentChart) return false;
  for (int i = 0; i < ParentChart->CountSeries(); ++i) {
    TChartSeries* s = ParentChart->SeriesAt(i);
    if (!s->Active()) continue;
    const bool alongThis = FHorizontal ? s->YMandatory : !s->YMandatory;
    if (alongThis && s->IsBoundToAxis(this) && s->PointCount() <= MaxLabels) return true;
  }
  return false;
}

double TChartAxis::NearestLogPower(double V) const {
  const double b = FLogarithmicBase;
  return std::pow(b, std::nearbyint(std::log(V) / std::log(b)));
}

double TChartAxis::NextNiceStep(double V) {
  if (std::isinf(V) || std::isnan(V)) return 1;
  if (!(V > 0)) return 1e-12;
  // Iterative form of the decade recursion.
  double scale = 1;
  while (V >= 10) {
    V *= 0.1;
    scale *= 10;
  }
  while (V < 1) {
    V *= 10;
    scale *= 0.1;
  }
  double nice = V < 2 ? 2 : V < 5 ? 5 : 10;
  return nice * scale;
}

double TChartAxis::CalcDateTimeIncrement(int32_t MaxLabels) {
  double step = std::max(OneMicrosecond, FIncrement);
  if (step > 0 && MaxLabels > 0) {
    if (ScaleRange / step > 1000000) step = ScaleRange / 1000000;
    for (int guard = 0; guard < 4000 && std::nearbyint(ScaleRange / step) > MaxLabels; ++guard) {
      if (step >= DateTimeStepTable[dtOneYearStep])
        step *= 2;
      else if (step >= DateTimeStepTable[2])
        step = NextDateTimeStep(step);
      else
        step = NextNiceStep(step);
    }
  }
  return std::max(OneMicrosecond, step);
}

void TChartAxis::IncDecAxisValue(bool Forward, double& Value, double AIncrement, int StepIndex) {
  const bool calendar = FExactDateTime && DateTimeAxis && StepIndex >= dtHalfMonthStep;
  IncDecDateTime(calendar, Forward, Value, StepIndex, AIncrement);
}

// ---------------------------------------------------------------------------------------------
// Range setters.

void TChartAxis::SetAutomatic(bool Value) {
  SetBooleanProp(FAutomatic, Value);
  if (!ChartLoading()) {
    FAutomaticMinimum = Value;
    FAutomaticMaximum = Value;
  }
}

void TChartAxis::SetAutomaticMaximum(bool Value) {
  SetBooleanProp(FAutomaticMaximum, Value);
  if (!Value)
    FAutomatic = false;
  else if (FAutomaticMinimum)
    FAutomatic = true;
}

void TChartAxis::SetAutomaticMinimum(bool Value) {
  SetBooleanProp(FAutomaticMinimum, Value);
  if (!Value)
    FAutomatic = false;
  else if (FAutomaticMaximum)
    FAutomatic = true;
}

void TChartAxis::SetMinimum(double Value) {
  if (!ChartLoading() && Value > FMaximum) throw AxisException(ErrAxisMinAboveMax);
  if (std::isnan(Value)) throw AxisException(ErrAxisMinAboveMax);
  SetDoubleProp(FMinimum, Value);
}

void TChartAxis::SetMaximum(double Value) {
  if (!ChartLoading() && Value < FMinimum) throw AxisException(ErrAxisMaxBelowMin);
  if (std::isnan(Value)) throw AxisException(ErrAxisMaxBelowMin);
  SetDoubleProp(FMaximum, Value);
}

void TChartAxis::SetIncrement(double Value) {
  if (!(Value >= 0)) throw AxisException(ErrAxisIncrement);
  SetDoubleProp(FIncrement, Value);
}

void TChartAxis::SetLogarithmicBase(double Value) {
  if (Value == 1 || !(Value > 0) || std::isinf(Value)) throw AxisException(ErrLogBase);
  SetDoubleProp(FLogarithmicBase, Value);
}

void TChartAxis::SetLogarithmic(bool Value) {
  if (Value && !FLogarithmic) {
    if (IsDateTime()) throw AxisException(ErrDateTimeLogAxis);
    RecalcRange();
    if (!(ScaleMinimum >= 0) || !(ScaleMaximum >= 0)) throw AxisException(ErrLogAxisNegative);
  }
  SetBooleanProp(FLogarithmic, Value);
  SelectValueToPixel();
  RecalcScales();
}

void TChartAxis::SetHorizontal(bool Value) {
  SetBooleanProp(FHorizontal, Value);
  SelectValueToPixel();
}

void TChartAxis::SetInverted(bool Value) { SetBooleanProp(FInverted, Value); }
void TChartAxis::SetOtherSide(bool Value) { SetBooleanProp(FOtherSide, Value); }
void TChartAxis::SetStartPosition(double Value) { SetDoubleProp(FStartPosition, Value); }
void TChartAxis::SetEndPosition(double Value) { SetDoubleProp(FEndPosition, Value); }
void TChartAxis::SetMaximumOffset(int32_t Value) { SetIntegerProp(FMaximumOffset, Value); }
void TChartAxis::SetMinimumOffset(int32_t Value) { SetIntegerProp(FMinimumOffset, Value); }
void TChartAxis::SetZPosition(double Value) { SetDoubleProp(FZPosition, Value == 0 ? 0.01 : Value); }

void TChartAxis::SetAxisValuesFormat(const std::string& Value) {
  if (Value != FAxisValuesFormat) {
    FAxisValuesFormat = Value;
    Repaint();
  }
}

void TChartAxis::SetDateTimeFormat(const std::string& Value) {
  if (Value != FDateTimeFormat) {
    FDateTimeFormat = Value;
    Repaint();
  }
}

void TChartAxis::SetExactDateTime(bool Value) { SetBooleanProp(FExactDateTime, Value); }
void TChartAxis::SetLabelsAlign(TAxisLabelAlign Value) {
  if (Value != FLabelsAlign) {
    FLabelsAlign = Value;
    Repaint();
  }
}
void TChartAxis::SetLabelsAlternate(bool Value) { SetBooleanProp(FLabelsAlternate, Value); }
void TChartAxis::SetLabelsAngle(int32_t Value) { SetIntegerProp(FLabelsAngle, Value % 360); }
void TChartAxis::SetLabelsExponent(bool Value) { SetBooleanProp(FLabelsExponent, Value); }
void TChartAxis::SetLabelsMultiLine(bool Value) { SetBooleanProp(FLabelsMultiLine, Value); }
void TChartAxis::SetLabelsOnAxis(bool Value) { SetBooleanProp(FLabelsOnAxis, Value); }
void TChartAxis::SetLabelsSeparation(int32_t Value) {
  if (Value < 0) throw AxisException(ErrLabelsSeparation);
  SetIntegerProp(FLabelsSeparation, Value);
}
void TChartAxis::SetLabelsSize(int32_t Value) { SetIntegerProp(FLabelsSize, Value); }
void TChartAxis::SetLabelStyle(TAxisLabelStyle Value) {
  if (Value != FLabelStyle) {
    FLabelStyle = Value;
    Repaint();
  }
}
void TChartAxis::SetMinorTickCount(int32_t Value) { SetIntegerProp(FMinorTickCount, Value); }
void TChartAxis::SetMinorTickLength(int32_t Value) { SetIntegerProp(FMinorTickLength, Value); }
void TChartAxis::SetPositionPercent(double Value) { SetDoubleProp(FPositionPercent, Value); }
void TChartAxis::SetPositionUnits(TGraphUnits Value) {
  if (Value != FPositionUnits) {
    FPositionUnits = Value;
    Repaint();
  }
}
void TChartAxis::SetRoundFirstLabel(bool Value) { SetBooleanProp(FRoundFirstLabel, Value); }
void TChartAxis::SetTickInnerLength(int32_t Value) { SetIntegerProp(FTickInnerLength, Value); }
void TChartAxis::SetTickLength(int32_t Value) { SetIntegerProp(FTickLength, Value); }
void TChartAxis::SetTickOnLabelsOnly(bool Value) { SetBooleanProp(FTickOnLabelsOnly, Value); }
void TChartAxis::SetTitleSize(int32_t Value) { SetIntegerProp(FTitleSize, Value); }
void TChartAxis::SetVisible(bool Value) { SetBooleanProp(FVisible, Value); }

void TChartDepthAxis::SetInverted(bool Value) {
  TChartAxis::SetInverted(Value);
  if (!ParentChart) return;
  TChartAxis* other = ParentChart->DepthAxis() == this ? static_cast<TChartAxis*>(ParentChart->DepthTopAxis())
                                                       : static_cast<TChartAxis*>(ParentChart->DepthAxis());
  if (other && other != this) other->InternalSetInverted(Value);
}
