#include "chart/series/tools_annotation.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/engine_texts.h"
#include "chart/engine/legend.h"
#include "platform/stdctrls.h"

const TEnumInfo AnnotationPositionInfo("TAnnotationPosition",
                                       {"ppLeftTop", "ppLeftBottom", "ppRightTop", "ppRightBottom"});

// =============================================================================================
// Callout

VM_PUBLISH(TAnnotationCallout) {
  P.Int("XPosition", &TAnnotationCallout::XPosition, &TAnnotationCallout::SetXPosition).Default(0);
  P.Int("YPosition", &TAnnotationCallout::YPosition, &TAnnotationCallout::SetYPosition).Default(0);
  P.Int("ZPosition", &TAnnotationCallout::ZPosition, &TAnnotationCallout::SetZPosition).Default(0);
}

TAnnotationCallout::TAnnotationCallout(TChartSeries* AOwner) : TCallout(AOwner) {
  Arrow()->Hide();
  Hide();
}

void TAnnotationCallout::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TAnnotationCallout*>(Source)) {
    FXPosition = s->FXPosition;
    FYPosition = s->FYPosition;
    FZPosition = s->FZPosition;
  }
  TCallout::Assign(Source);
}

namespace {
void StoreAndNotify(TAnnotationCallout* C, int32_t& Field, int32_t Value) {
  if (Field == Value) return;
  Field = Value;
  if (C->OnChanged) C->OnChanged(C);
}
}  // namespace

void TAnnotationCallout::SetXPosition(int32_t Value) { StoreAndNotify(this, FXPosition, Value); }
void TAnnotationCallout::SetYPosition(int32_t Value) { StoreAndNotify(this, FYPosition, Value); }
void TAnnotationCallout::SetZPosition(int32_t Value) { StoreAndNotify(this, FZPosition, Value); }

VM_DEFINE_CLASS(TGraphShapePosition)

// =============================================================================================
// Annotation

VM_PUBLISH(TAnnotationTool) {
  P.Bool("AutoSize", &TAnnotationTool::AutoSize, &TAnnotationTool::SetAutoSize).Default(true);
  P.Object("Callout", &TAnnotationTool::Callout, &TAnnotationTool::SetCallout);
  P.Int("Cursor", &TAnnotationTool::Cursor, &TAnnotationTool::SetCursor).Default(crDefault);
  P.Int("Height", &TAnnotationTool::Height, &TAnnotationTool::SetHeight).Stored([](TObject* o) {
    return !static_cast<TAnnotationTool*>(o)->AutoSize();
  });
  P.Int("Left", &TAnnotationTool::Left, &TAnnotationTool::SetLeft).Stored([](TObject* o) {
    return static_cast<TAnnotationTool*>(o)->Shape()->CustomPosition();
  });
  P.Enum("Position", &TAnnotationTool::Position, &TAnnotationTool::SetPosition, AnnotationPositionInfo)
      .Default(ppLeftTop);
  P.Enum("PositionUnits", &TAnnotationTool::PositionUnits, &TAnnotationTool::SetPositionUnits, GraphUnitsInfo)
      .Default(muPixels);
  P.Object("Shape", &TAnnotationTool::Shape, &TAnnotationTool::SetShape);
  P.String("Text", &TAnnotationTool::Text, &TAnnotationTool::SetText);
  P.Enum("TextAlignment", &TAnnotationTool::TextAlignment, &TAnnotationTool::SetTextAlignment, AlignmentInfo)
      .Default(taLeftJustify);
  P.Int("Top", &TAnnotationTool::Top, &TAnnotationTool::SetTop).Stored([](TObject* o) {
    return static_cast<TAnnotationTool*>(o)->Shape()->CustomPosition();
  });
  P.Int("Width", &TAnnotationTool::Width, &TAnnotationTool::SetWidth).Stored([](TObject* o) {
    return !static_cast<TAnnotationTool*>(o)->AutoSize();
  });
  P.Event("OnClick", &TAnnotationTool::OnClick);
}

TAnnotationTool::TAnnotationTool(TComponent* AOwner) : TGraphCustomTool(AOwner) {
  FShape = std::make_unique<TGraphShapePosition>(nullptr);
  FCallout = std::make_unique<TAnnotationCallout>(nullptr);
  FCallout->OnChanged = [this](TObject*) { Repaint(); };
}

