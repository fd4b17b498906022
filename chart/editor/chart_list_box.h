// The list box of a chart's series: one row per series with its type icon, an active check, its
// colour symbol and its title. Series are switched on and off, reordered by dragging or keys,
// renamed in place or by a question, cloned, deleted, recoloured and given another type, and the
// rows follow the chart's own changes through its listener list.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/engine/graph_panel.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_base.h"
#include "platform/dragdrop.h"
#include "platform/stdctrls.h"

class TCustomChart;
class TCustomAxisPanel;
class TEdit;
class TSeriesGroup;

class TChartListBox;
using TNotifySeriesEvent = std::function<void(TChartListBox* Sender, TCustomChartSeries* Series)>;
using TChangeOrderEvent =
    std::function<void(TChartListBox* Sender, TCustomChartSeries* Series1, TCustomChartSeries* Series2)>;
using TDblClickSeriesEvent = std::function<void(TChartListBox* Sender, int Index)>;

// The two routes to the series gallery, installed by the gallery's start-up (none until then).
using TGalleryNewSeriesHook =
    std::function<TChartSeries*(TComponent* Owner, TCustomAxisPanel* Chart, TChartSeries* Current)>;
using TGalleryChangeTypeHook = std::function<TChartSeriesClass(TComponent* Owner, TChartSeries*& Series)>;
extern TGalleryNewSeriesHook GalleryNewSeriesHook;
extern TGalleryChangeTypeHook GalleryChangeTypeHook;

class TChartListBox : public TListBox, public IChartEventListener, public TDragTarget, public TDragSource {
  VM_CLASS(TChartListBox, TListBox)
public:
  explicit TChartListBox(TComponent* AOwner);
  ~TChartListBox() override;

  // Widths of the row sections: icon, active check, colour symbol, title.
  static constexpr int kIconWidth = 26, kActiveWidth = 16, kColorWidth = 26, kTitleWidth = 216;

  bool AllowAddSeries = true;
  bool AllowDeleteSeries = true;
  bool AskDelete = true;
  bool EnableChangeColor = true;
  bool EnableDragSeries = true;
  bool EnableChangeType = true;

  TCustomChart* Chart() const { return FChart; }
  void SetChart(TCustomChart* Value);
  TCheckBoxesStyle CheckStyle() const { return FCheckStyle; }
  void SetCheckStyle(TCheckBoxesStyle Value);
  bool ShowActiveCheck() const { return FShowActiveCheck; }
  void SetShowActiveCheck(bool Value);
  bool ShowSeriesColor() const { return FShowSeriesColor; }
  void SetShowSeriesColor(bool Value);
  bool ShowSeriesIcon() const { return FShowSeriesIcon; }
  void SetShowSeriesIcon(bool Value);
  bool ShowSeriesTitle() const { return FShowSeriesTitle; }
  void SetShowSeriesTitle(bool Value);
  TSeriesGroup* SeriesGroup() const { return FSeriesGroup; }
  void SetSeriesGroup(TSeriesGroup* Value);
  bool ShowSeriesNames() const { return FShowSeriesNames; }
  void SetShowSeriesNames(bool Value);
  // A list the box keeps row for row in step with its own (not owned).
  TStrings* OtherItems = nullptr;

  TNotifySeriesEvent OnChangeActive;
  TNotifySeriesEvent OnChangeColor;
  TChangeOrderEvent OnChangeOrder;
  TDblClickSeriesEvent OnDblClickSeries;
  TNotifyEvent OnOtherItemsChange;
  TNotifyEvent OnRefresh;
  TNotifySeriesEvent OnRemovedSeries;

  // -1 whenever the list is empty.
  int ItemIndex() const { return Items()->Count() == 0 ? -1 : TListBox::ItemIndex(); }
  TChartSeries* SelectedSeries() const { return SeriesAtIndex(ItemIndex()); }
  TChartSeries* SeriesAtIndex(int Index) const;
  void SelectSeries(TChartSeries* Series);
  void FillSeries(TChartSeries* OldSeries);
  void RefreshSeries() { FillSeries(SelectedSeries()); }
  void MoveSeriesUp();
  void MoveSeriesDown();
  TChartSeries* AddSeriesFromGallery();
  bool DeleteSelectedSeries();
  void CloneSelectedSeries();
  void ChangeSelectedSeriesType(TObject* Sender);
  bool AskSeriesTitle();
  void EditTitleInPlace();
  void EndTitleEdit();
  void SelectAll();
  void ExchangeRows(int From, int To);
  // The in-place title editor (none before its first use).
  TEdit* TitleEditor() const { return FEditor; }
  // Left offset of a row section (0 icon, 1 active, 2 colour, 3 title).
  int SectionLeft(int Section) const;

  void ChartEvent(TGraphEvent* Event) override;
  void DragOver(TDragObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TDragObject* Source, int X, int Y) override;
  void DragEnded(TDragObject*, TControl*, int, int) override {}

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyUp(uint16_t& Key, TShiftState Shift) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ParentChanged() override;

private:
  // The visible section under X (0..3), or -1.
  int SectionAt(int X) const;
  bool HasSelection();
  void RemoveRow(int Row);
  void SelectRow(int Row);
  void Detach();
  TCustomChart* FChart = nullptr;
  TSeriesGroup* FSeriesGroup = nullptr;
  TCheckBoxesStyle FCheckStyle = cbsCheck;
  bool FShowActiveCheck = true, FShowSeriesColor = true, FShowSeriesIcon = true, FShowSeriesTitle = true;
  bool FShowSeriesNames = false;
  bool FDblClicked = false;
  TPoint FHitPos;
  TEdit* FEditor = nullptr;
  TChartSeries* FEditedSeries = nullptr;
  bool FDragPending = false;
  TPoint FDragStart;
};

// Starts and stops the list box module: the engine's series list view hook repaints every list
// box of the chart it names.
void InitChartListBox();
void DoneChartListBox();
