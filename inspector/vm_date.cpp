#include "inspector/vm_date.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "inspector/vm_utils.h"
#include "platform/forms.h"
#include "platform/localeinfo.h"
#include "platform/popupwatch.h"
#include "platform/shell.h"
#include "platform/sysutils.h"

const char* const SvmInvalidDate = "Invalid Date";
const char* const SvmToday = "Today";
const char* const SvmClear = "Clear";
const char* const DateKeywords[20] = {"TODAY",    "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY",
                                      "THURSDAY", "FRIDAY",    "SATURDAY", "FIRST",  "SECOND", "THIRD",   "FOURTH",
                                      "FIFTH",    "SIXTH",     "SEVENTH",  "BOM",    "EOM",    "NOW"};
TDateTextHook DateTextHook;

namespace {
double TodayOverride = NullDate;
int FirstDay = 1;  // 1 Monday .. 6 Saturday, 0 Sunday
bool FirstDayRead = false;

void Decode(double D, int& Y, int& M, int& Day) {
  uint16_t y, m, d;
  DecodeDate(D, y, m, d);
  Y = y;
  M = m;
  Day = d;
}
}  // namespace

double DatePart(double X) { return std::trunc(X + (X < 0 ? -1e-11 : 1e-11)); }

double TimePart(double X) {
  uint16_t h, m, s, ms;
  DecodeTime(X, h, m, s, ms);
  return EncodeTime(h, m, s, ms);
}

bool IsLeap(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int MonthDayCount(int Year, int Month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return Month == 2 && IsLeap(Year) ? 29 : days[(Month - 1) % 12];
}

void ShiftMonths(int& Year, int& Month, int Delta) {
  int m = Year * 12 + (Month - 1) + Delta;
  Year = m >= 0 ? m / 12 : -((-m + 11) / 12);
  Month = m - Year * 12 + 1;
}

int ClampDay(int Year, int Month, int Day) { return std::clamp(Day, 1, MonthDayCount(Year, Month)); }

int DateElement(int Selector, double Date) {
  int y, m, d;
  Decode(Date, y, m, d);
  return Selector == 1 ? y : Selector == 2 ? m : Selector == 3 ? d : -1;
}

void ReadFirstDayOfWeek() {
  int f = LocaleInfo().FirstDayOfWeek;  // 0 Monday .. 6 Sunday
  FirstDay = f == 6 ? 0 : f + 1;
  FirstDayRead = true;
}

int StoredFirstDayOfWeek() {
  if (!FirstDayRead) ReadFirstDayOfWeek();
  return FirstDay;
}

int DayColumnOffset(double Date) {
  int d = DayOfWeek(Date);
  int f = StoredFirstDayOfWeek();
  return d - f > 0 ? d - f - 1 : d - f + 6;
}

double vmToday() { return TodayOverride != NullDate ? TodayOverride : ::Date(); }
double vmNow() { return TodayOverride != NullDate ? TodayOverride : ::Now(); }
void SetTodayOverride(double Day) { TodayOverride = Day; }

bool ParseDateKeyword(const std::string& Text, double& Date) {
  const double today = vmToday();
  for (int i = 0; i < 20; ++i) {
    std::string k = DateKeywords[i];
    if (Text.size() < k.size() || !AnsiSameText(Text.substr(0, k.size()), k)) continue;
    int y, m, d;
    Decode(today, y, m, d);
    const int dow = DayOfWeek(today);
    double r = today;
    if (i == 1) r = today - 1;
    if (i == 2) r = today + 1;
    if (i >= 3 && i <= 9) {
      int kd = i - 2;
      r = kd >= dow ? today + (kd - dow) : today + 7 + (kd - dow);
    }
    if (i >= 10 && i <= 16) r = today - dow + (i - 9);
    if (i == 17) r = EncodeDate(y, m, 1);
    if (i == 18) r = EncodeDate(y, m, MonthDayCount(y, m));
    if (i == 19) r = vmNow();
    std::string rest = Trim(Text.substr(k.size()));
    if (rest.size() > 1 && (rest[0] == '+' || rest[0] == '-')) {
      int32_t n;
      if (TryStrToInt(Trim(rest.substr(1)), n)) r += rest[0] == '+' ? n : -n;
    }
    Date = r;
    return true;
  }
  if (DateTextHook) return DateTextHook(Text, Date);
  return false;
}

namespace {

// The locale's short date form (day, month and year in its order) with an optional time.
bool LocaleTextToDate(const std::string& Text, double& Date) {
  std::vector<int> nums;
  std::vector<int> lengths;
  size_t i = 0;
  std::string time;
  // The date part: up to three numbers separated by anything but ':'.
  while (i < Text.size() && nums.size() < 3) {
    while (i < Text.size() && !std::isdigit(static_cast<unsigned char>(Text[i]))) {
      if (Text[i] == ':' || std::isalpha(static_cast<unsigned char>(Text[i]))) return false;
      ++i;
    }
    size_t s = i;
    while (i < Text.size() && std::isdigit(static_cast<unsigned char>(Text[i]))) ++i;
    if (i == s) break;
    if (i - s > 4) return false;
    nums.push_back(std::stoi(Text.substr(s, i - s)));
    lengths.push_back(static_cast<int>(i - s));
    if (i < Text.size() && Text[i] == ':') return false;
  }
  std::string rest = Trim(Text.substr(std::min(i, Text.size())));
  if (nums.size() < 2) return false;
  // The order of the fields from the short date format.
  std::string order;
  for (char c : LocaleInfo().ShortDateFormat) {
    char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos) order += l;
  }
  if (order.size() != 3) order = "dmy";
  int y = DateElement(1, vmToday()), m = 0, d = 0;
  size_t k = 0;
  for (char f : order) {
    if (f == 'y' && nums.size() == 2) continue;
    if (k >= nums.size()) return false;
    int v = nums[k];
    if (f == 'y' && lengths[k] <= 2) {
      int century = (DateElement(1, vmToday()) - 50) / 100 * 100;
      v += century;
      if (v < DateElement(1, vmToday()) - 50) v += 100;
    }
    (f == 'd' ? d : f == 'm' ? m : y) = v;
    ++k;
  }
  double date;
  if (!TryEncodeDate(y, m, d, date)) return false;
  if (!rest.empty()) {
    double t;
    std::string tt = rest;
    if (!TryStrToTime(tt, t)) return false;
    date += date < 0 ? -t : t;
  }
  Date = date;
  return true;
}

}  // namespace

