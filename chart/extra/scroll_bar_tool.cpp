#include "chart/extra/scroll_bar_tool.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/registries.h"
#include "platform/forms.h"

const TEnumInfo GraphScrollBarDrawStyleInfo{"TGraphScrollBarDrawStyle", {"dsAlways", "dsWhenNeeded"}};

namespace {
const TEnumInfo ScrollBevelInfo{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};

// The toolkit's point-in-rectangle test: right and bottom edges excluded.
bool Inside(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
int Round(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

VM_PUBLISH(TGraphScrollBar) {
  using T = TGraphScrollBar;
  P.Object("ArrowBrush", &T::ArrowBrush, &T::SetArrowBrush);
  P.Bool("AutoRepeat", &T::AutoRepeat, &T::SetAutoRepeat).Default(true);
  P.Int("BackColor", &T::BackColor, &T::SetBackColor).Default(clScrollBar);
  P.Enum("Bevel", &T::Bevel, &T::SetBevel, ScrollBevelInfo).Default(bvRaised);
  P.Object("Brush", &T::Brush, &T::SetBrush);
  P.Enum("DrawStyle", &T::DrawStyle, &T::SetDrawStyle, GraphScrollBarDrawStyleInfo).Default(dsAlways);
  P.Object("Gradient", &T::Gradient, &T::SetGradient);
  P.Int("InitialDelay", &T::InitialDelay, &T::SetInitialDelay).Default(250);
  P.Int("MinThumbSize", &T::MinThumbSize, &T::SetMinThumbSize).Default(4);
  P.Object("Pen", &T::Pen, &T::SetPen);
  P.Int("Size", &T::Size, &T::SetSize).Default(18);
  P.Object("ThumbBrush", &T::ThumbBrush, &T::SetThumbBrush);
  P.Event("OnChangeSize", &T::OnChangeSize);
  P.Event("OnScrolled", &T::OnScrolled);
  P.Event("OnSetPosition", &T::OnSetPosition);
}

TGraphScrollBar::TGraphScrollBar(TComponent* AOwner) : TGraphCustomTool(AOwner) {
  const auto changed = [this](TObject*) { Repaint(); };
  FArrowBrush = std::make_unique<TChartBrush>(changed);
  FThumbBrush = std::make_unique<TChartBrush>(changed);
  FThumbBrush->SetColor(clSilver);
  FGradient = std::make_unique<TGraphGradient>(changed);
  Brush()->SetColor(clWhite);
  Pen()->SetColor(clWindowFrame);
}

TGraphScrollBar::~TGraphScrollBar() = default;

void TGraphScrollBar::GetDescription(std::string& Text) { Text = "Scrollbar"; }

void TGraphScrollBar::SetParentChart(TCustomAxisPanel* Value) {
  TGraphCustomTool::SetParentChart(Value);
  Repaint();
}

void TGraphScrollBar::SetBevel(TBevelCut Value) {
  if (Value == FBevel) return;
  FBevel = Value;
  Repaint();
}

void TGraphScrollBar::SetSize(int32_t Value) {
  if (Value == FSize) return;
  FSize = Value;
  Repaint();
  if (OnChangeSize) OnChangeSize(this);
}

void TGraphScrollBar::SetPosition(int32_t Value) {
  if (Value != FPosition) {
    FPosition = Value;
    Repaint();
  }
  if (OnSetPosition) OnSetPosition(this, Value);
}

bool TGraphScrollBar::CalcBounds(TRect&) { return GetMax() > 0; }

double TGraphScrollBar::PixelsToPosition(int32_t A, int32_t B) {
  if (A == B) return 0;
  const TRect t = GetTrackRect();
  const double length = FHorizontal ? t.Right - t.Left : t.Bottom - t.Top;
  const double v = GetMax() / (length / std::abs(A - B));
  return A < B ? -v : v;
}

// -- geometry ---------------------------------------------------------------------------------------

TRect TGraphScrollBar::GetBarRect() const {
  const TRect& b = Bounds;
  return FHorizontal ? TRect(b.Left, b.Bottom - 1, b.Right, b.Bottom + FSize)
                     : TRect(b.Right - FSize - 1, b.Top, b.Right, b.Bottom);
}

TRect TGraphScrollBar::GetStartArrowRect() const {
  const TRect& b = Bounds;
  return FHorizontal ? TRect(b.Left, b.Bottom, b.Left + FSize, b.Bottom + FSize)
                     : TRect(b.Right - FSize - 1, b.Top, b.Right, b.Top + FSize);
}

TRect TGraphScrollBar::GetEndArrowRect() const {
  const TRect& b = Bounds;
  return FHorizontal ? TRect(b.Right - FSize, b.Bottom, b.Right, b.Bottom + FSize)
                     : TRect(b.Right - FSize - 1, b.Bottom - FSize, b.Right, b.Bottom);
}

TRect TGraphScrollBar::GetTrackRect() const {
  TRect r = GetBarRect();
  if (FHorizontal) {
    r.Left += FSize;
    r.Right -= FSize;
  } else {
    r.Top += FSize;
    r.Bottom -= FSize;
  }
  return r;
}

TRect TGraphScrollBar::GetThumbRect() const {
  const TRect& b = Bounds;
  if (!FHorizontal) return TRect(b.Right - FSize, FThumbStart, b.Right, FThumbEnd);
  TRect r(FThumbStart, b.Bottom, FThumbEnd, b.Bottom + FSize);
  if (r.Right - r.Left < 2) ++r.Right;
  return r;
}

void TGraphScrollBar::CalcThumb() {
  const int32_t max = GetMax();
  if (max == 0) return;
  const int32_t length = (FHorizontal ? Bounds.Right - Bounds.Left : Bounds.Bottom - Bounds.Top) - 2 * FSize;
  const double scale = static_cast<double>(length) / max;
  FThumbSize = std::max(Round(GetPageSize() * scale), FMinThumbSize);
  FThumbStart = (FHorizontal ? Bounds.Left : Bounds.Top) + Round(GetPosition() * scale) + FSize;
  FThumbEnd = FThumbStart + FThumbSize + 1;
}

// -- drawing ----------------------------------------------------------------------------------------

void TGraphScrollBar::DrawArrows(const TRect& Start, const TRect& End) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int s = FSize, d = FSize / 6;
  c->Pen->SetStyle(psClear);
  const auto fill = [&](bool Grey) {
    c->AssignBrushColor(FArrowBrush.get(), Grey ? clGray : FArrowBrush->Color(), FBackColor);
  };
  fill(FStartPressed || GetPosition() == 0);
  std::array<TPoint, 3> p;
  const TRect& r = Start;
  if (FHorizontal)
    p = {TPoint(r.Left + d, r.Top + s / 2), TPoint(r.Left + s - d, r.Top + d), TPoint(r.Left + s - d, r.Bottom - d)};
  else
    p = {TPoint(r.Left + d, r.Top + s - 2 * d), TPoint(r.Left + s / 2, r.Top + d),
         TPoint(r.Left + s - d, r.Top + s - 2 * d)};
  c->Polygon(p);
  fill(FEndPressed || GetMax() - GetPageSize() == GetPosition());
  const TRect& e = End;
  if (FHorizontal)
    p = {TPoint(e.Right - d, e.Top + s / 2), TPoint(e.Right + d - s, e.Top + d), TPoint(e.Right + d - s, e.Bottom - d)};
  else
    p = {TPoint(e.Left + d, Bounds.Bottom + 2 * d - s), TPoint(e.Left + s / 2, Bounds.Bottom - d),
         TPoint(e.Left + s - d, Bounds.Bottom + 2 * d - s)};
  c->Polygon(p);
}

void TGraphScrollBar::HandleChartStage(TToolDrawStage Stage) {
  TGraphCustomTool::HandleChartStage(Stage);
  if (Stage != tdsAfterDraw || !FParentChart || !CalcBounds(Bounds)) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  const auto backBrush = [&] { c->AssignBrushColor(Brush(), FBackColor, Brush()->Color()); };
  backBrush();
  c->AssignVisiblePen(Pen());
  const TRect bar = GetBarRect();
  if (FGradient->Visible()) {
    FGradient->Draw(c, bar);
    c->Brush->SetStyle(bsClear);
  }
  c->Rectangle(bar.Left, bar.Top, bar.Right, bar.Bottom);
  backBrush();
  const TRect start = GetStartArrowRect(), end = GetEndArrowRect();
  c->Rectangle(start.Left, start.Top, start.Right, start.Bottom);
  c->Rectangle(end.Left, end.Top, end.Right, end.Bottom);
  DrawArrows(start, end);
  if (GetMax() == 0) return;
  CalcThumb();
  c->AssignBrush(FThumbBrush.get(), FThumbBrush->Color());
  TRect thumb = GetThumbRect();
  c->FillRect(thumb);
  if (FBevel != bvNone) {
    --thumb.Right;
    DrawBevel(c, FBevel, thumb, 1, 0);
  }
}

// -- mouse and scrolling ----------------------------------------------------------------------------

void TGraphScrollBar::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                       int Y) {
  TGraphCustomTool::HandleChartMouse(Kind, Button, Shift, X, Y);
  switch (Kind) {
    case meDown:
      MouseDownAt(TPoint(X, Y));
      break;
    case meMove:
      DragTo(X, Y);
      break;
    case meUp:
      MouseUp();
      break;
  }
}

void TGraphScrollBar::MouseDownAt(const TPoint& P) {
  FLast = P;
  FDragging = FStartPressed = FEndPressed = false;
  double delta;
  if (Inside(GetStartArrowRect(), P)) {
    FStartPressed = true;
    delta = -1;
  } else if (Inside(GetEndArrowRect(), P)) {
    FEndPressed = true;
    delta = 1;
  } else if (Inside(GetThumbRect(), P)) {
    FDragging = true;
    return;
  } else if (Inside(GetBarRect(), P)) {
    const int c = FHorizontal ? P.X : P.Y;
    if (c < FThumbStart)
      delta = -GetLargeChange();
    else if (c > FThumbEnd)
      delta = GetLargeChange();
    else
      return;
  } else {
    return;
  }
  ScrollBy(true, delta);
}

void TGraphScrollBar::DragTo(int X, int Y) {
  if (!FDragging) return;
  const double delta = FHorizontal ? PixelsToPosition(X, FLast.X) : PixelsToPosition(Y, FLast.Y);
  if (std::fabs(delta) < 1) return;
  ScrollBy(false, delta);
  FLast = TPoint(X, Y);
}

void TGraphScrollBar::MouseUp() {
  FDragging = FStartPressed = FEndPressed = false;
  if (FTimer) FTimer->SetEnabled(false);
  Repaint();
}

void TGraphScrollBar::ScrollBy(bool Click, double Delta) {
  const int32_t position = GetPosition();
  double target;
  if (Delta >= 0) {
    const int32_t last = GetMax() - GetPageSize();
    target = position + Delta - 1 >= last ? last : position + Delta;
  } else {
    Delta = std::max(Delta, -static_cast<double>(position));
    if (Delta + 1 >= position) return;
    target = position + Delta;
  }
  ScrollTo(target, Click);
}

void TGraphScrollBar::ScrollTo(double Target, bool Click) {
  SetPosition(Round(Target));
  if (OnScrolled) OnScrolled(this);
  if (Click && FAutoRepeat) {
    if (!FTimer) {
      FTimer = std::make_unique<TTimer>(nullptr);
      FTimer->SetEnabled(false);
      FTimer->OnTimer = [this](TObject*) { TimerTick(); };
    }
    FTimer->SetInterval(static_cast<uint32_t>(std::max(FInitialDelay, 0)));
    FTimer->SetEnabled(true);
  }
}

void TGraphScrollBar::TimerTick() {
  MouseDownAt(FLast);
  if (FTimer && FTimer->Interval() > 50) FTimer->SetInterval(50);
}

// =============================================================================================
// Legend scroll bar

VM_DEFINE_CLASS(TLegendScrollBar)

TLegendScrollBar::TLegendScrollBar(TComponent* AOwner) : TGraphScrollBar(AOwner) {}

TLegendScrollBar::~TLegendScrollBar() { SetLegendHook(FParentChart, false); }

void TLegendScrollBar::GetDescription(std::string& Text) { Text = MsgGalleryLegendScrollbar; }

TCustomChartLegend* TLegendScrollBar::ChartLegend() const {
  auto* chart = dynamic_cast<TCustomChart*>(FParentChart);
  return chart ? chart->Legend() : nullptr;
}

void TLegendScrollBar::SetLegendHook(TCustomAxisPanel* Chart, bool Install) {
  auto* chart = dynamic_cast<TCustomChart*>(Chart);
  if (!chart) return;
  if (Install)
    chart->Legend()->SizeHook = [this](TCustomChartLegend* Sender, int32_t& Size) { AddLegendSpace(Sender, Size); };
  else
    chart->Legend()->SizeHook = nullptr;
}

void TLegendScrollBar::SetParentChart(TCustomAxisPanel* Value) {
  if (Value == FParentChart) {
    TGraphScrollBar::SetParentChart(Value);
    return;
  }
  SetLegendHook(FParentChart, false);
  FLegend = nullptr;
  TGraphScrollBar::SetParentChart(Value);
  SetLegendHook(FParentChart, true);
}

bool TLegendScrollBar::Paged() const { return FParentChart && FParentChart->MaxPointsPerPage() > 0; }

int32_t TLegendScrollBar::GetPageSize() {
  if (Paged()) return 1;
  TCustomChartLegend* l = ChartLegend();
  return l ? l->LastValue - l->FirstValue() + 1 : 0;
}

int32_t TLegendScrollBar::GetLargeChange() { return Paged() ? 1 : TGraphScrollBar::GetLargeChange(); }

int32_t TLegendScrollBar::GetPosition() {
  if (Paged()) return FParentChart->Page() - 1;
  TCustomChartLegend* l = ChartLegend();
  return l ? l->FirstValue() : 0;
}

void TLegendScrollBar::SetPosition(int32_t Value) {
  if (Paged()) {
    FParentChart->SetPage(Value + 1);
  } else if (TCustomChartLegend* l = ChartLegend()) {
    l->SetFirstValue(Value);
  }
}

int32_t TLegendScrollBar::GetMax() {
  if (Paged()) return FParentChart->CountPages();
  TCustomChartLegend* l = ChartLegend();
  return l ? l->TotalItems + l->FirstValue() : 0;
}

bool TLegendScrollBar::CalcBounds(TRect& R) {
  if (!FParentChart) return false;
  FLegend = ChartLegend();
  if (!FLegend || !FLegend->ShouldDraw() || FLegend->LastValue <= -1) return false;
  // When needed: some item lies before the first shown one or after the last.
  if (DrawStyle() == dsWhenNeeded && FLegend->FirstValue() == 0 &&
      FLegend->LastValue >= FLegend->TotalItems + FLegend->FirstValue() - 1)
    return false;
  SetHorizontal(!FLegend->IsVertical());
  R = FLegend->BoxRect;
  return true;
}

void TLegendScrollBar::AddLegendSpace(TCustomChartLegend*, int32_t& Size) {
  TRect r = Bounds;
  if (Active() && CalcBounds(r)) Size += this->Size() + 1;
}

void RegisterScrollBarTools() { RegisterToolTypes({TLegendScrollBar::StaticClass()}); }

void UnregisterScrollBarTools() { UnregisterToolTypes({TLegendScrollBar::StaticClass()}); }
