#include "chart/extra/grid_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

namespace {

[[noreturn]] void RangeError() { throw ERangeError("Range check error"); }

// The largest regular grid index (cells of 4 bytes: 256 MB).
constexpr int64_t kMaxGridCells = int64_t(1) << 26;

// Halves to even without a library call or a branch (colours are rounded three times per cell):
// adding and taking off 1.5 * 2^52 leaves the value rounded in the default rounding mode.
// |V| stays far below 2^51 here (channel differences).
inline int32_t RoundEven(double V) {
  constexpr double kShift = 6755399441055744.0;
  return static_cast<int32_t>((V + kShift) - kShift);
}

// Halves to even, checked against the Integer range.
int32_t RoundInt(double V) {
  if (!(V > -2147483648.5 && V < 2147483647.5)) RangeError();
  const double r = std::nearbyint(V);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) RangeError();
  return static_cast<int32_t>(r);
}

constexpr uint32_t kRainbow[25] = {0x000099, 0x0000C3, 0x0000EE, 0x001AFF, 0x0046FF, 0x0073FF, 0x009FFF,
                                   0x00CBFF, 0x00F7FF, 0x08F4E3, 0x11E7C3, 0x1BDAA3, 0x25CD83, 0x2EC063,
                                   0x38B342, 0x42A622, 0x4B9A02, 0x6A870C, 0x8A751A, 0xAA6328, 0xCB5036,
                                   0xEB3E44, 0xFF2A61, 0xFF1596, 0xFF00CC};

TColor RGBColor(int R, int G, int B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }

void Channels(TColor C, int* Out) {
  if (static_cast<int32_t>(C) < 0) RangeError();  // a system colour is no RGB value
  Out[0] = C & 0xFF;
  Out[1] = (C >> 8) & 0xFF;
  Out[2] = (C >> 16) & 0xFF;
}

const TEnumInfo PaletteStyleInfo{"TGraphPaletteStyle", {"psPale", "psStrong", "psGrayScale", "psInvGray", "psRainbow"}};

}  // namespace

// ---------------------------------------------------------------------------------------------
// 3D series

VM_PUBLISH(TCustom3DSeries) {
  P.Int("TimesZOrder", &TCustom3DSeries::TimesZOrder, &TCustom3DSeries::SetTimesZOrder).Default(3);
  P.Object("ZValues", &TCustom3DSeries::ZValues, &TCustom3DSeries::SetZValues);
}

TCustom3DSeries::TCustom3DSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  FZValues = new TChartValueList(this, "Z");
  XValues()->SetOrder(loNone);
  SetCalcVisiblePoints(false);
}

int32_t TCustom3DSeries::AddXYZPoint(double X, double Y, double Z, const std::string& Label, TColor Color) {
  FZValues->PendingValue = Z;
  return AddPoint(X, Y, Label, Color);
}

double TCustom3DSeries::GetZValue(int32_t Index) const {
  if (Index < 0 || Index >= FZValues->Count()) RangeError();
  return FZValues->Value(Index);
}

int32_t TCustom3DSeries::DepthPositionAt(int32_t Index) {
  if (!FParentChart) return 0;
  return FParentChart->DepthAxis()->ValueToPixel(GetZValue(Index));
}

void TCustom3DSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustom3DSeries*>(Source)) {
    FZValues->Assign(s->FZValues);
    FTimesZOrder = s->FTimesZOrder;
  }
  TChartSeries::Assign(Source);
}

void TCustom3DSeries::AssignZOrder() {
  TChartSeries::AssignZOrder();
  if (FParentChart) FParentChart->MaxZOrder = FTimesZOrder;
}

TChartValueList* TCustom3DSeries::ValueListForAxis(TChartAxis* Axis) {
  return Axis && Axis->IsDepthAxis ? FZValues : TChartSeries::ValueListForAxis(Axis);
}

bool TCustom3DSeries::IsBoundToAxis(TChartAxis* Axis) {
  return (Axis && Axis->IsDepthAxis) || TChartSeries::IsBoundToAxis(Axis);
}

