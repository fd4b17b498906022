#include "platform/reports.h"

#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/guards.h"
#include "platform/printers.h"

VM_DEFINE_CLASS(TRpControl)
VM_DEFINE_CLASS(TRpBand)
VM_DEFINE_CLASS(TRpReport)
VM_DEFINE_CLASS(TReportForm)
VM_DEFINE_CLASS(TRpPreviewForm)

namespace {
constexpr double kMMPerInch = 25.4;

int32_t Round(double V) { return static_cast<int32_t>(std::nearbyint(V)); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// TRpReportPrinter

TCanvas* TRpReportPrinter::Canvas() const { return FPrinter->Canvas(); }
int32_t TRpReportPrinter::XPos(double MM) const { return Round(MM * FPrinter->XDPI() / kMMPerInch); }
int32_t TRpReportPrinter::YPos(double MM) const { return Round(MM * FPrinter->YDPI() / kMMPerInch); }

// ---------------------------------------------------------------------------------------------
// TRpControl

TRpControl::TRpControl(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clWhite); }

TRpReport* TRpControl::ParentReport() const {
  for (TWinControl* p = Parent(); p; p = p->Parent())
    if (auto* r = dynamic_cast<TRpReport*>(p)) return r;
  return nullptr;
}

void TRpControl::SetSizeBounds(double Left, double Top, double Width, double Height) {
  FMMLeft = Left;
  FMMTop = Top;
  FMMWidth = std::max(0.0, Width);
  FMMHeight = std::max(0.0, Height);
  UpdateZoom();
}

void TRpControl::SetPixelSize(int32_t AWidth, int32_t AHeight) {
  const TRpReport* r = ParentReport();
  const double ppmm = r ? r->PixelsPerMM() : 96.0 / kMMPerInch;
  FMMWidth = AWidth / ppmm;
  FMMHeight = AHeight / ppmm;
  SetBounds(Left(), Top(), AWidth, AHeight);
}

void TRpControl::SetDrawFrame(bool Value) {
  FDrawFrame = Value;
  Invalidate();
}

void TRpControl::UpdateZoom() {
  const TRpReport* r = ParentReport();
  const double ppmm = r ? r->PixelsPerMM() : 96.0 / kMMPerInch;
  SetBounds(Round(FMMLeft * ppmm), Round(FMMTop * ppmm), Round(FMMWidth * ppmm), Round(FMMHeight * ppmm));
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* c = dynamic_cast<TRpControl*>(Controls(i))) c->UpdateZoom();
}

void TRpControl::ParentChanged() {
  TCustomControl::ParentChanged();
  if (ParentReport()) UpdateZoom();
}

void TRpControl::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(Rect(0, 0, Width(), Height()));
  if (FDrawFrame && ParentReport()) {
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clBlack);
    c->Rectangle(0, 0, Width(), Height());
    c->Brush()->SetStyle(bsSolid);
  }
}

void TRpControl::Print(double OffsetX, double OffsetY) {
  TRpReport* r = ParentReport();
  TRpReportPrinter* p = r ? r->ReportPrinter() : nullptr;
  if (!p || !FDrawFrame) return;
  TCanvas* c = p->Canvas();
  c->Brush()->SetStyle(bsClear);
  c->Pen()->SetColor(clBlack);
  c->Rectangle(p->XPos(FMMLeft + OffsetX), p->YPos(FMMTop + OffsetY), p->XPos(FMMLeft + FMMWidth + OffsetX),
               p->YPos(FMMTop + FMMHeight + OffsetY));
  c->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------------------------
// TRpBand

TRpBand::TRpBand(TComponent* AOwner) : TRpControl(AOwner) { SetSizeBounds(0, 0, 190, 40); }

void TRpBand::Print(double OffsetX, double OffsetY) {
  TRpControl::Print(OffsetX, OffsetY);
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* c = dynamic_cast<TRpControl*>(Controls(i))) c->Print(OffsetX + SizeLeft(), OffsetY + SizeTop());
}

// ---------------------------------------------------------------------------------------------
// TRpReport

TRpReport::TRpReport(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clWhite);
  SetZoom(100);
}

TRpReport::~TRpReport() = default;

double TRpReport::PixelsPerMM() const {
  const int ppi = Screen ? Screen->PixelsPerInch() : 96;
  return ppi / kMMPerInch * FZoom / 100.0;
}

void TRpReport::SetPageSize(double Width, double Height) {
  FPageWidth = std::max(1.0, Width);
  FPageHeight = std::max(1.0, Height);
  SetZoom(FZoom);
}

