#include "chart/series/tools_misc.h"

#include <cmath>

#include "chart/engine/engine_texts.h"
#include "chart/engine/value_lists.h"
#include "chart/series/tools_drawline.h"
#include "platform/forms.h"
#include "platform/guards.h"

const TEnumInfo RotateToolStylesInfo("TRotateToolStyles", {"rsAll", "rsRotation", "rsElevation"});
const TEnumInfo SeriesAnimationLoopInfo("TSeriesAnimationLoop", {"salNo", "salOneWay", "salCircular"});
const TEnumInfo DragPointStyleInfo("TDragPointStyle", {"dsX", "dsY", "dsBoth"});

// =============================================================================================
// Rotate

VM_PUBLISH(TRotateTool) {
  P.Enum("Button", &TRotateTool::Button, &TRotateTool::SetButton, ToolMouseButtonInfo).Default(mbLeft);
  P.Bool("Inverted", &TRotateTool::Inverted, &TRotateTool::SetInverted).Default(false);
  P.Object("Pen", &TRotateTool::Pen, &TRotateTool::SetPen).Stored([](TObject* o) {
    return static_cast<TRotateTool*>(o)->Pen()->Visible();
  });
  P.Enum("Style", &TRotateTool::Style, &TRotateTool::SetStyle, RotateToolStylesInfo).Default(rsAll);
  P.Event("OnRotate", &TRotateTool::OnRotate);
}

TRotateTool::TRotateTool(TComponent* AOwner) : TGraphCustomTool(AOwner) {
  Pen()->Hide();
  Pen()->SetMode(pmXor);
  Pen()->SetColor(clWhite);
}

void TRotateTool::GetDescription(std::string& Text) { Text = MsgToolRotate; }

namespace {
void XorSegments(TGraphCanvas3D* C, TChartPen* Pen, const std::vector<std::pair<TPoint, TPoint>>& Segments) {
  C->AssignVisiblePen(Pen);
  C->Pen->SetMode(Pen->Mode());
  for (const auto& s : Segments) {
    C->MoveTo(s.first.X, s.first.Y);
    C->LineTo(s.second.X, s.second.Y);
  }
  C->Pen->SetMode(pmCopy);
}
}  // namespace

void TRotateTool::EraseOutline() {
  if (FParentChart && !FOutline.empty()) XorSegments(FParentChart->Canvas, Pen(), FOutline);
  FOutline.clear();
}

// The edges of the cube from depth 0 to the chart's depth, each once: edges that meet on the
// screen would cancel each other out in exclusive-or mode.
void TRotateTool::DrawOutline() {
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  EraseOutline();
  c->Brush->SetStyle(bsClear);
  const TRect& r = chart->ChartRect;
  const int d = chart->Width3D;
  const TPoint corners[4] = {TPoint(r.Left, r.Top), TPoint(r.Right, r.Top), TPoint(r.Right, r.Bottom),
                             TPoint(r.Left, r.Bottom)};
  std::vector<std::pair<TPoint, TPoint>> segs;
  const auto add = [&](const TPoint& A, int ZA, const TPoint& B, int ZB) {
    const std::pair<TPoint, TPoint> s(c->Calculate3DPosition(A.X, A.Y, ZA), c->Calculate3DPosition(B.X, B.Y, ZB));
    if (s.first == s.second) return;
    for (const auto& t : segs)
      if ((t.first == s.first && t.second == s.second) || (t.first == s.second && t.second == s.first)) return;
    segs.push_back(s);
  };
  for (int z : {0, d})
    for (int i = 0; i < 4; ++i) add(corners[i], z, corners[(i + 1) % 4], z);
  for (const TPoint& p : corners) add(p, 0, p, d);
  XorSegments(c, Pen(), segs);
  FOutline = std::move(segs);
}

void TRotateTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState, int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart) return;
  switch (Kind) {
    case meDown:
      if (Button != FButton) return;
      FRotating = true;
      FOldX = X;
      FOldY = Y;
      FFirstMove = true;
      chart->CancelMouse = true;
      break;
    case meMove: {
      if (!FRotating) return;
      const int w = std::max(1, chart->Width()), h = std::max(1, chart->Height());
      int r = static_cast<int>(std::nearbyint((X - FOldX) * 90.0 / w));
      int e = static_cast<int>(std::nearbyint((FOldY - Y) * 90.0 / h));
      if (FInverted) {
        r = -r;
        e = -e;
      }
      const bool outline = Pen()->Visible();
      if (outline) {
        if (FFirstMove) {
          FSavedRepaint = chart->AutoRepaint;
          chart->AutoRepaint = false;
          FOutline.clear();
        } else {
          EraseOutline();
        }
      }
      FFirstMove = false;
      chart->SetView3D(true);
      TView3DOptions* o = chart->View3DOptions();
      o->SetOrthogonal(false);
      if (chart->Canvas->SupportsFullRotation()) {
        const auto wrap = [](int v) { return v > 360 ? v - 360 : v < 0 ? v + 360 : v; };
        if (FStyle == rsAll || FStyle == rsRotation) o->SetRotation(wrap(o->Rotation() + r));
        if (FStyle == rsAll || FStyle == rsElevation) o->SetElevation(wrap(o->Elevation() + e));
      } else {
        if (FStyle == rsAll || FStyle == rsRotation) {
          int v = o->Rotation() + r;
          if (r > 0 && v > 360) v -= 360;
          if (r < 0 && v < 0) v += 360;
          o->SetRotation(v);
        }
        if (FStyle == rsAll || FStyle == rsElevation) {
          int v = o->Elevation() + e;
          if (e > 0) v = std::min(v, 360);
          if (e < 0) v = std::max(v, 270);
          o->SetElevation(v);
        }
      }
      FOldX = X;
      FOldY = Y;
      chart->CancelMouse = true;
      if (outline) {
        chart->CalcDepthSizes();
        chart->Canvas->RecalcProjection(true, chart->Width3D, chart->ChartRect);
        DrawOutline();
      }
      if (OnRotate) OnRotate(this);
      break;
    }
    case meUp:
      if (!FRotating) return;
      FRotating = false;
      if (Pen()->Visible()) {
        EraseOutline();
        chart->AutoRepaint = FSavedRepaint;
        chart->Invalidate();
      }
      break;
  }
}

// =============================================================================================
// Series animation

VM_PUBLISH(TSeriesAnimationTool) {
  P.Int("DrawEvery", &TSeriesAnimationTool::DrawEvery, &TSeriesAnimationTool::SetDrawEvery).Default(0);
  P.Enum("Loop", &TSeriesAnimationTool::Loop, &TSeriesAnimationTool::SetLoop, SeriesAnimationLoopInfo).Default(salNo);
  P.Float("StartValue", &TSeriesAnimationTool::StartValue, &TSeriesAnimationTool::SetStartValue).Default(0.0);
  P.Int("Steps", &TSeriesAnimationTool::Steps, &TSeriesAnimationTool::SetSteps).Default(100);
  P.Bool("StartAtMin", &TSeriesAnimationTool::StartAtMin, &TSeriesAnimationTool::SetStartAtMin).Default(true);
  P.Event("OnStep", &TSeriesAnimationTool::OnStep);
}

TSeriesAnimationTool::~TSeriesAnimationTool() { FStopped = true; }

void TSeriesAnimationTool::GetDescription(std::string& Text) { Text = MsgToolSeriesAnimation; }

void TSeriesAnimationTool::Refresh() {
  if (TCustomAxisPanel* c = FSeries ? FSeries->ParentChart() : nullptr) {
    c->Invalidate();
    c->Update();
  }
  if (Application) Application->ProcessMessages();
}

bool TSeriesAnimationTool::Pass(bool Forward) {
  TChartValueList* list = FSeries->MandatoryList;
  const int n = list->Count();
  const double s = FStartAtMin ? list->MinValue() : FStartValue;
  const auto restore = [&] {
    for (int i = 0; i < n && i < static_cast<int>(FBackup.size()); ++i) list->SetValue(i, FBackup[i]);
  };
  for (int i = 0; i < n; ++i) list->SetValue(i, s);
  Refresh();
  const int group = FDrawEvery > 0 ? FDrawEvery : std::max(1, n);
  const int steps = std::max(1, FSteps);
  for (int start = 0; start < n; start += group) {
    const int end = std::min(n, start + group);
    for (int d = 0; d <= steps; ++d) {
      if (!FSeries || FSeries->MandatoryList != list) return false;
      const double e = static_cast<double>(d) / steps;
      for (int i = start; i < end; ++i)
        list->SetValue(i,
                       Forward ? e * FBackup[i] + (s - s * e) : (static_cast<double>(steps - d) / steps) * FBackup[i]);
      if (OnStep) OnStep(this, d);
      Refresh();
      if (FStopped) {
        restore();
        Refresh();
        return false;
      }
    }
  }
  restore();
  Refresh();
  return true;
}

