#include "chart/series/bar_series.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"

const TEnumInfo MultiBarInfo("TMultiBar",
                             {"mbNone", "mbSide", "mbStacked", "mbStacked100", "mbSideAll", "mbSelfStack"});
const TEnumInfo BarStyleInfo("TBarStyle", {"bsRectangle", "bsPyramid", "bsInvPyramid", "bsCilinder", "bsEllipse",
                                           "bsArrow", "bsRectGradient", "bsCone", "bsBevel", "bsSlantCube", "bsDiamond",
                                           "bsInvArrow", "bsInvCone"});

VM_PUBLISH(TCustomBarSeries) {
  using S = TCustomBarSeries;
  P.Object("BarBrush", &S::BarBrush, &S::SetBrush);
  P.Object("BarPen", &S::BarPen, &S::SetPen);
  P.Int("BevelSize", &S::BevelSize, &S::SetBevelSize).Default(1);
  P.Object("Gradient", &S::Gradient, &S::SetGradient);
  P.Bool("AutoBarSize", &S::AutoBarSize, &S::SetAutoBarSize).Default(false);
  P.Bool("AutoMarkPosition", &S::AutoMarkPosition, &S::SetAutoMarkPosition).Default(true);
  P.Enum("BarStyle", &S::BarStyle, &S::SetBarStyle, BarStyleInfo).Default(bsRectangle);
  P.Int("BarWidthPercent", &S::BarWidthPercent, &S::SetBarWidthPercent).Default(70);
  P.Bool("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
  P.Int("DepthPercent", &S::DepthPercent, &S::SetDepthPercent).Default(100);
  P.Enum("MultiBar", &S::MultiBar, &S::SetMultiBar, MultiBarInfo).Default(mbSide);
  P.Int("OffsetPercent", &S::OffsetPercent, &S::SetOffsetPercent).Default(0);
  P.Bool("SideMargins", &S::SideMargins, &S::SetSideMargins).Default(true);
  P.Int("StackGroup", &S::StackGroup, &S::SetStackGroup).Default(0);
  P.Object("TickLines", &S::TickLines, &S::SetTickLines);
  P.Bool("UseYOrigin", &S::UseYOrigin, &S::SetUseYOrigin).Default(true);
  P.Float("YOrigin", &S::YOrigin, &S::SetYOrigin).Default(0.0);
  P.Event("OnGetBarStyle", &S::OnGetBarStyle);
}
VM_PUBLISH(TBarSeries) {
  P.Int("CustomBarWidth", &TBarSeries::CustomBarWidth, &TBarSeries::SetCustomBarWidth).Default(0);
}
VM_PUBLISH(THorizBarSeries) {
  P.Int("CustomBarHeight", &THorizBarSeries::CustomBarHeight, &THorizBarSeries::SetCustomBarHeight).Default(0);
}

namespace {
int32_t RoundPixel(double V) { return static_cast<int32_t>(std::nearbyint(V)); }
}  // namespace

TCustomBarSeries::TCustomBarSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  FTickLines = std::make_unique<TChartHiddenPen>([this](TObject* Sender) { PenBrushChanged(Sender); });
  FGradient = std::make_unique<TBarSeriesGradient>([this](TObject* Sender) { PenBrushChanged(Sender); });
  Marks()->SetStartVisible(true);
  Marks()->Callout()->SetStartLength(20);
}

TCustomBarSeries::~TCustomBarSeries() = default;

void TCustomBarSeries::SetBarStyle(TBarStyle Value) {
  if (FBarStyle != Value) {
    FBarStyle = Value;
    Repaint();
  }
}

TBarStyle TCustomBarSeries::GetBarStyle(int32_t ValueIndex) {
  TBarStyle s = FBarStyle;
  if (OnGetBarStyle) OnGetBarStyle(this, ValueIndex, s);
  return s;
}

// ---- chart-wide settings ------------------------------------------------------------------------------

void TCustomBarSeries::SyncChartBars() {
  if (!FParentChart) return;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    auto* s = dynamic_cast<TCustomBarSeries*>(series_link::SeriesAt(FParentChart, i));
    if (!s || !IsSameKind(s)) continue;
    s->FMultiBar = FMultiBar;
    s->FSideMargins = FSideMargins;
    s->LimitVisibleRange = FMultiBar != mbSelfStack;
  }
}

void TCustomBarSeries::SetMultiBar(TMultiBar Value) {
  if (FMultiBar == Value) return;
  FMultiBar = Value;
  LimitVisibleRange = Value != mbSelfStack;
  SyncChartBars();
  Repaint();
}

void TCustomBarSeries::SetSideMargins(bool Value) {
  if (FSideMargins == Value) return;
  FSideMargins = Value;
  SyncChartBars();
  Repaint();
}

