#include "chart/extra/print_preview.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_effects.h"
#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/metafile.h"
#include "platform/printers.h"

VM_DEFINE_CLASS(TPreviewChartPen)
VM_DEFINE_CLASS(TGraphPreviewPanel)

namespace {

int Rounded(double V) { return static_cast<int>(std::nearbyint(V)); }

constexpr int kNear = 4;

}  // namespace

TPreviewChartPen::TPreviewChartPen(const TNotifyEvent& OnChangeEvent) : TChartPen(OnChangeEvent) {
  SetStyle(psDot);
  SetSmallDots(true);
}

TSize PanelPrintSize(TCustomGraphPanel* Panel) {
  const int w = Panel->Width(), h = Panel->Height();
  return TSize{std::max(1, w - MulDiv(w, Panel->PrintResolution(), 100)),
               std::max(1, h - MulDiv(h, Panel->PrintResolution(), 100))};
}

// ---------------------------------------------------------------------------------------------

TGraphPreviewPanel::TGraphPreviewPanel(TComponent* AOwner) : TCustomGraphPanelExtended(AOwner) {
  SetBounds(0, 0, 432, 312);
  FMargins = std::make_unique<TPreviewChartPen>([this](TObject*) { Invalidate(); });
  FPaperShadow = std::make_unique<TGraphShadow>([this](TObject*) { Invalidate(); });
  FPaperShadow->SetColor(static_cast<TColor>(0x808080));
  FPaperShadow->SetSize(4);
}

TGraphPreviewPanel::~TGraphPreviewPanel() {
  for (TCustomGraphPanel* p : FPanels) p->RemoveFreeNotification(this);
}

void TGraphPreviewPanel::SetFlag(bool& Field, bool Value) {
  if (Field == Value) return;
  Field = Value;
  Invalidate();
}

void TGraphPreviewPanel::SetPaperColor(TColor Value) {
  if (FPaperColor == Value) return;
  FPaperColor = Value;
  Invalidate();
}

void TGraphPreviewPanel::SetOrientation(TGraphPreviewPanelOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  Invalidate();
}

void TGraphPreviewPanel::SetPanel(TCustomGraphPanel* Value) {
  if (Value == Panel() || Value == this) return;
  if (TCustomGraphPanel* old = Panel()) {
    old->RemoveFreeNotification(this);
    FPanels.erase(FPanels.begin());
  }
  if (Value && std::find(FPanels.begin(), FPanels.end(), Value) == FPanels.end()) {
    FPanels.insert(FPanels.begin(), Value);
    Value->FreeNotification(this);
  }
  if (Value) FAsBitmap = Value->Canvas && Value->Canvas->SupportsFullRotation();
  Invalidate();
}

void TGraphPreviewPanel::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGraphPanelExtended::Notification(AComponent, Operation);
  if (Operation == opRemove)
    std::erase_if(FPanels, [AComponent](TCustomGraphPanel* p) { return static_cast<TComponent*>(p) == AComponent; });
}

bool TGraphPreviewPanel::PrinterReady() {
  TPrinter* p = Printer();
  return p->HasPrinter() || !p->OutputFile().empty();
}

void TGraphPreviewPanel::ApplyOrientation() {
  if (!PrinterReady() || FOrientation == ppoDefault) return;
  Printer()->SetOrientation(FOrientation == ppoPortrait ? poPortrait : poLandscape);
}

TSize TGraphPreviewPanel::PageSize() {
  ApplyOrientation();
  if (PrinterReady()) {
    try {
      return TSize{Printer()->PageWidth(), Printer()->PageHeight()};
    } catch (const Exception&) {
      // The screen stands in for a printer that cannot say its page.
    }
  }
  return TSize{Screen ? Screen->Width() : 1024, Screen ? Screen->Height() : 768};
}