void TSeriesAnimationTool::Play() {
  if (!FSeries || FPlaying) return;
  FPlaying = true;
  TChartSeries* series = FSeries;
  TChartValueList* list = series->MandatoryList;
  FBackup.assign(static_cast<size_t>(list->Count()), 0);
  for (int i = 0; i < list->Count(); ++i) FBackup[i] = list->Value(i);
  series->BeginUpdate();
  FStopped = false;
  {
    TScopeExit restore([&] {
      FStopped = true;
      FPlaying = false;
      if (FSeries == series) series->EndUpdate();
    });
    if (FLoop == salNo) {
      Pass(true);
    } else {
      bool forward = true;
      while (!FStopped && FSeries == series) {
        if (!Pass(forward)) break;
        if (FLoop == salCircular) forward = !forward;
      }
    }
  }
  FBackup.clear();
}

// =============================================================================================
// Clip series

VM_DEFINE_CLASS(TClipSeriesTool)

TClipSeriesTool::~TClipSeriesTool() {
  if (FSeries) {
    FSeries->BeforeDrawValues = nullptr;
    FSeries->AfterDrawValues = nullptr;
  }
}

void TClipSeriesTool::GetDescription(std::string& Text) { Text = MsgToolClipSeries; }

void TClipSeriesTool::SetSeries(TChartSeries* Value) {
  if (FSeries && FSeries != Value) {
    FSeries->BeforeDrawValues = nullptr;
    FSeries->AfterDrawValues = nullptr;
  }
  TGraphCustomToolSeries::SetSeries(Value);
  if (FSeries) {
    FSeries->BeforeDrawValues = [this](TObject*) { BeforeDraw(); };
    FSeries->AfterDrawValues = [this](TObject*) { AfterDraw(); };
  }
}

void TClipSeriesTool::BeforeDraw() {
  TCustomAxisPanel* chart = FSeries ? FSeries->ParentChart() : nullptr;
  if (!chart || !chart->CanClip()) return;
  TChartAxis* h = FSeries->GetHorizAxis();
  TChartAxis* v = FSeries->GetVertAxis();
  if (!h || !v) return;
  chart->Canvas->ClipRectangle(TRect(h->StartPixel, v->StartPixel, h->EndPixel, v->EndPixel));
  FClipped = true;
}

void TClipSeriesTool::AfterDraw() {
  if (!FClipped) return;
  FClipped = false;
  if (TCustomAxisPanel* chart = FSeries ? FSeries->ParentChart() : nullptr) chart->Canvas->UnClipRectangle();
}

void TClipSeriesTool::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FSeries && FSeries) {
    FSeries->BeforeDrawValues = nullptr;
    FSeries->AfterDrawValues = nullptr;
  }
  TGraphCustomToolSeries::Notification(AComponent, Operation);
}

// =============================================================================================
// Drag point

VM_PUBLISH(TDragPointTool) {
  P.Enum("DragStyle", &TDragPointTool::DragStyle, &TDragPointTool::SetDragStyle, DragPointStyleInfo).Default(dsBoth);
  P.Event("OnDragPoint", &TDragPointTool::OnDragPoint);
}

void TDragPointTool::GetDescription(std::string& Text) { Text = MsgToolDragPoint; }

double TDragPointTool::AxisValueAt(TChartAxis* Axis, int Pixel) {
  if (Axis->Maximum() == Axis->Minimum()) {
    Axis->SetAutomaticMaximum(false);
    Axis->SetMaximum(Axis->Maximum() + 0.1 * 1e-12);
    Axis->RecalcScales();
  }
  return Axis->PixelToValue(Pixel);
}

void TDragPointTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!FSeries || !chart) return;
  switch (Kind) {
    case meDown:
      FIndex = FSeries->PointIndexAt(X, Y);
      if (FIndex != -1) chart->CancelMouse = true;
      break;
    case meMove:
      if (FIndex == -1 || FIndex >= FSeries->PointCount()) return;
      FSeries->BeginUpdate();
      if (FDragStyle == dsX || FDragStyle == dsBoth)
        FSeries->SetXValueAt(FIndex, AxisValueAt(FSeries->GetHorizAxis(), X));
      if (FDragStyle == dsY || FDragStyle == dsBoth)
        FSeries->SetYValueAt(FIndex, AxisValueAt(FSeries->GetVertAxis(), Y));
      FSeries->EndUpdate();
      if (OnDragPoint) OnDragPoint(this, FIndex);
      break;
    case meUp:
      FIndex = -1;
      break;
  }
}