void TCustomBarSeries::SetParentChart(TCustomAxisPanel* Value) {
  TChartSeries::SetParentChart(Value);
  if (!FParentChart) return;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    auto* s = dynamic_cast<TCustomBarSeries*>(series_link::SeriesAt(FParentChart, i));
    if (s && s != this && IsSameKind(s)) {
      FMultiBar = s->FMultiBar;
      FSideMargins = s->FSideMargins;
      LimitVisibleRange = FMultiBar != mbSelfStack;
      break;
    }
  }
}

// ---- layout -------------------------------------------------------------------------------------------

void TCustomBarSeries::PrepareForDraw() {
  FBarOrder = 1;
  FPointsBefore = 0;
  FBarCount = 0;
  FPointSlots = -1;
  std::vector<int32_t> groups;
  bool foundSelf = false;
  if (FParentChart)
    for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
      TChartSeries* s = series_link::SeriesAt(FParentChart, i);
      if (!s->Active() || !IsSameKind(s)) continue;
      if (s == this) foundSelf = true;
      const int32_t c = s->PointCount();
      if (FPointSlots == -1 || FPointSlots < c) FPointSlots = c + ((FSideMargins && c > 0) ? 1 : 0);
      switch (FMultiBar) {
        case mbNone:
        case mbSelfStack:
          FBarCount = 1;
          break;
        case mbStacked:
        case mbStacked100: {
          const int32_t g = static_cast<TCustomBarSeries*>(s)->FStackGroup;
          if (std::find(groups.begin(), groups.end(), g) == groups.end()) {
            groups.push_back(g);
            ++FBarCount;
            if (!foundSelf) ++FBarOrder;
          }
          break;
        }
        default:
          ++FBarCount;
          if (!foundSelf) ++FBarOrder;
      }
      if (!foundSelf) FPointsBefore += c;
    }
  if (!groups.empty())
    FBarOrder = 1 + static_cast<int32_t>(std::find(groups.begin(), groups.end(), FStackGroup) - groups.begin());
  if (FBarCount < 1) FBarCount = 1;
  if (FParentChart && series_link::MaxPointsPerPage(FParentChart) > 0)
    FPointSlots = series_link::MaxPointsPerPage(FParentChart);
  CollectStackPeers();
}

void TCustomBarSeries::FireAfterDrawValues() {
  // The stack peers hold only for the drawing pass that collected them.
  FPeersValid = false;
  FOriginIndex = -1;
  TChartSeries::FireAfterDrawValues();
}

void TCustomBarSeries::CalcBarWidth() {
  if (FCustomBarWidth != 0) {
    FBarWidth = FCustomBarWidth;
    return;
  }
  if (FPointSlots < 1) {
    FBarWidth = 0;
    return;
  }
  TChartAxis* a = PositionAxis();
  const int32_t len = a ? a->AxisLength : 0;
  int32_t space;
  if (FAutoBarSize && a) {
    const double range = a->Maximum() + 2 - a->Minimum();
    space = range != 0 ? RoundPixel(len / range) : 0;
  } else {
    space = len / FPointSlots;
  }
  FBarWidth = RoundPixel(FBarWidthPercent * 0.01 * space) / std::max(FBarCount, 1);
  if (FBarWidth % 2 == 1) ++FBarWidth;
}

int32_t TCustomBarSeries::PositionStart(int32_t Index) {
  TChartAxis* a = PositionAxis();
  const int32_t w = FBarWidth;
  int32_t r;
  auto pix = [&](double v) { return a ? a->ValueToPixel(v) : 0; };
  const double pos = Vertical() ? XValueAt(Index) : YValueAt(Index);
  switch (FMultiBar) {
    case mbSideAll:
      r = pix(Index + FPointsBefore) - w / 2;
      break;
    case mbSelfStack:
      r = pix(FParentChart ? series_link::SeriesIndex(FParentChart, this) : 0) - w / 2;
      break;
    case mbNone:
      r = pix(pos) - w / 2;
      break;
    default:
      r = pix(pos) + RoundPixel((FBarOrder - FBarCount * 0.5 - 1) * w);
  }
  if (FOffsetPercent != 0) r += RoundPixel(FOffsetPercent * w * 0.01);
  return r;
}

