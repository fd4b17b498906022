// The chart component: walls, titles and legend in the pipeline, hit tests, clicks, rubber-band
// zoom, scrolling by dragging, the mouse wheel and the saved axis scales.
#include "chart/engine/chart.h"
#include "chart/engine/chart_published.h"

#include <cmath>
#include <cstdlib>

#include "chart/engine/engine_texts.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "platform/canvas.h"

double AnimatedZoomFactor = 3.0;
TShiftState ScrollKeyShift;
bool WheelScrollsAxes = true;

VM_DEFINE_CLASS_EX(TCustomChart, "TCustomChart", PublishCustomChart)
VM_DEFINE_CLASS(TChart)

namespace {

// Starts an opaque wall face given by its four corners: blending over the face's bounds when the
// wall is partly transparent, then the gradient, after which the brush is cleared for the outline.
// Returns the blend to end once the face is drawn (or null).
TGraphBlend* BeginWallFace(TGraphCanvas3D* Canvas, TCustomChartWall* Wall, TQuadPoints& Q) {
  TGraphBlend* blend = nullptr;
  if (Wall->Transparency() > 0) {
    TRect bounds(Q[0].X, Q[0].Y, Q[0].X, Q[0].Y);
    for (const TPoint& p : Q) {
      bounds.Left = std::min(bounds.Left, p.X);
      bounds.Top = std::min(bounds.Top, p.Y);
      bounds.Right = std::max(bounds.Right, p.X);
      bounds.Bottom = std::max(bounds.Bottom, p.Y);
    }
    blend = Canvas->BeginBlending(bounds, Wall->Transparency());
  }
  if (Wall->GradientOrNull() && Wall->GradientOrNull()->Visible()) {
    Wall->GradientOrNull()->DrawQuad(Canvas, Q);
    Canvas->Brush->SetStyle(bsClear);
  }
  return blend;
}

bool ShiftHolds(TShiftState Shift, TShiftState Keys) { return (Shift * Keys) == Keys; }

bool InRect(const TRect& R, int X, int Y) { return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom; }

}  // namespace

TCustomChart::TCustomChart(TComponent* AOwner) : TCustomAxisPanel(AOwner) {
  AutoRepaint = false;
  FTitle = std::make_unique<TChartTitle>(this);
  FScrollMouseButton = mbRight;
  FSubTitle = std::make_unique<TChartTitle>(this);
  FFoot = std::make_unique<TChartFootTitle>(this);
  FSubFoot = std::make_unique<TChartFootTitle>(this);
  FWalls = std::make_unique<TChartWalls>(this);
  FLegend = std::make_unique<TChartLegend>(this);
  ScalesToBeSaved = true;
  AutoRepaint = true;
}

TCustomChart::~TCustomChart() {
  SavedScales.clear();
  AutoRepaint = false;
  FSubTitle.reset();
  FTitle.reset();
  FSubFoot.reset();
  FFoot.reset();
  FWalls.reset();
  FLegend.reset();
}

void TCustomChart::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TCustomChart*>(Source)) {
    ColorPaletteIndex = c->ColorPaletteIndex;
    FFoot->Assign(c->FFoot.get());
    FLegend->Assign(c->FLegend.get());
    FScrollMouseButton = c->FScrollMouseButton;
    FSubFoot->Assign(c->FSubFoot.get());
    FSubTitle->Assign(c->FSubTitle.get());
    FTitle->Assign(c->FTitle.get());
    FWalls->Assign(c->FWalls.get());
  }
  TCustomAxisPanel::Assign(Source);
}

void TCustomChart::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  TCustomAxisPanel::GetChildren(Proc, Root);
  for (int i = 0; i < Tools->Count(); ++i) Proc(Tools->ToolAt(i));
}

TColor TCustomChart::GetBackColor() { return BackWall()->Transparent() ? Color() : BackWall()->Color(); }