double TCustom3DSeries::HighestZ() { return FZValues->MaxValue(); }
double TCustom3DSeries::LowestZ() { return FZValues->MinValue(); }
bool TCustom3DSeries::AcceptsSourceSeries(TChartSeries* Source) {
  return dynamic_cast<TCustom3DSeries*>(Source) != nullptr;
}

// ---------------------------------------------------------------------------------------------
// Palette series

VM_PUBLISH(TCustom3DPaletteSeries) {
  using S = TCustom3DPaletteSeries;
  P.Int("EndColor", &S::EndColor, &S::SetEndColor).Default(0xFFFFFF);
  P.Int("LegendEvery", &S::LegendEvery, &S::SetLegendEvery).Default(1);
  P.Int("MidColor", &S::MidColor, &S::SetMidColor).Default(clNone);
  P.Float("PaletteMin", &S::PaletteMin, &S::SetPaletteMin).Default(0);
  P.Float("PaletteStep", &S::PaletteStep, &S::SetPaletteStep).Default(0);
  P.Int("PaletteSteps", &S::PaletteSteps, &S::SetPaletteSteps).Default(32);
  P.Enum("PaletteStyle", &S::PaletteStyle, &S::SetPaletteStyle, PaletteStyleInfo).Default(psPale);
  P.Int("StartColor", &S::StartColor, &S::SetStartColor).Default(0x800000);
  P.Bool("UseColorRange", &S::UseColorRange, &S::SetUseColorRange).Default(true);
  P.Bool("UsePalette", &S::UsePalette, &S::SetUsePalette).Default(false);
  P.Bool("UsePaletteMin", &S::UsePaletteMin, &S::SetUsePaletteMin).Default(false);
  P.Event("OnGetColor", &S::OnGetColor);
}

TCustom3DPaletteSeries::TCustom3DPaletteSeries(TComponent* AOwner) : TCustom3DSeries(AOwner) { PrepareColorRange(); }

int32_t TCustom3DPaletteSeries::AddPaletteEntry(double Value, TColor Color) {
  auto at = std::upper_bound(FPalette.begin(), FPalette.end(), Value,
                             [](double v, const TCustom3DPaletteEntry& e) { return v < e.UpToValue; });
  at = FPalette.insert(at, TCustom3DPaletteEntry{Value, Color});
  return static_cast<int32_t>(at - FPalette.begin());
}

void TCustom3DPaletteSeries::CreateDefaultPalette(int32_t Steps) {
  FPalette.clear();
  if (Steps > 0) {
    const double lo = MandatoryList->MinValue(), hi = MandatoryList->MaxValue();
    const double step = FPaletteStep != 0 ? FPaletteStep : (hi - lo) / std::max(1, Steps - 1);
    const double first = FUsePaletteMin ? FPaletteMin : lo;
    for (int t = 0; t < Steps; ++t) {
      TColor c = clBlack;
      switch (FPaletteStyle) {
        case psPale:
        case psStrong: {
          const double d = t * (FPaletteStyle == psPale ? M_PI : 2 * M_PI) / Steps;
          c = RGBColor(static_cast<int>((std::sin(d / 2) + 1) * 127), static_cast<int>((std::sin(d) + 1) * 127),
                       static_cast<int>((std::cos(d) + 1) * 127));
          break;
        }
        case psGrayScale:
        case psInvGray: {
          int g = static_cast<int>(std::nearbyint(t * 255.0 / Steps));
          if (FPaletteStyle == psInvGray) g = 255 - g;
          c = RGBColor(g, g, g);
          break;
        }
        case psRainbow:
          c = static_cast<TColor>(kRainbow[t % 25]);
          break;
      }
      AddPaletteEntry(first + t * step, c);
    }
  }
  Repaint();
}