double TCustomBarSeries::PointOrigin(int32_t ValueIndex, bool SumAll) {
  if (FMultiBar == mbSelfStack) {
    double sum = 0;
    for (int32_t i = 0; i < ValueIndex && i < PointCount(); ++i) sum += MainValueAt(i);
    return sum;
  }
  if (FMultiBar != mbStacked && FMultiBar != mbStacked100) return FYOrigin;
  double sum = 0;
  if (!FParentChart) return sum;
  const double own = MainValueAt(ValueIndex);
  if (FPeersValid) {
    if (!SumAll && FOriginIndex == ValueIndex) return FOriginValue;
    for (TCustomBarSeries* b : FStackPeers) {
      if (!SumAll && b == this) break;
      if (b->PointCount() <= ValueIndex) continue;
      const double v = b->StackValueAt(ValueIndex);
      if (own >= 0 ? v > 0 : v < 0) sum += v;
    }
    if (!SumAll) {
      FOriginIndex = ValueIndex;
      FOriginValue = sum;
    }
    return sum;
  }
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    TChartSeries* s = series_link::SeriesAt(FParentChart, i);
    if (!SumAll && s == this) break;
    auto* b = dynamic_cast<TCustomBarSeries*>(s);
    if (!b || !s->Active() || !IsSameKind(s) || b->FStackGroup != FStackGroup || s->PointCount() <= ValueIndex)
      continue;
    const double v = s->StackValueAt(ValueIndex);
    if (own >= 0 ? v > 0 : v < 0) sum += v;
  }
  return sum;
}

void TCustomBarSeries::CollectStackPeers() {
  FStackPeers.clear();
  FOriginIndex = -1;
  FPeersValid = FParentChart != nullptr;
  if (!FParentChart) return;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    auto* b = dynamic_cast<TCustomBarSeries*>(series_link::SeriesAt(FParentChart, i));
    if (b && b->Active() && IsSameKind(b) && b->FStackGroup == FStackGroup) FStackPeers.push_back(b);
  }
}

int32_t TCustomBarSeries::OriginPos(int32_t ValueIndex) {
  TChartAxis* v = GetValueAxis();
  if (!v) return 0;
  switch (FMultiBar) {
    case mbStacked:
    case mbSelfStack:
      return v->ValueToPixel(PointOrigin(ValueIndex, false));
    case mbStacked100: {
      const double total = PointOrigin(ValueIndex, true);
      return total == 0 ? v->ValueToPixel(0) : v->ValueToPixel(PointOrigin(ValueIndex, false) * 100.0 / total);
    }
    default:
      if (FUseYOrigin) return v->ValueToPixel(FYOrigin);
      return Vertical() ? v->EndPixel : v->StartPixel;
  }
}

int32_t TCustomBarSeries::ValueEnd(int32_t Index) {
  TChartAxis* v = GetValueAxis();
  if (!v) return 0;
  const double value = MainValueAt(Index);
  switch (FMultiBar) {
    case mbStacked:
    case mbSelfStack:
      return v->ValueToPixel(PointOrigin(Index, false) + value);
    case mbStacked100: {
      const double total = PointOrigin(Index, true);
      return total == 0 ? v->ValueToPixel(0) : v->ValueToPixel((PointOrigin(Index, false) + value) * 100.0 / total);
    }
    default:
      return v->ValueToPixel(value);
  }
}

int32_t TCustomBarSeries::ScreenXAt(int32_t Index) { return Vertical() ? PositionStart(Index) : ValueEnd(Index); }
int32_t TCustomBarSeries::ScreenYAt(int32_t Index) { return Vertical() ? ValueEnd(Index) : PositionStart(Index); }

// ---- extremes ------------------------------------------------------------------------------------------

double TCustomBarSeries::HighestY() {
  TPeersScope peers(this);
  if (!Vertical()) {
    if (FMultiBar == mbSelfStack) return series_link::SeriesIndex(FParentChart, this);
    if (FMultiBar == mbSideAll) return PointCount() + FPointsBefore - 1;
    return TChartSeries::HighestY();
  }
  if (FMultiBar == mbStacked100) return 100;
  double r = TChartSeries::HighestY();
  if (FMultiBar == mbSelfStack) r = MandatoryList->Total();
  if (FMultiBar == mbStacked)
    for (int32_t i = 0; i < PointCount(); ++i) r = std::max(r, PointOrigin(i, false) + MainValueAt(i));
  if (FUseYOrigin) r = std::max(r, FYOrigin);
  return r;
}

double TCustomBarSeries::LowestY() {
  TPeersScope peers(this);
  if (!Vertical()) {
    if (FMultiBar == mbSelfStack) return series_link::SeriesIndex(FParentChart, this);
    return TChartSeries::LowestY();
  }
  if (FMultiBar == mbStacked100) return 0;
  double r = TChartSeries::LowestY();
  if (FMultiBar == mbStacked || FMultiBar == mbSelfStack)
    for (int32_t i = 0; i < PointCount(); ++i) r = std::min(r, PointOrigin(i, false) + MainValueAt(i));
  if (FUseYOrigin) r = std::min(r, FYOrigin);
  return r;
}