int32_t TCustomChart::WallSizeForAxis(TChartAxis* Axis) {
  if (!View3D() || !View3DWalls()) return 0;
  TCustomChartWall* w = Axis == LeftAxis()     ? static_cast<TCustomChartWall*>(LeftWall())
                        : Axis == BottomAxis() ? static_cast<TCustomChartWall*>(BottomWall())
                        : Axis == RightAxis()  ? static_cast<TCustomChartWall*>(RightWall())
                                               : static_cast<TCustomChartWall*>(BackWall());
  return w->Visible() ? w->Size() : 0;
}

void TCustomChart::Prepare3DChartRect() {
  CalcDepthSizes();
  if (View3D() && View3DOptions()->Orthogonal()) {
    const int32_t s = AxesInUse() ? BackWall()->Size() : 0;
    if (View3DOptions()->OrthoAngle() <= 90) {
      ChartRect.Right -= std::abs(Width3D) + s;
      if (RightWall()->Visible()) ChartRect.Right -= RightWall()->Size() + 1;
    } else {
      ChartRect.Left += std::abs(Width3D) + s;
      if (LeftWall()->Visible()) ChartRect.Left += LeftWall()->Size() + 1;
    }
    ChartRect.Top += std::abs(Height3D) + s;
  }
  CalcChartRectSize();
}

void TCustomChart::DrawTitlesOf(bool CustomPositioned) {
  for (TChartTitle* t : {FTitle.get(), FSubTitle.get(), FFoot.get(), FSubFoot.get()})
    if (t->CustomPosition() == CustomPositioned) t->DrawTitle();
}

void TCustomChart::RenderTitlesAndLegend(bool BeforeSeries) {
  Canvas->Begin2D();
  if (BeforeSeries) {
    if (FLegend->CustomPosition() || !FLegend->ShouldDraw()) {
      DrawTitlesOf(false);
    } else if (FLegend->IsVertical()) {
      FLegend->DrawLegend();
      DrawTitlesOf(false);
    } else {
      DrawTitlesOf(false);
      FLegend->DrawLegend();
    }
  } else {
    if (FLegend->CustomPosition() && FLegend->ShouldDraw()) FLegend->DrawLegend();
    DrawTitlesOf(true);
  }
  Canvas->End2D();
  if (!BeforeSeries && View3D() && AxesInUse()) DrawFrontPass();
}

void TCustomChart::DrawLegendSymbolRect(const TRect& Rect) {
  TGraphGradient* g = FLegend->Symbol->Gradient();
  if (g && g->Visible())
    FLegend->Symbol->DrawSymbol(Canvas->Brush->Color(), Rect);
  else
    TCustomAxisPanel::DrawLegendSymbolRect(Rect);
}

void TCustomChart::GetSeriesLegendText(TChartSeries* Series, int32_t ValueIndex, std::string& Text) {
  Text.clear();
  if (!Series) return;
  TCustomChartLegend* legend = Series->ActiveLegend ? Series->ActiveLegend : FLegend.get();
  SeriesValueLegendText(legend, Series, ValueIndex, Text);
}

bool TCustomChart::IsColorUnused(TColor AColor, bool CheckBackground, TChartSeries* IgnoreSeries) {
  for (int i = 0; i < CountSeries(); ++i) {
    TChartSeries* s = SeriesAt(i);
    if (s != IgnoreSeries && s->SeriesColor() == AColor) return false;
  }
  if (CheckBackground && (AColor == Color() || AColor == BackWall()->Color())) return false;
  return true;
}

void TCustomChart::LegendItemText(TCustomChartLegend* ALegend, int32_t Index, std::string& Text) {
  ALegend->GetLegendText(Index, Text);
  if (OnGetLegendText) OnGetLegendText(this, ALegend->EffectiveStyle, Index, Text);
}

std::string TCustomChart::GetAxisDisplayName(TChartAxis* Axis) {
  if (!Axis->Title()->Caption().empty()) return Axis->Title()->Caption();
  if (Axis == DepthAxis()) return MsgPartDepthRight;
  if (Axis == DepthTopAxis()) return MsgPartDepthTop;
  if (Axis->Horizontal()) return Axis->OtherSide() ? MsgPartTopAxis : MsgPartBottomAxis;
  return Axis->OtherSide() ? MsgPartRightAxis : MsgPartLeftAxis;
}