TAnnotationTool::~TAnnotationTool() {
  if (FParentChart) TGraphCustomTool::SetParentChart(nullptr);
}

void TAnnotationTool::GetDescription(std::string& Text) { Text = MsgToolAnnotation; }

void TAnnotationTool::SetParentChart(TCustomAxisPanel* Value) {
  TGraphCustomTool::SetParentChart(Value);
  if (ComponentState().Contains(csDestroying)) return;
  FShape->SetParentChart(Value);
  FCallout->SetParentChart(Value);
  if (Value) Value->Invalidate();
}

void TAnnotationTool::SetText(const std::string& Value) { SetStringProperty(FText, Value); }

void TAnnotationTool::SetTextAlignment(TAlignment Value) {
  if (FTextAlignment == Value) return;
  FTextAlignment = Value;
  Repaint();
}

void TAnnotationTool::SetPositionUnits(TGraphUnits Value) {
  if (FPositionUnits == Value) return;
  FPositionUnits = Value;
  Repaint();
}

void TAnnotationTool::SetAutoSize(bool Value) { SetBooleanProperty(FAutoSize, Value); }

void TAnnotationTool::SetPosition(TAnnotationPosition Value) {
  FPosition = Value;
  FShape->SetCustomPosition(false);
  Repaint();
}

void TAnnotationTool::SetWidth(int32_t Value) {
  if (Value == FShape->Width()) return;
  FAutoSize = false;
  FShape->SetWidth(Value);
  Repaint();
}

void TAnnotationTool::SetHeight(int32_t Value) {
  if (Value == FShape->Height()) return;
  FAutoSize = false;
  FShape->SetHeight(Value);
  Repaint();
}

void TAnnotationTool::SetLeft(int32_t Value) {
  const int32_t w = FShape->Width();
  FShape->SetLeft(Value);
  FShape->SetWidth(w);
  Repaint();
}

void TAnnotationTool::SetTop(int32_t Value) {
  const int32_t h = FShape->Height();
  FShape->SetTop(Value);
  FShape->SetHeight(h);
  Repaint();
}

namespace {
std::vector<std::string> TextLines(const std::string& T) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t p = T.find('\r', start);
    lines.push_back(T.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) break;
    start = p + 1;
    if (start < T.size() && T[start] == '\n') ++start;
  }
  return lines;
}
}  // namespace

int TAnnotationTool::CalcBox(int& X, int& Y, TRect& Box) {
  TCustomAxisPanel* chart = FParentChart;
  std::string t = GetText();
  if (t.empty()) t = " ";
  const std::vector<std::string> lines = TextLines(t);
  const int n = static_cast<int>(lines.size());
  TGraphCanvas3D* c = chart->Canvas;
  c->AssignFont(FShape->Font());
  int w = 0, h = 0;
  const bool custom = FShape->CustomPosition();
  if (!custom || FAutoSize) {
    const int lh = c->FontHeight();
    for (const std::string& l : lines) w = std::max(w, c->TextWidth(l));
    h = n * lh;
  }
  if (!custom) {
    const int freeW = chart->Width() - w - 8, freeH = chart->Height() - h - 8;
    switch (FPosition) {
      case ppLeftTop:
        X = 10;
        Y = 10;
        break;
      case ppLeftBottom:
        X = 10;
        Y = freeH;
        break;
      case ppRightTop:
        X = freeW;
        Y = 10;
        break;
      case ppRightBottom:
        X = freeW;
        Y = freeH;
        break;
    }
  } else if (FPositionUnits == muPixels) {
    X = FShape->Left() + 4;
    Y = FShape->Top() + 2;
  } else {
    X = static_cast<int>(std::nearbyint(FShape->Left() * chart->Width() * 0.01));
    Y = static_cast<int>(std::nearbyint(FShape->Top() * chart->Height() * 0.01));
  }
  const int bw = FAutoSize ? w + 6 : FShape->Width();
  const int bh = FAutoSize ? h + 4 : FShape->Height();
  Box = TRect(X - 4, Y - 2, X + bw - 4, Y + bh - 2);
  return n;
}

bool TAnnotationTool::ContainsPoint(int X, int Y) {
  if (!FParentChart) return false;
  int x, y;
  TRect box;
  CalcBox(x, y, box);
  return X >= box.Left && X <= box.Right && Y >= box.Top && Y <= box.Bottom;
}