double TCustomBarSeries::HighestX() {
  TPeersScope peers(this);
  if (Vertical()) {
    if (FMultiBar == mbSelfStack && FParentChart) return series_link::SeriesIndex(FParentChart, this);
    if (FMultiBar == mbSideAll) return PointCount() + FPointsBefore - 1;
    return TChartSeries::HighestX();
  }
  if (FMultiBar == mbStacked100) return 100;
  double r = TChartSeries::HighestX();
  if (FMultiBar == mbSelfStack) r = MandatoryList->Total();
  if (FMultiBar == mbStacked)
    for (int32_t i = 0; i < PointCount(); ++i) r = std::max(r, PointOrigin(i, false) + MainValueAt(i));
  if (FUseYOrigin) r = std::max(r, FYOrigin);
  return r;
}

double TCustomBarSeries::LowestX() {
  TPeersScope peers(this);
  if (Vertical()) {
    if (FMultiBar == mbSelfStack && FParentChart) return series_link::SeriesIndex(FParentChart, this);
    return TChartSeries::LowestX();
  }
  if (FMultiBar == mbStacked100) return 0;
  double r = TChartSeries::LowestX();
  if (FMultiBar == mbStacked || FMultiBar == mbSelfStack)
    for (int32_t i = 0; i < PointCount(); ++i) r = std::min(r, PointOrigin(i, false) + MainValueAt(i));
  if (FUseYOrigin) r = std::min(r, FYOrigin);
  return r;
}

// ---- margins ----------------------------------------------------------------------------------------------

int32_t TCustomBarSeries::MarkRoom(int32_t ValueIndex) {
  if (PointCount() == 0 || !Marks()->Visible()) return 0;
  if (FParentChart) FParentChart->Canvas->AssignFont(Marks()->Font());
  int32_t r = MarkTextSize(ValueIndex) + Marks()->Callout()->Length();
  if (Marks()->Pen()->Visible()) r += 2 * Marks()->Pen()->Width();
  return r;
}

void TCustomBarSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  TChartSeries::GetHorizontalMargins(LeftMargin, RightMargin);
  if (Vertical()) {
    CalcBarWidth();
    int32_t m = FMultiBar == mbSideAll ? FBarWidth : FBarWidth * FBarCount;
    if (!FSideMargins) m /= 2;
    LeftMargin += m;
    RightMargin += m;
    return;
  }
  const int32_t room = MarkRoom(-1);
  if (room <= 0) return;
  const int32_t m = room + 1;
  const bool inv = HorizAxisObject && HorizAxisObject->Inverted();
  if (FUseYOrigin && FXValues->MinValue() < FYOrigin) (inv ? RightMargin : LeftMargin) = m;
  if (!(FUseYOrigin && !(FXValues->MaxValue() > FYOrigin))) (inv ? LeftMargin : RightMargin) = m;
}

void TCustomBarSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TChartSeries::GetVerticalMargins(TopMargin, BottomMargin);
  if (!Vertical()) {
    CalcBarWidth();
    int32_t m = FMultiBar == mbSideAll ? FBarWidth : FBarWidth * FBarCount;
    if (!FSideMargins) m /= 2;
    TopMargin += m;
    BottomMargin += m;
    return;
  }
  const int32_t room = MarkRoom(0);
  if (room <= 0) return;
  const int32_t m = room + 1;
  const bool inv = VertAxisObject && VertAxisObject->Inverted();
  if (FUseYOrigin && FYValues->MinValue() < FYOrigin) (inv ? TopMargin : BottomMargin) = m;
  if (!(FUseYOrigin && !(FYValues->MaxValue() > FYOrigin))) (inv ? BottomMargin : TopMargin) = m;
}

// ---- depth, order, visible range --------------------------------------------------------------------

void TCustomBarSeries::CalcDepthPositions() {
  TChartSeries::CalcDepthPositions();
  if (FDepthPercent != 0) {
    const int32_t d = RoundPixel((100 - FDepthPercent) * (EndZ - StartZ) * 0.005);
    StartZ += d;
    EndZ -= d;
    MiddleZ = (StartZ + EndZ) / 2;
  }
}

void TCustomBarSeries::AssignZOrder() {
  if (FMultiBar != mbNone && FParentChart)
    for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
      TChartSeries* s = series_link::SeriesAt(FParentChart, i);
      if (s == this) break;
      if (s->Active() && IsSameKind(s)) {
        AutoZOrder = s->EffectiveZOrder();
        return;
      }
    }
  TChartSeries::AssignZOrder();
}

