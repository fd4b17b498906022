// The chart element, the series base and what every series type shares: value lists, point
// colours and labels, marks, axis binding, adding and deleting points with their events, data
// sources and dependents, streaming of the points, the visible range and legend texts.
// A series type draws one point (DrawOneValue) and overrides what differs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/value_lists.h"
#include "platform/component.h"
#include "platform/controls.h"
#include "platform/graphics.h"
#include "platform/set.h"

class TChartAxis;
class TChartLegend;
class TChartSeries;
class TCustomAxisPanel;
class TCustomSeriesList;
class TGraphFunction;
class TSeriesMarks;
class TSeriesMarkPosition;
class TStream;
class TStrings;

// ---------------------------------------------------------------------------------------------
// Kinds shared by the series and the chart.

enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };
extern const TEnumInfo HorizAxisInfo;
extern const TEnumInfo VertAxisInfo;

// The change a series announces to the series that use it as data source.
enum TValueChangeKind { vckClear, vckAdd, vckDelete, vckRefresh, vckModify };

// How legend rows of values are worded.
enum TLegendTextStyle {
  ltsPlain,
  ltsLeftValue,
  ltsRightValue,
  ltsLeftPercent,
  ltsRightPercent,
  ltsXValue,
  ltsValue,
  ltsPercent,
  ltsXAndValue,
  ltsXAndPercent
};

// Which changes of a source series a dependent follows (values 1, 2, 4, 8).
enum TFollowedSourceChange { fscDelete, fscModify, fscAdd, fscClear };
using TFollowedSourceChanges = TSet<TFollowedSourceChange>;

// The colour value meaning "automatic": the series' or the chart's own colour applies.
constexpr TColor clGraphColor = clDefault;
constexpr TColor clAutoColor = clDefault;

// Six flags the editor reads; the engine stores, streams and copies them.
using TSeriesStyle = uint8_t;

using TSeriesOnAfterAdd = std::function<void(TChartSeries* Sender, int ValueIndex)>;
using TSeriesOnBeforeAdd = std::function<bool(TChartSeries* Sender)>;
using TSeriesOnClear = std::function<void(TChartSeries* Sender)>;
using TSeriesClick =
    std::function<void(TChartSeries* Sender, int ValueIndex, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TSeriesOnGetMarkText = std::function<void(TChartSeries* Sender, int ValueIndex, std::string& MarkText)>;
using TAddStyleProc = std::function<void(const std::string& Text)>;

// Start X, X step, current Y, minimum Y, Y range of random sample points.
struct TRandomPointBounds {
  double StartX = 0;
  double StepX = 0;
  double tmpY = 0;
  double MinY = 0;
  double DifY = 0;
};

// The process's pseudo-random integer in 0..Limit-1.
int32_t RandomInteger(int32_t Limit);

// ---------------------------------------------------------------------------------------------
// The metaclass family of chart elements: the class operation GetEditorClassName.
class TChartElementMetaClass : public TComponentMetaClass {
public:
  using TComponentMetaClass::TComponentMetaClass;
  virtual void GetEditorClassName(std::string& Name) const { Name.clear(); }
};
template <class T, class Base = TChartElementMetaClass>
class TChartElementMetaImpl : public TComponentMetaImpl<T, Base> {
public:
  using TComponentMetaImpl<T, Base>::TComponentMetaImpl;
  void GetEditorClassName(std::string& Name) const override { T::ClassEditorName(Name); }
};
template <class T>
using TChartElementMeta = TChartElementMetaImpl<T>;
using TChartElementClass = const TChartElementMetaClass*;

// Shared by series and tools.
class TCustomChartElement : public TComponent {
  VM_CLASS_FAMILY(TCustomChartElement, TComponent, TChartElementMetaClass, TChartElementMeta)
public:
  explicit TCustomChartElement(TComponent* AOwner);
  ~TCustomChartElement() override;

  // The class operation behind GetEditorClassName (empty in the base).
  static void ClassEditorName(std::string& Name) { Name.clear(); }

  virtual void PenBrushChanged(TObject* Sender);
  virtual void SetActive(bool Value);
  virtual void SetParentChart(TCustomAxisPanel* Value);
  virtual void SetPen(TChartPen* Value);

  void Assign(TPersistent* Source) override;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  bool Active() const { return FActive; }
  TChartBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TChartBrush* Value);
  TChartPen* Pen() const { return FPen.get(); }
  TCustomAxisPanel* ParentChart() const { return FParentChart; }
  bool ShowInEditor() const { return FShowInEditor; }
  void SetShowInEditor(bool Value) { FShowInEditor = Value; }
  bool Internal() const { return FInternal; }
  void SetInternal(bool Value) { FInternal = Value; }

  // A pen that repaints the element when it changes (series types use it for extra pens).
  TChartPen* CreateChartPen();
  // Asks the chart, when there is one, to repaint.
  void Repaint();

  void SetBooleanProperty(bool& Field, bool Value);
  void SetColorProperty(TColor& Field, TColor Value);
  void SetDoubleProperty(double& Field, double Value);
  void SetIntegerProperty(int32_t& Field, int32_t Value);
  void SetStringProperty(std::string& Field, const std::string& Value);

protected:
  bool FActive = true;
  TCustomAxisPanel* FParentChart = nullptr;

private:
  std::unique_ptr<TChartBrush> FBrush;
  std::unique_ptr<TChartPen> FPen;
  bool FShowInEditor = true;
  bool FInternal = false;
};

