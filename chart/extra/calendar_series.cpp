#include "chart/extra/calendar_series.h"

#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "platform/datetime.h"
#include "platform/localeinfo.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TCalendarCell)

VM_PUBLISH(TCalendarCellUpper) {
  using S = TCalendarCellUpper;
  P.String("Format", &S::Format, &S::SetFormat);
  P.Bool("UpperCase", &S::UpperCase, &S::SetUpperCase).Default(false);
}

VM_PUBLISH(TCalendarSeries) {
  using S = TCalendarSeries;
  P.Float("Date", &S::Date, &S::SetDate).Stored(true);
  P.Object("Days", &S::Days, &S::SetDays);
  P.Object("Months", &S::Months, &S::SetMonths);
  P.Bool("NextButtonVisible", &S::NextButtonVisible, &S::SetNextButtonVisible).Default(true);
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Bool("PreviousButtonVisible", &S::PreviousButtonVisible, &S::SetPreviousButtonVisible).Default(true);
  P.Object("Sunday", &S::Sunday, &S::SetSunday);
  P.Object("Today", &S::Today, &S::SetToday);
  P.Object("Trailing", &S::Trailing, &S::SetTrailing);
  P.Object("WeekDays", &S::WeekDays, &S::SetWeekDays);
  P.Event("OnChange", &S::OnChange);
}

namespace {
// The same day of the month Months later (clipped to that month's length), at the same time.
TDateTime AddMonths(TDateTime Date, int Months) {
  uint16_t y, m, d;
  DecodeDate(Date, y, m, d);
  int month = m - 1 + Months;
  int year = y + (month >= 0 ? month / 12 : (month - 11) / 12);
  month = ((month % 12) + 12) % 12 + 1;
  const int days = DaysInMonth(static_cast<uint16_t>(year), static_cast<uint16_t>(month));
  return EncodeDate(year, month, std::min<int>(d, days)) + (Date - std::floor(Date));
}

int R(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

// =============================================================================================
// Cells

TCalendarCell::TCalendarCell(TCalendarSeries* ASeries) : TGraphShape(nullptr), Series(ASeries) {}

void TCalendarCellUpper::SetFormat(const std::string& Value) {
  if (FFormat == Value) return;
  FFormat = Value;
  if (Series) Series->Repaint();
}

void TCalendarCellUpper::SetUpperCase(bool Value) {
  if (FUpperCase == Value) return;
  FUpperCase = Value;
  if (Series) Series->Repaint();
}

std::string TCalendarCellUpper::DateText(TDateTime Date) const {
  const std::string s = FormatDateTime(FFormat, Date);
  return FUpperCase ? AnsiUpperCase(s) : s;
}

// =============================================================================================
// The calendar

TCalendarSeries::TCalendarSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  FDate = ::Date();
  FDays = std::make_unique<TCalendarCell>(this);
  FDays->SetTransparent(true);
  FDays->DefaultTransparent = true;
  FToday = std::make_unique<TCalendarCell>(this);
  if (FToday->Shadow()) FToday->Shadow()->SetSize(0);
  FToday->Font()->SetColor(clWhite);
  FToday->SetColor(clBlue);
  FSunday = std::make_unique<TCalendarCell>(this);
  if (FSunday->Shadow()) FSunday->Shadow()->SetSize(0);
  FSunday->SetColor(clRed);
  FSunday->Font()->SetColor(clWhite);
  FTrailing = std::make_unique<TCalendarCell>(this);
  FTrailing->SetTransparent(true);
  FTrailing->DefaultTransparent = true;
  FTrailing->Font()->SetColor(clGray);
  FWeekDays = std::make_unique<TCalendarCellUpper>(this);
  FWeekDays->Pen()->SetVisible(false);
  FWeekDays->SetFormat("ddd");
  FMonths = std::make_unique<TCalendarCellUpper>(this);
  FMonths->SetTransparent(true);
  FMonths->DefaultTransparent = true;
  FMonths->SetFormat("mmmm, yyyy");
  FirstDayOfWeek = LocaleInfo().FirstDayOfWeek;
  SetCalcVisiblePoints(false);
  SetShowInLegend(false);
  SetUsesSeriesColor(false);
  AddNullValue();
}

TCalendarSeries::~TCalendarSeries() {
  if (FListening) FListening->RemoveListener(this);
  FListening = nullptr;
  FreeButtons();
}

void TCalendarSeries::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TCalendarSeries*>(Source)) {
    FDate = c->FDate;
    FDays->Assign(c->FDays.get());
    FToday->Assign(c->FToday.get());
    FSunday->Assign(c->FSunday.get());
    FTrailing->Assign(c->FTrailing.get());
    FWeekDays->Assign(c->FWeekDays.get());
    FMonths->Assign(c->FMonths.get());
    FNextButtonVisible = c->FNextButtonVisible;
    FPreviousButtonVisible = c->FPreviousButtonVisible;
  }
  TChartSeries::Assign(Source);
}