bool TCustomBarSeries::SharesZOrder() {
  if (Vertical() && FMultiBar == mbSideAll) return false;
  return TChartSeries::SharesZOrder();
}

void TCustomBarSeries::FindVisibleRange() {
  if (FParentChart && series_link::MaxPointsPerPage(FParentChart) == 1) {
    const int32_t i = series_link::Page(FParentChart) - 1;
    FirstValueIndex = LastValueIndex = (i >= 0 && i < PointCount()) ? i : -1;
    return;
  }
  TChartSeries::FindVisibleRange();
}

bool TCustomBarSeries::IsValueDrawnForward(int32_t ValueIndex) {
  if (Vertical()) {
    const bool notInv = !(VertAxisObject && VertAxisObject->Inverted());
    if (FMultiBar == mbStacked || FMultiBar == mbSelfStack) return (MainValueAt(ValueIndex) >= FYOrigin) == notInv;
    if (FMultiBar == mbStacked100) return notInv;
    return TChartSeries::IsValueDrawnForward(ValueIndex);
  }
  const bool notInv = !(HorizAxisObject && HorizAxisObject->Inverted());
  switch (FMultiBar) {
    case mbNone:
      return TChartSeries::IsValueDrawnForward(ValueIndex);
    case mbSide:
    case mbSideAll:
      return false;
    case mbStacked100:
      return notInv;
    default:
      return (MainValueAt(ValueIndex) >= 0) == notInv;
  }
}

// ---- drawing ---------------------------------------------------------------------------------------------

void TCustomBarSeries::DrawOneValue(int32_t ValueIndex) {
  FBarColor = PointColorAt(ValueIndex);
  if (FBarColor == clNone) return;
  CalcBarWidth();
  const int32_t w = FBarWidth;
  TRect& r = FBarBounds;
  const bool full = FBarWidthPercent == 100 && FCustomBarWidth == 0;
  if (Vertical()) {
    r.Left = ScreenXAt(ValueIndex);
    r.Right = r.Left + w + 1;
    if (full) {
      const bool inv = HorizAxisObject && HorizAxisObject->Inverted();
      const int32_t next = inv ? ValueIndex - 1 : ValueIndex + 1;
      if (next >= 0 && next < PointCount()) r.Right = ScreenXAt(next);
    }
    r.Top = ScreenYAt(ValueIndex);
    r.Bottom = OriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
      if (r.Top > r.Bottom)
        ++r.Top;
      else
        ++r.Bottom;
      ++r.Right;
    }
    DrawBar(ValueIndex, std::min(r.Top, r.Bottom), std::max(r.Top, r.Bottom));
  } else {
    r.Top = ScreenYAt(ValueIndex);
    r.Bottom = r.Top + w + 1;
    if (full) {
      const bool inv = VertAxisObject && VertAxisObject->Inverted();
      const int32_t next = inv ? ValueIndex + 1 : ValueIndex - 1;
      if (next >= 0 && next < PointCount()) r.Bottom = ScreenYAt(next);
    }
    r.Right = ScreenXAt(ValueIndex);
    r.Left = OriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
      if (r.Right > r.Left)
        ++r.Right;
      else
        --r.Right;
      if (r.Left >= r.Right) ++r.Left;
      ++r.Bottom;
    }
    DrawBar(ValueIndex, std::min(r.Left, r.Right), std::max(r.Left, r.Right));
  }
}

void TCustomBarSeries::DrawThinAwareRect(const TRect& R) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int w = R.Right - R.Left, h = R.Bottom - R.Top;
  if (c->Brush->Style() == bsSolid && (w == 0 || h == 0)) {
    c->Pen->SetColor(c->Brush->Color());
    if (c->Pen->Style() == psClear) c->Pen->SetStyle(psSolid);
    c->Line(R.Left, R.Top, R.Right, R.Bottom);
  } else if (w < c->Pen->Width() || h < c->Pen->Width()) {
    c->Pen->SetColor(c->Brush->Color());
    if (c->Pen->Style() == psClear) c->Pen->SetStyle(psSolid);
    c->Brush->SetStyle(bsClear);
  }
  c->Rectangle(R.Left, R.Top, R.Right, R.Bottom);
}

void TCustomBarSeries::DrawVisiblePoints() {
  FRun.Active = false;
  TChartSeries::DrawVisiblePoints();
  FlushThinRun();
}