bool TextToDate(const std::string& Text, double& Date) {
  std::string t = Trim(Text);
  if (t.empty()) return false;
  if (LocaleInfo().DateSeparator == '.') {
    int n = 0;
    for (char& c : t)
      if (c == '.' && n < 2) {
        c = ' ';
        ++n;
      }
  }
  if (ParseDateKeyword(t, Date)) return true;
  double d;
  if (!LocaleTextToDate(t, d)) return false;
  Date = d;
  return true;
}

std::string DateToText(double Date) {
  if (Date == NullDate) return std::string();
  std::string s = FormatDateTime(LocaleInfo().ShortDateFormat, Date);
  if (TimePart(Date) != 0) s += " " + FormatDateTime(LocaleInfo().LongTimeFormat, Date);
  return s;
}

std::string DateMaskDisplayFormat() {
  const std::string& f = LocaleInfo().ShortDateFormat;
  std::string out;
  for (size_t i = 0; i < f.size();) {
    char c = f[i];
    size_t j = i;
    while (j < f.size() && f[j] == c) ++j;
    std::string run = f.substr(i, j - i);
    if ((c == 'd' || c == 'M' || c == 'm') && run.size() == 1) run += c;
    out += run;
    i = j;
  }
  // The first run of more than three month letters is cut to three.
  for (size_t i = 0; i < out.size(); ++i)
    if (out[i] == 'M' || out[i] == 'm') {
      size_t j = i;
      while (j < out.size() && out[j] == out[i]) ++j;
      if (j - i > 3) {
        out.erase(i + 3, j - i - 3);
        break;
      }
      i = j;
    }
  return out;
}

std::string DateToDisplayText(bool UseMask, double Date) {
  if (Date == NullDate) return std::string();
  return UseMask ? FormatDateTime(DateMaskDisplayFormat(), Date) : DateToText(Date);
}

std::string DateEditMask() {
  const std::string& f = LocaleInfo().ShortDateFormat;
  std::string out = "!";
  for (size_t i = 0; i < f.size();) {
    char c = f[i];
    char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t j = i;
    while (j < f.size() && f[j] == c) ++j;
    if (l == 'd' || l == 'm' || l == 'y') {
      size_t n = j - i;
      out += n <= 2 ? "99" : l == 'y' ? "9999" : "lll";
    } else {
      out.append(f, i, j - i);
    }
    i = j;
  }
  return out + ";1; ";
}

// ---------------------------------------------------------------------------------------------
// Calendar base

VM_DEFINE_CLASS(TCustomvmCalendar)

TCustomvmCalendar::TCustomvmCalendar(TComponent* AOwner) : TvmInplacePopupControl(AOwner) {
  FFirstShownDate = vmToday();
  FSelectionStart = FSelectionFinish = FFirstShownDate;
  SetColor(clWindow);
}

double TCustomvmCalendar::GetSelectionStart() {
  if (FSelectionStart >= FSelectionFinish && FSelectionFinish != NullDate) return FSelectionFinish;
  return FSelectionStart;
}

double TCustomvmCalendar::GetSelectionFinish() { return std::max(FSelectionStart, FSelectionFinish); }

void TCustomvmCalendar::SetFirstDate(double Date) {
  if (FFirstShownDate != Date) {
    FFirstShownDate = Date;
    Invalidate();
  }
}

void TCustomvmCalendar::SetSelectionStart(double Date) {
  FSelectionStart = Date;
  FSelectionFinish = NullDate;
  SetSelectionFinish(Date);
}

void TCustomvmCalendar::SetSelectionFinish(double Date) {
  if (FSelectionFinish == Date) return;
  MakeSelectionVisible();
  FSelectionFinish = Date;
  MakeSelectionVisible();
  Invalidate();
}