TColor TCustom3DPaletteSeries::RangePercentColor(double P) const {
  const int* base = FEnd;
  const int* span = FLow;
  double f = P;
  if (FMidColor != clNone) {
    if (P < 0.5) {
      f = 2 * P;
    } else {
      f = (P - 0.5) * 2;
      base = FMid;
      span = FHigh;
    }
  }
  return RGBColor(RoundEven(f * span[0]) + base[0], RoundEven(f * span[1]) + base[1], RoundEven(f * span[2]) + base[2]);
}

TColor TCustom3DPaletteSeries::PaletteColorFor(double Value) const {
  for (const auto& e : FPalette)
    if (e.UpToValue > Value) return e.Color;
  return FPalette.back().Color;
}

TColor TCustom3DPaletteSeries::ColorOfValue(double Value) const {
  if (FUseColorRange) {
    if (FRangeScale == 0) return FEndColor;
    const double d = Value - FRangeMin;
    if (d < 0) return FEndColor;
    if (Value > FRangeMax) return FStartColor;
    return RangePercentColor(d * FRangeScale);
  }
  if (FUsePalette && !FPalette.empty()) return PaletteColorFor(Value);
  return SeriesColor();
}

TColor TCustom3DPaletteSeries::PointColorAt(int32_t Index) {
  TColor c;
  const bool inside = Index >= 0 && Index < PointCount();
  if (!inside || StoredColorAt(Index) != clDefault || ColorEachPoint() || (!FUseColorRange && !FUsePalette))
    c = inside ? TChartSeries::PointColorAt(Index) : clDefault;
  else
    c = ColorOfValue(MandatoryList->Data()[Index]);
  if (OnGetColor) OnGetColor(this, Index, c);
  return c;
}

bool TCustom3DPaletteSeries::ColoursFollowValues() const {
  return !OnGetColor && !ColorEachPoint() && !PointColors && (FUseColorRange || FUsePalette);
}

void TCustom3DPaletteSeries::EnsurePalette() {
  if (PointCount() > 0 && FPalette.empty()) CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::UpdateRangeScale() {
  FRangeMin = MandatoryList->MinValue();
  FRangeMax = MandatoryList->MaxValue();
  const double r = FRangeMax - FRangeMin;
  FRangeScale = r == 0 ? 0 : 1 / r;
}

void TCustom3DPaletteSeries::PrepareColorRange() {
  int start[3];
  Channels(FStartColor, start);
  Channels(FEndColor, FEnd);
  if (FMidColor != clNone) {
    Channels(FMidColor, FMid);
    for (int i = 0; i < 3; ++i) {
      FLow[i] = FMid[i] - FEnd[i];
      FHigh[i] = start[i] - FMid[i];
    }
  } else {
    for (int i = 0; i < 3; ++i) FLow[i] = start[i] - FEnd[i];
  }
  UpdateRangeScale();
}

void TCustom3DPaletteSeries::PrepareForDraw() {
  TCustom3DSeries::PrepareForDraw();
  EnsurePalette();
  UpdateRangeScale();
}

void TCustom3DPaletteSeries::ClearValues() {
  TCustom3DSeries::ClearValues();
  if (FUsePalette) ClearPaletteEntries();
}

void TCustom3DPaletteSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustom3DPaletteSeries*>(Source)) {
    FUsePalette = s->FUsePalette;
    FUseColorRange = s->FUseColorRange;
    FStartColor = s->FStartColor;
    FEndColor = s->FEndColor;
    FMidColor = s->FMidColor;
    FLegendEvery = s->FLegendEvery;
    FPaletteSteps = s->FPaletteSteps;
    FPalette = s->FPalette;
    FUsePaletteMin = s->FUsePaletteMin;
    FPaletteStep = s->FPaletteStep;
    FPaletteMin = s->FPaletteMin;
    FPaletteStyle = s->FPaletteStyle;
    PrepareColorRange();
  }
  TCustom3DSeries::Assign(Source);
}

void TCustom3DPaletteSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgOptionColorRange);
}