bool TCustomBarSeries::JoinThinRun(int32_t ValueIndex, const TRect& Bar) {
  // Only a plain 2D rectangle whose outline is a single line of a solid one-pixel pen qualifies:
  // the canvas draws it as that line, whatever the brush.
  TChartPen* pen = BarPen();
  if (!pen->Visible() || pen->Width() > 1 || pen->Style() != psSolid || pen->Mode() != pmCopy || pen->SmallDots())
    return false;
  const bool v = Vertical();
  const int across = v ? Bar.Right - Bar.Left : Bar.Bottom - Bar.Top;
  // The canvas draws such a rectangle as a line that stops short of its last pixel: the bar's
  // pixels are From..To inclusive, none at all when the bar is under two pixels long.
  const int from = v ? Bar.Top : Bar.Left, to = (v ? Bar.Bottom : Bar.Right) - 2;
  if (across != 1 || to < from - 1) return false;
  if (series_link::View3D(FParentChart) || GetBarStyle(ValueIndex) != bsRectangle) return false;
  if (to < from) return true;  // nothing to draw
  const int pos = v ? Bar.Left : Bar.Top;
  if (FRun.Active && FRun.Pos == pos && from <= FRun.To + 1 && to >= FRun.From - 1) {
    FRun.From = std::min(FRun.From, from);
    FRun.To = std::max(FRun.To, to);
    return true;
  }
  FlushThinRun();
  FRun.Active = true;
  FRun.Pos = pos;
  FRun.From = from;
  FRun.To = to;
  return true;
}

void TCustomBarSeries::FlushThinRun() {
  if (!FRun.Active || !FParentChart) return;
  FRun.Active = false;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignVisiblePen(BarPen());
  if (Vertical())
    c->Rectangle(FRun.Pos, FRun.From, FRun.Pos + 1, FRun.To + 2);
  else
    c->Rectangle(FRun.From, FRun.Pos, FRun.To + 2, FRun.Pos + 1);
}

void TCustomBarSeries::DrawBar(int32_t ValueIndex, int StartPos, int EndPos) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const bool v = Vertical();
  const TRect& b = FBarBounds;
  {
    const TRect bar = v ? TRect(b.Left, StartPos, b.Right, EndPos) : TRect(StartPos, b.Top, EndPos, b.Bottom);
    if (ThinRunsEnabled && JoinThinRun(ValueIndex, bar)) return;
    FlushThinRun();
  }
  c->AssignVisiblePen(BarPen());
  TColor back = BarBrush()->Color();
  if (back == clDefault) back = series_link::ChartColor(FParentChart);
  series_link::SetBrushCanvas(FParentChart, FBarColor, BarBrush(), back);
  // The bar in value-axis coordinates: across a..b2, along StartPos..EndPos.
  const TRect bar = v ? TRect(b.Left, StartPos, b.Right, EndPos) : TRect(StartPos, b.Top, EndPos, b.Bottom);
  const int cMid = v ? (b.Left + b.Right) / 2 : (b.Top + b.Bottom) / 2;
  const int m = (StartPos + EndPos) / 2;
  auto P = [&](int across, int along) { return v ? TPoint(across, along) : TPoint(along, across); };
  const int lo = v ? b.Left : b.Top, hi = v ? b.Right : b.Bottom;
  // "Up" is toward StartPos for vertical bars and toward EndPos for horizontal ones.
  const int tip = v ? StartPos : EndPos, base = v ? EndPos : StartPos;
  const TBarStyle style = GetBarStyle(ValueIndex);
  auto triangle = [&](int apex, int foot) {
    const TPoint t[3] = {P(lo, foot), P(cMid, apex), P(hi, foot)};
    if (is3D)
      c->PolygonWithZ(t, StartZ);
    else
      c->Polygon(t);
  };
  switch (style) {
    case bsRectangle:
    case bsRectGradient:
    case bsBevel:
    case bsCilinder:
    case bsSlantCube:
      if (is3D) {
        if (style == bsCilinder || style == bsSlantCube)
          c->Cylinder(v, bar.Left, bar.Top, bar.Right, bar.Bottom, StartZ, EndZ, FDark3D);
        else
          c->Cube(bar.Left, bar.Right, bar.Top, bar.Bottom, StartZ, EndZ, FDark3D);
      } else {
        DrawThinAwareRect(bar);
        if (style == bsSlantCube) {
          if (v)
            c->Line(cMid, bar.Top, cMid, bar.Bottom);
          else
            c->Line(bar.Left, cMid, bar.Right, cMid);
        }
      }
      break;
    case bsPyramid:
    case bsCone:
      if (is3D)
        c->Pyramid(v, bar.Left, bar.Top, bar.Right, bar.Bottom, StartZ, EndZ, FDark3D);
      else
        triangle(tip, base);
      break;
    case bsInvPyramid:
    case bsInvCone:
      if (is3D)
        c->Pyramid(v, bar.Left, bar.Bottom, bar.Right, bar.Top, StartZ, EndZ, FDark3D);
      else
        triangle(base, tip);
      break;
    case bsEllipse:
      if (is3D)
        c->EllipseWithZ(bar.Left, bar.Top, bar.Right, bar.Bottom, MiddleZ);
      else
        c->Ellipse(bar.Left, bar.Top, bar.Right, bar.Bottom);
      break;
    case bsArrow:
    case bsInvArrow: {
      const int head = hi - lo;
      const bool inv = style == bsInvArrow;
      const TPoint from = v ? P(cMid, inv ? StartPos : EndPos) : P(cMid, inv ? EndPos : StartPos);
      const TPoint to = v ? P(cMid, inv ? EndPos : StartPos) : P(cMid, inv ? StartPos : EndPos);
      c->Arrow(true, from, to, head, head / 2, MiddleZ);
      break;
    }
    case bsDiamond: {
      const TPoint d[4] = {P(cMid, StartPos), P(hi, m), P(cMid, EndPos), P(lo, m)};
      if (is3D)
        c->PolygonWithZ(d, MiddleZ);
      else
        c->Polygon(d);
      break;
    }
  }
  if (style == bsRectGradient) {
    TChartValueList* values = MandatoryList;
    const double low = FUseYOrigin ? FYOrigin : values->MinValue();
    const TColor end = FGradient->EndColorFor(FBarColor, values->Value(ValueIndex), low, values->MaxValue());
    FGradient->FillBar(c, bar, end, BarPen(), is3D, FParentChart->View3DOptions()->Orthogonal(), StartZ);
  }
  if (FTickLines->Visible()) {
    TChartAxis* a = GetValueAxis();
    c->AssignVisiblePen(FTickLines.get());
    for (int p : a->TickPositions)
      if (p > StartPos && p < EndPos) DrawTickLine(p, style);
  }
}