void TCalendarSeries::SetDate(TDateTime Value) {
  if (OnChange && Value != FDate) OnChange(this, Value);
  if (Value == FDate) return;
  FDate = Value;
  Repaint();
}

void TCalendarSeries::NextMonth() { SetDate(AddMonths(FDate, 1)); }
void TCalendarSeries::PreviousMonth() { SetDate(AddMonths(FDate, -1)); }

void TCalendarSeries::SetNextButtonVisible(bool Value) {
  FNextButtonVisible = Value;
  if (FNextButton) FNextButton->SetVisible(Value && Active());
}

void TCalendarSeries::SetPreviousButtonVisible(bool Value) {
  FPreviousButtonVisible = Value;
  if (FPreviousButton) FPreviousButton->SetVisible(Value && Active());
}

// ---- chart, buttons, listening ---------------------------------------------------------------------

void TCalendarSeries::AttachCells() {
  IGraphShapeParent* p = FParentChart ? series_link::ShapeParent(FParentChart) : nullptr;
  for (TCalendarCell* c : {FDays.get(), FToday.get(), FSunday.get(), FTrailing.get(),
                           static_cast<TCalendarCell*>(FWeekDays.get()), static_cast<TCalendarCell*>(FMonths.get())})
    c->SetParentChart(p);
}

void TCalendarSeries::FreeButtons() {
  delete FNextButton;
  delete FPreviousButton;
  FNextButton = FPreviousButton = nullptr;
}

void TCalendarSeries::MakeButtons() {
  auto* parent = dynamic_cast<TWinControl*>(series_link::AsComponent(FParentChart));
  if (!parent) return;
  auto make = [&](const char* Caption, int Left, bool Visible, void (TCalendarSeries::*Step)()) {
    auto* b = new TButton(nullptr);
    b->SetCaption(Caption);
    b->SetBounds(Left, 6, 20, 20);
    b->SetVisible(Visible && Active());
    b->OnClick = [this, Step](TObject*) { (this->*Step)(); };
    b->SetParent(parent);
    return b;
  };
  FNextButton = make(">", 30, FNextButtonVisible, &TCalendarSeries::NextMonth);
  FPreviousButton = make("<", 6, FPreviousButtonVisible, &TCalendarSeries::PreviousMonth);
}

void TCalendarSeries::SetParentChart(TCustomAxisPanel* Value) {
  if (FListening) FListening->RemoveListener(this);
  FListening = nullptr;
  TChartSeries::SetParentChart(Value);
  if (ComponentState().Contains(csDestroying)) return;
  AttachCells();
  FreeButtons();
  if (!FParentChart) return;
  FParentChart->Listeners->Add(this);
  FListening = FParentChart;
  MakeButtons();
}

void TCalendarSeries::SetActive(bool Value) {
  TChartSeries::SetActive(Value);
  if (FNextButton) FNextButton->SetVisible(Value && FNextButtonVisible);
  if (FPreviousButton) FPreviousButton->SetVisible(Value && FPreviousButtonVisible);
}

void TCalendarSeries::ChartEvent(TGraphEvent* Event) {
  auto* m = dynamic_cast<TGraphMouseEvent*>(Event);
  if (m && m->Event == meDown && m->Button == mbLeft) ClickAt(m->X, m->Y);
}

TPopupMenu* TCalendarSeries::MonthMenu() {
  if (!FMonthMenu) {
    FMonthMenu = std::make_unique<TPopupMenu>(nullptr);
    for (int k = 0; k < 12; ++k) {
      auto* item = new TMenuItem(FMonthMenu.get());
      item->SetCaption(LongMonthNames[k]);
      item->OnClick = [this, k](TObject*) {
        uint16_t y, m, d;
        DecodeDate(FDate, y, m, d);
        const int days = DaysInMonth(y, static_cast<uint16_t>(k + 1));
        SetDate(EncodeDate(y, k + 1, std::min<int>(d, days)));
      };
      FMonthMenu->Items()->Add(item);
    }
  }
  return FMonthMenu.get();
}