void TCustom3DPaletteSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TCustom3DPaletteSeries*>(Target);
  if (Index == 1 && s) {
    s->SetUseColorRange(true);
    s->SetUsePalette(false);
  } else {
    TCustom3DSeries::ApplyStyleVariant(Target, Index);
  }
}

void TCustom3DPaletteSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom3DSeries::MakeGalleryThumbnail(Coloured);
  SetUseColorRange(false);
  Pen()->SetColor(Coloured ? clBlack : static_cast<TColor>(0x808080));
  SetUsePalette(Coloured);
  SetPaletteStyle(psRainbow);
}

void TCustom3DPaletteSeries::SetGalleryView3D(bool Value) {
  if (!FParentChart) return;
  FParentChart->SetView3D(true);
  TView3DOptions* o = FParentChart->View3DOptions();
  o->SetZoom(60);
  o->SetVertOffset(-2);
  o->SetRotation(Value ? 335 : 0);
  o->SetElevation(Value ? 340 : 270);
  o->SetPerspective(Value ? 160 : 0);
}

void TCustom3DPaletteSeries::SetUseColorRange(bool Value) {
  SetBooleanProperty(FUseColorRange, Value);
  if (Value) SetColorEachPoint(false);
}

void TCustom3DPaletteSeries::SetUsePalette(bool Value) {
  SetBooleanProperty(FUsePalette, Value);
  if (Value) {
    SetColorEachPoint(false);
    EnsurePalette();
  }
}

void TCustom3DPaletteSeries::SetStartColor(TColor Value) {
  SetColorProperty(FStartColor, Value);
  PrepareColorRange();
}
void TCustom3DPaletteSeries::SetMidColor(TColor Value) {
  SetColorProperty(FMidColor, Value);
  PrepareColorRange();
}
void TCustom3DPaletteSeries::SetEndColor(TColor Value) {
  SetColorProperty(FEndColor, Value);
  PrepareColorRange();
}
void TCustom3DPaletteSeries::SetPaletteSteps(int32_t Value) {
  FPaletteSteps = Value;
  CreateDefaultPalette(FPaletteSteps);
}
void TCustom3DPaletteSeries::SetPaletteMin(double Value) {
  FPaletteMin = Value;
  CreateDefaultPalette(FPaletteSteps);
}
void TCustom3DPaletteSeries::SetPaletteStep(double Value) {
  FPaletteStep = Value;
  CreateDefaultPalette(FPaletteSteps);
}
void TCustom3DPaletteSeries::SetUsePaletteMin(bool Value) {
  FUsePaletteMin = Value;
  CreateDefaultPalette(FPaletteSteps);
}
void TCustom3DPaletteSeries::SetPaletteStyle(TGraphPaletteStyle Value) {
  if (FPaletteStyle == Value) return;
  FPaletteStyle = Value;
  FPalette.clear();
  Repaint();
}

bool TCustom3DPaletteSeries::LegendShowsPalette() { return (FUseColorRange || FUsePalette) && PointCount() > 0; }

int32_t TCustom3DPaletteSeries::LegendPaletteIndex(int32_t LegendIndex) const {
  return static_cast<int32_t>(FPalette.size()) - 1 - LegendIndex * std::max(1, FLegendEvery);
}

int32_t TCustom3DPaletteSeries::LegendEntryCount() {
  if (!LegendShowsPalette()) return TCustom3DSeries::LegendEntryCount();
  const auto n = static_cast<int32_t>(FPalette.size());
  return FLegendEvery < 2 ? n : (n + FLegendEvery - 1) / FLegendEvery;
}

TColor TCustom3DPaletteSeries::LegendEntryColor(int32_t ValueIndex) {
  if (!LegendShowsPalette()) return TCustom3DSeries::LegendEntryColor(ValueIndex);
  const int32_t i = LegendPaletteIndex(ValueIndex);
  const bool inside = i >= 0 && i < static_cast<int32_t>(FPalette.size());
  if (FUseColorRange && inside) return ColorOfValue(FPalette[i].UpToValue);
  if (FUsePalette && inside) return FPalette[i].Color;
  return TCustom3DSeries::LegendEntryColor(ValueIndex);
}