// ---- hit test ---------------------------------------------------------------------------------------------

bool TCustomBarSeries::ClickedBar(int32_t ValueIndex, const TPoint& Pt) {
  CalcBarWidth();
  const bool v = Vertical();
  const bool is3D = FParentChart && series_link::View3D(FParentChart);
  TPoint p = Pt;
  const int x = v ? ScreenXAt(ValueIndex) : ScreenYAt(ValueIndex);
  const int across = v ? p.X : p.Y;
  if (!is3D && (across < x || across > x + FBarWidth)) return false;
  int a = v ? ScreenYAt(ValueIndex) : ScreenXAt(ValueIndex);
  int b = OriginPos(ValueIndex);
  if (a > b) std::swap(a, b);
  const TBarStyle style = GetBarStyle(ValueIndex);
  auto P = [&](int ac, int al) { return v ? TPoint(ac, al) : TPoint(al, ac); };
  if (style == bsPyramid || style == bsCone || style == bsInvPyramid || style == bsInvCone) {
    const bool normal = style == bsPyramid || style == bsCone;
    // Vertical: base at the larger pixel for upright shapes; horizontal: base at the smaller X.
    const int base = v ? (normal ? b : a) : (normal ? a : b);
    const int apex = v ? (normal ? a : b) : (normal ? b : a);
    TPoint t[3] = {P(x, base), P(x + FBarWidth, base), P(x + FBarWidth / 2, apex)};
    if (is3D) {
      TCanvas3D* c = FParentChart->Canvas;
      t[0] = c->Calculate3DPosition(t[0].X, t[0].Y, StartZ);
      t[1] = c->Calculate3DPosition(t[1].X, t[1].Y, StartZ);
      t[2] = c->Calculate3DPosition(t[2].X, t[2].Y, MiddleZ);
    }
    return PointInPolygon(p, t, 2);
  }
  if (is3D) {
    FParentChart->Canvas->Calculate2DPosition(p.X, p.Y, StartZ);
    const int ac = v ? p.X : p.Y;
    if (ac < x || ac > x + FBarWidth) return false;
  }
  const int along = v ? p.Y : p.X;
  if (style == bsEllipse)
    return v ? PointInEllipse(p, x, a, x + FBarWidth, b) : PointInEllipse(p, a, x, b, x + FBarWidth);
  return a <= along && along <= b;
}

int32_t TCustomBarSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FirstValueIndex < 0) return -1;
  const int32_t last = std::min(LastValueIndex, PointCount() - 1);
  for (int32_t i = FirstValueIndex; i <= last; ++i)
    if (!IsNullPoint(i) && ClickedBar(i, TPoint(X, Y))) return i;
  return -1;
}

// ---- legend, marks, gallery ----------------------------------------------------------------------------

void TCustomBarSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  TChartSeries::FillLegendSymbol(ValueIndex, Rect);
}