void TCustomvmCalendar::DoDateSelected() {
  if (DateSelectedHook) DateSelectedHook(this);
}

void TCustomvmCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplacePopupControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || Shift.Contains(ssDouble)) return;
  FTrackDate = GetSelectionStart();
  double d = GetDateAtPoint(X, Y);
  if (d != NullDate) SetSelectionStart(d);
}

void TCustomvmCalendar::MouseMove(TShiftState Shift, int X, int Y) {
  TvmInplacePopupControl::MouseMove(Shift, X, Y);
  if (!Shift.Contains(ssLeft)) return;
  double d = GetDateAtPoint(X, Y);
  if (d != NullDate)
    SetSelectionFinish(d);
  else if (!PtInRect(ClientRect(), TPoint(X, Y)))
    SetSelectionFinish(FTrackDate);
}

void TCustomvmCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplacePopupControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && PtInRect(ClientRect(), TPoint(X, Y))) DoDateSelected();
}

// ---------------------------------------------------------------------------------------------
// Month list

VM_DEFINE_CLASS(TAMonthListBox)

namespace {
constexpr int MonthListBorder = 1;  // the window border of the list on each side
constexpr int MonthListRows = 7;

double MonthShifted(double Month, int Delta) {
  int y, m, d;
  Decode(Month, y, m, d);
  ShiftMonths(y, m, Delta);
  return EncodeDate(y, m, 1);
}
}  // namespace

TAMonthListBox::TAMonthListBox(TComponent* AOwner, TzoViraDatePopup* Calendar)
    : TCustomControl(AOwner), FCalendar(Calendar) {
  TControl::SetVisible(false);
  SetColor(clWindow);
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = [this](TObject*) { ScrollTick(); };
  SizeToFont();
}

void TAMonthListBox::SetTopMonth(double Value) {
  int y, m, d;
  Decode(Value, y, m, d);
  double first = EncodeDate(y, m, 1);
  if (first == FTopMonth) return;
  FTopMonth = first;
  Invalidate();
}

double TAMonthListBox::SelectedDate() const {
  return FHighlighted < 0 ? NullDate : MonthShifted(FTopMonth, FHighlighted);
}

void TAMonthListBox::SizeToFont() {
  FItemHeight = std::max(1, FCalendar->HeaderHeight() - 2);
  SetBounds(Left(), Top(), 2 * MonthListBorder + 6 * FCalendar->DayColumnWidth(),
            2 * MonthListBorder + MonthListRows * FItemHeight);
}

void TAMonthListBox::FontChanged() {
  TCustomControl::FontChanged();
  SizeToFont();
}

TRect TAMonthListBox::ItemRect(int Row) const {
  int top = MonthListBorder + Row * FItemHeight;
  return Rect(MonthListBorder, top, Width() - MonthListBorder, top + FItemHeight);
}

void TAMonthListBox::TrackMouse(int X, int Y) {
  const int inner = MonthListRows * FItemHeight;
  const int y = Y - MonthListBorder;
  if (y >= 0 && y < inner) {
    FTimer->SetEnabled(false);
    FScrollDir = 0;
    int row = X >= 0 && X < Width() ? y / FItemHeight : -1;
    if (row != FHighlighted) {
      FHighlighted = row;
      Invalidate();
    }
    return;
  }
  if (FHighlighted != -1) {
    FHighlighted = -1;
    Invalidate();
  }
  // Beyond an edge: one month per tick, the step quicker with the distance.
  const int beyond = y < 0 ? y : y - inner;
  int k = (y < 0 ? -1 : 1) + beyond / 12;
  k = std::clamp(k, -4, 4);
  static const uint32_t intervals[5] = {0, 500, 250, 100, 50};
  const uint32_t interval = intervals[std::abs(k)];
  const int dir = k < 0 ? -1 : 1;
  if (FTimer->Enabled() && FScrollDir == dir && FTimer->Interval() == interval) return;
  FScrollDir = dir;
  FTimer->SetInterval(interval);
  FTimer->SetEnabled(true);
}

void TAMonthListBox::ScrollTick() {
  if (FScrollDir != 0) SetTopMonth(MonthShifted(FTopMonth, FScrollDir));
}