void TRpReport::SetZoom(int Value) {
  FZoom = std::clamp(Value, 10, 400);
  const double ppmm = PixelsPerMM();
  SetBounds(Left(), Top(), Round(FPageWidth * ppmm), Round(FPageHeight * ppmm));
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* c = dynamic_cast<TRpControl*>(Controls(i))) c->UpdateZoom();
  Invalidate();
}

void TRpReport::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(Rect(0, 0, Width(), Height()));
}

void TRpReport::Print(TPrinter* APrinter) {
  TPrinter* p = APrinter ? APrinter : Printer();
  if (BeforePrint) BeforePrint(this);
  if (!FTitle.empty()) p->SetTitle(FTitle);
  p->BeginDoc();
  FReportPrinter = std::make_unique<TRpReportPrinter>(p);
  TScopeExit done([this] { FReportPrinter.reset(); });
  {
    TScopeFail abortPrinting([&] { p->Abort(); });
    for (int i = 0; i < ControlCount(); ++i)
      if (auto* c = dynamic_cast<TRpControl*>(Controls(i))) c->Print(0, 0);
  }
  p->EndDoc();
  if (AfterPrint) AfterPrint(this);
}

TBitmap* TRpReport::RenderPage(int ZoomPercent) {
  const int dpi = std::max(1, Round((Screen ? Screen->PixelsPerInch() : 96) * ZoomPercent / 100.0));
  TPagePrinter pages(Round(FPageWidth * dpi / kMMPerInch), Round(FPageHeight * dpi / kMMPerInch), dpi);
  Print(&pages);
  auto* b = new TBitmap();
  if (pages.PageCount() > 0) b->Assign(pages.Pages(0));
  return b;
}

void TRpReport::Preview(bool Modal) {
  auto* f = new TRpPreviewForm(nullptr, this);
  if (Modal) {
    std::unique_ptr<TRpPreviewForm> owned(f);
    f->ShowModal();
  } else {
    f->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    f->Show();
  }
}

// ---------------------------------------------------------------------------------------------
// TReportForm

TReportForm::TReportForm(TComponent* AOwner) : TForm(AOwner) {
  FReport = new TRpReport(this);
  FReport->SetName("ReportPage1");
  FReport->SetParent(this);
}

// ---------------------------------------------------------------------------------------------
// TRpPreviewForm

TRpPreviewForm::TRpPreviewForm(TComponent* AOwner, TRpReport* Report) : TForm(AOwner), FReport(Report) {
  SetCaption("Preview");
  SetBounds(40, 40, 700, 800);
  SetPosition(poMainFormCenter);
  ToolPanel = new TPanel(this);
  ToolPanel->SetName("ToolPanel");
  ToolPanel->SetParent(this);
  ToolPanel->SetAlign(alTop);
  ToolPanel->SetHeight(34);
  ToolPanel->SetCaption("");
  int left = 4;
  auto button = [this, &left](const char* Name, const char* Caption, int Width, TNotifyEvent Click) {
    auto* b = new TButton(this);
    b->SetName(Name);
    b->SetParent(ToolPanel);
    b->SetCaption(Caption);
    b->SetBounds(left, 4, Width, 26);
    b->OnClick = std::move(Click);
    left += Width + 4;
    return b;
  };
  BPrint = button("BPrint", "&Print...", 80, [this](TObject* s) { BPrintClick(s); });
  BZoomIn = button("BZoomIn", "Zoom &in", 80, [this](TObject*) { SetZoom(FZoom * 3 / 2); });
  BZoomOut = button("BZoomOut", "Zoom &out", 80, [this](TObject*) { SetZoom(FZoom * 2 / 3); });
  BClose = button("BClose", "&Close", 80, [this](TObject*) { Close(); });
  BClose->SetCancel(true);
  FBox = new TPaintBox(this);
  FBox->SetParent(this);
  FBox->SetAlign(alClient);
  FBox->OnPaint = [this](TObject* Sender) { PaintPage(Sender); };
  SetZoom(50);
}

TRpPreviewForm::~TRpPreviewForm() = default;

void TRpPreviewForm::SetZoom(int Value) {
  FZoom = std::clamp(Value, 10, 400);
  FPage.reset(FReport->RenderPage(FZoom));
  FBox->Invalidate();
}

void TRpPreviewForm::BPrintClick(TObject*) {
  if (FReport->OnPrintFromPreview) {
    FReport->OnPrintFromPreview(this);
    return;
  }
  TPrintDialog dialog(this);
  if (dialog.Execute()) FReport->Print();
}

void TRpPreviewForm::PaintPage(TObject*) {
  TCanvas* c = FBox->Canvas();
  c->Brush()->SetColor(clAppWorkSpace);
  c->FillRect(Rect(0, 0, FBox->Width(), FBox->Height()));
  if (FPage) c->Draw(8, 8, FPage.get());
}
