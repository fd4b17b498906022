#include "platform/printers.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>
#include <vector>

#include "platform/exceptions.h"
#include "platform/qt_graphics.h"
#include "platform/strings.h"

VM_DEFINE_CLASS(TPrinter)
VM_DEFINE_CLASS(TPagePrinter)

namespace {
const char* kNoPrinter = "There is no default printer currently selected";
}

struct TPrinter::Impl : public vmqt::TCanvasTarget {
  std::unique_ptr<QPrinter> Qp;
  QPainter Painter;
  bool Active = false;
  std::unique_ptr<TStringList> Names;
  std::string File;  // the PDF being written, or empty for a system printer

  // The selected system printer, in the job's orientation.
  static void SetupSystem(TPrinter& Owner, QPrinter& P) {
    P.setPrinterName(vmqt::ToQ(Owner.Printers()->Strings(Owner.FPrinterIndex < 0 ? 0 : Owner.FPrinterIndex)));
    P.setPageOrientation(Owner.FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  }
  // The page in device pixels: the job's while printing, else the one a job would get.
  static QSize PageSize(TPrinter& Owner);

  QPaintDevice* Device() override { return Qp.get(); }
  QPainter* ExternalPainter() override { return Active ? &Painter : nullptr; }
  int Technology() override { return DT_RASPRINTER; }
};

TPrinter::TPrinter() : FImpl(std::make_unique<Impl>()) {}

TPrinter::~TPrinter() {
  if (FPrinting) {
    try {
      Abort();
    } catch (...) {}
  }
  if (FCanvas) vmqt::CanvasSetTarget(FCanvas.get(), nullptr);
}

TCanvas* TPrinter::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>();
  return FCanvas.get();
}

void TPrinter::CheckPrinting(bool Value) {
  if (FPrinting != Value) throw EPrinter(Value ? "Printer is not currently printing" : "Printing in progress");
}

TStrings* TPrinter::Printers() {
  if (!FImpl->Names) {
    vmqt::EnsureApp();
    FImpl->Names = std::make_unique<TStringList>();
    for (const QPrinterInfo& p : QPrinterInfo::availablePrinters()) FImpl->Names->Add(vmqt::FromQ(p.printerName()));
  }
  return FImpl->Names.get();
}

bool TPrinter::HasPrinter() { return Printers()->Count() > 0; }

void TPrinter::SetPrinterIndex(int Value) {
  CheckPrinting(false);
  if (Value < -1 || Value >= Printers()->Count()) throw EPrinter("Printer selected is not valid");
  FPrinterIndex = Value;
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
  CheckPrinting(false);
  FOrientation = Value;
}

namespace {

void SetupPdf(QPrinter& P, const std::string& File, int Dpi, TPrinterOrientation O, const std::string& Title) {
  P.setOutputFormat(QPrinter::PdfFormat);
  P.setOutputFileName(vmqt::ToQ(File));
  P.setResolution(Dpi);
  P.setPageSize(QPageSize(QPageSize::A4));
  P.setPageOrientation(O == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  P.setDocName(vmqt::ToQ(Title));
  P.setFullPage(false);
}

}  // namespace

QSize TPrinter::Impl::PageSize(TPrinter& Owner) {
  if (Owner.FPrinting && Owner.FImpl->Qp) return QSize(Owner.FImpl->Qp->width(), Owner.FImpl->Qp->height());
  if (!Owner.HasPrinter() && Owner.FOutputFile.empty()) throw EPrinter(kNoPrinter);
  QPrinter p(QPrinter::HighResolution);
  if (Owner.HasPrinter() && Owner.FOutputFile.empty())
    SetupSystem(Owner, p);
  else
    SetupPdf(p, Owner.FOutputFile, Owner.FPdfResolution, Owner.FOrientation, Owner.FTitle);
  return QSize(p.width(), p.height());
}

int32_t TPrinter::PageWidth() { return Impl::PageSize(*this).width(); }
int32_t TPrinter::PageHeight() { return Impl::PageSize(*this).height(); }

int32_t TPrinter::XDPI() {
  if (FPrinting && FImpl->Qp) return FImpl->Qp->logicalDpiX();
  if (!HasPrinter() && FOutputFile.empty()) throw EPrinter(kNoPrinter);
  return HasPrinter() && FOutputFile.empty() ? QPrinter(QPrinter::HighResolution).resolution() : FPdfResolution;
}

int32_t TPrinter::YDPI() { return XDPI(); }

void TPrinter::BeginDoc() {
  CheckPrinting(false);
  vmqt::EnsureApp();
  auto qp = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!FOutputFile.empty() || !HasPrinter()) {
    FImpl->File = FOutputFile.empty() ? (FTitle.empty() ? std::string("Varomark") : FTitle) + ".pdf" : FOutputFile;
    SetupPdf(*qp, FImpl->File, FPdfResolution, FOrientation, FTitle);
  } else {
    FImpl->File.clear();
    Impl::SetupSystem(*this, *qp);
    qp->setDocName(vmqt::ToQ(FTitle));
    qp->setCopyCount(FCopies);
  }
  FImpl->Qp = std::move(qp);
  if (!FImpl->Painter.begin(FImpl->Qp.get())) {
    FImpl->Qp.reset();
    throw EPrinter("Printing could not be started");
  }
  FImpl->Active = true;
  FPrinting = true;
  FAborted = false;
  FPageNumber = 1;
  TCanvas* c = Canvas();
  vmqt::CanvasSetTarget(c, FImpl.get());
  c->Font()->SetPixelsPerInch(FImpl->Qp->logicalDpiY());
  c->Refresh();
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  FImpl->Qp->newPage();
  ++FPageNumber;
  Canvas()->Refresh();
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  vmqt::CanvasSetTarget(Canvas(), nullptr);
  FImpl->Painter.end();
  FImpl->Active = false;
  FImpl->Qp.reset();
  FPrinting = false;
  FPageNumber = 0;
}