void TAnnotationTool::PaintAnnotation() {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart) return;
  const TRect saved = FShape->BoxRect;
  int x, y;
  TRect box;
  const int n = CalcBox(x, y, box);
  FShape->BoxRect = box;
  if (FShape->Visible()) FShape->Draw();
  TGraphCanvas3D* c = chart->Canvas;
  c->AssignFont(FShape->Font());
  const int lh = c->FontHeight();
  c->SetBackMode(cbmTransparent);
  int tx = x;
  if (FTextAlignment == taCenter) {
    tx = (box.Left + box.Right) / 2 + 2;
    c->SetTextAlign(6);
  } else if (FTextAlignment == taRightJustify) {
    tx = box.Right - 2;
    c->SetTextAlign(2);
  } else {
    c->SetTextAlign(0);
  }
  std::string t = GetText();
  if (t.empty()) t = " ";
  const std::vector<std::string> lines = TextLines(t);
  for (int i = 0; i < n; ++i) c->TextOut(tx, y + i * lh, lines[static_cast<size_t>(i)]);
  c->SetTextAlign(0);
  if (FCallout->Visible() || FCallout->Arrow()->Visible()) {
    TPoint p(FCallout->XPosition(), FCallout->YPosition());
    TPoint s(p.X > box.Right  ? box.Right
             : p.X < box.Left ? box.Left
                              : (box.Left + box.Right) / 2,
             p.Y > box.Bottom ? box.Bottom
             : p.Y < box.Top  ? box.Top
                              : (box.Top + box.Bottom) / 2);
    if (FCallout->Distance() != 0) {
      const double dx = s.X - p.X, dy = s.Y - p.Y, len = std::hypot(dx, dy);
      if (len > 0)
        p = TPoint(p.X + static_cast<int>(std::nearbyint(dx * FCallout->Distance() / len)),
                   p.Y + static_cast<int>(std::nearbyint(dy * FCallout->Distance() / len)));
    }
    FCallout->DrawCallout(FCallout->Brush()->Color(), p, s, FCallout->ZPosition());
  }
  // The box keeps its place; an automatic size follows the text.
  if (FAutoSize) {
    FShape->BoxRect = TRect(saved.Left, saved.Top, saved.Left + box.Right - box.Left, saved.Top + box.Bottom - box.Top);
  } else {
    FShape->BoxRect = saved;
  }
}

void TAnnotationTool::HandleChartStage(TToolDrawStage Stage) {
  if (Stage == tdsAfterDraw) PaintAnnotation();
}

void TAnnotationTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                       int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart) return;
  if (Kind == meMove && FCursor != crDefault && ContainsPoint(X, Y)) {
    chart->SetCursor(FCursor);
    chart->CancelMouse = true;
  } else if (Kind == meDown && OnClick && ContainsPoint(X, Y)) {
    OnClick(this, Button, Shift, X, Y);
  }
}

// =============================================================================================
// Rectangle

VM_PUBLISH(TRectangleTool) {
  P.Event("OnDragging", &TRectangleTool::OnDragging);
  P.Event("OnResizing", &TRectangleTool::OnResizing);
}

TRectangleTool::TRectangleTool(TComponent* AOwner) : TAnnotationTool(AOwner) {
  FAutoSize = false;
  FShape->SetCustomPosition(true);
  FShape->BoxRect = TRect(10, 10, 10 + 50 - 1, 10 + 50 - 1);
  if (FShape->Shadow()) {
    FShape->Shadow()->SetHorizSize(0);
    FShape->Shadow()->SetVertSize(0);
  }
  FShape->SetTransparency(75);
  FPositionUnits = muPixels;
  FCursor = crHandPoint;
}

void TRectangleTool::GetDescription(std::string& Text) { Text = MsgToolRectangle; }

int TRectangleTool::EdgeAt(int X, int Y) const {
  const TRect& b = FShape->BoxRect;
  if (!(X >= b.Left && X <= b.Right && Y >= b.Top && Y <= b.Bottom)) return -1;
  if (std::abs(X - b.Left) < 4) return 0;
  if (std::abs(Y - b.Top) < 4) return 1;
  if (std::abs(X - b.Right) < 4) return 2;
  if (std::abs(Y - b.Bottom) < 4) return 3;
  return -1;
}

void TRectangleTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) {
  TAnnotationTool::HandleChartMouse(Kind, Button, Shift, X, Y);
  TCustomAxisPanel* chart = FParentChart;
  if (!chart || !Active()) return;
  TRect& b = FShape->BoxRect;
  switch (Kind) {
    case meDown: {
      if (Button != mbLeft) return;
      FEdge = EdgeAt(X, Y);
      if (FEdge == -1) {
        if (!(X >= b.Left && X <= b.Right && Y >= b.Top && Y <= b.Bottom)) return;
        FOffsetX = X - b.Left;
        FOffsetY = Y - b.Top;
        FDragging = true;
      } else {
        FOffsetX = FEdge == 2 ? X - b.Right : X - b.Left;
        FOffsetY = FEdge == 3 ? Y - b.Bottom : Y - b.Top;
      }
      chart->CancelMouse = true;
      break;
    }
    case meMove:
      if (FDragging) {
        const int w = b.Right - b.Left, h = b.Bottom - b.Top;
        b = TRect(X - FOffsetX, Y - FOffsetY, X - FOffsetX + w, Y - FOffsetY + h);
        FShape->SetCustomPosition(true);
        Repaint();
        if (OnDragging) OnDragging(this);
      } else if (FEdge != -1) {
        switch (FEdge) {
          case 0:
            b.Left = std::min(b.Right - 3, X - FOffsetX);
            break;
          case 1:
            b.Top = std::min(b.Bottom - 3, Y - FOffsetY);
            break;
          case 2:
            b.Right = std::max(b.Left + 3, X - FOffsetX);
            break;
          case 3:
            b.Bottom = std::max(b.Top + 3, Y - FOffsetY);
            break;
        }
        Repaint();
        if (OnResizing) OnResizing(this);
      } else {
        const int e = EdgeAt(X, Y);
        bool set = true;
        if (e == 0 || e == 2)
          chart->SetCursor(crSizeWE);
        else if (e == 1 || e == 3)
          chart->SetCursor(crSizeNS);
        else if (FCursor != crDefault && X >= b.Left && X <= b.Right && Y >= b.Top && Y <= b.Bottom)
          chart->SetCursor(FCursor);
        else
          set = false;
        chart->CancelMouse = set;
      }
      break;
    case meUp:
      FDragging = false;
      FEdge = -1;
      break;
  }
}

// =============================================================================================
// Image

VM_PUBLISH(TChartImageTool) { P.Object("Picture", &TChartImageTool::Picture, &TChartImageTool::SetPicture); }

TChartImageTool::TChartImageTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {
  FPicture = std::make_unique<TPicture>();
  FPicture->OnChange = [this](TObject*) { Repaint(); };
}

TChartImageTool::~TChartImageTool() = default;

void TChartImageTool::GetDescription(std::string& Text) { Text = MsgToolImage; }

void TChartImageTool::SetSeries(TChartSeries* Value) {
  TGraphCustomToolSeries::SetSeries(Value);
  Repaint();
}

TRect TChartImageTool::ImageArea() const {
  if (FSeries)
    return TRect(FSeries->ValueToScreenX(FSeries->LowestX()), FSeries->ValueToScreenY(FSeries->HighestY()),
                 FSeries->ValueToScreenX(FSeries->HighestX()), FSeries->ValueToScreenY(FSeries->LowestY()));
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  if (!h || !v) return TRect(0, 0, 0, 0);
  return TRect(h->ValueToPixel(h->Minimum()), v->ValueToPixel(v->Maximum()), h->ValueToPixel(h->Maximum()),
               v->ValueToPixel(v->Minimum()));
}

void TChartImageTool::HandleChartStage(TToolDrawStage Stage) {
  TCustomAxisPanel* chart = FParentChart;
  if (Stage != tdsBeforeSeries || !chart || !FPicture->Graphic()) return;
  const TRect area = ImageArea();
  TGraphCanvas3D* c = chart->Canvas;
  const bool clip = chart->CanClip();
  if (clip) c->ClipCube(chart->ChartRect, 0, chart->Width3D);
  if (!chart->View3D() || c->IsOrthogonal)
    c->StretchDraw(c->ProjectRect(area, chart->Width3D), FPicture->Graphic());
  else
    c->StretchDrawPlane(area, FPicture->Graphic(), chart->Width3D);
  if (clip) c->UnClipRectangle();
}