// The editor form class name of an element class.
void GetElementEditorClassName(TChartElementClass ElementClass, std::string& Name);

class TCustomChartSeries : public TCustomChartElement {
  VM_CLASS(TCustomChartSeries, TCustomChartElement)
public:
  explicit TCustomChartSeries(TComponent* AOwner);

  virtual void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin);
  virtual void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin);
  virtual void PrepareForDraw() {}

  virtual void AddedToChart() {}
  virtual void SetGalleryView3D(bool Value);
  virtual void RemovedFromChart() { FParentChart = nullptr; }

  bool ShowInLegend() const { return FShowInLegend; }
  void SetShowInLegend(bool Value);
  const std::string& Title() const { return FTitle; }
  virtual void SetTitle(const std::string& Value);
  const std::string& Identifier() const { return FIdentifier; }
  void SetIdentifier(const std::string& Value) { FIdentifier = Value; }
  TSeriesStyle SeriesStyle() const { return FSeriesStyle; }
  void SetSeriesStyle(TSeriesStyle Value) { FSeriesStyle = Value & 0x3F; }

protected:
  bool FShowInLegend = true;
  std::string FTitle;
  std::string FIdentifier;
  TSeriesStyle FSeriesStyle = 0;
};

// The value lists of one series: 0 the X list, 1 the Y list, 2 and up further lists. Owns them.
class TChartValueLists {
public:
  TChartValueLists() = default;
  TChartValueLists(const TChartValueLists&) = delete;
  TChartValueLists& operator=(const TChartValueLists&) = delete;
  ~TChartValueLists() { Clear(); }

  int Count() const { return static_cast<int>(FItems.size()); }
  // Range error outside 0..Count-1.
  TChartValueList* GetValueList(int Index) const;
  TChartValueList* operator[](int Index) const { return GetValueList(Index); }
  void Add(TChartValueList* List) { FItems.push_back(List); }
  void Clear();

private:
  std::vector<TChartValueList*> FItems;
};

// One optional text per point index.
class TLabelsList {
public:
  explicit TLabelsList(TChartSeries* ASeries) : Series(ASeries) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  std::string LabelAt(int Index) const;
  void SetLabelAt(int Index, const std::string& Text);
  void InsertLabelAt(int Index, const std::string& Text);
  void DeleteLabelAt(int Index);
  void DeleteRange(int Start, int Quantity);
  void Exchange(int Index1, int Index2);
  int FindLabel(const std::string& Text, bool CaseSensitive = true) const;
  void AssignLabels(const TLabelsList& Other);
  void Clear() { FItems.clear(); }

  TChartSeries* Series;

private:
  std::vector<std::unique_ptr<std::string>> FItems;
};

// The series' data sources: component references, not owned. Every entry that leaves the list is
// reported to the series.
class TDataSourcesList {
public:
  explicit TDataSourcesList(TChartSeries* ASeries) : Series(ASeries) {}
  int Count() const { return static_cast<int>(FItems.size()); }
  TComponent* Items(int Index) const;
  TComponent* operator[](int Index) const { return Items(Index); }
  int IndexOf(const TComponent* Item) const;
  // Adds Source as a further data source (the chart's checks apply).
  int AddSource(TComponent* Source);
  void Clear();
  // Without reports: used by the series itself.
  void Append(TComponent* Item) { FItems.push_back(Item); }
  bool Remove(TComponent* Item);