TChartSeries* FindFirstActiveSeries(TCustomAxisPanel* Chart) {
  for (int i = 0; i < Chart->CountSeries(); ++i)
    if (Chart->SeriesAt(i)->Active()) return Chart->SeriesAt(i);
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Walls.

bool TCustomChart::ShouldDrawInFront(TCustomChartWall* Wall) {
  return View3DWalls() && Wall->Visible() && !Wall->AutoHide();
}

bool TCustomChart::DarkSidesFor(TCustomChartWall* Wall) {
  return Wall->Brush()->Style() != bsClear && !Wall->Brush()->ImageOrNull() && Wall->Dark3D();
}

void TCustomChart::PrepareWallPenBrush(TCustomChartWall* Wall) {
  Canvas->AssignVisiblePen(Wall->Pen());
  if (Wall->Transparent()) {
    Canvas->Brush->SetStyle(bsClear);
  } else {
    TColor c = Wall->Color();
    if (c == clDefault) c = Color();
    SetBrushCanvas(c, Wall->Brush(), Wall->Brush()->Color());
  }
}

bool TCustomChart::IsSideWallFacing(int32_t X) {
  const int32_t b = ChartRect.Bottom + WallSizeForAxis(BottomAxis());
  const TPoint p0 = Canvas->Calculate3DPosition(X, ChartRect.Top, 0);
  const TPoint p1 = Canvas->Calculate3DPosition(X, b, 0);
  const TPoint p2 = Canvas->Calculate3DPosition(X, b, BackWall()->Size() + Width3D);
  const int64_t cross = int64_t(p1.X - p0.X) * (p2.Y - p1.Y) - int64_t(p1.Y - p0.Y) * (p2.X - p1.X);
  return cross > 0;
}

bool TCustomChart::IsRightWallBackFacing() { return !IsSideWallFacing(ChartRect.Right); }
bool TCustomChart::IsLeftWallBackFacing() { return IsSideWallFacing(ChartRect.Left); }

void TCustomChart::DrawSideWall(TCustomChartWall* Wall, int32_t X, bool Right) {
  PrepareWallPenBrush(Wall);
  const int32_t b = ChartRect.Bottom + WallSizeForAxis(BottomAxis());
  TGraphBlend* blend = nullptr;
  if (!Wall->Transparent()) {
    TQuadPoints q{Canvas->Calculate3DPosition(X, ChartRect.Top, 0),
                  Canvas->Calculate3DPosition(X, ChartRect.Top, Width3D), Canvas->Calculate3DPosition(X, b, Width3D),
                  Canvas->Calculate3DPosition(X, b, 0)};
    blend = BeginWallFace(Canvas, Wall, q);
  }
  if (Wall->Size() >= 1) {
    if (Right) {
      const int32_t z1 = Width3D + (BackWall()->Visible() ? BackWall()->Size() : 0);
      Canvas->Cube(X, X + Wall->Size(), ChartRect.Top, b, 0, z1, DarkSidesFor(Wall));
    } else {
      Canvas->Cube(X - Wall->Size(), X, ChartRect.Top, b, 0, Width3D, DarkSidesFor(Wall));
    }
  } else {
    Canvas->RectangleAtX(X, ChartRect.Top, b, 0, Right ? Width3D + 1 : Width3D);
  }
  if (blend) Canvas->EndBlending(blend);
}

void TCustomChart::DrawRightWall() {
  if (!RightWall()->Visible() || !AxesInUse() || !View3D() || !View3DWalls()) return;
  DrawSideWall(RightWall(), ChartRect.Right, true);
}

void TCustomChart::DrawLeftWall() {
  if (!View3D() || !View3DWalls()) return;
  DrawSideWall(LeftWall(), ChartRect.Left, false);
}

void TCustomChart::DrawBackWall() {
  TChartBackWall* w = BackWall();
  PrepareWallPenBrush(w);
  TGraphBlend* blend = nullptr;
  const bool gradient = !w->Transparent() && w->GradientOrNull() && w->GradientOrNull()->Visible();
  if (!View3D()) {
    TRect r(ChartRect.Left, ChartRect.Top, ChartRect.Right + 1, ChartRect.Bottom + 1);
    if (w->Transparency() > 0) blend = Canvas->BeginBlending(Canvas->ProjectRect(r, 0), w->Transparency());
    if (gradient) {
      w->GradientOrNull()->Draw(Canvas, r);
      Canvas->Brush->SetStyle(bsClear);
    }
    Canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
  } else if (View3DWalls()) {
    TRect r = ChartRect;
    if (w->Size() != 0)
      r = TRect(ChartRect.Left - WallSizeForAxis(LeftAxis()), ChartRect.Top, ChartRect.Right,
                ChartRect.Bottom + WallSizeForAxis(BottomAxis()));
    if (w->Transparency() > 0) blend = Canvas->BeginBlending(Canvas->ProjectedBounds(r, Width3D), w->Transparency());
    if (gradient) {
      if (View3DOptions()->Orthogonal()) {
        const TPoint a = Canvas->Calculate3DPosition(r.Left, r.Top, Width3D);
        const TPoint b = Canvas->Calculate3DPosition(r.Right, r.Bottom, Width3D);
        w->GradientOrNull()->Draw(Canvas, TRect(a.X, a.Y, b.X, b.Y));
      } else {
        TQuadPoints q = Canvas->ProjectRectCorners(r, Width3D);
        w->GradientOrNull()->DrawQuad(Canvas, q);
      }
      Canvas->Brush->SetStyle(bsClear);
    }
    if (w->Size() == 0)
      Canvas->RectangleWithZ(r, Width3D);
    else
      Canvas->CubeFromRect(r, Width3D, Width3D < 0 ? Width3D - w->Size() : Width3D + w->Size(), DarkSidesFor(w));
  }
  if (BackImageInside()) {
    TRect r = ChartRect;
    if (w->Pen()->Visible()) {
      ++r.Left;
      ++r.Top;
    }
    DrawBackImage(r, Width3D);
  }
  if (blend) Canvas->EndBlending(blend);
}

void TCustomChart::DrawBottomWall() {
  TChartWall* w = BottomWall();
  PrepareWallPenBrush(w);
  const int32_t b = ChartRect.Bottom;
  int32_t l = ChartRect.Left;
  if (LeftWall()->Visible() && LeftWall()->AutoHide() && IsLeftWallBackFacing()) l -= WallSizeForAxis(LeftAxis());
  TGraphBlend* blend = nullptr;
  if (!w->Transparent()) {
    TQuadPoints q{Canvas->Calculate3DPosition(l, b, 0), Canvas->Calculate3DPosition(l, b, Width3D),
                  Canvas->Calculate3DPosition(ChartRect.Right, b, Width3D),
                  Canvas->Calculate3DPosition(ChartRect.Right, b, 0)};
    blend = BeginWallFace(Canvas, w, q);
  }
  if (w->Size() == 0)
    Canvas->RectangleAtY(l, b, ChartRect.Right, 0, Width3D);
  else
    Canvas->Cube(l, ChartRect.Right, b, b + w->Size(), 0, Width3D, DarkSidesFor(w));
  if (blend) Canvas->EndBlending(blend);
}

void TCustomChart::RenderWalls() {
  if (!AxesInUse()) return;
  const bool walls3D = View3D() && View3DWalls();
  if (walls3D && RightWall()->Visible() && !IsRightWallBackFacing()) DrawRightWall();
  if (View3DWalls() && BackWall()->Visible() && !(View3D() && IsPlaneMirroredAt(Width3D))) DrawBackWall();
  if (walls3D) {
    if (LeftWall()->Visible() && !IsLeftWallBackFacing()) DrawLeftWall();
    if (BottomWall()->Visible()) DrawBottomWall();
  }
  if (View3D() && IsPlaneMirroredAt(0)) {
    for (TChartAxis* a : {TopAxis(), BottomAxis()})
      if (a->IsVisibleInPass) a->Draw(true);
  }
}

void TCustomChart::DrawFrontPass() {
  if (IsRightWallBackFacing()) {
    if (ShouldDrawInFront(RightWall())) DrawRightWall();
    if (RightAxis()->IsVisibleInPass) {
      RightAxis()->SkipBackGridLines = true;
      RightAxis()->Draw(false);
      RightAxis()->SkipBackGridLines = false;
    }
  }
  if (IsLeftWallBackFacing()) {
    if (ShouldDrawInFront(LeftWall())) DrawLeftWall();
    if (LeftAxis()->IsVisibleInPass) {
      LeftAxis()->SkipBackGridLines = true;
      LeftAxis()->Draw(false);
      LeftAxis()->SkipBackGridLines = false;
    }
  }
  if (IsPlaneMirroredAt(Width3D)) {
    for (TChartAxis* a : {TopAxis(), BottomAxis()})
      if (a->IsVisibleInPass) {
        a->SkipDepthGridLines = true;
        a->DrawGrids();
        a->SkipDepthGridLines = false;
      }
    if (ShouldDrawInFront(BackWall())) DrawBackWall();
  }
}

// ---------------------------------------------------------------------------------------------
// Hit test.

void CalcChartPartAt(TCustomChart* Chart, const TPoint& Point, bool ClickableOnly, TChartPartHit& Part) {
  Part = TChartPartHit{};
  const int x = Point.X, y = Point.Y;
  TChartLegend* legend = Chart->Legend();
  if (legend->Visible() && legend->CustomPosition()) {
    const int32_t i = legend->Clicked(x, y);
    if (i != -1) {
      Part.Kind = cpLegend;
      Part.ValueIndex = i;
      return;
    }
  }
  for (int k = Chart->CountSeries() - 1; k >= 0; --k) {
    TChartSeries* s = Chart->SeriesAt(k);
    if (!s->Active()) continue;
    if (ClickableOnly && !s->OnClick && !s->OnDblClick && !Chart->OnClickSeries) continue;
    const int32_t p = s->PointIndexAt(x, y);
    if (p != -1) {
      Part.Kind = cpSeries;
      Part.ValueIndex = p;
      Part.Series = s;
      return;
    }
    if (s->Marks() && s->Marks()->Visible()) {
      const int32_t m = s->Marks()->MarkIndexAt(x, y);
      if (m != -1) {
        Part.Kind = cpSeriesMarks;
        Part.ValueIndex = m;
        Part.Series = s;
        return;
      }
    }
  }
  for (int i = 0; i < Chart->AxisCount(); ++i) {
    TChartAxis* a = Chart->AxisAt(i);
    if (a->IsPointOnAxis(x, y)) {
      Part.Kind = cpAxis;
      Part.Axis = a;
      return;
    }
  }
  if (legend->Visible() && !legend->CustomPosition()) {
    const int32_t i = legend->Clicked(x, y);
    if (i != -1) {
      Part.Kind = cpLegend;
      Part.ValueIndex = i;
      return;
    }
  }
  const std::pair<TChartTitle*, TChartPartKind> titles[] = {{Chart->Title(), cpTitle},
                                                            {Chart->SubTitle(), cpSubTitle},
                                                            {Chart->Foot(), cpFoot},
                                                            {Chart->SubFoot(), cpSubFoot}};
  for (const auto& [t, kind] : titles)
    if (t->Clicked(x, y)) {
      Part.Kind = kind;
      return;
    }
  if (InRect(Chart->ChartRect, x, y) && Chart->NumberOfActiveSeries() > 0) Part.Kind = cpChartRect;
}

void GetChartPartAt(TCustomChart* Chart, const TPoint& Point, TChartPartHit& Part) {
  CalcChartPartAt(Chart, Point, false, Part);
}

// ---------------------------------------------------------------------------------------------
// Mouse.

void TCustomChart::BroadcastToolsMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                       int Y) {
  for (int i = 0; i < Tools->Count(); ++i) {
    TGraphCustomTool* t = Tools->ToolAt(i);
    if (!t->Active()) continue;
    t->HandleChartMouse(Kind, Button, Shift, X, Y);
    if (CancelMouse) break;
  }
}