void TCustom3DPaletteSeries::FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text) {
  if (!LegendShowsPalette()) return TCustom3DSeries::FormatLegendText(ValueIndex, Style, Text);
  const int32_t i = LegendPaletteIndex(ValueIndex);
  Text = i >= 0 && i < static_cast<int32_t>(FPalette.size()) ? FormatFloat(ValueFormat(), FPalette[i].UpToValue) : "";
}

// ---------------------------------------------------------------------------------------------
// Grid series

VM_PUBLISH(TCustom3DGridSeries) {
  using S = TCustom3DGridSeries;
  P.Bool("IrregularGrid", &S::IrregularGrid, &S::SetIrregularGrid).Default(false);
  P.Int("NumXValues", &S::NumXValues, &S::SetNumXValues).Default(10);
  P.Int("NumZValues", &S::NumZValues, &S::SetNumZValues).Default(10);
  P.Event("OnGetYValue", &S::OnGetYValue);
}

TCustom3DGridSeries::TCustom3DGridSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner) {
  TCustom3DGridSeries::ClearValues();
}

// A grid of NX columns and NZ rows that an index can hold: no negative count, not billions of cells.
bool TCustom3DGridSeries::GridSizeFits(int64_t NX, int64_t NZ) {
  return NX >= 0 && NZ >= 0 && (NX + 1) * (NZ + 1) <= kMaxGridCells;
}

void TCustom3DGridSeries::InitGridIndex(int32_t NX, int32_t NZ) {
  NX = std::max(NX, 0);
  NZ = std::max(NZ, 0);
  if (!GridSizeFits(NX, NZ)) RangeError();
  // Filled again in place when the grid keeps its size (every drawing rebuilds the index).
  const size_t columns = static_cast<size_t>(NX) + 1, rows = static_cast<size_t>(NZ) + 1;
  if (GridIndex.size() == columns && (columns == 0 || GridIndex[0].size() == rows)) {
    for (auto& c : GridIndex) std::fill(c.begin(), c.end(), -1);
    return;
  }
  GridIndex.assign(columns, std::vector<int32_t>(rows, -1));
}

int32_t TCustom3DGridSeries::GridIndexAt(int32_t Column, int32_t Row) const {
  if (Column < 0 || Column >= static_cast<int32_t>(GridIndex.size())) return -1;
  const auto& col = GridIndex[Column];
  return Row < 0 || Row >= static_cast<int32_t>(col.size()) ? -1 : col[Row];
}

void TCustom3DGridSeries::FillGridIndex() {
  const int32_t n = PointCount();
  if (!FIrregularGrid) {
    const int64_t xOffset = int64_t(RoundInt(XValues()->MinValue())) - 1;
    const int64_t zOffset = int64_t(RoundInt(FZValues->MinValue())) - 1;
    const int64_t columns64 = int64_t(RoundInt(XValues()->MaxValue())) - xOffset;
    const int64_t rows64 = int64_t(RoundInt(FZValues->MaxValue())) - zOffset;
    // Whole X and Z values far apart (from a damaged file, say) would ask for a grid index of
    // billions of cells: refused like values beyond the Integer range.
    if (!GridSizeFits(columns64, rows64)) RangeError();
    const auto columns = static_cast<int32_t>(columns64), rows = static_cast<int32_t>(rows64);
    InitGridIndex(columns, rows);
    // Every value lies between the extremes checked above, so the unchecked rounding is safe.
    const double* xs = XValues()->Data();
    const double* zs = FZValues->Data();
    for (int32_t i = 0; i < n; ++i) GridIndex[RoundEven(xs[i]) - xOffset][RoundEven(zs[i]) - zOffset] = i;
    FNumXValues = columns;
    FNumZValues = rows;
    return;
  }
  constexpr size_t kMaxDistinct = 3000;
  auto distinct = [&](TChartValueList* L) {
    std::vector<double> v{L->MinValue()};
    for (int32_t i = 0; i < n; ++i) {
      const double x = L->Value(i);
      if (std::find(v.begin(), v.end(), x) == v.end()) {
        if (v.size() == kMaxDistinct) RangeError();
        v.push_back(x);
      }
    }
    std::sort(v.begin(), v.end());
    return v;
  };
  const std::vector<double> xs = distinct(XValues()), zs = distinct(FZValues);
  InitGridIndex(static_cast<int32_t>(xs.size()), static_cast<int32_t>(zs.size()));
  for (int32_t i = 0; i < n; ++i) {
    const auto ix = std::find(xs.begin(), xs.end(), XValues()->Value(i)) - xs.begin();
    const auto iz = std::find(zs.begin(), zs.end(), FZValues->Value(i)) - zs.begin();
    GridIndex[ix + 1][iz + 1] = i;
  }
  FNumXValues = static_cast<int32_t>(xs.size());
  FNumZValues = static_cast<int32_t>(zs.size());
  GridXs = xs;
  GridZs = zs;
}

