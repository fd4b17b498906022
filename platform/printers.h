// The printer: page size, resolution, a canvas per page, titled jobs. With no printer installed
// a job goes to a PDF file; a page fake keeps the pages as bitmaps for tests and previews.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/object.h"

class TStrings;

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter : public TObject {
  VM_CLASS(TPrinter, TObject)
public:
  TPrinter();
  ~TPrinter() override;

  // The canvas of the current page (valid while Printing).
  TCanvas* Canvas();
  // Starts a job; raises EPrinter "Printing in progress" when one runs.
  virtual void BeginDoc();
  // Raises EPrinter "Printer is not currently printing" outside a job.
  virtual void NewPage();
  virtual void EndDoc();
  // Stops the job; what was printed is thrown away.
  virtual void Abort();
  bool Printing() const { return FPrinting; }
  bool Aborted() const { return FAborted; }
  int PageNumber() const { return FPageNumber; }

  // The printable page in device pixels and the resolution in pixels per inch. Without a printer
  // and without an output file they raise EPrinter "There is no default printer currently selected".
  virtual int32_t PageWidth();
  virtual int32_t PageHeight();
  virtual int32_t XDPI();
  virtual int32_t YDPI();

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  TPrinterOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TPrinterOrientation Value);
  int Copies() const { return FCopies; }
  void SetCopies(int Value) { FCopies = Value < 1 ? 1 : Value; }

  // The installed printers; index -1 is the default one.
  TStrings* Printers();
  int PrinterIndex() const { return FPrinterIndex; }
  void SetPrinterIndex(int Value);
  bool HasPrinter();
  // When set (or when no printer is installed) jobs are written to this PDF file; with neither
  // a printer nor a file, a job goes to "<Title>.pdf" ("Varomark.pdf") in the current folder.
  const std::string& OutputFile() const { return FOutputFile; }
  void SetOutputFile(const std::string& Value) { FOutputFile = Value; }
  // Resolution of PDF output.
  int32_t PdfResolution() const { return FPdfResolution; }
  void SetPdfResolution(int32_t Value) { FPdfResolution = Value > 0 ? Value : 600; }

  struct Impl;

protected:
  void CheckPrinting(bool Value);
  bool FPrinting = false;
  bool FAborted = false;
  int FPageNumber = 0;
  std::string FTitle;
  TPrinterOrientation FOrientation = poPortrait;
  int FCopies = 1;
  int FPrinterIndex = -1;
  std::string FOutputFile;
  int32_t FPdfResolution = 600;
  std::unique_ptr<TCanvas> FCanvas;
  std::unique_ptr<Impl> FImpl;
};

// A printer whose pages are bitmaps of a given size and resolution.
class TPagePrinter : public TPrinter {
  VM_CLASS(TPagePrinter, TPrinter)
public:
  TPagePrinter(int32_t AWidth = 4000, int32_t AHeight = 6000, int32_t ADpi = 600);
  ~TPagePrinter() override;

  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  int32_t PageWidth() override { return FOrientation == poPortrait ? FWidth : FHeight; }
  int32_t PageHeight() override { return FOrientation == poPortrait ? FHeight : FWidth; }
  int32_t XDPI() override { return FDpi; }
  int32_t YDPI() override { return FDpi; }

  // The pages of the last job (kept after EndDoc).
  int PageCount() const;
  TBitmap* Pages(int Index) const;

  struct Pages_;

private:
  int32_t FWidth, FHeight, FDpi;
  std::unique_ptr<Pages_> FPages;
};

// The process-wide printer (made on first use).
TPrinter* Printer();
// Puts another printer in place (tests, previews); returns the previous one, which the caller
// now owns. nullptr restores a new default printer on next use.
TPrinter* SetPrinter(TPrinter* NewPrinter);