void TPrinter::Abort() {
  CheckPrinting(true);
  vmqt::CanvasSetTarget(Canvas(), nullptr);
  FImpl->Qp->abort();
  if (FImpl->Painter.isActive()) FImpl->Painter.end();
  FImpl->Active = false;
  FImpl->Qp.reset();
  if (!FImpl->File.empty()) QFile::remove(vmqt::ToQ(FImpl->File));
  FPrinting = false;
  FAborted = true;
  FPageNumber = 0;
}

// ---------------------------------------------------------------------------------------------

struct TPagePrinter::Pages_ : public vmqt::TCanvasTarget {
  std::vector<std::unique_ptr<TBitmap>> List;
  int32_t Dpi = 600;
  QPaintDevice* Device() override { return List.empty() ? nullptr : Image(); }
  QImage* Image() override;
  int Technology() override { return DT_RASPRINTER; }
  QSizeF SizeMM() override {
    if (List.empty()) return QSizeF();
    return QSizeF(List.back()->Width() * 25.4 / Dpi, List.back()->Height() * 25.4 / Dpi);
  }
  // The last page's pixels: drawn on through a canvas of this target.
  QImage Current;
  void Flush() {
    if (!List.empty() && !Current.isNull()) vmqt::SetBitmapImage(List.back().get(), Current);
  }
};

QImage* TPagePrinter::Pages_::Image() { return List.empty() ? nullptr : &Current; }

TPagePrinter::TPagePrinter(int32_t AWidth, int32_t AHeight, int32_t ADpi)
    : FWidth(AWidth), FHeight(AHeight), FDpi(ADpi), FPages(std::make_unique<Pages_>()) {
  FPages->Dpi = ADpi;
}

TPagePrinter::~TPagePrinter() {
  if (FCanvas) vmqt::CanvasSetTarget(FCanvas.get(), nullptr);
}

void TPagePrinter::BeginDoc() {
  CheckPrinting(false);
  vmqt::EnsureApp();
  FPages->List.clear();
  FPrinting = true;
  FAborted = false;
  FPageNumber = 0;
  NewPage();
  TCanvas* c = Canvas();
  c->Font()->SetPixelsPerInch(FDpi);
}

void TPagePrinter::NewPage() {
  CheckPrinting(true);
  TCanvas* c = Canvas();
  vmqt::CanvasSetTarget(c, nullptr);
  FPages->Flush();
  FPages->List.push_back(std::make_unique<TBitmap>(PageWidth(), PageHeight(), pf24bit));
  FPages->Current = QImage(PageWidth(), PageHeight(), QImage::Format_RGB32);
  FPages->Current.fill(Qt::white);
  int dpm = static_cast<int>(std::lround(FDpi / 0.0254));
  FPages->Current.setDotsPerMeterX(dpm);
  FPages->Current.setDotsPerMeterY(dpm);
  vmqt::CanvasSetTarget(c, FPages.get());
  c->Refresh();
  ++FPageNumber;
}

void TPagePrinter::EndDoc() {
  CheckPrinting(true);
  vmqt::CanvasSetTarget(Canvas(), nullptr);
  FPages->Flush();
  FPages->Current = QImage();
  FPrinting = false;
  FPageNumber = 0;
}

void TPagePrinter::Abort() {
  CheckPrinting(true);
  vmqt::CanvasSetTarget(Canvas(), nullptr);
  FPages->List.clear();
  FPages->Current = QImage();
  FPrinting = false;
  FAborted = true;
  FPageNumber = 0;
}

int TPagePrinter::PageCount() const { return static_cast<int>(FPages->List.size()); }

TBitmap* TPagePrinter::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FPages->List[Index].get();
}

// ---------------------------------------------------------------------------------------------

namespace {
std::unique_ptr<TPrinter>& ThePrinter() {
  static std::unique_ptr<TPrinter> p;
  return p;
}
}  // namespace

TPrinter* Printer() {
  auto& p = ThePrinter();
  if (!p) p = std::make_unique<TPrinter>();
  return p.get();
}

TPrinter* SetPrinter(TPrinter* NewPrinter) {
  auto& p = ThePrinter();
  TPrinter* old = p.release();
  p.reset(NewPrinter);
  return old;
}