void TCustom3DGridSeries::ClearValues() {
  TCustom3DPaletteSeries::ClearValues();
  XValues()->SetOrder(loNone);
  InitGridIndex(FNumXValues, FNumZValues);
}

void TCustom3DGridSeries::PrepareForDraw() {
  TCustom3DPaletteSeries::PrepareForDraw();
  if (PointCount() > 0) FillGridIndex();
}

bool TCustom3DGridSeries::CanCreateValues() const {
  return OnGetYValue || FSampling || ComponentState().Contains(csDesigning);
}

double TCustom3DGridSeries::GetYValue(int32_t X, int32_t Z) {
  if (OnGetYValue) return OnGetYValue(this, X, Z);
  if (!FSampling && !ComponentState().Contains(csDesigning)) return 0;
  auto sq = [](double v) { return v * v; };
  return 0.5 * sq(std::cos(X / (0.2 * FNumXValues))) + sq(std::cos(Z / (0.2 * FNumZValues))) -
         std::cos(Z / (0.5 * FNumZValues));
}

void TCustom3DGridSeries::CreateValues(int32_t NumX, int32_t NumZ) {
  if (!CanCreateValues()) return;
  if (!GridSizeFits(NumX, NumZ)) RangeError();
  FNumXValues = NumX;
  FNumZValues = NumZ;
  ClearValues();
  {
    TUpdateLock lock(this);
    for (int32_t z = 1; z <= NumZ; ++z)
      for (int32_t x = 1; x <= NumX; ++x) AddXYZ(x, GetYValue(x, z), z);
  }
  CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DGridSeries::SetNumXValues(int32_t Value) {
  if (Value == FNumXValues) return;
  if (!GridSizeFits(Value, FNumZValues)) RangeError();
  FNumXValues = Value;
  ClearValues();
  RecreateValues();
}

void TCustom3DGridSeries::SetNumZValues(int32_t Value) {
  if (Value == FNumZValues) return;
  if (!GridSizeFits(FNumXValues, Value)) RangeError();
  FNumZValues = Value;
  ClearValues();
  RecreateValues();
}

void TCustom3DGridSeries::AddRandomPoints(int32_t Count, bool) {
  if (Count <= 0) return;
  const bool was = FSampling;
  FSampling = true;
  TScopeExit sampling([&] { FSampling = was; });
  CreateValues(Count, Count);
}

bool TCustom3DGridSeries::FunctionAcceptsSource(TChartSeries* Source) {
  return dynamic_cast<TCustom3DGridSeries*>(Source) != nullptr;
}

void TCustom3DGridSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustom3DGridSeries*>(Source)) {
    FNumXValues = s->FNumXValues;
    FNumZValues = s->FNumZValues;
    FIrregularGrid = s->FIrregularGrid;
  }
  TCustom3DPaletteSeries::Assign(Source);
}
