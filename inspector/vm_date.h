// Dates: the date helpers, the calendar control and its one-month popup, and the date editor
// that reads the locale's forms and keywords such as TODAY+3.
#pragma once

#include <functional>
#include <string>

#include "inspector/vm_dropdown.h"
#include "platform/datetime.h"

constexpr double NullDate = -700000;

double DatePart(double X);
double TimePart(double X);
bool IsLeap(int Year);
int MonthDayCount(int Year, int Month);
void ShiftMonths(int& Year, int& Month, int Delta);
int ClampDay(int Year, int Month, int Day);
int DateElement(int Selector, double Date);
// The locale's first day of the week, stored as 1 Monday .. 6 Saturday and 0 Sunday.
void ReadFirstDayOfWeek();
int StoredFirstDayOfWeek();
// Columns between the week's first column and Date's weekday.
int DayColumnOffset(double Date);

// Today, or the fixed day a test set (NullDate: the clock again).
double vmToday();
double vmNow();
void SetTodayOverride(double Day);

extern const char* const SvmInvalidDate;  // "Invalid Date"
extern const char* const SvmToday;        // "Today"
extern const char* const SvmClear;        // "Clear"
extern const char* const DateKeywords[20];

using TDateTextHook = std::function<bool(const std::string& Text, double& Date)>;
extern TDateTextHook DateTextHook;

bool ParseDateKeyword(const std::string& Text, double& Date);
bool TextToDate(const std::string& Text, double& Date);
std::string DateToText(double Date);
std::string DateToDisplayText(bool UseMask, double Date);
std::string DateEditMask();
std::string DateMaskDisplayFormat();

// ---------------------------------------------------------------------------------------------

class TCustomvmCalendar : public TvmInplacePopupControl {
  VM_CLASS(TCustomvmCalendar, TvmInplacePopupControl)
public:
  explicit TCustomvmCalendar(TComponent* AOwner);
  double FirstShownDate() const { return FFirstShownDate; }

  virtual double GetFirstVisibleDate() { return FFirstShownDate; }
  virtual double GetLastVisibleDate() { return GetLastDate(); }
  virtual double GetLastDate() = 0;
  virtual double GetSelectionStart();
  virtual double GetSelectionFinish();
  virtual void SetFirstDate(double Date);
  virtual void SetSelectionStart(double Date);
  virtual void SetSelectionFinish(double Date);
  virtual void MakeSelectionVisible() = 0;
  virtual double GetDateAtPoint(int X, int Y) = 0;
  virtual void DoDateSelected();

  std::function<void(TCustomvmCalendar* Calendar)> DateSelectedHook;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  double FFirstShownDate;
  double FSelectionStart;
  double FSelectionFinish;
  double FTrackDate = NullDate;
  bool FFlat = true;
};

class TzoViraDatePopup;

// The list of seven months that opens over a month title: the mouse highlights a month, and
// outside the list a timer scrolls it, faster the farther the mouse is beyond its edge.
class TAMonthListBox : public TCustomControl {
  VM_CLASS(TAMonthListBox, TCustomControl)
public:
  TAMonthListBox(TComponent* AOwner, TzoViraDatePopup* Calendar);

  double TopMonth() const { return FTopMonth; }
  void SetTopMonth(double Value);
  int Highlighted() const { return FHighlighted; }
  int ItemHeight() const { return FItemHeight; }
  // First day of the highlighted month, or NullDate when none is highlighted.
  double SelectedDate() const;
  // Sizes the list to its font and the calendar's metrics.
  void SizeToFont();
  // Mouse in the list's own coordinates (the calendar forwards its moves here).
  void TrackMouse(int X, int Y);
  TRect ItemRect(int Row) const;
  class TTimer* ScrollTimer() const {
    return FTimer;
  }
  int ScrollDirection() const { return FScrollDir; }

protected:
  void Paint() override;
  void FontChanged() override;
  void ScrollTick();

  TzoViraDatePopup* FCalendar;
  double FTopMonth = 0;
  int FItemHeight = 16;
  int FHighlighted = -1;
  int FScrollDir = 0;
  class TTimer* FTimer = nullptr;
};

class TzoViraDatePopup : public TCustomvmCalendar {
  VM_CLASS(TzoViraDatePopup, TCustomvmCalendar)
public:
  explicit TzoViraDatePopup(TComponent* AOwner);

  bool TodayButtonVisible() const { return FTodayButtonVisible; }
  void SetTodayButtonVisible(bool Value) { FTodayButtonVisible = Value; }
  bool ClearButtonVisible() const { return FClearButtonVisible; }
  void SetClearButtonVisible(bool Value) { FClearButtonVisible = Value; }

