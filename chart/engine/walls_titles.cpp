// Walls and titles: their settings, and how a title lays out and draws its lines.
#include "chart/engine/walls_titles.h"
#include "chart/engine/chart_published.h"

#include <cmath>

#include "chart/engine/chart.h"
#include "platform/canvas.h"

int32_t ChartTitleGap = 5;

VM_DEFINE_CLASS_EX(TCustomChartWall, "TCustomChartWall", PublishCustomChartWall)
VM_DEFINE_CLASS(TChartWall)
VM_DEFINE_CLASS(TChartBackWall)
VM_DEFINE_CLASS(TChartRightWall)
VM_DEFINE_CLASS(TChartWalls)
VM_DEFINE_CLASS_EX(TChartTitle, "TChartTitle", PublishChartTitle)
VM_DEFINE_CLASS(TChartFootTitle)

// ---------------------------------------------------------------------------------------------
// Walls.

TCustomChartWall::TCustomChartWall(TCustomChart* AChart) : TGraphCustomShape(AChart), Chart(AChart) {
  SetDefaultColor(clDefault);
}

void TCustomChartWall::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  SetColor(Value);
}

void TCustomChartWall::Assign(TPersistent* Source) {
  if (auto* w = dynamic_cast<TCustomChartWall*>(Source)) {
    FAutoHide = w->FAutoHide;
    FDark3D = w->FDark3D;
    FSize = w->FSize;
  }
  TGraphCustomShape::Assign(Source);
}

void TCustomChartWall::SetAutoHide(bool Value) {
  if (Chart)
    Chart->SetBooleanProperty(FAutoHide, Value);
  else
    FAutoHide = Value;
}

void TCustomChartWall::SetDark3D(bool Value) {
  if (Chart)
    Chart->SetBooleanProperty(FDark3D, Value);
  else
    FDark3D = Value;
}

void TCustomChartWall::SetSize(int32_t Value) {
  if (Chart)
    Chart->SetIntegerProperty(FSize, Value);
  else
    FSize = Value;
}

TChartBackWall::TChartBackWall(TCustomChart* AChart) : TChartWall(AChart) {
  SetDefaultColor(clSilver);
  SetTransparent(true);
  DefaultTransparent = true;
}

TChartRightWall::TChartRightWall(TCustomChart* AChart) : TChartWall(AChart) {
  SetDefaultColor(clSilver);
  SetVisible(false);
}

TChartWalls::TChartWalls(TCustomChart* AChart) : Chart(AChart) {
  Back = std::make_unique<TChartBackWall>(AChart);
  Left = std::make_unique<TChartWall>(AChart);
  Left->SetDefaultColor(0x80FFFF);
  Bottom = std::make_unique<TChartWall>(AChart);
  Bottom->SetDefaultColor(clWhite);
  Right = std::make_unique<TChartRightWall>(AChart);
}

TChartWalls::~TChartWalls() {
  Back.reset();
  Bottom.reset();
  Left.reset();
  Right.reset();
}

void TChartWalls::Assign(TPersistent* Source) {
  if (auto* w = dynamic_cast<TChartWalls*>(Source)) {
    Back->Assign(w->Back.get());
    Bottom->Assign(w->Bottom.get());
    Left->Assign(w->Left.get());
    Right->Assign(w->Right.get());
    return;
  }
  TPersistent::Assign(Source);
}

int32_t TChartWalls::Size() const { return Left->Size(); }

void TChartWalls::SetSize(int32_t Value) {
  Left->SetSize(Value);
  Right->SetSize(Value);
  Back->SetSize(Value);
  Bottom->SetSize(Value);
}

bool TChartWalls::View3D() const { return Chart->View3DWalls(); }
void TChartWalls::SetView3D(bool Value) { Chart->SetView3DWalls(Value); }

// ---------------------------------------------------------------------------------------------
// Titles.

TChartTitle::TChartTitle(TCustomChart* AChart) : TGraphCustomShapePosition(AChart), Chart(AChart) {
  FText = std::make_unique<TStringList>();
  FText->OnChange = [this](TObject*) { Repaint(); };
  SetColor(clWhite);
  SetTransparent(true);
  DefaultTransparent = true;
  Font()->SetColor(clBlue);
  Font()->DefaultColor = clBlue;
}

TChartTitle::~TChartTitle() { FText->OnChange = nullptr; }