TRect TGraphPreviewPanel::PaperRect() {
  const int CW = ClientWidth(), CH = ClientHeight();
  const TSize page = PageSize();
  const int PW = page.cx, PH = page.cy;
  TRect r;
  if (static_cast<int64_t>(CW) * PH > static_cast<int64_t>(CH) * PW) {
    const int H = CH - Rounded(CH / 5.0);
    r.Top = Rounded(CH / 10.0);
    r.Bottom = r.Top + H;
    const int W = PH <= 0 ? CW : MulDiv(H, PW, PH);
    r.Left = (CW - W) / 2;
    r.Right = r.Left + W;
  } else {
    const int W = CW - Rounded(CW / 5.0);
    r.Left = Rounded(CW / 10.0);
    r.Right = r.Left + W;
    const int H = PW <= 0 ? CH : MulDiv(W, PH, PW);
    r.Top = (CH - H) / 2;
    r.Bottom = r.Top + H;
  }
  return r;
}

TRect TGraphPreviewPanel::PanelPaperRect(TCustomGraphPanel* APanel, const TRect& Paper) {
  TRect m(15, 15, 15, 15);
  if (APanel) {
    if (APanel->PrintProportional() && PrinterReady()) {
      TRect p = APanel->PrintMargins();
      APanel->CalcProportionalMargins(p);
      APanel->SetPrintMargins(p);
    }
    m = APanel->PrintMargins();
  }
  const int W = Paper.Width(), H = Paper.Height();
  return TRect(Paper.Left + MulDiv(m.Left, W, 100), Paper.Top + MulDiv(m.Top, H, 100),
               Paper.Right - MulDiv(m.Right, W, 100), Paper.Bottom - MulDiv(m.Bottom, H, 100));
}

void TGraphPreviewPanel::DrawPanelImage(TCustomGraphPanel* APanel, const TRect& R) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  const TSize logical = PanelPrintSize(APanel);
  if (FAsBitmap) {
    APanel->Printing = true;
    TScopeExit done([APanel] { APanel->Printing = false; });
    std::unique_ptr<TBitmap> b(APanel->CreateBitmap(FPaperColor, TRect(0, 0, logical.cx, logical.cy), pf24bit));
    if (FSmoothBitmap) {
      TBitmap scaled(R.Width(), R.Height(), pf24bit);
      ::SmoothBitmap(b.get(), &scaled);
      Canvas->Draw(R.Left, R.Top, &scaled);
    } else {
      Canvas->StretchDraw(R, b.get());
    }
  } else {
    std::unique_ptr<TMetafile> m(APanel->CreateMetafile(true, TRect(0, 0, logical.cx, logical.cy)));
    // The picture starts from a clear brush and a thin black pen: whatever the sheet and its
    // shadow left selected would otherwise fill the chart's clear walls.
    Canvas->Brush->SetStyle(bsClear);
    Canvas->Pen->SetStyle(psSolid);
    Canvas->Pen->SetWidth(1);
    Canvas->Pen->SetColor(clBlack);
    Canvas->StretchDraw(R, m.get());
  }
}

void TGraphPreviewPanel::DrawMarginLines() {
  if (!FMargins->Visible()) return;
  const TRect& R = FImageRect;
  Canvas->AssignVisiblePen(FMargins.get());
  Canvas->Pen->SetMode(pmNotXor);
  Canvas->Brush->SetStyle(bsClear);
  Canvas->SetBackMode(cbmTransparent);
  Canvas->Line(R.Left - 1, FPaper.Top + 1, R.Left - 1, FPaper.Bottom);
  Canvas->Line(R.Right, FPaper.Top + 1, R.Right, FPaper.Bottom);
  Canvas->Line(FPaper.Left + 1, R.Top - 1, FPaper.Right, R.Top - 1);
  Canvas->Line(FPaper.Left + 1, R.Bottom, FPaper.Right, R.Bottom);
  Canvas->Pen->SetMode(pmCopy);
  Canvas->SetBackMode(cbmOpaque);
}

