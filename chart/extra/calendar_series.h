// A chart turned into a one-month calendar: a month header, a row of week-day names and the day
// numbers of the month of Date, with the selected day, Sundays and the neighbouring months' days
// in their own styles. Clicking a day selects it; the month header offers a menu of months, and
// two buttons on the chart step a month back and forth.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "chart/engine/graph_panel.h"
#include "chart/engine/graph_shapes.h"
#include "chart/engine/series_base.h"

class TCalendarSeries;
class TButton;
class TPopupMenu;

class TCalendarCell : public TGraphShape {
  VM_CLASS(TCalendarCell, TGraphShape)
public:
  explicit TCalendarCell(TCalendarSeries* ASeries = nullptr);
  TCalendarSeries* Series = nullptr;
};

class TCalendarCellUpper : public TCalendarCell {
  VM_CLASS(TCalendarCellUpper, TCalendarCell)
public:
  using TCalendarCell::TCalendarCell;
  const std::string& Format() const { return FFormat; }
  void SetFormat(const std::string& Value);
  bool UpperCase() const { return FUpperCase; }
  void SetUpperCase(bool Value);
  // The date as the header shows it.
  std::string DateText(TDateTime Date) const;

private:
  std::string FFormat;
  bool FUpperCase = false;
};

using TCalendarChangeEvent = std::function<void(TCalendarSeries* Sender, TDateTime& Value)>;

class TCalendarSeries : public TChartSeries, public IChartEventListener {
  VM_CLASS(TCalendarSeries, TChartSeries)
public:
  explicit TCalendarSeries(TComponent* AOwner);
  ~TCalendarSeries() override;

  static constexpr int Columns = 7;
  static constexpr int Rows = 8;

  TDateTime Date() const { return FDate; }
  void SetDate(TDateTime Value);
  void NextMonth();
  void PreviousMonth();

  TCalendarCell* Days() const { return FDays.get(); }
  void SetDays(TCalendarCell* V) { FDays->Assign(V); }
  TCalendarCell* Today() const { return FToday.get(); }
  void SetToday(TCalendarCell* V) { FToday->Assign(V); }
  TCalendarCell* Sunday() const { return FSunday.get(); }
  void SetSunday(TCalendarCell* V) { FSunday->Assign(V); }
  TCalendarCell* Trailing() const { return FTrailing.get(); }
  void SetTrailing(TCalendarCell* V) { FTrailing->Assign(V); }
  TCalendarCellUpper* WeekDays() const { return FWeekDays.get(); }
  void SetWeekDays(TCalendarCellUpper* V) { FWeekDays->Assign(V); }
  TCalendarCellUpper* Months() const { return FMonths.get(); }
  void SetMonths(TCalendarCellUpper* V) { FMonths->Assign(V); }
  bool NextButtonVisible() const { return FNextButtonVisible; }
  void SetNextButtonVisible(bool Value);
  bool PreviousButtonVisible() const { return FPreviousButtonVisible; }
  void SetPreviousButtonVisible(bool Value);

  // Weekday of the first column: 0 Monday .. 6 Sunday.
  int FirstDayOfWeek = 0;
  int FirstDayRow = 0, FirstDayColumn = 0;
  TButton* NextButton() const { return FNextButton; }
  TButton* PreviousButton() const { return FPreviousButton; }
  TPopupMenu* MonthMenu();

  int VisibleRows() const;
  int ColumnToX(double Column);
  int RowToY(double Row);
  TRect CellRect(int Column, int Row);
  TRect DaysRect();
  bool DateAtPos(int X, int Y, TDateTime& Result);
  void ClickAt(int X, int Y);

  void ChartEvent(TGraphEvent* Event) override;
  void DrawVisiblePoints() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void SetActive(bool Value) override;
  bool UsesAxes() override { return false; }
  int32_t DefaultRandomCount() override { return 1; }
  void AddRandomPoints(int32_t, bool) override { AddNullValue(); }
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TCalendarSeriesEditor"; }

  TCalendarChangeEvent OnChange;

private:
  void DrawCellText(int Column, int Row, const std::string& Text);
  void DrawCellFrame(TCalendarCell* Cell, TRect R);
  void DrawCell(TCalendarCell* Cell, int Column, int Row, const std::string& Text);
  void FreeButtons();
  void MakeButtons();
  void AttachCells();
  TCalendarCell* CellFor(int Day, int Column, uint16_t DayOfDate) const;

  TDateTime FDate = 0;
  std::unique_ptr<TCalendarCell> FDays, FToday, FSunday, FTrailing;
  std::unique_ptr<TCalendarCellUpper> FWeekDays, FMonths;
  bool FNextButtonVisible = true, FPreviousButtonVisible = true;
  TButton* FNextButton = nullptr;
  TButton* FPreviousButton = nullptr;
  std::unique_ptr<TPopupMenu> FMonthMenu;
  TCustomAxisPanel* FListening = nullptr;
};

void RegisterCalendarSeries();
void UnregisterCalendarSeries();