// ---- geometry ----------------------------------------------------------------------------------------

int TCalendarSeries::VisibleRows() const { return Rows - !FWeekDays->Visible() - !FMonths->Visible(); }

int TCalendarSeries::ColumnToX(double Column) {
  TChartAxis* h = GetHorizAxis();
  return h->StartPixel + R(h->AxisLength * Column / Columns);
}

int TCalendarSeries::RowToY(double Row) {
  TChartAxis* v = GetVertAxis();
  return v->StartPixel + R(v->AxisLength * Row / VisibleRows());
}

TRect TCalendarSeries::CellRect(int Column, int Row) {
  return TRect(ColumnToX(Column - 1) + 1, RowToY(Row - 1) + 1, ColumnToX(Column) - 1, RowToY(Row) - 1);
}

TRect TCalendarSeries::DaysRect() {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  int top = v->StartPixel;
  const int row = R(double(v->AxisLength) / Rows);
  if (FWeekDays->Visible()) top += row;
  if (FMonths->Visible()) top += row;
  return TRect(h->StartPixel, top, h->EndPixel, v->EndPixel);
}

int32_t TCalendarSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (!Active() || !GetHorizAxis() || !GetVertAxis()) return -1;
  return PointInRectXY(DaysRect(), X, Y) ? 0 : -1;
}

bool TCalendarSeries::DateAtPos(int X, int Y, TDateTime& Result) {
  if (PointIndexAt(X, Y) != 0) return false;
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  const int column = static_cast<int>((X - h->StartPixel) / (double(h->AxisLength) / Columns)) + 1;
  const int row = static_cast<int>((Y - v->StartPixel) / (double(v->AxisLength) / VisibleRows())) + 1;
  uint16_t y, m, d;
  DecodeDate(FDate, y, m, d);
  int year = y, month = m, day;
  if (row < FirstDayRow) {
    Result = FDate;
    return true;
  }
  if (row == FirstDayRow && column < FirstDayColumn) {
    if (!FTrailing->Visible()) {
      Result = FDate;
      return true;
    }
    if (--month == 0) {
      month = 12;
      --year;
    }
    day = DaysInMonth(static_cast<uint16_t>(year), static_cast<uint16_t>(month)) + column - FirstDayColumn + 1;
  } else if (row == FirstDayRow) {
    day = column - FirstDayColumn + 1;
  } else {
    const int n = 7 * row + column - 7 * FirstDayRow - FirstDayColumn + 1;
    const int days = DaysInMonth(y, m);
    if (n > days) {
      if (!FTrailing->Visible()) {
        Result = FDate;
        return true;
      }
      if (++month == 13) {
        month = 1;
        ++year;
      }
      day = n - days;
    } else {
      day = n;
    }
  }
  Result = EncodeDate(year, month, day);
  return true;
}

void TCalendarSeries::ClickAt(int X, int Y) {
  if (FMonths->Visible() && PointInRectXY(FMonths->BoxRect, X, Y)) {
    TPoint p(X, Y);
    if (auto* w = dynamic_cast<TWinControl*>(series_link::AsComponent(FParentChart))) p = w->ClientToScreen(p);
    MonthMenu()->Popup(p.X, p.Y);
    return;
  }
  TDateTime d;
  if (DateAtPos(X, Y, d)) SetDate(d);
}

// ---- drawing ---------------------------------------------------------------------------------------

void TCalendarSeries::DrawCellText(int Column, int Row, const std::string& Text) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->TextOut3D(ColumnToX(Column - 0.5), RowToY(Row - 0.5) - c->FontHeight() / 2, StartZ, Text);
}

void TCalendarSeries::DrawCellFrame(TCalendarCell* Cell, TRect R) {
  const TGraphShadow* s = Cell->Shadow();
  R.Right -= (s ? s->HorizSize() : 0) - 1;
  R.Bottom -= (s ? s->VertSize() : 0) - 1;
  if (!Cell->Transparent()) Cell->DrawRectRotated(R, 0, StartZ);
  Cell->BoxRect = R;
}

void TCalendarSeries::DrawCell(TCalendarCell* Cell, int Column, int Row, const std::string& Text) {
  if (!Cell->Visible()) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  DrawCellFrame(Cell, CellRect(Column, Row));
  c->AssignFont(Cell->Font());
  c->SetTextAlign(TA_CENTER);
  c->SetBackMode(cbmTransparent);
  DrawCellText(Column, Row, Text);
}