void TGraphPreviewPanel::XorMarginLines() {
  TCanvas* c = WindowCanvas();
  if (!FMargins->Visible() || !c) return;
  const TRect& R = FImageRect;
  c->Pen()->Assign(FMargins.get());
  c->Pen()->SetMode(pmNotXor);
  c->Brush()->SetStyle(bsClear);
  const auto line = [c](int X0, int Y0, int X1, int Y1) {
    c->MoveTo(X0, Y0);
    c->LineTo(X1, Y1);
  };
  line(R.Left - 1, FPaper.Top + 1, R.Left - 1, FPaper.Bottom);
  line(R.Right, FPaper.Top + 1, R.Right, FPaper.Bottom);
  line(FPaper.Left + 1, R.Top - 1, FPaper.Right, R.Top - 1);
  line(FPaper.Left + 1, R.Bottom, FPaper.Right, R.Bottom);
  c->Pen()->SetMode(pmCopy);
}

void TGraphPreviewPanel::DrawContents(const TRect& Rect) {
  DrawPanelBackground(Rect);
  Canvas->Begin2D();
  TScopeExit end2D([this] { Canvas->End2D(); });
  FPaper = PaperRect();
  if (OnGetPaperRect) OnGetPaperRect(this, FPaper);
  Canvas->Pen->SetStyle(psSolid);
  Canvas->Pen->SetWidth(1);
  Canvas->Pen->SetColor(clBlack);
  Canvas->Brush->SetStyle(bsSolid);
  Canvas->Brush->SetColor(FPaperColor);
  Canvas->Rectangle(FPaper.Left, FPaper.Top, FPaper.Right, FPaper.Bottom);
  FPaperShadow->Draw(Canvas, FPaper);
  FImageRect = PanelPaperRect(Panel(), FPaper);
  for (TCustomGraphPanel* p : FPanels) {
    const TRect r = PanelPaperRect(p, FPaper);
    p->Printing = true;
    TScopeExit done([this, p] {
      Canvas->UnClipRectangle();
      p->Printing = false;
    });
    Canvas->ClipRectangle(p->CanClip() ? r : FPaper);
    if (FShowImage) DrawPanelImage(p, r);
  }
  DrawMarginLines();
  Canvas->ResetState();
  if (OnAfterDraw) OnAfterDraw(this);
}

TBitmap* TGraphPreviewPanel::PreviewBitmap() { return CreateBitmap(Color(), TRect(0, 0, Width(), Height()), pf24bit); }

int TGraphPreviewPanel::HitTest(int X, int Y) const {
  const TRect& R = FImageRect;
  const bool l = std::abs(X - R.Left) <= kNear, r = std::abs(X - R.Right) <= kNear;
  const bool t = std::abs(Y - R.Top) <= kNear, b = std::abs(Y - R.Bottom) <= kNear;
  if (FAllowResize) {
    if (l && t) return phTopLeft;
    if (l && b) return phBottomLeft;
    if (r && t) return phTopRight;
    if (r && b) return phBottomRight;
    if (l) return phLeft;
    if (r) return phRight;
    if (t) return phTop;
    if (b) return phBottom;
  }
  if (FAllowMove && X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom) return phMove;
  return phNone;
}

void TGraphPreviewPanel::DoMouseDown(int X, int Y) {
  FDragging = HitTest(X, Y);
  if (FDragging == phMove) {
    FStartPoint = TPoint(X, Y);
    FStartRect = FImageRect;
  }
}

