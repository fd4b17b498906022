// Text boxes on a chart (the annotation tool, with an optional callout line to a point), a box the
// user moves and resizes (the rectangle tool), and a picture stretched behind the series (the
// image tool).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "chart/engine/chart.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "platform/picture.h"

class TAnnotationCallout : public TCallout {
  VM_CLASS(TAnnotationCallout, TCallout)
public:
  explicit TAnnotationCallout(TChartSeries* AOwner = nullptr);
  void Assign(TPersistent* Source) override;

  int32_t XPosition() const { return FXPosition; }
  void SetXPosition(int32_t Value);
  int32_t YPosition() const { return FYPosition; }
  void SetYPosition(int32_t Value);
  int32_t ZPosition() const { return FZPosition; }
  void SetZPosition(int32_t Value);

  TNotifyEvent OnChanged;

private:
  int32_t FXPosition = 0, FYPosition = 0, FZPosition = 0;
};

// The annotation's box: a shape the tool places.
class TGraphShapePosition : public TGraphCustomShapePosition {
  VM_CLASS(TGraphShapePosition, TGraphCustomShapePosition)
public:
  using TGraphCustomShapePosition::TGraphCustomShapePosition;
};

enum TAnnotationPosition { ppLeftTop, ppLeftBottom, ppRightTop, ppRightBottom };
extern const TEnumInfo AnnotationPositionInfo;

class TAnnotationTool;
using TAnnotationClick =
    std::function<void(TAnnotationTool* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

class TAnnotationTool : public TGraphCustomTool {
  VM_CLASS(TAnnotationTool, TGraphCustomTool)
public:
  explicit TAnnotationTool(TComponent* AOwner);
  ~TAnnotationTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TAnnotationToolEdit"; }
  void SetParentChart(TCustomAxisPanel* Value) override;
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  virtual std::string GetText() { return FText; }

  // The number of text lines, the text origin and the box.
  int CalcBox(int& X, int& Y, TRect& Box);
  bool ContainsPoint(int X, int Y);
  void PaintAnnotation();

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  TAnnotationCallout* Callout() const { return FCallout.get(); }
  void SetCallout(TAnnotationCallout* Value) { FCallout->Assign(Value); }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  TAnnotationPosition Position() const { return FPosition; }
  void SetPosition(TAnnotationPosition Value);
  TGraphUnits PositionUnits() const { return FPositionUnits; }
  void SetPositionUnits(TGraphUnits Value);
  TGraphShapePosition* Shape() const { return FShape.get(); }
  void SetShape(TGraphShapePosition* Value) { FShape->Assign(Value); }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(TAlignment Value);
  int32_t Left() const { return FShape->Left(); }
  void SetLeft(int32_t Value);
  int32_t Top() const { return FShape->Top(); }
  void SetTop(int32_t Value);
  int32_t Width() const { return FShape->Width(); }
  void SetWidth(int32_t Value);
  int32_t Height() const { return FShape->Height(); }
  void SetHeight(int32_t Value);

  TAnnotationClick OnClick;

protected:
  bool FAutoSize = true;
  TCursor FCursor = crDefault;
  TAnnotationPosition FPosition = ppLeftTop;
  TGraphUnits FPositionUnits = muPixels;
  std::unique_ptr<TGraphShapePosition> FShape;
  std::unique_ptr<TAnnotationCallout> FCallout;
  std::string FText;
  TAlignment FTextAlignment = taLeftJustify;
};

class TRectangleTool : public TAnnotationTool {
  VM_CLASS(TRectangleTool, TAnnotationTool)
public:
  explicit TRectangleTool(TComponent* AOwner);

  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  // -1 none, 0 left, 1 top, 2 right, 3 bottom.
  int EdgeAt(int X, int Y) const;

  TNotifyEvent OnDragging;
  TNotifyEvent OnResizing;

private:
  int FOffsetX = 0, FOffsetY = 0;
  bool FDragging = false;
  int FEdge = -1;
};

class TChartImageTool : public TGraphCustomToolSeries {
  VM_CLASS(TChartImageTool, TGraphCustomToolSeries)
public:
  explicit TChartImageTool(TComponent* AOwner);
  ~TChartImageTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TChartImageToolEditor"; }
  void HandleChartStage(TToolDrawStage Stage) override;
  void GetDescription(std::string& Text) override;
  void SetSeries(TChartSeries* Value) override;

  TRect ImageArea() const;
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }

private:
  std::unique_ptr<TPicture> FPicture;
};