TCalendarCell* TCalendarSeries::CellFor(int Day, int Column, uint16_t DayOfDate) const {
  if (Day == DayOfDate && FToday->Visible()) return FToday.get();
  if ((FirstDayOfWeek + Column - 1) % 7 == 6) return FSunday.get();
  return FDays.get();
}

void TCalendarSeries::DrawVisiblePoints() {
  TChartSeries::DrawVisiblePoints();
  if (!GetHorizAxis() || !GetVertAxis()) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (FWeekDays->Visible()) {
    const int row = FMonths->Visible() ? 2 : 1;
    for (int col = 1; col <= Columns; ++col) {
      DrawCellFrame(FWeekDays.get(), CellRect(col, row));
      c->AssignFont(FWeekDays->Font());
      c->SetTextAlign(TA_CENTER);
      c->SetBackMode(cbmTransparent);
      DrawCellText(col, row, FWeekDays->DateText(EncodeDate(1899, 1, col + FirstDayOfWeek + 1)));
    }
  }
  if (FMonths->Visible()) {
    const TRect days = DaysRect();
    DrawCellFrame(FMonths.get(), TRect(days.Left, CellRect(4, 0).Bottom, days.Right, CellRect(4, 1).Bottom));
    c->AssignFont(FMonths->Font());
    c->SetTextAlign(TA_CENTER);
    c->SetBackMode(cbmTransparent);
    DrawCellText(4, 1, FMonths->DateText(FDate));
  }
  uint16_t y, m, d;
  DecodeDate(FDate, y, m, d);
  const TDateTime first = EncodeDate(y, m, 1);
  const int d1 = (DayOfWeek(first) + 5) % 7 + 1;
  FirstDayColumn = (d1 - FirstDayOfWeek + 6) % 7 + 1;
  FirstDayRow = 3 - !FWeekDays->Visible() - !FMonths->Visible();
  const int rows = VisibleRows();
  if (FTrailing->Visible() && FirstDayColumn > 1) {
    const int py = m == 1 ? y - 1 : y, pm = m == 1 ? 12 : m - 1;
    const int prevDays = DaysInMonth(static_cast<uint16_t>(py), static_cast<uint16_t>(pm));
    for (int col = 1; col < FirstDayColumn; ++col)
      DrawCell(FTrailing.get(), col, FirstDayRow, IntToStr(prevDays - FirstDayColumn + col + 1));
  }
  int col = FirstDayColumn, row = FirstDayRow;
  auto advance = [&] {
    if (++col > Columns) {
      col = 1;
      ++row;
    }
  };
  const int days = DaysInMonth(y, m);
  for (int day = 1; day <= days; ++day) {
    DrawCell(CellFor(day, col, d), col, row, IntToStr(day));
    advance();
  }
  if (FTrailing->Visible())
    for (int n = 1; row <= rows; ++n) {
      DrawCell(FTrailing.get(), col, row, IntToStr(n));
      advance();
    }
  if (Pen()->Visible()) {
    TChartAxis* h = GetHorizAxis();
    TChartAxis* v = GetVertAxis();
    const int headers = FWeekDays->Visible() + FMonths->Visible();
    c->AssignVisiblePen(Pen());
    for (int k = 0; k <= Columns; ++k) c->VertLine3D(ColumnToX(k), RowToY(headers), v->EndPixel, StartZ);
    for (int r = headers; r <= rows; ++r) c->HorizLine3D(h->StartPixel, h->EndPixel, RowToY(r), StartZ);
  }
}

void TCalendarSeries::MakeGalleryThumbnail(bool Coloured) {
  TChartSeries::MakeGalleryThumbnail(Coloured);
  Pen()->SetVisible(false);
  FDays->Font()->SetSize(6);
  FSunday->Font()->SetSize(6);
  FToday->Font()->SetSize(6);
  FWeekDays->Font()->SetSize(5);
  if (FWeekDays->Shadow()) FWeekDays->Shadow()->SetSize(0);
  FMonths->SetVisible(false);
  FTrailing->SetVisible(false);
  SetNextButtonVisible(false);
  SetPreviousButtonVisible(false);
}

// =============================================================================================

void RegisterCalendarSeries() {
  RegisterSeriesType(TCalendarSeries::StaticClass(), &MsgGalleryCalendar, &MsgGalleryPageOther, 1);
}

void UnregisterCalendarSeries() { UnregisterSeriesTypes({TCalendarSeries::StaticClass()}); }
