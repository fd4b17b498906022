// The report library: a report page (sizes in millimetres) holding bands, which hold printable
// controls. On screen the page and its controls take pixel bounds at the report's zoom; printing
// converts the controls' sizes in millimetres to the printer's pixels through the report printer.
// A report prints on the toolkit's printer (a PDF file when there is no printer) and shows in a
// preview window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/forms.h"

class TPrinter;
class TRpReport;
class TBitmap;

// The printer side of a report being printed: its page canvas and the conversion from the
// report's units (millimetres from the page's corner) to the printer's pixels.
class TRpReportPrinter {
public:
  explicit TRpReportPrinter(TPrinter* Printer) : FPrinter(Printer) {}
  TPrinter* Printer() const { return FPrinter; }
  TCanvas* Canvas() const;
  int32_t XPos(double MM) const;
  int32_t YPos(double MM) const;

private:
  TPrinter* FPrinter;
};

// A control of a report with its place in millimetres (the size values), relative to its band
// (or to the page for a band). Its pixel bounds follow the report's zoom.
class TRpControl : public TCustomControl {
  VM_CLASS(TRpControl, TCustomControl)
public:
  explicit TRpControl(TComponent* AOwner);

  double SizeLeft() const { return FMMLeft; }
  double SizeTop() const { return FMMTop; }
  double SizeWidth() const { return FMMWidth; }
  double SizeHeight() const { return FMMHeight; }
  void SetSizeBounds(double Left, double Top, double Width, double Height);
  // Sets the pixel size at the report's zoom (and the size values from it).
  void SetPixelSize(int32_t AWidth, int32_t AHeight);
  // A frame drawn round the control on screen and on paper.
  bool DrawFrame() const { return FDrawFrame; }
  void SetDrawFrame(bool Value);
  // The report the control belongs to, or none.
  TRpReport* ParentReport() const;

  // Prints the control on the report printer's page; its place is its size values plus the
  // offset (millimetres). The control's own printing is its frame.
  virtual void Print(double OffsetX, double OffsetY);
  // Puts the pixel bounds in step with the size values at the report's zoom (and the children's).
  void UpdateZoom();

protected:
  void Paint() override;
  void ParentChanged() override;

private:
  double FMMLeft = 0, FMMTop = 0, FMMWidth = 20, FMMHeight = 10;
  bool FDrawFrame = false;
};

// A band: a strip of the page whose printable controls print with it.
class TRpBand : public TRpControl {
  VM_CLASS(TRpBand, TRpControl)
public:
  explicit TRpBand(TComponent* AOwner);
  // Prints the printable controls inside, offset by the band's place.
  void Print(double OffsetX, double OffsetY) override;
};

// The report: one page of the given size in millimetres.
class TRpReport : public TCustomControl {
  VM_CLASS(TRpReport, TCustomControl)
public:
  explicit TRpReport(TComponent* AOwner);
  ~TRpReport() override;

  double PageWidth() const { return FPageWidth; }
  double PageHeight() const { return FPageHeight; }
  void SetPageSize(double Width, double Height);
  // The zoom of the screen view in percent (10 to 400).
  int Zoom() const { return FZoom; }
  void SetZoom(int Value);
  // Screen pixels per millimetre at the zoom.
  double PixelsPerMM() const;
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }

  // Prints every band on one page of Printer (the toolkit's printer when none is given).
  void Print(TPrinter* Printer = nullptr);
  // The page as a picture at the zoom (what the preview shows); the caller owns it.
  TBitmap* RenderPage(int ZoomPercent);
  // Shows the preview window (modal when Modal).
  void Preview(bool Modal = true);
  // The report printer while a print runs, else none.
  TRpReportPrinter* ReportPrinter() const { return FReportPrinter.get(); }

  TNotifyEvent BeforePrint;
  TNotifyEvent AfterPrint;
  // "Print..." of the preview window (the sender is the window); without it the window asks with
  // the print dialog and prints the report.
  TNotifyEvent OnPrintFromPreview;

protected:
  void Paint() override;

private:
  double FPageWidth = 210, FPageHeight = 297;
  int FZoom = 100;
  std::string FTitle;
  std::unique_ptr<TRpReportPrinter> FReportPrinter;
};

// A form that holds a report.
class TReportForm : public TForm {
  VM_CLASS(TReportForm, TForm)
public:
  explicit TReportForm(TComponent* AOwner);
  TRpReport* Report() const { return FReport; }

private:
  TRpReport* FReport;
};

class TPanel;
class TButton;

// The preview window of a report: the page as it will print, at a zoom, under a bar with
// "Print...", the zoom steps and "Close".
class TRpPreviewForm : public TForm {
  VM_CLASS(TRpPreviewForm, TForm)
public:
  TRpPreviewForm(TComponent* AOwner, TRpReport* Report);
  ~TRpPreviewForm() override;
  int Zoom() const { return FZoom; }
  void SetZoom(int Value);
  TBitmap* Page() const { return FPage.get(); }

  TPanel* ToolPanel = nullptr;
  TButton *BPrint = nullptr, *BZoomIn = nullptr, *BZoomOut = nullptr, *BClose = nullptr;
  // "Print...": the print dialog (an installed printer or a PDF file), then the report printed
  // there; the report's OnPrintFromPreview does it instead when assigned.
  void BPrintClick(TObject* Sender);

private:
  void PaintPage(TObject* Sender);
  TRpReport* FReport;
  TPaintBox* FBox;
  std::unique_ptr<TBitmap> FPage;
  int FZoom = 100;
};