void TCustomChart::StartZoomOrScroll(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!AxesInUse()) return;
  bool started = false;
  TGraphZoom* z = Zoom();
  if (z->Allow() && Button == z->MouseButton() && ShiftHolds(Shift, z->KeyShift())) {
    if (z->Direction() == tzdVertical) X = ChartRect.Left;
    if (z->Direction() == tzdHorizontal) Y = ChartRect.Top;
    z->Activate(X, Y);
    if (z->Direction() == tzdVertical) z->X1 = ChartRect.Right;
    if (z->Direction() == tzdHorizontal) z->Y1 = ChartRect.Bottom;
    DrawZoomRectangle();
    started = true;
  }
  if (AllowPanning() != pmNone && Button == FScrollMouseButton && ShiftHolds(Shift, ScrollKeyShift)) {
    Panning->Activate(X, Y);
    started = true;
  }
  if (started) SetCursor(OriginalCursor);
}

void TCustomChart::ClickBackground(TMouseButton Button, TShiftState Shift, int X, int Y, bool& Handled) {
  if (OnClickBackground) {
    CancelMouse = true;
    OnClickBackground(this, Button, Shift, X, Y);
    Handled = CancelMouse;
  }
}

void TCustomChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomAxisPanel::MouseDown(Button, Shift, X, Y);
  if (CancelMouse || Zoom()->Active || Panning->Active) return;
  CancelMouse = false;
  BroadcastToolsMouse(meDown, Button, Shift, X, Y);
  if (CancelMouse) return;
  TChartPartHit part;
  CalcChartPartAt(this, TPoint(X, Y), true, part);
  bool handled = false;
  switch (part.Kind) {
    case cpLegend:
      handled = FLegend->CheckBoxClicked(part.ValueIndex);
      if (OnClickLegend) {
        CancelMouse = true;
        OnClickLegend(this, Button, Shift, X, Y);
        handled = CancelMouse;
      }
      break;
    case cpAxis:
      if (OnClickAxis) {
        CancelMouse = true;
        OnClickAxis(this, part.Axis, Button, Shift, X, Y);
        handled = CancelMouse;
      }
      if (!handled) StartZoomOrScroll(Button, Shift, X, Y);
      break;
    case cpSeries: {
      CancelMouse = false;
      TChartSeries* s = part.Series;
      if (Shift.Contains(ssDouble)) {
        if (s->OnDblClick) s->OnDblClick(s, part.ValueIndex, Button, Shift, X, Y);
      } else if (s->OnClick) {
        s->OnClick(s, part.ValueIndex, Button, Shift, X, Y);
      }
      handled = CancelMouse;
      if (OnClickSeries) {
        CancelMouse = true;
        OnClickSeries(this, s, part.ValueIndex, Button, Shift, X, Y);
        handled = CancelMouse;
      }
      if (!handled) StartZoomOrScroll(Button, Shift, X, Y);
      break;
    }
    case cpTitle:
    case cpFoot:
    case cpSubTitle:
    case cpSubFoot: {
      TChartTitle* t = part.Kind == cpTitle      ? FTitle.get()
                       : part.Kind == cpSubTitle ? FSubTitle.get()
                       : part.Kind == cpFoot     ? FFoot.get()
                                                 : FSubFoot.get();
      if (OnClickTitle) {
        CancelMouse = true;
        OnClickTitle(this, t, Button, Shift, X, Y);
        handled = CancelMouse;
      }
      if (!handled) StartZoomOrScroll(Button, Shift, X, Y);
      break;
    }
    case cpChartRect:
      ClickBackground(Button, Shift, X, Y, handled);
      if (!handled) StartZoomOrScroll(Button, Shift, X, Y);
      break;
    default:
      break;
  }
  if (!handled && part.Kind != cpChartRect) ClickBackground(Button, Shift, X, Y, handled);
  CancelMouse = false;
}