  double GetFirstVisibleDate() override;
  double GetLastVisibleDate() override;
  double GetLastDate() override;
  void SetFirstDate(double Date) override;
  void SetSelectionFinish(double Date) override;
  void MakeSelectionVisible() override;
  double GetDateAtPoint(int X, int Y) override;
  void ClosePopup() override;
  // The months shown: Columns x Rows month cells (1 x 1 unless set), one month after the other
  // from left to right, then from top to bottom. The owner sizes the window with SizeToGrid.
  int MonthColumns() const { return FMonthColumns; }
  int MonthRows() const { return FMonthRows; }
  void SetMonthGrid(int Columns, int Rows);
  int MonthCellCount() const { return FMonthColumns * FMonthRows; }
  // The first day of the month in a grid cell.
  double CellMonth(int Cell) const;
  // The date in the top-left day of a cell (the first cell shows a whole week of the month
  // before when its month starts on the week's first day).
  double CellFirstVisible(int Cell) const;
  // The date a day of a cell shows: days before its month only in the first cell, days after it
  // only in the last; NullDate for the others.
  double CellDate(int Cell, int Row, int Column) const;
  // Sizes the window to the grid (and the button bar).
  void SizeToGrid();
  // Layout, for tests and painting.
  TRect MonthCellRect(int Cell);
  TRect DayCellRect(int Row, int Column, int Cell = 0);
  TRect TodayButtonRect();
  TRect ClearButtonRect();
  TRect LeftArrowRect();
  TRect RightArrowRect();
  // The month title of a cell, between the arrows (a press opens the month list).
  TRect TitleRect(int Cell = 0);
  // The grid cell under a point of the month area, -1 outside it.
  int CellAt(int X, int Y);
  int MonthListCell() const { return FMonthListCell; }
  int HeaderHeight() const { return Hh; }
  int DayColumnWidth() const { return C; }
  TAMonthListBox* MonthList() const { return FMonthList; }
  // One arrow step (the 170 ms timer repeats it while the mouse stays on the arrow).
  void ArrowTimer();
  class TTimer* ArrowTimerObject() const {
    return FArrowTimer;
  }

protected:
  void PaintClient() override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void FontChanged() override;
  bool WantsKey(uint16_t) const override { return true; }
  void CalcMetrics();
  int ButtonBarHeight();

  bool FTodayButtonVisible = true;
  bool FClearButtonVisible = false;
  int FActiveButton = 0;  // 1 Today, 2 Clear
  bool FButtonPressed = false;
  int FArrowDir = 0;
  class TTimer* FArrowTimer = nullptr;
  TAMonthListBox* FMonthList = nullptr;
  int FMonthListCell = 0;  // grid index of the month the list was opened for
  void CloseMonthList();
  int C = 21, S = 14, R = 15, Hh = 18, Hd = 16, FontSize = 8, FButtonHeight = 20, FButtonOffset = 4;
  int FMonthColumns = 1, FMonthRows = 1;
  int MonthCellWidth() const { return 2 * S + 7 * C; }
  int MonthCellHeight() const { return (FFlat ? 0 : 1) + Hh + Hd + 6 * R + 1; }
};

// ---------------------------------------------------------------------------------------------

enum TDateButton { btnToday, btnClear };
using TDateButtons = TSet<TDateButton>;
enum TDateOnError { deToday, deNull };
using TvmDateValidateInput =
    std::function<void(TObject* Sender, const std::string& AText, double& ADate, std::string& AMessage, bool& AError)>;

class TvmInplaceDateEdit : public TvmInplaceDropDownEdit {
  VM_CLASS(TvmInplaceDateEdit, TvmInplaceDropDownEdit)
public:
  explicit TvmInplaceDateEdit(TComponent* AOwner);
  ~TvmInplaceDateEdit() override;

  double Date() const { return FDate; }
  void SetDate(double Value);
  TDateButtons DateButtons() const { return FDateButtons; }
  void SetDateButtons(TDateButtons Value) { FDateButtons = Value; }
  TDateOnError DateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError Value) { FDateOnError = Value; }
  bool DateValidation() const { return FDateValidation; }
  void SetDateValidation(bool Value) { FDateValidation = Value; }
  bool SaveTime() const { return FSaveTime; }
  void SetSaveTime(bool Value) { FSaveTime = Value; }
  bool UseEditMask() const { return FUseEditMask; }
  void SetUseEditMask(bool Value);
  double PopupDate() const { return FPopupDate; }
  bool TextEdited() const { return FTextEdited; }
  TzoViraDatePopup* Calendar() const { return FCalendar; }

  TNotifyEvent OnChangeDate;
  TvmDateValidateInput OnDateValidateInput;

  virtual void DoDateValidateInput(const std::string& AText, double& ADate, std::string& AMessage, bool& AError);
  void SetDateValue(double X);
  void UpdateDateMask();
  void DateSelected(TCustomvmCalendar* Calendar);

  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  bool BlocksClosing() const override { return false; }
  void GetEditingText(std::string& S) override;
  bool ValidatesOnEnter() const override { return true; }
  void ValidateEdit() override;
  void DropDown() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CloseUp(bool Accept) override;

protected:
  void DoChange() override;

  double FDate = NullDate;
  TDateButtons FDateButtons = {btnToday, btnClear};
  TDateOnError FDateOnError = deNull;
  bool FDateValidation = false;
  bool FSaveTime = true;
  bool FUseEditMask = false;
  double FPopupDate = NullDate;
  bool FTextEdited = false;
  TzoViraDatePopup* FCalendar = nullptr;
};
