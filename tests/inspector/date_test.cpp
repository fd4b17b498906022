// Dates: the helpers, keywords and the locale's forms, the one-month calendar across month and
// year edges and the first day of the week, and the date editor with its popup.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_date.h"

namespace {

struct TDateFixture : TEditorFixture {
  TDateFixture() { SetTodayOverride(EncodeDate(2026, 3, 11)); }  // a Wednesday
  ~TDateFixture() {
    SetTodayOverride(NullDate);
    SetLocaleInfo(DefaultLocaleInfo());
    ReadFirstDayOfWeek();
  }
};

TEST(DateHelpers, PartsMonthsAndLeapYears) {
  EXPECT_EQ(DatePart(-0.5), 0);
  EXPECT_EQ(DatePart(2.999999999999), 3);
  EXPECT_TRUE(IsLeap(2024));
  EXPECT_FALSE(IsLeap(1900));
  EXPECT_TRUE(IsLeap(2000));
  EXPECT_EQ(MonthDayCount(2024, 2), 29);
  int y = 2025, m = 12;
  ShiftMonths(y, m, 1);
  EXPECT_EQ(y * 100 + m, 202601);
  ShiftMonths(y, m, -13);
  EXPECT_EQ(y * 100 + m, 202412);
  EXPECT_EQ(ClampDay(2023, 2, 31), 28);
  EXPECT_NEAR(TimePart(EncodeDate(2026, 3, 5) + EncodeTime(10, 30, 0, 0)), EncodeTime(10, 30, 0, 0), 1e-9);
}

TEST(DateText, KeywordsOffsetsAndLocaleForms) {
  TDateFixture f;
  const double today = EncodeDate(2026, 3, 11);
  struct Case {
    const char* Text;
    double Expected;
  };
  const Case cases[] = {{"today+3", today + 3},
                        {"Today + 3", today + 3},
                        {"TODAY +3", today + 3},
                        {"today3", today},
                        {"yesterday", today - 1},
                        {"MONDAY", today + 5},
                        {"wednesday", today},
                        {"FIRST", today - 3},
                        {"SEVENTH", today + 3},
                        {"BOM-1", EncodeDate(2026, 2, 28)},
                        {"EOM", EncodeDate(2026, 3, 31)},
                        {"1.2.2026", EncodeDate(2026, 2, 1)},
                        {"05.03.2026 10:30", EncodeDate(2026, 3, 5) + EncodeTime(10, 30, 0, 0)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    double d = NullDate;
    ASSERT_TRUE(TextToDate(c.Text, d));
    EXPECT_NEAR(d, c.Expected, 1e-6);
  }
  SetTodayOverride(EncodeDate(2024, 2, 10));
  double d;
  ASSERT_TRUE(TextToDate("EOM", d));
  EXPECT_EQ(d, EncodeDate(2024, 2, 29));
  for (const char* bad : {"", "   ", "32.13.2026", "abc", "12:30"}) EXPECT_FALSE(TextToDate(bad, d)) << bad;
  EXPECT_EQ(DateToText(NullDate), "");
  EXPECT_EQ(DateToText(EncodeDate(2026, 3, 5)), "05.03.2026");
}

TEST(DateText, MaskFromTheShortDateFormat) {
  TDateFixture f;
  TLocaleInfo l = DefaultLocaleInfo();
  l.ShortDateFormat = "d.M.yyyy";
  SetLocaleInfo(l);
  EXPECT_EQ(DateEditMask(), "!99.99.9999;1; ");
  EXPECT_EQ(DateMaskDisplayFormat(), "dd.MM.yyyy");
}

TEST(Calendar, FirstDayOfWeekAndMonthEdges) {
  TDateFixture f;
  TzoViraDatePopup cal(nullptr);
  // Monday first: 1 March 2026 (a Sunday) sits in the last column of the first row.
  cal.SetFirstDate(EncodeDate(2026, 3, 1));
  EXPECT_EQ(cal.GetFirstVisibleDate(), EncodeDate(2026, 2, 23));
  // A month starting on the week's first day shows the whole previous week first.
  cal.SetFirstDate(EncodeDate(2026, 6, 1));  // a Monday
  EXPECT_EQ(cal.GetFirstVisibleDate(), EncodeDate(2026, 5, 25));
  EXPECT_EQ(cal.GetLastVisibleDate(), EncodeDate(2026, 5, 25) + 41);
  // Sunday first.
  TLocaleInfo l = DefaultLocaleInfo();
  l.FirstDayOfWeek = 6;
  SetLocaleInfo(l);
  ReadFirstDayOfWeek();
  cal.SetFirstDate(EncodeDate(2026, 3, 1));
  EXPECT_EQ(cal.GetFirstVisibleDate(), EncodeDate(2026, 2, 22));
  // Keys across month and year edges.
  struct Case {
    double From;
    uint16_t Key;
    TShiftState Shift;
    double To;
  };
  SetLocaleInfo(DefaultLocaleInfo());
  ReadFirstDayOfWeek();
  const Case cases[] = {{EncodeDate(2024, 1, 31), VK_NEXT, {}, EncodeDate(2024, 2, 29)},
                        {EncodeDate(2026, 1, 31), VK_NEXT, {}, EncodeDate(2026, 2, 28)},
                        {EncodeDate(2026, 1, 15), VK_PRIOR, {}, EncodeDate(2025, 12, 15)},
                        {EncodeDate(2025, 12, 31), VK_RIGHT, {}, EncodeDate(2026, 1, 1)},
                        {EncodeDate(2026, 1, 1), VK_UP, {}, EncodeDate(2025, 12, 25)},
                        {EncodeDate(2026, 3, 11), VK_END, {}, EncodeDate(2026, 3, 15)},
                        {EncodeDate(2026, 3, 11), VK_HOME, {}, EncodeDate(2026, 3, 9)},
                        {EncodeDate(2026, 2, 3), VK_END, {ssCtrl}, EncodeDate(2026, 2, 28)},
                        {EncodeDate(2026, 2, 3), VK_HOME, {ssCtrl}, EncodeDate(2026, 2, 1)}};
  for (const Case& c : cases) {
    cal.SetFirstDate(c.From);
    cal.SetSelectionStart(c.From);
    cal.DispatchKeyDown(c.Key, c.Shift);
    EXPECT_EQ(cal.GetSelectionStart(), c.To) << FormatDateTime("yyyy-mm-dd", c.From) << " key " << c.Key;
    EXPECT_LE(cal.GetFirstVisibleDate(), c.To);
    EXPECT_GE(cal.GetLastVisibleDate(), c.To);
  }
}

TEST(DateEdit, PopupPicksKeepsTimeAndClosesByEveryRoute) {
  TDateFixture f;
  int cell = f.Grid->AddCell(TvmInplaceDateEdit::StaticClass(), EncodeDate(2026, 3, 5) + EncodeTime(10, 30, 0, 0),
                             Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceDateEdit*>(f.Grid->EditCell(cell));
  EXPECT_EQ(e->GetWindowText(), "05.03.2026 10:30:00");
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  ASSERT_TRUE(e->PopupShown());
  TzoViraDatePopup* cal = e->Calendar();
  EXPECT_EQ(cal->GetSelectionStart(), EncodeDate(2026, 3, 5));
  PressKey(cal, VK_RIGHT);
  PressKey(cal, VK_RIGHT);
  PressKey(cal, VK_RETURN);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_NEAR(e->Date(), EncodeDate(2026, 3, 7) + EncodeTime(10, 30, 0, 0), 1e-6);
  EXPECT_TRUE(e->Modified());
  // Esc closes without a pick.
  PressKey(e->TextWindow(), VK_F1 + 3);
  ASSERT_TRUE(e->PopupShown());
  PressKey(cal, VK_RIGHT);
  PressKey(cal, VK_ESCAPE);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_NEAR(e->Date(), EncodeDate(2026, 3, 7) + EncodeTime(10, 30, 0, 0), 1e-6);
  // A click on a day picks it; Clear picks no date; Today picks today.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  TRect day = cal->DayCellRect(2, 2);
  double expected = cal->GetFirstVisibleDate() + 16;
  SendInput(cal, ikMouseDown, {ssLeft}, day.Left + 2, day.Top + 2, mbLeft);
  SendInput(cal, ikMouseUp, {}, day.Left + 2, day.Top + 2, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_NEAR(DatePart(e->Date()), expected, 1e-9);
  e->SetSaveTime(false);
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  TRect today = cal->TodayButtonRect();
  // Pressed, moved off and released: nothing, and the popup stays.
  SendInput(cal, ikMouseDown, {ssLeft}, today.Left + 2, today.Top + 2, mbLeft);
  SendInput(cal, ikMouseMove, {ssLeft}, 1, 1);
  SendInput(cal, ikMouseUp, {}, 1, 1, mbLeft);
  EXPECT_TRUE(e->PopupShown());
  SendInput(cal, ikMouseDown, {ssLeft}, today.Left + 2, today.Top + 2, mbLeft);
  SendInput(cal, ikMouseUp, {}, today.Left + 2, today.Top + 2, mbLeft);
  EXPECT_EQ(e->Date(), EncodeDate(2026, 3, 11));
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  TRect clear = cal->ClearButtonRect();
  SendInput(cal, ikMouseDown, {ssLeft}, clear.Left + 2, clear.Top + 2, mbLeft);
  SendInput(cal, ikMouseUp, {}, clear.Left + 2, clear.Top + 2, mbLeft);
  EXPECT_EQ(e->Date(), NullDate);
  EXPECT_EQ(e->GetWindowText(), "");
  // A click outside and the calendar losing the focus close it.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  SendInput(f.Grid, ikMouseDown, {ssLeft}, 390, 290, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  cal->DispatchExit();
  EXPECT_FALSE(e->PopupShown());
  // The right arrow scrolls a month per tick while held.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  double first = cal->FirstShownDate();
  TRect arrow = cal->RightArrowRect();
  SendInput(cal, ikMouseDown, {ssLeft}, arrow.Left + 1, arrow.Top + 2, mbLeft);
  cal->ArrowTimerObject()->Fire();
  SendInput(cal, ikMouseUp, {}, arrow.Left + 1, arrow.Top + 2, mbLeft);
  EXPECT_EQ(cal->FirstShownDate(), EncodeDate(2026, 5, 1));
  EXPECT_GT(cal->FirstShownDate(), first);
  EXPECT_TRUE(e->PopupShown());
}

TEST(DateEdit, MonthListOpensOverTheTitleScrollsAndPicksAcrossYearEdges) {
  TDateFixture f;
  int cell = f.Grid->AddCell(TvmInplaceDateEdit::StaticClass(), EncodeDate(2026, 1, 15), Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceDateEdit*>(f.Grid->EditCell(cell));
  // Months counted from year 0, turned into a first day by hand.
  auto month = [](int Index) { return EncodeDate(Index / 12, Index % 12 + 1, 1); };
  struct Case {
    int StartYear, StartMonth;  // shown when the list opens
    int Ticks;                  // scroll ticks (negative: above the list)
    int Row;                    // row picked
  } cases[] = {{2026, 1, -10, 1}, {2025, 12, 5, 6}, {2025, 11, 0, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.StartYear * 100 + c.StartMonth);
    PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->PopupShown());
    TzoViraDatePopup* cal = e->Calendar();
    cal->SetFirstDate(EncodeDate(c.StartYear, c.StartMonth, 20));
    const double selection = cal->GetSelectionStart();
    TRect title = cal->TitleRect();
    const int tx = (title.Left + title.Right) / 2, ty = (title.Top + title.Bottom) / 2;
    SendInput(cal, ikMouseDown, {ssLeft}, tx, ty, mbLeft);
    TAMonthListBox* list = cal->MonthList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->Visible());
    const int start = c.StartYear * 12 + c.StartMonth - 1;
    EXPECT_EQ(list->TopMonth(), month(start - 3));
    EXPECT_EQ(list->Highlighted(), -1);
    // Centred over the title.
    TPoint centre = list->ClientToScreen(TPoint(list->Width() / 2, list->Height() / 2));
    TPoint titleCentre = cal->ClientToScreen(TPoint(tx, ty));
    EXPECT_LE(std::abs(centre.X - titleCentre.X), 1);
    EXPECT_LE(std::abs(centre.Y - titleCentre.Y), 1);
    // The calendar forwards its moves in the list's coordinates.
    auto moveTo = [&](int X, int Y) {
      TPoint p = cal->ScreenToClient(list->ClientToScreen(TPoint(X, Y)));
      SendInput(cal, ikMouseMove, {ssLeft}, p.X, p.Y);
    };
    const int midX = list->Width() / 2;
    if (c.Ticks != 0) {
      moveTo(midX, c.Ticks < 0 ? -3 : list->Height() + 3);
      ASSERT_TRUE(list->ScrollTimer()->Enabled());
      EXPECT_EQ(list->ScrollTimer()->Interval(), 500u);
      for (int k = 0; k < std::abs(c.Ticks); ++k) list->ScrollTimer()->Fire();
    }
    const int top = start - 3 + c.Ticks;
    EXPECT_EQ(list->TopMonth(), month(top));
    TRect item = list->ItemRect(c.Row);
    moveTo(midX, item.Top + 1);
    EXPECT_FALSE(list->ScrollTimer()->Enabled());
    EXPECT_EQ(list->Highlighted(), c.Row);
    EXPECT_EQ(list->SelectedDate(), month(top + c.Row));
    // The highlighted row is drawn inverted; its neighbour is not.
    list->Repaint();
    TBitmap shot;
    GrabControl(list, &shot);
    const int other = c.Row == 0 ? 1 : c.Row - 1;
    EXPECT_EQ(shot.Canvas()->Pixels(item.Left + 1, item.Top + 1), ColorToRGB(clWindowText));
    EXPECT_EQ(shot.Canvas()->Pixels(item.Left + 1, list->ItemRect(other).Top + 1), ColorToRGB(clWindow));
    // Enter does not close while the list is open.
    PressKey(cal, VK_RETURN);
    EXPECT_TRUE(e->PopupShown());
    TPoint up = cal->ScreenToClient(list->ClientToScreen(TPoint(midX, item.Top + 1)));
    SendInput(cal, ikMouseUp, {}, up.X, up.Y, mbLeft);
    EXPECT_EQ(cal->MonthList(), nullptr);
    EXPECT_EQ(cal->FirstShownDate(), month(top + c.Row));
    EXPECT_EQ(cal->GetSelectionStart(), selection);  // the pick only scrolls the grid
    EXPECT_TRUE(e->PopupShown());
    PressKey(cal, VK_ESCAPE);
  }
}

TEST(DateEdit, MonthListScrollSpeedAndClosingWithoutAPick) {
  TDateFixture f;
  int cell = f.Grid->AddCell(TvmInplaceDateEdit::StaticClass(), EncodeDate(2026, 3, 5), Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceDateEdit*>(f.Grid->EditCell(cell));
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  TzoViraDatePopup* cal = e->Calendar();
  TRect title = cal->TitleRect();
  const int tx = (title.Left + title.Right) / 2, ty = (title.Top + title.Bottom) / 2;
  SendInput(cal, ikMouseDown, {ssLeft}, tx, ty, mbLeft);
  TAMonthListBox* list = cal->MonthList();
  ASSERT_NE(list, nullptr);
  const int h = list->Height();
  // Distance beyond the inner edge (the list has a one-pixel border) against the step interval.
  struct Speed {
    int Y;
    unsigned Interval;
    int Direction;
  } speeds[] = {{0, 500, -1},     {-10, 500, -1},   {-11, 250, -1},  {-22, 250, -1},  {-23, 100, -1},
                {-34, 100, -1},   {-35, 50, -1},    {-400, 50, -1},  {h - 1, 500, 1}, {h + 10, 500, 1},
                {h + 11, 250, 1}, {h + 23, 100, 1}, {h + 35, 50, 1}, {h + 500, 50, 1}};
  for (const Speed& s : speeds) {
    SCOPED_TRACE(s.Y);
    list->TrackMouse(list->Width() / 2, s.Y);
    EXPECT_TRUE(list->ScrollTimer()->Enabled());
    EXPECT_EQ(list->ScrollTimer()->Interval(), s.Interval);
    EXPECT_EQ(list->ScrollDirection(), s.Direction);
    EXPECT_EQ(list->Highlighted(), -1);
  }
  // Released over nothing highlighted: the month stays and the popup stays open.
  SendInput(cal, ikMouseUp, {}, tx, ty, mbLeft);
  EXPECT_EQ(cal->MonthList(), nullptr);
  EXPECT_EQ(cal->FirstShownDate(), EncodeDate(2026, 3, 1));
  EXPECT_TRUE(e->PopupShown());
  // Closing the popup while the list is open frees the list.
  SendInput(cal, ikMouseDown, {ssLeft}, tx, ty, mbLeft);
  ASSERT_NE(cal->MonthList(), nullptr);
  PressKey(cal, VK_ESCAPE);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(cal->MonthList(), nullptr);
}

TEST(DateEdit, ThreeMonthGridAcrossTheYearEdge) {
  TDateFixture f;  // Monday is the first day of the week
  int cell = f.Grid->AddCell(TvmInplaceDateEdit::StaticClass(), EncodeDate(2026, 12, 15), Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceDateEdit*>(f.Grid->EditCell(cell));
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  TzoViraDatePopup* cal = e->Calendar();
  ASSERT_NE(cal, nullptr);
  const int oneMonthWidth = cal->ClientWidth(), oneMonthHeight = cal->ClientHeight();
  PressKey(cal, VK_ESCAPE);
  cal->SetMonthGrid(3, 1);
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  ASSERT_TRUE(e->PopupShown());
  EXPECT_EQ(cal->ClientWidth(), 3 * oneMonthWidth);
  EXPECT_EQ(cal->ClientHeight(), oneMonthHeight);
  // December 2026, January and February 2027. 1 December is a Tuesday, 1 January a Friday,
  // 1 February a Monday (a first day of the week, but not in the first cell: no week before it).
  EXPECT_EQ(cal->CellMonth(2), EncodeDate(2027, 2, 1));
  EXPECT_EQ(cal->GetFirstVisibleDate(), EncodeDate(2026, 11, 30));
  EXPECT_EQ(cal->CellFirstVisible(2), EncodeDate(2027, 2, 1));
  EXPECT_EQ(cal->GetLastVisibleDate(), EncodeDate(2027, 3, 14));
  EXPECT_EQ(cal->GetLastDate(), EncodeDate(2027, 2, 28));
  struct Day {
    int Cell, Row, Column;
    double Date;
  } days[] = {{0, 0, 0, EncodeDate(2026, 11, 30)},  // leading days only in the first cell
              {0, 4, 3, EncodeDate(2026, 12, 31)},
              {0, 4, 4, NullDate},  // trailing days only in the last
              {1, 0, 3, NullDate},
              {1, 0, 4, EncodeDate(2027, 1, 1)},
              {1, 4, 6, EncodeDate(2027, 1, 31)},
              {2, 0, 0, EncodeDate(2027, 2, 1)},
              {2, 5, 6, EncodeDate(2027, 3, 14)}};
  TBitmap shot;
  cal->Repaint();
  GrabControl(cal, &shot);  // the calendar's rectangles are in its window's coordinates
  // The day names are letters on the window's colour, not blocks of the text's colour.
  for (int col = 0; col < 7; ++col) {
    const TRect dc = cal->DayCellRect(0, col, 0);
    const TRect box = Rect(dc.Left, cal->MonthCellRect(0).Top + cal->HeaderHeight(), dc.Right - 3, dc.Top - 2);
    int dark = 0;
    for (int y = box.Top; y < box.Bottom; ++y)
      for (int x = box.Left; x < box.Right; ++x) dark += shot.Canvas()->Pixels(x, y) == ColorToRGB(clWindowText);
    EXPECT_GT(dark, 0) << col;
    EXPECT_LT(dark * 4, box.Width() * box.Height()) << col;
  }
  for (const Day& d : days) {
    SCOPED_TRACE(d.Cell * 100 + d.Row * 10 + d.Column);
    EXPECT_EQ(cal->CellDate(d.Cell, d.Row, d.Column), d.Date);
    const TRect r = cal->DayCellRect(d.Row, d.Column, d.Cell);
    EXPECT_EQ(cal->GetDateAtPoint(r.Left + 2, r.Top + 2), d.Date);
    // A day without a date is an empty window-coloured cell; a day shows its number.
    int ink = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) ink += shot.Canvas()->Pixels(x, y) != ColorToRGB(clWindow);
    if (d.Date == NullDate)
      EXPECT_EQ(ink, 0);
    else
      EXPECT_GT(ink, 0);
  }
  // The month list of the last cell: February 2027 in its 4th row. A pick of December 2026
  // puts December in that cell.
  auto pickInList = [&](int Cell, int Ticks, int Row) {
    TRect title = cal->TitleRect(Cell);
    const int tx = (title.Left + title.Right) / 2, ty = (title.Top + title.Bottom) / 2;
    SendInput(cal, ikMouseDown, {ssLeft}, tx, ty, mbLeft);
    TAMonthListBox* list = cal->MonthList();
    EXPECT_EQ(cal->MonthListCell(), Cell);
    if (!list) return NullDate;
    const double top = list->TopMonth();
    TPoint centre = list->ClientToScreen(TPoint(list->Width() / 2, list->Height() / 2));
    TPoint titleCentre = cal->ClientToScreen(TPoint(tx, ty));
    EXPECT_LE(std::abs(centre.X - titleCentre.X), 1);
    auto moveTo = [&](int X, int Y) {
      TPoint p = cal->ScreenToClient(list->ClientToScreen(TPoint(X, Y)));
      SendInput(cal, ikMouseMove, {ssLeft}, p.X, p.Y);
    };
    if (Ticks) {
      moveTo(list->Width() / 2, list->Height() + 3);
      for (int k = 0; k < Ticks; ++k) list->ScrollTimer()->Fire();
    }
    TRect item = list->ItemRect(Row);
    moveTo(list->Width() / 2, item.Top + 1);
    TPoint up = cal->ScreenToClient(list->ClientToScreen(TPoint(list->Width() / 2, item.Top + 1)));
    SendInput(cal, ikMouseUp, {}, up.X, up.Y, mbLeft);
    EXPECT_EQ(cal->MonthList(), nullptr);
    return top;
  };
  EXPECT_EQ(pickInList(2, 0, 1), EncodeDate(2026, 11, 1));
  EXPECT_EQ(cal->CellMonth(2), EncodeDate(2026, 12, 1));
  EXPECT_EQ(cal->FirstShownDate(), EncodeDate(2026, 10, 1));
  // The middle cell (November 2026), scrolled down five months across the year's end: the list
  // starts at August, then January 2027; its first row goes to the middle.
  EXPECT_EQ(pickInList(1, 5, 0), EncodeDate(2026, 8, 1));
  EXPECT_EQ(cal->CellMonth(1), EncodeDate(2027, 1, 1));
  EXPECT_EQ(cal->FirstShownDate(), EncodeDate(2026, 12, 1));
  EXPECT_EQ(cal->GetSelectionStart(), EncodeDate(2026, 12, 15)) << "picking months only scrolls";
  // The arrows step the whole grid by one month; a selection past the last cell brings its month
  // to the first cell.
  TRect right = cal->RightArrowRect();
  SendInput(cal, ikMouseDown, {ssLeft}, right.Left + 2, right.Top + 2, mbLeft);
  SendInput(cal, ikMouseUp, {}, right.Left + 2, right.Top + 2, mbLeft);
  EXPECT_EQ(cal->FirstShownDate(), EncodeDate(2027, 1, 1));
  cal->SetSelectionStart(EncodeDate(2027, 3, 20));
  PressKey(cal, VK_NEXT);
  EXPECT_EQ(cal->GetSelectionStart(), EncodeDate(2027, 4, 20));
  EXPECT_EQ(cal->FirstShownDate(), EncodeDate(2027, 4, 1));
  PressKey(cal, VK_ESCAPE);
  EXPECT_FALSE(e->PopupShown());
}

TEST(DateEdit, BadTextFallsBackOrIsRefusedByTheHandler) {
  TDateFixture f;
  int cell = f.Grid->AddCell(TvmInplaceDateEdit::StaticClass(), Variant(), Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceDateEdit*>(f.Grid->EditCell(cell));
  SendTextInput(e->TextWindow(), "not a date");
  EXPECT_NO_THROW(e->ValidateEdit());
  EXPECT_EQ(e->Date(), NullDate);  // deNull
  e->SetDateOnError(deToday);
  e->SetWindowText("31.02.2026");
  e->SetModifiedFlag(true);
  e->ValidateEdit();
  EXPECT_EQ(e->Date(), EncodeDate(2026, 3, 11));
  // With validation the handler decides; an empty text is no error.
  e->SetDateValidation(true);
  std::vector<bool> errors;
  e->OnDateValidateInput = [&](TObject*, const std::string&, double&, std::string&, bool& Error) {
    errors.push_back(Error);
  };
  e->SetWindowText("");
  e->SetModifiedFlag(true);
  EXPECT_NO_THROW(e->ValidateEdit());
  e->SetWindowText("garbage");
  e->SetModifiedFlag(true);
  EXPECT_THROW(e->ValidateEdit(), EvmEditInvalidInput);
  EXPECT_EQ(errors, (std::vector<bool>{false, true}));
  // Closing with bad text abandons it.
  e->SetClosing(true);
  EXPECT_NO_THROW(e->ValidateEdit());
  EXPECT_EQ(e->Date(), NullDate);
}

TEST(DateEdit, PaintedCellMatchesLiveWindow) {
  TDateFixture f;
  int cell = f.Grid->AddCell(TvmInplaceDateEdit::StaticClass(), EncodeDate(2026, 12, 31), Rect(20, 20, 200, 40));
  EXPECT_EQ(f.ContentMismatches(cell), 0);
}

}  // namespace