void TCustomChart::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomAxisPanel::MouseMove(Shift, X, Y);
  if (CancelMouse) return;
  BroadcastToolsMouse(meMove, mbLeft, Shift, X, Y);
  if (CancelMouse) return;
  TGraphZoom* z = Zoom();
  if (z->Active) {
    if (z->Direction() == tzdVertical) X = ChartRect.Right;
    if (z->Direction() == tzdHorizontal) Y = ChartRect.Bottom;
    if (X != z->X1 || Y != z->Y1) {
      DrawZoomRectangle();
      z->X1 = X;
      z->Y1 = Y;
      DrawZoomRectangle();
    }
  } else if (Panning->Active) {
    if (!InRect(ChartRect, X, Y)) {
      Panning->Active = false;
      return;
    }
    if (X != Panning->X1 || Y != Panning->Y1) {
      if (ScalesToBeSaved) {
        SaveAxisScales();
        ScalesToBeSaved = false;
      }
      bool done = false;
      ScrollAxes(true, X, Panning->X1, done);
      ScrollAxes(false, Y, Panning->Y1, done);
      Panning->X1 = X;
      Panning->Y1 = Y;
      if (done) {
        if (OnScroll) OnScroll(this);
        Invalidate();
      }
    }
  } else if (!CheckMouseOverSeries(X, Y)) {
    SetCursor(OriginalCursor);
  }
}

void TCustomChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  CancelMouse = false;
  TCustomAxisPanel::MouseUp(Button, Shift, X, Y);
  TGraphZoom* z = Zoom();
  if (z->Active && Button == z->MouseButton()) {
    z->Active = false;
    DrawZoomRectangle();
    Canvas->Pen->SetMode(pmCopy);
    if (z->Direction() != tzdVertical) z->X1 = X;
    if (z->Direction() != tzdHorizontal) z->Y1 = Y;
    const bool bigX = z->Direction() == tzdVertical || std::abs(z->X1 - z->X0) > z->MinimumPixels();
    const bool bigY = z->Direction() == tzdHorizontal || std::abs(z->Y1 - z->Y0) > z->MinimumPixels();
    if (bigX && bigY) {
      if (z->UpLeftZooms() || (z->Direction() == tzdVertical && z->Y1 > z->Y0) ||
          (z->Direction() != tzdVertical && z->X1 > z->X0))
        ApplyZoomRect();
      else
        UndoZoom();
      Invalidate();
    }
  }
  Panning->Active = false;
  BroadcastToolsMouse(meUp, Button, Shift, X, Y);
}

void TCustomChart::ScrollAxis(TChartAxis* Axis, int Last, int New) {
  const double delta = Axis->PixelToValue(Last) - Axis->PixelToValue(New);
  double aMin = Axis->Minimum() + delta, aMax = Axis->Maximum() + delta;
  bool allow = true;
  if (OnAllowScroll) OnAllowScroll(Axis, aMin, aMax, allow);
  if (allow) Axis->SetMinimumMaximum(aMin, aMax);
}

