// The colour line (a line across the chart at a value of one axis, dragged with the left button)
// and the colour band (the strip between two values of one axis, with optional draggable edges).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"

enum TColorLineStyle { clCustom, clMaximum, clCenter, clMinimum };
extern const TEnumInfo ColorLineStyleInfo;

class TColorLineTool;
using TColorLineToolOnDrag = std::function<void(TColorLineTool* Sender)>;

class TColorLineTool : public TGraphCustomToolAxis {
  VM_CLASS(TColorLineTool, TGraphCustomToolAxis)
public:
  explicit TColorLineTool(TComponent* AOwner);
  ~TColorLineTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TColorLineToolEditor"; }
  void Assign(TPersistent* Source) override;
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  virtual void DoEndDragLine();

  // The axis value the line stands at, by Style.
  double LineValue() const;
  // V pulled into the range the axis shows.
  double ClampToAxis(double V) const;
  TCustomAxisPanel* ChartForDrawing() const { return OwnerChart ? OwnerChart : ParentChart(); }
  bool HitTest(int X, int Y) const;
  void PaintLine(bool Back);

  bool AllowDrag() const { return FAllowDrag; }
  void SetAllowDrag(bool Value) { FAllowDrag = Value; }
  bool DragRepaint() const { return FDragRepaint; }
  void SetDragRepaint(bool Value) { FDragRepaint = Value; }
  bool Draw3D() const { return FDraw3D; }
  void SetDraw3D(bool Value) { SetBooleanProperty(FDraw3D, Value); }
  bool DrawBehind() const { return FDrawBehind; }
  void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
  bool NoLimitDrag() const { return FNoLimitDrag; }
  void SetNoLimitDrag(bool Value) { FNoLimitDrag = Value; }
  TColorLineStyle Style() const { return FStyle; }
  void SetStyle(TColorLineStyle Value);
  double Value() const { return FValue; }
  void SetValue(double Value);
  bool Dragging() const { return FDragging; }

  TColorLineToolOnDrag OnBeginDragLine;
  TColorLineToolOnDrag OnDragLine;
  TColorLineToolOnDrag OnEndDragLine;
  // Chart to draw on while ParentChart is nil (the colour band's edge lines).
  TCustomAxisPanel* OwnerChart = nullptr;
  // Fired before OnEndDragLine (the colour band listens here).
  TColorLineToolOnDrag OnEndDragInternal;

protected:
  void PaintLineParts(bool Back);

private:
  struct TSegment {
    TPoint A, B;
    bool operator==(const TSegment&) const = default;
  };
  using TSink = std::function<void(int X0, int Y0, int Z0, int X1, int Y1, int Z1)>;
  void EmitLineParts(bool Back, bool FrontWhileDragging, const TSink& Sink);
  // The feedback of an exclusive-or drag: drawn once (erasing what was drawn before), or
  // erased again.
  void DrawXorFeedback();
  void EraseXorFeedback();
  bool XorDragging() const;

  bool FAllowDrag = true;
  bool FDragRepaint = false;
  bool FDraw3D = true;
  bool FDrawBehind = false;
  bool FNoLimitDrag = false;
  TColorLineStyle FStyle = clCustom;
  double FValue = 0;
  bool FDragging = false;
  // The segments of exclusive-or feedback now on the chart's surface.
  std::vector<TSegment> FXorShown;
};

class TColorBandTool : public TGraphCustomToolAxis {
  VM_CLASS(TColorBandTool, TGraphCustomToolAxis)
public:
  explicit TColorBandTool(TComponent* AOwner);
  ~TColorBandTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TColorBandToolEditor"; }
  void Loaded() override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  void SetAxis(TChartAxis* Value) override;

  TRect BandRect() const;
  int BandZ() const;
  bool HitTest(int X, int Y) const;
  void PaintBand();

  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { SetColorProperty(FColor, Value); }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  bool DrawBehind() const { return FDrawBehind; }
  void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
  bool DrawBehindAxes() const { return FDrawBehindAxes; }
  void SetDrawBehindAxes(bool Value) { SetBooleanProperty(FDrawBehindAxes, Value); }
  double EndValue() const { return FEndValue; }
  void SetEndValue(double Value);
  double StartValue() const { return FStartValue; }
  void SetStartValue(double Value);
  TGraphGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TGraphGradient* Value) { FGradient->Assign(Value); }
  TGraphTransparency Transparency() const { return FTransparency; }
  void SetTransparency(TGraphTransparency Value) { SetIntegerProperty(FTransparency, Value); }
  bool ResizeStart() const { return FStartLine->Active(); }
  void SetResizeStart(bool Value);
  bool ResizeEnd() const { return FEndLine->Active(); }
  void SetResizeEnd(bool Value);
  TChartPen* StartLinePen() const { return FStartLine->Pen(); }
  void SetStartLinePen(TChartPen* Value) { FStartLine->Pen()->Assign(Value); }
  TChartPen* EndLinePen() const { return FEndLine->Pen(); }
  void SetEndLinePen(TChartPen* Value) { FEndLine->Pen()->Assign(Value); }
  TColorLineTool* StartEdgeLine() const { return FStartLine.get(); }
  TColorLineTool* EndEdgeLine() const { return FEndLine.get(); }

  TMouseEvent OnClick;

private:
  void SyncEdgeLines();
  void EdgeLineDragged(TColorLineTool* Line);
  void EdgeLineDragEnded(TColorLineTool* Line);

  TColor FColor = clWhite;
  TCursor FCursor = crDefault;
  bool FDrawBehind = true;
  bool FDrawBehindAxes = false;
  double FEndValue = 0;
  double FStartValue = 0;
  std::unique_ptr<TGraphGradient> FGradient;
  TGraphTransparency FTransparency = 0;
  std::unique_ptr<TColorLineTool> FStartLine;
  std::unique_ptr<TColorLineTool> FEndLine;
};
