// The print preview panel: a sheet of paper scaled into the control, the chart placed on it by
// its print margins, and margin lines the user drags to change the margins or move the chart.
// It prints the chart with the same settings.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_panel_ext.h"

class TGraphShadow;

// The margin lines' pen: dotted small dots.
class TPreviewChartPen : public TChartPen {
  VM_CLASS(TPreviewChartPen, TChartPen)
public:
  explicit TPreviewChartPen(const TNotifyEvent& OnChangeEvent = nullptr);
};

enum TGraphPreviewPanelOrientation { ppoDefault, ppoPortrait, ppoLandscape };

using TChangeMarginsEvent = std::function<void(TObject* Sender, bool DisableProportional, const TRect& NewMargins)>;
using TGetPaperRectEvent = std::function<void(TObject* Sender, TRect& PaperRect)>;

// Hit codes of a pixel against the image rectangle.
enum TPreviewHit {
  phNone = 0,
  phLeft = 1,
  phTop = 2,
  phRight = 3,
  phBottom = 4,
  phMove = 5,
  phTopLeft = 6,
  phTopRight = 7,
  phBottomLeft = 8,
  phBottomRight = 9
};

class TGraphPreviewPanel : public TCustomGraphPanelExtended {
  VM_CLASS(TGraphPreviewPanel, TCustomGraphPanelExtended)
public:
  explicit TGraphPreviewPanel(TComponent* AOwner);
  ~TGraphPreviewPanel() override;

  void DrawContents(const TRect& Rect) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Prints every listed panel on one page of the printer.
  void Print();

  // The page in printer pixels (the screen's size without a printer).
  TSize PageSize();
  // The sheet inside the control.
  TRect PaperRect();
  // The image rectangle of a panel on the sheet (15 % margins without a panel).
  TRect PanelPaperRect(TCustomGraphPanel* APanel, const TRect& Paper);
  int HitTest(int X, int Y) const;
  // The image rectangle of the last drawing (also the margin lines).
  const TRect& ImageRect() const { return FImageRect; }

  bool AllowResize() const { return FAllowResize; }
  void SetAllowResize(bool Value) { FAllowResize = Value; }
  bool AllowMove() const { return FAllowMove; }
  void SetAllowMove(bool Value) { FAllowMove = Value; }
  bool AsBitmap() const { return FAsBitmap; }
  void SetAsBitmap(bool Value) { SetFlag(FAsBitmap, Value); }
  bool DragImage() const { return FDragImage; }
  void SetDragImage(bool Value) { SetFlag(FDragImage, Value); }
  TPreviewChartPen* Margins() const { return FMargins.get(); }
  void SetMargins(TPreviewChartPen* Value) { FMargins->Assign(Value); }
  TGraphPreviewPanelOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TGraphPreviewPanelOrientation Value);
  TCustomGraphPanel* Panel() const { return FPanels.empty() ? nullptr : FPanels.front(); }
  void SetPanel(TCustomGraphPanel* Value);
  TColor PaperColor() const { return FPaperColor; }
  void SetPaperColor(TColor Value);
  TGraphShadow* PaperShadow() const { return FPaperShadow.get(); }
  bool ShowImage() const { return FShowImage; }
  void SetShowImage(bool Value) { SetFlag(FShowImage, Value); }
  bool SmoothBitmap() const { return FSmoothBitmap; }
  void SetSmoothBitmap(bool Value) { SetFlag(FSmoothBitmap, Value); }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }

  TChangeMarginsEvent OnChangeMargins;
  TGetPaperRectEvent OnGetPaperRect;
  TNotifyEvent OnAfterDraw;

  // The preview drawn into a new bitmap of the control's size (tests, pictures of the page).
  TBitmap* PreviewBitmap();
  // The drag handlers, also called by the control's mouse events.
  void DoMouseDown(int X, int Y);
  void DoMouseMove(int X, int Y);
  void DoMouseUp();

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The sheet is laid out anew for the new size.
  void Resize() override;

private:
  void SetFlag(bool& Field, bool Value);
  void ApplyOrientation();
  bool PrinterReady();
  void DrawPanelImage(TCustomGraphPanel* APanel, const TRect& R);
  void DrawMarginLines();
  // The margin lines on the window in not-xor, outside painting.
  void XorMarginLines();
  std::vector<TCustomGraphPanel*> FPanels;
  bool FAllowResize = true, FAllowMove = true, FAsBitmap = false, FDragImage = false;
  bool FShowImage = true, FSmoothBitmap = true;
  std::unique_ptr<TPreviewChartPen> FMargins;
  TGraphPreviewPanelOrientation FOrientation = ppoDefault;
  TColor FPaperColor = clWhite;
  std::unique_ptr<TGraphShadow> FPaperShadow;
  std::string FTitle;
  TRect FPaper, FImageRect;
  int FDragging = phNone;
  TPoint FStartPoint;
  TRect FStartRect;
};

// The print logical size of a panel (its size reduced by its print resolution).
TSize PanelPrintSize(TCustomGraphPanel* Panel);