  TChartSeries* Series;

private:
  std::vector<TComponent*> FItems;
};

// ---------------------------------------------------------------------------------------------
class TChartSeries : public TCustomChartSeries {
  VM_CLASS(TChartSeries, TCustomChartSeries)
public:
  explicit TChartSeries(TComponent* AOwner);
  ~TChartSeries() override;

  // -- virtual operations -------------------------------------------------------------------------
  virtual int32_t CopyPointValues(TChartSeries* Source, int32_t Index);
  virtual void CopyPoint(TChartSeries* Source, int32_t Index);
  virtual void RecalcFromSource(TChartSeries* Source);
  virtual void FindVisibleRange();
  virtual void AssignZOrder();
  virtual void CalcDepthPositions();
  virtual void ClearPointData();
  virtual void ListStyleVariants(const TAddStyleProc& AddStyle);
  virtual void SourcePointDeleted(TChartSeries* Source, int32_t Index);
  virtual void FireAfterDrawValues();
  virtual void FireBeforeDrawValues();
  virtual void DrawVisiblePoints();
  virtual void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect);
  virtual void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position);
  virtual void DrawOneValue(int32_t /*ValueIndex*/) {}
  virtual TColor PointColorAt(int32_t Index);
  virtual double XValueAt(int32_t Index) const;
  virtual double YValueAt(int32_t Index) const;
  virtual void AfterPointAdded(TChartSeries* Sender, int32_t ValueIndex);
  virtual void NotifyDependents(TValueChangeKind Kind, int32_t ValueIndex);
  virtual bool SharesZOrder();
  virtual void AdjustLegendBrush(int32_t /*ValueIndex*/, TColor& /*BackColor*/, TBrushStyle& /*Style*/) {}
  virtual void SetColorEachPoint(bool Value);
  virtual void SetSeriesColor(TColor Value);
  virtual void ApplyStyleVariant(TChartSeries* /*Target*/, int /*Index*/) {}
  virtual TChartValueList* ValueListForAxis(TChartAxis* Axis);
  virtual int32_t AddValue(double Value, const std::string& Label = "", TColor Color = clDefault);
  virtual int32_t AddNullValue(const std::string& Label = "");
  virtual int32_t AddNullPoint(double X, double Y, const std::string& Label = "");
  virtual int32_t AddPoint(double X, double Y, const std::string& Label = "", TColor Color = clDefault);
  virtual bool IsBoundToAxis(TChartAxis* Axis);
  virtual void ClearValues();
  virtual int32_t LegendEntryCount() { return PointCount(); }
  virtual void Delete(int32_t ValueIndex);
  virtual void DeleteRange(int32_t Start, int32_t Quantity, bool RenumberPositions = false);
  virtual int32_t LegendIndexToValue(int32_t LegendIndex) { return LegendIndex; }
  virtual TColor LegendEntryColor(int32_t ValueIndex) { return PointColorAt(ValueIndex); }
  virtual void FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text);
  virtual double HighestX();
  virtual double HighestY();
  virtual double HighestZ();
  virtual double LowestX();
  virtual double LowestY();
  virtual double LowestZ();
  virtual int32_t ScreenXAt(int32_t Index);
  virtual int32_t ScreenYAt(int32_t Index);
  virtual TChartValueList* ValueListByName(const std::string& Name);
  virtual int32_t PointIndexAt(int32_t /*X*/, int32_t /*Y*/) { return -1; }
  virtual double StackValueAt(int32_t Index) { return MainValueAt(Index); }
  virtual double MainValueAt(int32_t Index) const;
  virtual bool IsDrawnForward();
  virtual bool IsValueDrawnForward(int32_t ValueIndex);
  virtual void DrawLegendSymbol(int32_t ValueIndex, const TRect& Rect);
  virtual bool UsesAxes() { return true; }
  virtual void AttachFunction(TGraphFunction* Function);
  // The series has its own Z values (the depth axis labels them).
  virtual bool HasZValues() { return false; }

  // -- dynamic operations -------------------------------------------------------------------------
  void AddedToChart() override;
  void RemovedFromChart() override;
  virtual void AddRandomPoints(int32_t Count, bool ValuesOnly);
  virtual void MakeGalleryThumbnail(bool Coloured);
  virtual void WriteData(TStream& Stream);
  virtual void SortByValueOrder();
  virtual void FillSampleValues(int32_t NumValues = 0);
  virtual bool AcceptsSourceSeries(TChartSeries* Source) { return Source != this; }
  virtual bool FunctionAcceptsSource(TChartSeries* Source);
  virtual int32_t DefaultRandomCount() { return 25; }
  virtual void ExchangePoints(int32_t Index1, int32_t Index2);

  // -- framework overrides ------------------------------------------------------------------------
  void SetParentChart(TCustomAxisPanel* Value) override;
  void SetActive(bool Value) override;
  void SetTitle(const std::string& Value) override;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // -- points ---------------------------------------------------------------------------------------
  int32_t PointCount() const { return FXValues->Count(); }
  int32_t Count() const { return PointCount(); }
  int32_t AddXY(double X, double Y, const std::string& Label = "", TColor Color = clDefault) {
    return AddPoint(X, Y, Label, Color);
  }
  int32_t AddY(double Y, const std::string& Label = "", TColor Color = clDefault) { return AddValue(Y, Label, Color); }
  int32_t AddXOnly(double X, const std::string& Label = "", TColor Color = clDefault);
  int32_t AddYOnly(double Y, const std::string& Label = "", TColor Color = clDefault);
  void SetXValueAt(int32_t Index, double Value);
  void SetYValueAt(int32_t Index, double Value);
  bool IsNullPoint(int32_t Index) { return PointColorAt(Index) == clNone; }
  void BeginUpdate() { ++UpdateCount; }
  void EndUpdate();
  void NotifyValuesChanged();
  void RefreshDataFromSource();
  void ReplaceValuesFrom(TChartSeries* Source) { RecalcFromSource(Source); }
  void AssignValueList(TChartValueList* Target, TChartValueList* Source);
  void AssignSeriesData(TChartSeries* Source);
  void ReadData(TStream& Stream);

  // -- colours --------------------------------------------------------------------------------------
  TColor GetSeriesColor() const { return ColorSetting == clDefault ? AutoColor : ColorSetting; }
  TColor SeriesColor() const { return GetSeriesColor(); }
  void SetAutoColor(TColor Color);
  void NotifyColorChanged();
  TColor StoredColorAt(int32_t Index) const;
  void SetPointColorAt(int32_t Index, TColor Color);
  void CreateColorList();
  bool ColorEachPoint() const { return FColorEachPoint; }

  // -- labels ---------------------------------------------------------------------------------------
  std::string LabelAt(int32_t Index) const { return Labels->LabelAt(Index); }
  void SetLabelAt(int32_t Index, const std::string& Text);

  // -- axes -------------------------------------------------------------------------------------------
  void BindAxes();
  THorizAxis HorizAxis() const { return FHorizAxis; }
  void SetHorizAxis(THorizAxis Value);
  TVertAxis VertAxis() const { return FVertAxis; }
  void SetVertAxis(TVertAxis Value);
  TChartAxis* CustomHorizAxis() const { return FCustomHorizAxis; }
  void SetCustomHorizAxis(TChartAxis* Axis);
  TChartAxis* CustomVertAxis() const { return FCustomVertAxis; }
  void SetCustomVertAxis(TChartAxis* Axis);
  TChartAxis* GetHorizAxis() const { return HorizAxisObject; }
  TChartAxis* GetVertAxis() const { return VertAxisObject; }
  TChartAxis* GetValueAxis() const { return YMandatory ? VertAxisObject : HorizAxisObject; }
  void SetHorizontalLayout();
  int32_t ValueToScreenX(double Value);
  int32_t ValueToScreenY(double Value);
  int32_t ValueToScreenPos(double Value);
  double PixelXToValue(int32_t Pixel);
  double PixelYToValue(int32_t Pixel);
  // The pixel of a position and of a value (the names the chart's helpers use).
  int32_t CalcXPos(int32_t Index) { return ScreenXAt(Index); }
  int32_t CalcYPos(int32_t Index) { return ScreenYAt(Index); }
  double MinXValue() { return LowestX(); }
  double MaxXValue() { return HighestX(); }
  double MinYValue() { return LowestY(); }
  double MaxYValue() { return HighestY(); }
  double XValue(int32_t Index) const { return XValueAt(Index); }
  double YValue(int32_t Index) const { return YValueAt(Index); }

  // -- other settings ---------------------------------------------------------------------------------
  TChartValueList* XValues() const { return FXValues; }
  void SetXValues(TChartValueList* Value) { AssignValueList(FXValues, Value); }
  TChartValueList* YValues() const { return FYValues; }
  void SetYValues(TChartValueList* Value) { AssignValueList(FYValues, Value); }
  TSeriesMarks* Marks() const { return FMarks.get(); }
  void SetMarks(TSeriesMarks* Value);
  const std::string& ValueFormat() const { return FValueFormat; }
  void SetValueFormat(const std::string& Value) { SetStringProperty(FValueFormat, Value); }
  const std::string& PercentFormat() const { return FPercentFormat; }
  void SetPercentFormat(const std::string& Value) { SetStringProperty(FPercentFormat, Value); }
  int32_t Depth() const { return FDepth; }
  void SetDepth(int32_t Value) { SetIntegerProperty(FDepth, Value); }
  const std::string& ColorSource() const { return FColorSource; }
  void SetColorSource(const std::string& Value);
  const std::string& XLabelsSource() const { return FXLabelsSource; }
  void SetXLabelsSource(const std::string& Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  int32_t ZOrder() const { return FZOrder; }
  void SetZOrder(int32_t Value);
  int32_t EffectiveZOrder() const { return FZOrder == -1 ? AutoZOrder : FZOrder; }
  TFollowedSourceChanges FollowedSourceChanges() const { return FFollowedSourceChanges; }
  void SetFollowedSourceChanges(TFollowedSourceChanges Value) { FFollowedSourceChanges = Value; }
  TGraphFunction* FunctionObject() const { return FFunctionObject; }
  // Forgets the function object without freeing it (the function moves elsewhere).
  void ReleaseFunction() { FFunctionObject = nullptr; }

  // -- data sources ------------------------------------------------------------------------------------
  TComponent* GetDataSource() const;
  TComponent* DataSource() const { return GetDataSource(); }
  void SetDataSource(TComponent* Value);
  int32_t SetDataSourceChecked(TComponent* Source, bool ReplaceOthers);
  int32_t AddDataSourceInternal(TComponent* Source);
  void RemoveDataSource(TComponent* Source);
  // Called by the list after it has removed every entry.
  void DataSourcesCleared(const std::vector<TComponent*>& Removed);

  // -- texts ---------------------------------------------------------------------------------------------
  std::string MarkValueText(double Value) const;

  // -- drawing support -------------------------------------------------------------------------------
  int32_t FirstDrawIndex() { return IsDrawnForward() ? FirstValueIndex : LastValueIndex; }
  void CalcPageRange(int32_t& First, int32_t& Last);
  bool IsFirstOfZOrder();
  void CalcRandomBounds(int32_t Count, TRandomPointBounds& Bounds);
  void OrderByLabels(TChartListOrder Order = loAscending);
  int32_t CompareLabelTexts(int32_t Index1, int32_t Index2);
  // Mark texts and drawing.
  void BuildMarkText(int32_t ValueIndex, std::string& Text);
  std::string GetMarkText(int32_t ValueIndex) {
    std::string s;
    BuildMarkText(ValueIndex, s);
    return s;
  }
  void PercentText(int32_t ValueIndex, bool WithTotal, std::string& Text);
  void DrawAllMarks();
  int32_t WidestMarkText();

  // Raises ChartException "Circular Series dependences are not allowed" when this series occurs
  // among the data sources of Source, at any depth, or is Source itself.
  void CheckCircularSource(TComponent* Source);
  // Drawing limited to the visible range of an ordered position list.
  bool CalcVisiblePoints() const { return LimitVisibleRange; }
  void SetCalcVisiblePoints(bool Value) { LimitVisibleRange = Value; }
  // The series has one colour that lists show.
  bool UsesSeriesColor() const { return ShowsSeriesColor; }
  void SetUsesSeriesColor(bool Value) { ShowsSeriesColor = Value; }

  // -- mouse ---------------------------------------------------------------------------------------------
  bool CheckMouseEnterLeave(int32_t X, int32_t Y);
  void NotifySeriesListView();
  bool IsSameKind(const TChartSeries* Other) const;

  // -- fields ----------------------------------------------------------------------------------------------
  TColor ColorSetting = clDefault;
  // The colour was given by hand while it was the automatic one: ColorSetting stays clDefault
  // (nothing changed on screen), but the colour is the series' own from then on. It is written to
  // files and kept when the automatic colour changes.
  bool ColorChosen = false;
  std::unique_ptr<std::vector<TColor>> PointColors;
  std::unique_ptr<TDataSourcesList> DataSources;
  TChartAxis* HorizAxisObject = nullptr;
  TChartAxis* VertAxisObject = nullptr;
  std::unique_ptr<TCustomSeriesList> DependentSeries;
  std::unique_ptr<TStrings> PendingSourceNames;
  TChartValueLists ValueLists;
  std::unique_ptr<TLabelsList> Labels;
  bool MouseInside = false;
  TChartListOrder LabelSortOrder = loNone;
  TColor AutoColor = clDefault;

  TNotifyEvent AfterDrawValues;
  TNotifyEvent BeforeDrawValues;
  TSeriesOnAfterAdd OnAfterAdd;
  TSeriesOnBeforeAdd OnBeforeAdd;
  TSeriesOnClear OnClearValues;
  TSeriesClick OnClick;
  TSeriesClick OnDblClick;
  TSeriesOnGetMarkText OnGetMarkText;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  bool StoreDataNever = false;
  bool StoreDataAlways = false;
  bool DataIsOwn = false;
  int32_t FirstValueIndex = -1;
  int32_t LastValueIndex = -1;
  int32_t SampleCount = 0;
  int32_t UpdateCount = 0;
  bool ShowsSeriesColor = true;
  bool StoresXValues = true;
  int32_t AutoZOrder = 0;
  TChartLegend* ActiveLegend = nullptr;
  bool LimitVisibleRange = true;
  bool KeepPointBeyondEnd = false;
  bool WholeResultAsPoint = true;
  bool ExcludeFromZGrouping = false;
  int32_t StartZ = 0, MiddleZ = 0, EndZ = 0;
  TChartValueList* MandatoryList = nullptr;
  TChartValueList* NotMandatoryList = nullptr;
  bool YMandatory = true;

protected:
  bool FColorEachPoint = false;
  // On while SetAutoColor passes the automatic colour through SetSeriesColor.
  bool FAssigningAutoColor = false;
  std::string FColorSource;
  TCursor FCursor = 0;
  int32_t FDepth = -1;
  std::string FXLabelsSource;
  std::unique_ptr<TSeriesMarks> FMarks;
  std::string FPercentFormat;
  std::string FValueFormat;
  TChartValueList* FXValues = nullptr;
  TChartValueList* FYValues = nullptr;
  THorizAxis FHorizAxis = aBottomAxis;
  TChartAxis* FCustomHorizAxis = nullptr;
  TChartAxis* FCustomVertAxis = nullptr;
  int32_t FZOrder = -1;
  TVertAxis FVertAxis = aLeftAxis;
  TFollowedSourceChanges FFollowedSourceChanges = {fscDelete, fscModify, fscAdd, fscClear};
  TGraphFunction* FFunctionObject = nullptr;  // owned
};

using TChartSeriesClass = const TChartElementMetaClass*;

// The chart editor's series list view refreshes its entries of a chart through this hook; the
// editor installs it while such a view is attached.
using TSeriesListViewHook = std::function<void(TCustomAxisPanel* Chart)>;
extern TSeriesListViewHook SeriesListViewHook;

// Title of a series for lists: its Title (column separators as blanks), its name, or "Series" and
// its position in the chart.
void SeriesDisplayTitle(TChartSeries* Series, std::string& Text);
std::string SeriesTitleOrName(TChartSeries* Series);
// Adds the shown series of the list to Strings with the series as object.
void ListSeriesInStrings(TStrings* Strings, TCustomSeriesList* SeriesList, bool UseTitles);
