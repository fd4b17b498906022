// The chart panel: the window control every chart draws on. It owns the chart canvas, the 3D
// view settings, border, shadow, margins and print settings, turns a paint request into one call
// of DrawContents, prints and renders itself, and passes mouse actions and changes on to its
// listeners. Also the small helpers of the panel unit (date-time steps, default colour, check
// boxes, bevels).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/graph_shapes.h"
#include "platform/bitmap.h"
#include "platform/controls.h"

class TMetafile;
class TCustomGraphPanel;

enum TGraphUnits { muPercent, muPixels };
extern const TEnumInfo GraphUnitsInfo;

// Process-wide switches of the panel unit.
extern bool ClipWhenPrinting;      // True: clip while printing
extern bool ClipWhenMetafiling;    // True: clip while drawing into a metafile
extern bool PanelEraseBackground;  // False: the window system never erases the panel
extern bool PrintPanelBackground;  // False: printing leaves out the panel background and bevels

// A panel that never shows its name as caption. It carries the panel's frame settings: bevels on
// both sides of a border of BorderWidth pixels.
class TCustomPanelNoCaption : public TCustomControl {
  VM_CLASS(TCustomPanelNoCaption, TCustomControl)
public:
  explicit TCustomPanelNoCaption(TComponent* AOwner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  int32_t BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int32_t Value);
  int32_t BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int32_t Value);

private:
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int32_t FBevelWidth = 1;
  int32_t FBorderWidth = 0;
};

// ---------------------------------------------------------------------------------------------
// Events broadcast to listeners.
class TGraphEvent : public TObject {
  VM_CLASS(TGraphEvent, TObject)
public:
  TCustomGraphPanel* Sender = nullptr;
};

enum TGraphMouseEventKind { meDown, meUp, meMove };

class TGraphMouseEvent : public TGraphEvent {
  VM_CLASS(TGraphMouseEvent, TGraphEvent)
public:
  TGraphMouseEventKind Event = meDown;
  TMouseButton Button = mbLeft;
  TShiftState Shift;
  int32_t X = 0;
  int32_t Y = 0;
};

class TGraphView3DEvent : public TGraphEvent {
  VM_CLASS(TGraphView3DEvent, TGraphEvent)
};

class IChartEventListener {
public:
  virtual void ChartEvent(TGraphEvent* Event) = 0;

protected:
  ~IChartEventListener() = default;
};

using TGraphPrintEvent = std::function<void(TCustomGraphPanel* Sender, TCanvas* Canvas, TRect& R)>;

// ---------------------------------------------------------------------------------------------
class TCustomGraphPanel : public TCustomPanelNoCaption, public IGraphShapeParent {
  VM_CLASS(TCustomGraphPanel, TCustomPanelNoCaption)
public:
  explicit TCustomGraphPanel(TComponent* AOwner);
  ~TCustomGraphPanel() override;

  // -- overrides of the toolkit ------------------------------------------------------------------
  void AssignTo(TPersistent* Dest) override;
  void DefineProperties(TFiler* Filer) override;
  void Assign(TPersistent* Source) override;
  void Loaded() override;
  void Invalidate() override;

  // -- introduced virtual operations ------------------------------------------------------------
  virtual TColor GetBackColor();
  virtual void DrawContents(const TRect& Rect);
  virtual void SettingChanged(TObject* Sender);
  virtual void Draw(TCanvas* UserCanvas, const TRect& Rect);
  virtual void GetPanelRect(TRect& Rect);
  TRect PanelRect() {
    TRect r;
    GetPanelRect(r);
    return r;
  }

  // -- drawing and output -------------------------------------------------------------------------
  void DrawUnbuffered(TCanvas* UserCanvas, const TRect& Rect);
  void DrawMetafiling(TCanvas* UserCanvas, const TRect& Rect);
  TMetafile* CreateMetafile(bool Enhanced, const TRect& Rect);
  TBitmap* CreateBitmap(TColor BackColor, const TRect& Rect, TPixelFormat Format);
  TBitmap* CreatePanelBitmap();
  // Draws the panel on its own canvas (the axes and the chart rectangle then have their sizes),
  // without waiting for the next paint.
  void DrawToOwnCanvas();
  // Drawing the panel (of PanelRect) into the Target rectangle: Target put in order and rescaled
  // into the logical units, whose width and height go to Logical.
  void CalcPrintScaling(const TRect& PanelRect, TRect& Target, TSize& Logical);
  void PrintToCanvas(TCanvas* UserCanvas, const TRect& Rect);
  void PrintInRect(const TRect& Rect);
  void CalcPrintRect(TRect& Rect);
  void CalcProportionalMargins(TRect& Margins);
  bool CanClip();
  void CalcChartRectSize();
  virtual void DrawPanelBevels(TRect Rect);

