// The mask editing window: the whole mask of the open site as one colour grid, one column per
// estimate number and one row per frequency; the two-line tools remove or restore whole columns
// or whole rows at once.
#pragma once

#include <array>

#include "app/child_form.h"
#include "app/site_session.h"

class TChart;
class TColorGridSeries;
class TColorLineTool;
class TFormStorage;
class TMTFile;

class TChartEditor;

class TMaskEd1 : public TMyForm {
  VM_CLASS(TMaskEd1, TMyForm)
public:
  TSiteSession& Session;
  // The view listens to Session from the start and stops when it goes.
  TMaskEd1(TComponent* AOwner, TSiteSession& ASession);
  ~TMaskEd1() override;

  TChart* Chart1 = nullptr;
  TColorGridSeries* Series1 = nullptr;
  // Red rubber lines, inactive at start: 1 and 2 vertical (bottom axis), 3 and 4 horizontal.
  TColorLineTool *ChartTool1 = nullptr, *ChartTool2 = nullptr, *ChartTool3 = nullptr, *ChartTool4 = nullptr;
  TFormStorage* FormStorage1 = nullptr;
  TChartEditor* ChartEditor1 = nullptr;  // made on first use

  TMTFile* Site = nullptr;
  int JournalFreq = 1;
  int VertClicks = 0;
  std::array<int, 3> VertX{};  // [1], [2]
  int HorzClicks = 0;
  std::array<int, 3> HorzY{};

  // Fills the grid from the site's mask.
  void ShowMask(TMTFile* ASite);
  void Refresh(TObject* Sender) override;
  // An edit of one frequency's mask: its row takes the new values in place.
  void FrequencyChanged(int F);
  void Undo(TObject* Sender) override;
  void Redo(TObject* Sender) override;
  void PointerExecute(TObject* Sender) override;
  void FormActivate(TObject* Sender) override;
  void Chart1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Chart1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);

private:
  // A used or removed estimate becomes removed ("Deleting") or used ("Restoring"); a cell with no
  // estimate never changes.
  void ChangeCell(int F, int X);
  // Every frequency re-stacked and recomputed, one journal record, every view refreshed.
  void Commit(const char* Action);
};

extern TMaskEd1* MaskEd1;