void TAMonthListBox::Paint() {
  TCanvas* cv = Canvas();
  cv->Font()->Assign(Font());
  TRect all = Rect(0, 0, Width(), Height());
  FillRectColor(cv, all, clWindow);
  cv->Brush()->SetStyle(bsSolid);
  cv->Brush()->SetColor(clWindowFrame);
  cv->FrameRect(all);
  for (int row = 0; row < MonthListRows; ++row) {
    int y, m, d;
    Decode(MonthShifted(FTopMonth, row), y, m, d);
    const bool hot = row == FHighlighted;
    TRect r = ItemRect(row);
    FillRectColor(cv, r, hot ? clWindowText : clWindow);
    cv->Font()->SetColor(hot ? clWindow : clWindowText);
    cv->Brush()->SetStyle(bsClear);
    cv->DrawText(std::string(LongMonthNames[m - 1]) + " " + std::to_string(y), r,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

// ---------------------------------------------------------------------------------------------
// One-month popup

VM_DEFINE_CLASS(TzoViraDatePopup)

TzoViraDatePopup::TzoViraDatePopup(TComponent* AOwner) : TCustomvmCalendar(AOwner) {
  FIsPopup = true;
  TControl::SetVisible(false);
  SetBounds(0, 0, 20, 20);
  int y, m, d;
  Decode(vmToday(), y, m, d);
  FFirstShownDate = EncodeDate(y, m, 1);
  FArrowTimer = new TTimer(this);
  FArrowTimer->SetEnabled(false);
  FArrowTimer->SetInterval(170);
  FArrowTimer->OnTimer = [this](TObject*) { ArrowTimer(); };
  CalcMetrics();
}

void TzoViraDatePopup::CalcMetrics() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  const int h = c->TextHeight("Wg"), w0 = c->TextWidth("0");
  C = 3 * w0;
  S = 2 * w0;
  R = h + 2;
  Hh = h + (FFlat ? 1 : 0) + 4;
  Hd = h + 3;
  FontSize = Font()->Size();
  FButtonOffset = FontSize / 2;
  FButtonHeight = MulDiv(h, 20, 13);
}

void TzoViraDatePopup::FontChanged() {
  TCustomvmCalendar::FontChanged();
  CalcMetrics();
}

int TzoViraDatePopup::ButtonBarHeight() {
  if (!FTodayButtonVisible && !FClearButtonVisible) return 0;
  return FontSize * 3 / 4 + FButtonHeight + FButtonOffset;
}

void TzoViraDatePopup::SizeToGrid() {
  CalcMetrics();
  int frame = 2 * PopupBorderWidth(FPopupBorder) + (FShadow ? FShadowSize : 0);
  int w = FMonthColumns * MonthCellWidth();
  int h = FMonthRows * MonthCellHeight() + ButtonBarHeight();
  SetBounds(Left(), Top(), w + frame, h + frame);
}

void TzoViraDatePopup::SetMonthGrid(int Columns, int Rows) {
  Columns = std::max(1, Columns);
  Rows = std::max(1, Rows);
  if (Columns == FMonthColumns && Rows == FMonthRows) return;
  CloseMonthList();
  FMonthColumns = Columns;
  FMonthRows = Rows;
  Invalidate();
}

double TzoViraDatePopup::CellMonth(int Cell) const { return MonthShifted(FFirstShownDate, Cell); }

double TzoViraDatePopup::CellFirstVisible(int Cell) const {
  const double first = CellMonth(Cell);
  const int off = DayColumnOffset(first);
  return first - off - (Cell == 0 && off == 0 ? 7 : 0);
}

double TzoViraDatePopup::CellDate(int Cell, int Row, int Column) const {
  const double date = CellFirstVisible(Cell) + 7 * Row + Column;
  const double first = CellMonth(Cell);
  if (date < first && Cell != 0) return NullDate;
  if (date >= CellMonth(Cell + 1) && Cell != MonthCellCount() - 1) return NullDate;
  return date;
}

double TzoViraDatePopup::GetFirstVisibleDate() { return CellFirstVisible(0); }

double TzoViraDatePopup::GetLastVisibleDate() { return CellFirstVisible(MonthCellCount() - 1) + 41; }

double TzoViraDatePopup::GetLastDate() { return CellMonth(MonthCellCount()) - 1; }

void TzoViraDatePopup::SetFirstDate(double Date) {
  int y, m, d;
  Decode(Date, y, m, d);
  TCustomvmCalendar::SetFirstDate(EncodeDate(y, m, 1));
}

void TzoViraDatePopup::SetSelectionFinish(double Date) {
  if (FSelectionFinish == Date) return;
  FSelectionStart = Date;
  TCustomvmCalendar::SetSelectionFinish(Date);
}

void TzoViraDatePopup::MakeSelectionVisible() {
  if (FSelectionStart == NullDate) return;
  int y, m, d;
  Decode(FSelectionStart, y, m, d);
  if (GetFirstVisibleDate() > FSelectionStart) {
    ShiftMonths(y, m, -1);
    SetFirstDate(EncodeDate(y, m, 1));
  } else if (GetLastVisibleDate() < FSelectionStart) {
    SetFirstDate(EncodeDate(y, m, 1));
  }
}

TRect TzoViraDatePopup::MonthCellRect(int Cell) {
  TRect c = ClientRect();
  const int col = Cell % FMonthColumns, row = Cell / FMonthColumns;
  const int left = c.Left + col * MonthCellWidth(), top = c.Top + row * MonthCellHeight();
  return Rect(left, top, left + MonthCellWidth(), top + MonthCellHeight());
}

TRect TzoViraDatePopup::DayCellRect(int Row, int Column, int Cell) {
  TRect m = MonthCellRect(Cell);
  int top = m.Top + (FFlat ? 0 : 1) + Hh + Hd + Row * R;
  int left = m.Left + S + Column * C;
  return Rect(left, top, left + C, top + R);
}

int TzoViraDatePopup::CellAt(int X, int Y) {
  TRect c = ClientRect();
  if (X < c.Left || Y < c.Top) return -1;
  const int col = (X - c.Left) / MonthCellWidth(), row = (Y - c.Top) / MonthCellHeight();
  if (col >= FMonthColumns || row >= FMonthRows) return -1;
  return row * FMonthColumns + col;
}

double TzoViraDatePopup::GetDateAtPoint(int X, int Y) {
  TRect c = ClientRect();
  if (!PtInRect(c, TPoint(X, Y))) return NullDate;
  const int cell = CellAt(X, Y);
  if (cell < 0) return NullDate;
  TRect first = DayCellRect(0, 0, cell);
  TRect area = Rect(first.Left, first.Top, first.Left + 7 * C, first.Top + 6 * R);
  if (!PtInRect(area, TPoint(X, Y))) return NullDate;
  int col = (X - area.Left) / C, row = (Y - area.Top) / R;
  return CellDate(cell, row, col);
}

TRect TzoViraDatePopup::LeftArrowRect() {
  TRect c = ClientRect();
  return Rect(c.Left + 1, c.Top + 1, c.Left + C - 1, c.Top + Hh - 1);
}

TRect TzoViraDatePopup::RightArrowRect() {
  TRect c = ClientRect();
  return Rect(c.Right - C, c.Top + 1, c.Right - (FFlat ? 0 : 1) - 1, c.Top + Hh - 1);
}

TRect TzoViraDatePopup::TitleRect(int Cell) {
  TRect m = MonthCellRect(Cell);
  return Rect(m.Left + C, m.Top + 1, m.Right - C, m.Top + Hh - 1);
}

void TzoViraDatePopup::CloseMonthList() {
  delete FMonthList;
  FMonthList = nullptr;
}

TRect TzoViraDatePopup::TodayButtonRect() {
  if (!FTodayButtonVisible) return TRect();
  TRect c = ClientRect();
  TCanvas* cv = Canvas();
  cv->Font()->Assign(Font());
  int tw = cv->TextWidth(SvmToday) + C, cw = FClearButtonVisible ? cv->TextWidth(SvmClear) + C : 0;
  int gaps = FClearButtonVisible ? 3 : 2;
  int gap = (c.Width() - tw - cw) / gaps;
  int top = c.Bottom + FButtonOffset - ButtonBarHeight();
  return Rect(c.Left + gap, top, c.Left + gap + tw, top + FButtonHeight);
}

TRect TzoViraDatePopup::ClearButtonRect() {
  if (!FClearButtonVisible) return TRect();
  TRect c = ClientRect();
  TCanvas* cv = Canvas();
  cv->Font()->Assign(Font());
  int tw = FTodayButtonVisible ? cv->TextWidth(SvmToday) + C : 0, cw = cv->TextWidth(SvmClear) + C;
  int gaps = FTodayButtonVisible ? 3 : 2;
  int gap = (c.Width() - tw - cw) / gaps;
  int top = c.Bottom + FButtonOffset - ButtonBarHeight();
  return Rect(c.Right - gap - cw, top, c.Right - gap, top + FButtonHeight);
}

void TzoViraDatePopup::PaintClient() {
  TCanvas* cv = Canvas();
  cv->Font()->Assign(Font());
  TRect c = ClientRect();
  FillRectColor(cv, c, clWindow);
  auto arrow = [&](const TRect& r, bool Left) {
    int h = std::max(3, (r.Height() / 2) | 1);
    int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    for (int k = 0; k <= h / 2; ++k) {
      int x = Left ? cx - h / 4 + k : cx + h / 4 - k;
      FillRectColor(cv, Rect(x, cy - k, x + 1, cy + k + 1), clBtnText);
    }
  };
  const double today = DatePart(vmToday());
  const int f = StoredFirstDayOfWeek();
  for (int cell = 0; cell < MonthCellCount(); ++cell) {
    const TRect m = MonthCellRect(cell);
    const int column = cell % FMonthColumns;
    int y, mo, d;
    Decode(CellMonth(cell), y, mo, d);
    // Header with the month's name; the arrows sit in the first and last header of the top row.
    TRect header = Rect(m.Left, m.Top, m.Right, m.Top + Hh);
    FillRectColor(cv, header, clBtnFace);
    TRect e = header;
    uint32_t sides = BF_TOP | BF_BOTTOM;
    if (column == 0) sides |= BF_LEFT;
    if (column == FMonthColumns - 1) sides |= BF_RIGHT;
    DrawEdge(cv, e, BDR_RAISEDINNER, sides);
    if (column > 0) {
      TRect sep = Rect(m.Left - 1, m.Top, m.Left + 1, m.Top + Hh);
      DrawEdge(cv, sep, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_LEFT);  // etched
    }
    TRect title = header;
    cv->Font()->SetColor(clBtnText);
    cv->Brush()->SetStyle(bsClear);
    cv->DrawText(std::string(LongMonthNames[mo - 1]) + " " + std::to_string(y), title,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (cell == 0) arrow(LeftArrowRect(), true);
    if (cell == FMonthColumns - 1) arrow(RightArrowRect(), false);
    // Day names from the locale's first day of the week.
    const int top = m.Top + (FFlat ? 0 : 1) + Hh;
    for (int col = 0; col < 7; ++col) {
      int day = (f + col) % 7;  // 0 Sunday
      TRect r = Rect(m.Left + S + col * C, top, m.Left + S + (col + 1) * C - 3, top + Hd - 2);
      cv->Font()->SetColor(clWindowText);
      cv->Brush()->SetStyle(bsClear);  // the arrows left a solid brush behind
      cv->DrawText(std::string(1, ShortDayNames[day][0]), r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    FillRectColor(cv, Rect(m.Left + S, top + Hd - 2, m.Right - S, top + Hd - 1), clBtnShadow);
    // Days: outside the cell's month only in the first and last cells.
    for (int row = 0; row < 6; ++row)
      for (int col = 0; col < 7; ++col) {
        const double date = CellDate(cell, row, col);
        TRect r = DayCellRect(row, col, cell);
        if (date == NullDate) {
          FillRectColor(cv, r, clWindow);
          continue;
        }
        bool selected = date >= GetSelectionStart() && date <= GetSelectionFinish() && FSelectionStart != NullDate;
        FillRectColor(cv, r, selected ? (FFlat ? clBtnFace : clHighlight) : clWindow);
        int dy, dm, dd;
        Decode(date, dy, dm, dd);
        TColor color = selected ? clHighlightText : dm != mo ? clGrayText : clWindowText;
        if (selected && FFlat) color = clWindowText;
        TRect t = r;
        if (date == today) {
          cv->Brush()->SetStyle(bsSolid);
          cv->Brush()->SetColor(RGB(128, 0, 0));
          cv->FrameRect(r);
          InflateRect(t, -1, -1);
        }
        t.Right -= 3;
        cv->Font()->SetColor(color);
        cv->Brush()->SetStyle(bsClear);
        cv->DrawText(std::to_string(dd), t, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
  }
  // Button bar.
  auto button = [&](const TRect& r, const char* caption, bool pressed) {
    if (IsRectEmpty(r)) return;
    FillRectColor(cv, r, clBtnFace);
    TRect b = r;
    DrawEdge(cv, b, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    TRect t = r;
    if (pressed) OffsetRect(t, 1, 1);
    cv->Font()->SetColor(clBtnText);
    cv->Brush()->SetStyle(bsClear);
    cv->DrawText(caption, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  };
  if (ButtonBarHeight() > 0) {
    int top = c.Bottom - ButtonBarHeight();
    FillRectColor(cv, Rect(c.Left + S, top - 1, c.Right - S, top), clBtnShadow);
    button(TodayButtonRect(), SvmToday, FActiveButton == 1 && FButtonPressed);
    button(ClearButtonRect(), SvmClear, FActiveButton == 2 && FButtonPressed);
  }
}

void TzoViraDatePopup::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomvmCalendar::KeyDown(Key, Shift);
  if (!Key) return;
  const bool alt = Shift.Contains(ssAlt), ctrl = Shift.Contains(ssCtrl);
  double sel = GetSelectionStart();
  if (sel == NullDate) sel = vmToday();
  int y, m, d;
  Decode(sel, y, m, d);
  switch (Key) {
    case VK_RETURN:
      if (FMonthList) break;
      ClosePopup();
      DoDateSelected();
      break;
    case VK_ESCAPE:
      ClosePopup();
      break;
    case VK_UP:
    case VK_DOWN:
      if (alt)
        ClosePopup();
      else
        SetSelectionStart(sel + (Key == VK_UP ? -7 : 7));
      break;
    case VK_LEFT:
      SetSelectionStart(sel - 1);
      break;
    case VK_RIGHT:
      SetSelectionStart(sel + 1);
      break;
    case VK_PRIOR:
    case VK_NEXT:
      ShiftMonths(y, m, Key == VK_PRIOR ? -1 : 1);
      SetSelectionStart(EncodeDate(y, m, ClampDay(y, m, d)));
      break;
    case VK_HOME:
      SetSelectionStart(ctrl ? EncodeDate(y, m, 1) : sel - DayColumnOffset(sel));
      break;
    case VK_END:
      SetSelectionStart(ctrl ? EncodeDate(y, m, MonthDayCount(y, m)) : sel - DayColumnOffset(sel) + 6);
      break;
    default:
      if (Key == VK_F1 + 3) {
        ClosePopup();
        break;
      }
      return;
  }
  Key = 0;
}

void TzoViraDatePopup::ArrowTimer() {
  if (FArrowDir == 0) return;
  int y, m, d;
  Decode(FFirstShownDate, y, m, d);
  ShiftMonths(y, m, FArrowDir);
  SetFirstDate(EncodeDate(y, m, 1));
}

void TzoViraDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (PtInRect(TodayButtonRect(), TPoint(X, Y))) {
      FActiveButton = 1;
      FButtonPressed = true;
      Invalidate();
      return;
    }
    if (PtInRect(ClearButtonRect(), TPoint(X, Y))) {
      FActiveButton = 2;
      FButtonPressed = true;
      Invalidate();
      return;
    }
    if (ButtonBarHeight() > 0 && Y >= ClientRect().Bottom - ButtonBarHeight()) return;
  }
  TCustomvmCalendar::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const int cell = CellAt(X, Y);
  if (cell >= 0 && PtInRect(TitleRect(cell), TPoint(X, Y))) {
    // The month list with the title's month in its 4th row, centred over the title.
    CloseMonthList();
    FMonthListCell = cell;
    FMonthList = new TAMonthListBox(this, this);
    // On a form the list is a control of the form; over a popup window it is a popup window too.
    if (Parent()) FMonthList->SetParent(Parent());
    FMonthList->SetFont(Font());
    FMonthList->SizeToFont();
    FMonthList->SetTopMonth(MonthShifted(FFirstShownDate, FMonthListCell - 3));
    TRect t = TitleRect(cell);
    TPoint centre = ClientToScreen(TPoint((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2));
    if (Parent()) centre = Parent()->ScreenToClient(centre);
    FMonthList->SetBounds(centre.X - FMonthList->Width() / 2, centre.Y - FMonthList->Height() / 2, FMonthList->Width(),
                          FMonthList->Height());
    FMonthList->Show();
    if (Parent())
      FMonthList->BringToFront();
    else
      ShowPopupWindow(FMonthList, this, false);
    return;
  }
  if (PtInRect(LeftArrowRect(), TPoint(X, Y)) || PtInRect(RightArrowRect(), TPoint(X, Y))) {
    FArrowDir = PtInRect(LeftArrowRect(), TPoint(X, Y)) ? -1 : 1;
    ArrowTimer();
    FArrowTimer->SetEnabled(true);
  }
}

void TzoViraDatePopup::MouseMove(TShiftState Shift, int X, int Y) {
  if (FArrowTimer->Enabled()) {
    TRect r = FArrowDir < 0 ? LeftArrowRect() : RightArrowRect();
    if (!PtInRect(r, TPoint(X, Y))) FArrowTimer->SetEnabled(false);
    return;
  }
  if (FMonthList) {
    TPoint p = FMonthList->ScreenToClient(ClientToScreen(TPoint(X, Y)));
    FMonthList->TrackMouse(p.X, p.Y);
    return;
  }
  if (FActiveButton) {
    bool on = PtInRect(FActiveButton == 1 ? TodayButtonRect() : ClearButtonRect(), TPoint(X, Y));
    if (on != FButtonPressed) {
      FButtonPressed = on;
      Invalidate();
    }
    return;
  }
  TCustomvmCalendar::MouseMove(Shift, X, Y);
}

void TzoViraDatePopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FArrowDir != 0) {
    FArrowTimer->SetEnabled(false);
    FArrowDir = 0;
    return;
  }
  if (FMonthList) {
    const double month = FMonthList->SelectedDate();
    CloseMonthList();
    if (month != NullDate) {
      SetFirstDate(MonthShifted(month, -FMonthListCell));
      Invalidate();
    }
    return;
  }
  if (FActiveButton) {
    const int b = FActiveButton;
    const bool pressed = FButtonPressed;
    FActiveButton = 0;
    FButtonPressed = false;
    Invalidate();
    if (!pressed) return;
    SetSelectionStart(b == 1 ? vmToday() : NullDate);
  }
  if (Button == mbLeft && PtInRect(ClientRect(), TPoint(X, Y))) {
    ClosePopup();
    DoDateSelected();
  }
}

void TzoViraDatePopup::ClosePopup() {
  if (Visible()) {
    SetMouseCapture(false);
    FArrowTimer->SetEnabled(false);
    FArrowDir = 0;
    CloseMonthList();
    FActiveButton = 0;
    FButtonPressed = false;
  }
  TCustomvmCalendar::ClosePopup();
}

// ---------------------------------------------------------------------------------------------
// Date editor

VM_DEFINE_CLASS(TvmInplaceDateEdit)

TvmInplaceDateEdit::TvmInplaceDateEdit(TComponent* AOwner) : TvmInplaceDropDownEdit(AOwner) {
  FRouteKeysToList = false;
}

TvmInplaceDateEdit::~TvmInplaceDateEdit() {
  if (FCalendar) {
    FCalendar->DateSelectedHook = nullptr;
    FCalendar->SetOwnerEdit(nullptr);
  }
}

void TvmInplaceDateEdit::DoChange() {
  if (FInternalChange) return;
  FTextEdited = true;
  TvmInplaceDropDownEdit::DoChange();
}

void TvmInplaceDateEdit::SetDate(double Value) {
  if (Value == FDate && !FTextEdited) return;
  TCustomvmContainer* c = GetContainer();
  if ((c && c->InitializingEditor()) || CanModify()) SetDateValue(Value);
}

void TvmInplaceDateEdit::SetDateValue(double X) {
  double previous = FDate;
  FDate = X;
  bool internal = FInternalChange;
  FInternalChange = true;
  SetWindowText(DateToDisplayText(IsMasked(), X));
  FInternalChange = internal;
  FTextEdited = false;
  if (!FInternalChange && previous != X && OnChangeDate) OnChangeDate(this);
}

void TvmInplaceDateEdit::SetUseEditMask(bool Value) {
  FUseEditMask = Value;
  UpdateDateMask();
}

void TvmInplaceDateEdit::UpdateDateMask() {
  FInternalChange = true;
  if (FUseEditMask) {
    DoSetEditMask(DateEditMask());
  } else {
    DoSetEditMask("");
    FStoredValues &= ~(1u << svmEditMask);
  }
  SetDateValue(FDate);
  FInternalChange = false;
}

void TvmInplaceDateEdit::SetEditValue(const Variant& Value) {
  FInternalChange = true;
  double d = NullDate;
  if (!Value.IsNull() && !(Value.IsString() && Value.AsString().empty())) {
    if (Value.IsString()) {
      if (!TextToDate(Value.AsString(), d)) d = NullDate;
    } else {
      d = Value.AsFloat();
    }
  }
  SetDateValue(d);
  SetModified(false);
  ClearUndo();
  FInternalChange = false;
}

void TvmInplaceDateEdit::GetEditValue(Variant& Value) {
  if (FDate == NullDate)
    Value = Variant();
  else
    Value = FDate;
}

void TvmInplaceDateEdit::GetEditingText(std::string& S) {
  if (IsMasked() && GetWindowText() == FormatWithMask("")) {
    S.clear();
    return;
  }
  S = GetWindowText();
}

void TvmInplaceDateEdit::DoDateValidateInput(const std::string& AText, double& ADate, std::string& AMessage,
                                             bool& AError) {
  if (OnDateValidateInput) OnDateValidateInput(this, AText, ADate, AMessage, AError);
}

void TvmInplaceDateEdit::ValidateEdit() {
  if (!GetModified()) {
    TvmInplaceDropDownEdit::ValidateEdit();
    return;
  }
  double value = FDateOnError == deToday ? vmToday() : NullDate;
  bool valid = true;
  std::string t = GetWindowText();
  if (IsMasked() && t == FormatWithMask("")) {
    value = NullDate;
  } else if (IsMasked() || !Trim(t).empty()) {
    double d;
    if (TextToDate(t, d))
      value = d;
    else
      valid = false;
  } else {
    value = NullDate;
  }
  if (!valid || FDateValidation) {
    if (FClosing && !valid) {
      Reset();
      FInternalChange = true;
      FDate = NullDate;
      SetWindowText("");
      FInternalChange = false;
      return;
    }
    std::string message = SvmInvalidDate;
    bool error = !valid && FDateValidation;
    DoDateValidateInput(t, value, message, error);
    if (error) {
      if (EditVisible() && CanFocus() && !IsFocused()) SetFocus();
      MessageBeep();
      throw EvmEditInvalidInput(message);
    }
  }
  SetDate(value);
  SetModified(true);
  // The shown text is the value's now; the mask editor checks it.
  TvmInplaceDropDownEdit::ValidateEdit();
}

void TvmInplaceDateEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCalendar) {
    if (FCurrentPopup == FCalendar) FCurrentPopup = nullptr;
    FCalendar = nullptr;
  }
}

void TvmInplaceDateEdit::DropDown() {
  if (FPopupShown || !IsEditable()) return;
  if (!FCalendar) {
    FCalendar = new TzoViraDatePopup(this);
    // The popup lives on the form, which may free it before this editor goes.
    FCalendar->FreeNotification(this);
  }
  FCalendar->SetOwnerEdit(this);
  FCurrentPopup = FCalendar;
  DoEditButtonClick();
  FCalendar->SetPopupBorder(GetPopupBorder());
  FCalendar->SetShadow(FStyle->Shadow());
  FCalendar->SetFont(Font());
  FCalendar->SetTodayButtonVisible(FDateButtons.Contains(btnToday));
  FCalendar->SetClearButtonVisible(FDateButtons.Contains(btnClear));
  FCalendar->DateSelectedHook = nullptr;
  double start;
  std::string t = GetWindowText();
  if (IsMasked() && t == FormatWithMask("")) {
    start = vmToday();
  } else {
    double d;
    if (TextToDate(t, d)) {
      FPopupDate = d;
      start = d;
    } else {
      start = vmToday();
    }
  }
  if (FPopupDate != NullDate) start = DatePart(FPopupDate);
  FCalendar->SetFirstDate(start);
  FCalendar->SetSelectionStart(start);
  FCalendar->DateSelectedHook = [this](TCustomvmCalendar* C) { DateSelected(C); };
  FCalendar->SizeToGrid();
  PositionPopup(FCalendar, false);
  FPopupShown = true;
  FCalendar->ShowPopup();
  if (FCalendar->CanFocus()) FCalendar->SetFocus();
  WatchPopup();
}

void TvmInplaceDateEdit::CloseUp(bool Accept) {
  if (!FPopupShown || !FCalendar) return;
  FPopupShown = false;
  FWatch.reset();
  FCalendar->ClosePopup();
  FocusSelf();
}

void TvmInplaceDateEdit::DateSelected(TCustomvmCalendar* Calendar) {
  FPopupShown = false;
  FWatch.reset();
  double d = Calendar->GetSelectionStart();
  if (FSaveTime && d != NullDate && FPopupDate != NullDate) {
    double t = TimePart(FPopupDate);
    d = d < 0 ? d - t : d + t;
  }
  FTextEdited = true;  // a pick always writes
  SetDate(d);
  SetModified(true);
}