void TCustomChart::ScrollAxes(bool Horizontal, int New, int Last, bool& Done) {
  if (New == Last) return;
  const TPanningMode m = AllowPanning();
  if (Horizontal ? !(m == pmHorizontal || m == pmBoth) : !(m == pmVertical || m == pmBoth)) return;
  for (int i = 0; i < AxisCount(); ++i) {
    TChartAxis* a = AxisAt(i);
    if (!a->IsDepthAxis && a->Horizontal() == Horizontal) ScrollAxis(a, Last, New);
  }
  Done = true;
}

void TCustomChart::SaveAxisScales() {
  SavedScales.assign(AxisCount(), TAxisSavedScales{});
  for (int i = 0; i < AxisCount(); ++i) {
    TChartAxis* a = AxisAt(i);
    if (a->IsDepthAxis) continue;
    SavedScales[i] = {a->Automatic(), a->AutomaticMinimum(), a->AutomaticMaximum(), a->Minimum(), a->Maximum()};
  }
}

void TCustomChart::FillSeriesSourceFields(TChartSeries*, const TNameProc&) {}

void TCustomChart::FillValueSourceNames(TChartValueList* ValueList, const TNameProc& Proc) {
  if (!ValueList || !ValueList->OwnerSeries || !Proc) return;
  auto* source = dynamic_cast<TChartSeries*>(ValueList->OwnerSeries->DataSource());
  if (!source) return;
  for (int i = 0; i < source->ValueLists.Count(); ++i) Proc(source->ValueLists.GetValueList(i)->Name());
}