void TCustomBarSeries::AdjustLegendBrush(int32_t, TColor& BackColor, TBrushStyle& Style) {
  if (FParentChart) FParentChart->Canvas->AssignVisiblePen(BarPen());
  Style = BarBrush()->Style();
  BackColor =
      BarBrush()->Color() == clDefault && FParentChart ? series_link::ChartColor(FParentChart) : BarBrush()->Color();
}

void TCustomBarSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  const int len = Marks()->Callout()->Length();
  const int dist = Marks()->Callout()->Distance();
  const int w = FBarWidth;
  if (Vertical()) {
    int L = len + dist;
    if (OriginPos(ValueIndex) < Position.ArrowStart.Y) {
      Position.ArrowStart.Y += dist;
      L = -L - Position.Height;
    } else {
      Position.ArrowStart.Y -= dist;
    }
    Position.LeftTop.X += w / 2;
    Position.LeftTop.Y -= L;
    Position.ArrowEnd.X += w / 2;
    Position.ArrowEnd.Y -= L;
    Position.ArrowStart.X += w / 2;
    if (FAutoMarkPosition) Marks()->MoveToAvoidOverlap(FirstValueIndex, ValueIndex, Position);
  } else {
    int L = len + dist;
    const bool left = Position.ArrowStart.X < OriginPos(ValueIndex);
    if (left) L = -L - Position.Width;
    Position.LeftTop.X += L + Position.Width / 2;
    Position.LeftTop.Y += w / 2 + Position.Height / 2;
    Position.ArrowEnd.X += L;
    Position.ArrowEnd.Y += w / 2;
    Position.ArrowStart.Y += w / 2;
    Position.ArrowStart.X += left ? -dist : dist;
  }
  TChartSeries::DrawPointMark(ValueIndex, Text, Position);
}

void TCustomBarSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TChartSeries::ListStyleVariants(AddStyle);
  for (const std::string* s :
       {&MsgStyleColors, &MsgStylePyramid, &MsgStyleEllipse, &MsgStyleInvPyramid, &MsgStyleGradient})
    AddStyle(*s);
  if (GalleryHasStacked())
    for (const std::string* s : {&MsgStyleStack, &MsgStyleStack100, &MsgStyleSelfStacked}) AddStyle(*s);
  AddStyle(MsgStyleSides);
  AddStyle(MsgStyleSideAll);
}

void TCustomBarSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TCustomBarSeries*>(Target);
  if (!s) return;
  static const TBarStyle styles[] = {bsRectangle, bsRectangle, bsPyramid, bsEllipse, bsInvPyramid, bsRectGradient};
  static const TMultiBar modes[] = {mbStacked, mbStacked100, mbSelfStack, mbSide, mbSideAll};
  if (Index == 1) s->SetColorEachPoint(true);
  if (Index >= 2 && Index <= 5) s->SetBarStyle(styles[Index]);
  if (Index >= 6 && Index <= 10) s->SetMultiBar(modes[Index - 6]);
}

void TCustomBarSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustomBarSeries*>(Source)) {
    FAutoMarkPosition = s->FAutoMarkPosition;
    FBarWidthPercent = s->FBarWidthPercent;
    FBarStyle = s->FBarStyle;
    FBevelSize = s->FBevelSize;
    FCustomBarWidth = s->FCustomBarWidth;
    FDark3D = s->FDark3D;
    FDepthPercent = s->FDepthPercent;
    FMultiBar = s->FMultiBar;
    FOffsetPercent = s->FOffsetPercent;
    FYOrigin = s->FYOrigin;
    FSideMargins = s->FSideMargins;
    FStackGroup = s->FStackGroup;
    FTickLines->Assign(s->FTickLines.get());
    FGradient->Assign(s->FGradient.get());
    FTransparency = s->FTransparency;
    FUseYOrigin = s->FUseYOrigin;
  }
  TChartSeries::Assign(Source);
}

// =============================================================================================

TBarSeries::TBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner) { YValues()->SetName("Bar"); }

int32_t TBarSeries::MarkTextSize(int32_t) { return FParentChart ? FParentChart->Canvas->FontHeight() : 0; }

THorizBarSeries::THorizBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner) {
  SetHorizontalLayout();
  XValues()->SetOrder(loNone);
  YValues()->SetOrder(loAscending);
  XValues()->SetName("Bar");
  FGradient->SetDirection(gdRightLeft);  // from the origin along the bar
}

int32_t THorizBarSeries::MarkTextSize(int32_t ValueIndex) {
  if (!FParentChart) return 0;
  return ValueIndex == -1 ? WidestMarkText() : FParentChart->Canvas->TextWidth(GetMarkText(ValueIndex));
}
