// Series marks: the labelled boxes a series draws beside its points, their texts per style,
// placement (remembered per point, movable by the user), overlap adjustment, hit testing and the
// per-point box formats with their "Items" stream property.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/graph_shapes.h"
#include "platform/types.h"

class TChartSeries;
class TMarksCallout;
class TStrings;
class TStream;

enum TSeriesMarksStyle {
  smsValue,
  smsPercent,
  smsLabel,
  smsLabelPercent,
  smsLabelValue,
  smsLegend,
  smsPercentTotal,
  smsLabelPercentTotal,
  smsXValue,
  smsXY
};
extern const TEnumInfo SeriesMarksStyleInfo;

// The placement of one drawn mark.
class TSeriesMarkPosition {
public:
  TPoint ArrowStart{0, 0};
  bool KeepArrowStart = false;
  TPoint ArrowEnd{0, 0};
  bool UserMoved = false;
  int32_t Height = 0;
  TPoint LeftTop{0, 0};
  int32_t Width = 0;

  // Positions and size; both flags stay.
  void Assign(const TSeriesMarkPosition& Source);
  TRect GetBounds() const { return TRect{LeftTop.X, LeftTop.Y, LeftTop.X + Width, LeftTop.Y + Height}; }
};

// One slot per point index.
class TSeriesMarksPositions {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  // nullptr beyond the list or for an empty slot.
  TSeriesMarkPosition* GetPosition(int Index) const;
  TSeriesMarkPosition* Position(int Index) const { return GetPosition(Index); }
  // Creates the slot's object when missing.
  TSeriesMarkPosition* Ensure(int Index);
  void Append(std::unique_ptr<TSeriesMarkPosition> Item) { FItems.push_back(std::move(Item)); }
  void Delete(int Index);
  void DeleteRange(int Start, int Quantity);
  void Exchange(int Index1, int Index2);
  void Clear() { FItems.clear(); }
  bool HasUserMoved() const;

private:
  std::vector<std::unique_ptr<TSeriesMarkPosition>> FItems;
};

class TSeriesMarksGradient : public TGraphGradient {
  VM_CLASS(TSeriesMarksGradient, TGraphGradient)
public:
  explicit TSeriesMarksGradient(const TNotifyEvent& OnChange = nullptr);
};

// The box format of one point's mark.
class TMarksItem : public TGraphCustomShape {
  VM_CLASS(TMarksItem, TGraphCustomShape)
public:
  explicit TMarksItem(IGraphShapeParent* Parent = nullptr);
  ~TMarksItem() override;

  // nullptr when no text was given.
  TStrings* TextOrNull() const { return FText.get(); }
  TStrings* Text();
  void SetText(TStrings* Value);

private:
  std::unique_ptr<TStrings> FText;
};

class TSeriesMarks;

class TMarksItems {
public:
  explicit TMarksItems(TSeriesMarks* AMarks) : Marks(AMarks) {}
  int Count() const { return static_cast<int>(FItems.size()); }
  // Grows and creates.
  TMarksItem* GetItem(int Index);
  TMarksItem* operator[](int Index) { return GetItem(Index); }
  // nullptr when none is stored.
  TMarksItem* Stored(int Index) const;
  void Delete(int Index);
  void DeleteRange(int Start, int Quantity);
  void Exchange(int Index1, int Index2);
  void Clear();

  TSeriesMarks* Marks;
  bool ItemsLoaded = false;

private:
  std::vector<std::unique_ptr<TMarksItem>> FItems;
};

class TSeriesMarksSymbol : public TGraphCustomShape {
  VM_CLASS(TSeriesMarksSymbol, TGraphCustomShape)
public:
  explicit TSeriesMarksSymbol(IGraphShapeParent* Parent = nullptr);
  void InitShadow(TGraphShadow* AShadow) override;
  bool IsDrawn() const { return Visible() && !Transparent(); }
};

class TSeriesMarks : public TGraphCustomShape {
  VM_CLASS(TSeriesMarks, TGraphCustomShape)
public:
  explicit TSeriesMarks(TChartSeries* Series = nullptr);
  ~TSeriesMarks() override;

  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;
  void SetParentChart(IGraphShapeParent* Value) override;
  void InitShadow(TGraphShadow* AShadow) override;
  TGradientClass GetGradientClass() const override { return TSeriesMarksGradient::StaticClass(); }

  int32_t Angle() const { return FAngle; }
  void SetAngle(int32_t Value);
  // Whether the marks show on a new series of the owner's type: Visible is stored only when it
  // differs from it, so hidden marks of a series type that starts with them shown survive a save.
  bool DefaultVisible = false;
  void SetStartVisible(bool Value) {
    DefaultVisible = Value;
    SetVisible(Value);
  }
  TMarksCallout* Callout();
  TMarksCallout* GetCallout() { return Callout(); }
  TMarksCallout* CalloutOrNull() const { return FCallout.get(); }
  void SetCallout(TMarksCallout* Value);
  int32_t ArrowLength();
  void SetArrowLength(int32_t Value);
  TChartPen* Arrow();
  void SetArrow(TChartPen* Value);
  TColor BackColor() const { return Color(); }
  void SetBackColor(TColor Value) { SetColor(Value); }
  bool Clip() const { return FClip; }
  void SetClip(bool Value);
  int32_t DrawEvery() const { return FDrawEvery; }
  void SetDrawEvery(int32_t Value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  TSeriesMarksStyle Style() const { return FStyle; }
  void SetStyle(TSeriesMarksStyle Value);
  TSeriesMarksSymbol* Symbol();
  TSeriesMarksSymbol* SymbolOrNull() const { return FSymbol.get(); }
  void SetSymbol(TSeriesMarksSymbol* Value);

  // The stored item of the point, or these marks.
  TGraphCustomShape* MarkItem(int ValueIndex) const;
  void ResetPositions();
  void ClearPositions();
  void ApplyCalloutOffset(TSeriesMarkPosition& Position);
  void ApplyStoredPosition(int ValueIndex, TSeriesMarkPosition& Position);
  void DrawMark(int ValueIndex, TColor Color, TSeriesMarkPosition& Position, const std::string& Text);
  void DrawMarkText(const TRect& Rect, const std::string& Text);
  TPoint ProjectMarkCorner(const TPoint& ArrowEnd, const TPoint& LeftTop) const;
  int MarkIndexAt(int X, int Y) const;
  void MoveToAvoidOverlap(int FirstIndex, int ValueIndex, TSeriesMarkPosition& Position);
  int MarkTextWidth(int ValueIndex);

  TChartSeries* OwnerSeries = nullptr;
  TSeriesMarksPositions Positions;
  TMarksItems Items;
  int32_t ZPosition = 0;

private:
  void RepaintSeries();
  TRect MarkBounds(int Index, const TSeriesMarkPosition& Position) const;
  void ReadItems(TStream& Stream);
  void WriteItems(TStream& Stream);

  int32_t FAngle = 0;
  std::unique_ptr<TMarksCallout> FCallout;
  bool FClip = false;
  int32_t FDrawEvery = 1;
  TSeriesMarksStyle FStyle = smsLabel;
  bool FMultiLine = false;
  std::unique_ptr<TSeriesMarksSymbol> FSymbol;
};

// Lines of a mark or legend text, split at the line separator.
std::vector<std::string> SplitMarkLines(const std::string& Text);