TChartFootTitle::TChartFootTitle(TCustomChart* AChart) : TChartTitle(AChart) {
  IsFoot = true;
  Font()->SetColor(clRed);
  Font()->DefaultColor = clRed;
  Font()->SetStyle(TFontStyles{fsItalic});
  Font()->DefaultStyle = TFontStyles{fsItalic};
}

void TChartTitle::Assign(TPersistent* Source) {
  if (auto* t = dynamic_cast<TChartTitle*>(Source)) {
    FAdjustFrame = t->FAdjustFrame;
    FAlignment = t->FAlignment;
    FText->Assign(*t->FText);
  }
  TGraphCustomShapePosition::Assign(Source);
}

void TChartTitle::SetAdjustFrame(bool Value) {
  if (Chart)
    Chart->SetBooleanProperty(FAdjustFrame, Value);
  else
    FAdjustFrame = Value;
}

void TChartTitle::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) {
    FAlignment = Value;
    Repaint();
  }
}

void TChartTitle::SetText(TStrings* Value) {
  if (Value) FText->Assign(*Value);
  Repaint();
}

bool TChartTitle::Clicked(int32_t X, int32_t Y) {
  return Visible() && X >= BoxRect.Left && X <= BoxRect.Right && Y >= BoxRect.Top && Y <= BoxRect.Bottom;
}

void TChartTitle::DrawTitle() {
  const int n = FText->Count();
  if (!Visible() || n == 0) return;
  TGraphCanvas3D* c = Chart->Canvas;
  int32_t fw = Pen()->Visible() && Pen()->Color() != clDefault ? Pen()->Width() : 0;
  if (Bevel() != bvNone) fw = BevelWidth();
  if (!FCustomPosition) {
    BoxRect = Chart->ChartRect;
    if (!IsFoot) BoxRect.Top += fw;
  }
  c->AssignFont(Font());
  c->SetTextAlign(TA_LEFT);
  const int32_t lh = c->FontHeight();
  if (!IsFoot || FCustomPosition)
    BoxRect.Bottom = BoxRect.Top + n * lh;
  else
    BoxRect.Top = BoxRect.Bottom - n * lh;
  if (!FCustomPosition) {
    BoxRect.Left -= fw;
    BoxRect.Top -= fw;
    BoxRect.Right += fw;
    BoxRect.Bottom += fw;
  }
  const int32_t ww = c->TextWidth("W");
  if (FAdjustFrame) {
    int32_t widest = 0;
    for (int i = 0; i < n; ++i) widest = std::max(widest, static_cast<int32_t>(c->TextWidth((*FText)[i])));
    const int32_t w = ww + fw + widest;
    switch (FAlignment) {
      case taLeftJustify:
        BoxRect.Right = BoxRect.Left + w;
        break;
      case taRightJustify:
        BoxRect.Left = BoxRect.Right - w;
        break;
      case taCenter: {
        if (FCustomPosition) BoxRect.Right = BoxRect.Left + w;
        const int32_t cx = (BoxRect.Left + BoxRect.Right) / 2;
        BoxRect.Left = cx - w / 2;
        BoxRect.Right = cx + w / 2;
        break;
      }
    }
  }
  Draw();
  c->SetBackMode(cbmTransparent);
  c->AssignFont(Font());
  const int32_t x0 = BoxRect.Left + ww / 2;
  if (TextFormat() == ttfHtml) {
    std::string all;
    for (int i = 0; i < n; ++i) all += (*FText)[i];
    c->TextOutFormatted(x0, BoxRect.Top + fw, all, true);
  } else {
    for (int i = 0; i < n; ++i) {
      const std::string line = (*FText)[i];
      const int32_t y = IsFoot ? BoxRect.Bottom - lh - (fw + i * lh) : BoxRect.Top + fw + i * lh;
      const int32_t tw = c->TextWidth(line);
      int32_t x = x0;
      if (FAlignment == taRightJustify)
        x = BoxRect.Right - tw - ww / 2;
      else if (FAlignment == taCenter)
        x = (BoxRect.Left + BoxRect.Right) / 2 - tw / 2;
      c->TextOut(x, y, line);
    }
  }
  if (!FCustomPosition) {
    int32_t gap = ChartTitleGap + fw;
    if (!Transparent() && Shadow()) gap += Shadow()->VertSize();
    if (!IsFoot)
      Chart->ChartRect.Top = BoxRect.Bottom + gap;
    else
      Chart->ChartRect.Bottom = BoxRect.Bottom - gap - n * lh;
    Chart->CalcChartRectSize();
  }
}