void TCustomChart::ApplyZoomRect() {
  TGraphZoom* z = Zoom();
  z->NormalizeCorners();
  ZoomToValues(TopAxis()->PixelToValue(z->X0), TopAxis()->PixelToValue(z->X1), BottomAxis()->PixelToValue(z->X0),
               BottomAxis()->PixelToValue(z->X1), LeftAxis()->PixelToValue(z->Y1), LeftAxis()->PixelToValue(z->Y0),
               RightAxis()->PixelToValue(z->Y1), RightAxis()->PixelToValue(z->Y0));
}

void TCustomChart::ZoomToValues(double TopMin, double TopMax, double BottomMin, double BottomMax, double LeftMin,
                                double LeftMax, double RightMin, double RightMax) {
  if (ScalesToBeSaved) {
    SaveAxisScales();
    ScalesToBeSaved = false;
  }
  struct Target {
    TChartAxis* Axis;
    double Min, Max;
  };
  const Target targets[] = {{LeftAxis(), LeftMin, LeftMax},
                            {RightAxis(), RightMin, RightMax},
                            {TopAxis(), TopMin, TopMax},
                            {BottomAxis(), BottomMin, BottomMax}};
  if (Zoom()->Animated()) {
    for (int frame = 1; frame < Zoom()->AnimatedSteps(); ++frame) {
      for (const Target& t : targets) {
        const double lo = t.Axis->Minimum() + (t.Min - t.Axis->Minimum()) / AnimatedZoomFactor;
        const double hi = t.Axis->Maximum() - (t.Axis->Maximum() - t.Max) / AnimatedZoomFactor;
        t.Axis->SetMinimumMaximum(lo, hi);
      }
      Repaint();
    }
  }
  for (const Target& t : targets) t.Axis->SetMinimumMaximum(t.Min, t.Max);
  Zoomed = true;
  if (OnZoom) OnZoom(this);
}

void TCustomChart::UndoZoom() {
  if (!ScalesToBeSaved && !SavedScales.empty()) {
    for (int i = 0; i < AxisCount() && i < static_cast<int>(SavedScales.size()); ++i) {
      TChartAxis* a = AxisAt(i);
      if (a->IsDepthAxis) continue;
      const TAxisSavedScales& s = SavedScales[i];
      a->SetAutomatic(s.Automatic);
      a->SetAutomaticMinimum(s.AutomaticMinimum);
      a->SetAutomaticMaximum(s.AutomaticMaximum);
      a->InternalSetRange(s.Minimum, s.Maximum);
    }
    SavedScales.clear();
    ScalesToBeSaved = true;
  }
  TCustomAxisPanel::UndoZoom();
}

bool TCustomChart::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  const bool r = TCustomAxisPanel::DoMouseWheelDown(Shift, MousePos);
  if (WheelScrollsAxes)
    for (int i = 0; i < AxisCount(); ++i) {
      TChartAxis* a = AxisAt(i);
      if (!a->Horizontal()) a->ShiftRange((a->Maximum() - a->Minimum()) * 3 * 0.01, false);
    }
  return r;
}

bool TCustomChart::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  const bool r = TCustomAxisPanel::DoMouseWheelUp(Shift, MousePos);
  if (WheelScrollsAxes)
    for (int i = 0; i < AxisCount(); ++i) {
      TChartAxis* a = AxisAt(i);
      if (!a->Horizontal()) a->ShiftRange(-(a->Maximum() - a->Minimum()) * 3 * 0.01, false);
    }
  return r;
}