void TGraphPreviewPanel::DoMouseMove(int X, int Y) {
  if (X < FPaper.Left || X > FPaper.Right || Y < FPaper.Top || Y > FPaper.Bottom) return;
  if (FDragging == phNone) {
    static const TCursor cursors[] = {crDefault,       crHSplit,   crVSplit,   crHSplit,   crVSplit,
                                      ChartHandCursor, crSizeNWSE, crSizeNESW, crSizeNESW, crSizeNWSE};
    SetCursor(cursors[HitTest(X, Y)]);
    return;
  }
  // Without DragImage only the lines move: drawn a second time in not-xor they are gone.
  if (!FDragImage) XorMarginLines();
  TRect& R = FImageRect;
  const auto left = [&] { return FPaper.Left <= X && X < R.Right; };
  const auto top = [&] { return FPaper.Top <= Y && Y < R.Bottom; };
  const auto right = [&] { return R.Left < X && X <= FPaper.Right; };
  const auto bottom = [&] { return R.Top < Y && Y <= FPaper.Bottom; };
  switch (FDragging) {
    case phLeft:
      if (left()) R.Left = X;
      break;
    case phTop:
      if (top()) R.Top = Y;
      break;
    case phRight:
      if (right()) R.Right = X;
      break;
    case phBottom:
      if (bottom()) R.Bottom = Y;
      break;
    case phTopLeft:
      if (left() && top()) {
        R.Left = X;
        R.Top = Y;
      }
      break;
    case phTopRight:
      if (right() && top()) {
        R.Right = X;
        R.Top = Y;
      }
      break;
    case phBottomLeft:
      if (left() && bottom()) {
        R.Left = X;
        R.Bottom = Y;
      }
      break;
    case phBottomRight:
      if (right() && bottom()) {
        R.Right = X;
        R.Bottom = Y;
      }
      break;
    case phMove: {
      const int nl = std::max(FPaper.Left, X + FStartRect.Left - FStartPoint.X);
      const int nt = std::max(FPaper.Top, Y + FStartRect.Top - FStartPoint.Y);
      const int nr = std::min(FPaper.Right, FStartRect.Right + nl - FStartRect.Left);
      const int nb = std::min(FPaper.Bottom, FStartRect.Bottom + nt - FStartRect.Top);
      const auto inside = [&](int px, int py) {
        return px >= FPaper.Left && px <= FPaper.Right && py >= FPaper.Top && py <= FPaper.Bottom;
      };
      if (inside(nl, nt) && inside(nr, nb)) R = TRect(nl, nt, nr, nb);
      break;
    }
    default:
      break;
  }
  if (TCustomGraphPanel* p = Panel()) {
    const int W = FPaper.Width(), H = FPaper.Height();
    if (W > 0 && H > 0) {
      p->SetPrintProportional(false);
      const TRect m(MulDiv(R.Left - FPaper.Left, 100, W), MulDiv(R.Top - FPaper.Top, 100, H),
                    MulDiv(FPaper.Right - R.Right, 100, W), MulDiv(FPaper.Bottom - R.Bottom, 100, H));
      p->SetPrintMargins(m);
      if (OnChangeMargins) OnChangeMargins(this, true, m);
    }
  }
  if (FDragImage)
    Invalidate();
  else
    XorMarginLines();
}

void TGraphPreviewPanel::DoMouseUp() {
  FDragging = phNone;
  Invalidate();
}

void TGraphPreviewPanel::Resize() {
  TCustomGraphPanelExtended::Resize();
  Invalidate();
}

void TGraphPreviewPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomGraphPanelExtended::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft) DoMouseDown(X, Y);
}

void TGraphPreviewPanel::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomGraphPanelExtended::MouseMove(Shift, X, Y);
  DoMouseMove(X, Y);
}

void TGraphPreviewPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomGraphPanelExtended::MouseUp(Button, Shift, X, Y);
  DoMouseUp();
}

void TGraphPreviewPanel::Print() {
  if (FPanels.empty()) return;
  TCursor old = Screen ? Screen->Cursor() : crDefault;
  if (Screen) Screen->SetCursor(crHourGlass);
  TScopeExit cursor([&] {
    if (Screen) Screen->SetCursor(old);
  });
  ApplyOrientation();
  TPrinter* printer = Printer();
  printer->SetTitle(!FTitle.empty() ? FTitle : Panel()->Name());
  printer->BeginDoc();
  TScopeFail abortPrinting([&] {
    if (printer->Printing()) printer->Abort();
  });
  for (TCustomGraphPanel* p : FPanels) {
    TRect r;
    p->CalcPrintRect(r);
    if (FAsBitmap) {
      const TSize logical = PanelPrintSize(p);
      std::unique_ptr<TBitmap> b(p->CreateBitmap(FPaperColor, TRect(0, 0, logical.cx, logical.cy), pf24bit));
      printer->Canvas()->StretchDraw(r, b.get());
    } else {
      p->PrintInRect(r);
    }
  }
  if (OnAfterDraw) OnAfterDraw(this);
  printer->EndDoc();
}