  // -- compare-and-repaint setters ----------------------------------------------------------------
  void SetStringProperty(std::string& Field, const std::string& Value);
  void SetDoubleProperty(double& Field, double Value);
  void SetColorProperty(TColor& Field, TColor Value) override;
  void SetBooleanProperty(bool& Field, bool Value) override;
  void SetIntegerProperty(int32_t& Field, int32_t Value);
  void SetBrushCanvas(TColor Color, TChartBrush* Brush, TColor BackColor);

  // IGraphShapeParent
  TCanvas3D* ShapeCanvas() override { return Canvas; }

  // -- the kept base layer ----------------------------------------------------------------------------
  // While KeepBaseLayer is on, a drawing into the panel's own buffer keeps a copy of the picture
  // as it stands below the top layers (the custom-positioned legend and titles, the zoom band, the
  // tools' last stage and what the panel draws after them). A change that only moves a shape of
  // the top layers is made inside a TTopLayerChange: the next drawing then starts from the copy
  // and draws the top layers alone. Any other change, a drawing elsewhere (a bitmap, a metafile,
  // the printer) or another size drops the copy, so the picture is always what a full drawing
  // gives.
  bool KeepBaseLayer() const { return FKeepBaseLayer; }
  void SetKeepBaseLayer(bool Value);
  // The panel holds a base layer that the next drawing may start from.
  bool HasBaseLayer() const;

  // -- listeners ------------------------------------------------------------------------------------
  void RemoveListener(IChartEventListener* Listener);
  TGraphEvent* BroadcastEvent(TGraphEvent* Event);
  void BroadcastMouseEvent(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y);

  // -- properties -------------------------------------------------------------------------------------
  TChartHiddenPen* Border() const { return FBorder.get(); }
  void SetBorder(TChartHiddenPen* Value) { FBorder->Assign(Value); }
  int32_t BorderRound() const { return FBorderRound; }
  void SetBorderRound(int32_t Value);
  bool BufferedDisplay() const;
  void SetBufferedDisplay(bool Value);
  // Index 0 left, 1 top, 2 right, 3 bottom; any other index is a range error.
  int32_t Margin(int Index) const;
  void SetMargin(int Index, int32_t Value);
  int32_t MarginLeft() const { return FMargins[0]; }
  void SetMarginLeft(int32_t Value) { SetMargin(0, Value); }
  int32_t MarginTop() const { return FMargins[1]; }
  void SetMarginTop(int32_t Value) { SetMargin(1, Value); }
  int32_t MarginRight() const { return FMargins[2]; }
  void SetMarginRight(int32_t Value) { SetMargin(2, Value); }
  int32_t MarginBottom() const { return FMargins[3]; }
  void SetMarginBottom(int32_t Value) { SetMargin(3, Value); }
  TGraphUnits MarginUnits() const { return FMarginUnits; }
  void SetMarginUnits(TGraphUnits Value);
  bool Monochrome() const;
  void SetMonochrome(bool Value);
  bool PrintProportional() const { return FPrintProportional; }
  void SetPrintProportional(bool Value) { FPrintProportional = Value; }
  int32_t PrintResolution() const { return FPrintResolution; }
  void SetPrintResolution(int32_t Value) { FPrintResolution = Value; }
  // Left, top, right, bottom percentages of the printer page.
  const TRect& PrintMargins() const { return FPrintMargins; }
  void SetPrintMargins(const TRect& Value) { FPrintMargins = Value; }
  TGraphShadow* Shadow() const { return FShadow.get(); }
  void SetShadow(TGraphShadow* Value) { FShadow->Assign(Value); }
  bool View3D() const { return FView3D; }
  void SetView3D(bool Value);
  TView3DOptions* View3DOptions() const { return FView3DOptions.get(); }
  void SetView3DOptions(TView3DOptions* Value) { FView3DOptions->Assign(Value); }

  TGraphPrintEvent OnBeforePrint;

  // -- public fields ----------------------------------------------------------------------------------
  TGraphCanvas3D* Canvas = nullptr;  // the drawing code's view of FCanvas
  TRect ChartBounds;
  TRect ChartRect;
  int32_t ChartWidth = 0, ChartHeight = 0, ChartXCenter = 0, ChartYCenter = 0;
  int32_t Width3D = 0, Height3D = 0;
  bool AutoRepaint = false;
  bool CancelMouse = false;
  bool Printing = false;
  TCursor OriginalCursor = crDefault;
  std::unique_ptr<TZoomPanning> Panning;
  std::unique_ptr<TGraphEventListeners> Listeners;  // the listeners are not owned

  // Draws through ACanvas from now on, which the panel owns; the canvas it had is freed.
  void AdoptCanvas(std::unique_ptr<TGraphCanvas3D> ACanvas);

  // The toolkit's window canvas the chart canvas shows its image on.
  TCanvas* WindowCanvas() const { return TCustomControl::Canvas(); }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void MouseLeave() override;
  void Resize() override;
  void ApplyWindowRegion();
  // At the boundary of the top layers, for DrawContents: puts the kept base layer back with the
  // geometry of the drawing that kept it and returns true, so the layers below need no drawing;
  // false when there is none to use.
  bool RestoreBaseLayer();
  // Keeps the picture drawn so far as the base layer, when this drawing may.
  void StoreBaseLayer();

private:
  friend class TTopLayerChange;
  void DropBaseLayer();

  void ReadBorderStyle(TReader* Reader);

  int32_t FMargins[4] = {3, 4, 3, 4};
  TGraphUnits FMarginUnits = muPercent;
  bool FView3D = true;
  int32_t FBorderRound = 0;
  bool FPrintProportional = true;
  int32_t FPrintResolution = 0;
  TRect FPrintMargins{15, 15, 15, 15};
  bool FApplyingRegion = false;
  std::unique_ptr<TView3DOptions> FView3DOptions;
  std::unique_ptr<TGraphShadow> FShadow;
  std::unique_ptr<TChartHiddenPen> FBorder;
  std::unique_ptr<TGraphCanvas3D> FCanvas;

  // The base layer and what its drawing had computed up to it.
  struct TBaseLayer;
  std::unique_ptr<TBaseLayer> FBaseLayer;
  bool FKeepBaseLayer = false;
  bool FDrawing = false;          // inside Draw: changes made by the drawing itself keep the layer
  bool FBaseLayerUsable = false;  // the drawing under way is one into the panel's own buffer
  int32_t FTopLayerChanges = 0;
};

// Marks the changes made during its life as changes of the top layers only (a custom-positioned
// legend, title or annotation moved), which leave the panel's kept base layer valid.
class TTopLayerChange {
public:
  explicit TTopLayerChange(TCustomGraphPanel* Panel) : FPanel(Panel) { ++FPanel->FTopLayerChanges; }
  ~TTopLayerChange() { --FPanel->FTopLayerChanges; }
  TTopLayerChange(const TTopLayerChange&) = delete;
  TTopLayerChange& operator=(const TTopLayerChange&) = delete;

private:
  TCustomGraphPanel* FPanel;
};

// ---------------------------------------------------------------------------------------------
// Helpers of the panel unit.
std::string IntToText(int32_t Value);
TColor GetDefaultColor(int Index);
// Month 1..12; any other is a range error.
int DaysInMonth(uint16_t Year, uint16_t Month);
std::string DateTimeDefaultFormat(double Step);
double NextDateTimeStep(double Value);
int FindDateTimeStep(double Value);
void DrawCheckBox(int X, int Y, TCanvas* Canvas, bool Checked, TColor BackColor, bool CheckBox = true);
int DeviceGetCaps(TCanvas* DC, int Index);
double DeviceAspectRatio(TGraphCanvas3D* Canvas);
void ClientMousePosition(TControl* Control, TPoint& P);
void DrawBevel(TGraphCanvas3D* Canvas, TBevelCut Kind, TRect& R, int Width, int Radius);
