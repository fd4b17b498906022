// The calendar: where each day of a month falls, the styles of the chosen day, Sundays and the
// neighbouring months' days, clicks on days, the month menu, month steps and OnChange.
#include <gtest/gtest.h>

#include "chart/engine/chart_axis.h"
#include "chart/extra/calendar_series.h"
#include "platform/datetime.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
struct CalendarChart : TSeriesChart {
  TCalendarSeries* S;
  explicit CalendarChart(TDateTime Date) : TSeriesChart(false, 420, 320) {
    S = Add<TCalendarSeries>();
    S->FirstDayOfWeek = 0;  // Monday first
    S->SetDate(Date);
    Render();
  }
  // The cell the test expects day N in: the first day's column from its weekday, then on in
  // reading order from row 3 (below the two headers).
  TRect CellOf(int Year, int Month, int Day) {
    const int monday0 = (DayOfWeek(EncodeDate(Year, Month, 1)) + 5) % 7;  // 0 Monday .. 6 Sunday
    const int slot = monday0 + Day - 1;
    return S->CellRect(slot % 7 + 1, 3 + slot / 7);
  }
  TPoint Centre(const TRect& R) const { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
  TColor Fill(const TRect& R) const { return At(R.Left + 3, R.Top + 3); }
};
}  // namespace

TEST(CalendarSeries, DaysFallInTheirCellsWithTheirStyles) {
  CalendarChart c(EncodeDate(2026, 3, 18));  // 1 March 2026 is a Sunday
  EXPECT_EQ(c.S->FirstDayColumn, 7);
  EXPECT_EQ(c.S->FirstDayRow, 3);
  EXPECT_EQ(c.Fill(c.CellOf(2026, 3, 18)), clBlue);  // the day of Date
  EXPECT_EQ(c.Fill(c.CellOf(2026, 3, 8)), clRed);    // a Sunday
  EXPECT_EQ(c.Fill(c.CellOf(2026, 3, 9)), clWhite);  // an ordinary day: transparent
  const TPoint p = c.Centre(c.CellOf(2026, 3, 9));
  TDateTime d;
  ASSERT_TRUE(c.S->DateAtPos(p.X, p.Y, d));
  EXPECT_EQ(d, EncodeDate(2026, 3, 9));
  // The chosen day uses its own cell even on a Sunday.
  c.S->SetDate(EncodeDate(2026, 3, 22));
  c.Render();
  EXPECT_EQ(c.Fill(c.CellOf(2026, 3, 22)), clBlue);
  EXPECT_EQ(c.Fill(c.CellOf(2026, 3, 15)), clRed);
}

TEST(CalendarSeries, AMonthStartingOnTheFirstWeekdayHasNoLeadingDays) {
  CalendarChart c(EncodeDate(2026, 6, 10));  // 1 June 2026 is a Monday
  EXPECT_EQ(c.S->FirstDayColumn, 1);
  c.S->WeekDays()->SetVisible(false);
  c.S->Months()->SetVisible(false);
  c.Render();
  EXPECT_EQ(c.S->FirstDayRow, 1);
  EXPECT_EQ(c.S->VisibleRows(), 6);
}

TEST(CalendarSeries, ClicksPickDaysAndTrailingDaysMoveTheMonth) {
  CalendarChart c(EncodeDate(2026, 3, 18));
  // The cell after 31 March is 1 April, drawn as a trailing day.
  TRect after = c.CellOf(2026, 3, 32);
  c.S->ClickAt(c.Centre(after).X, c.Centre(after).Y);
  EXPECT_EQ(c.S->Date(), EncodeDate(2026, 4, 1));
  c.S->SetDate(EncodeDate(2026, 3, 18));
  c.S->Trailing()->SetVisible(false);
  c.Render();
  c.S->ClickAt(c.Centre(after).X, c.Centre(after).Y);
  EXPECT_EQ(c.S->Date(), EncodeDate(2026, 3, 18));
  // The week-day row lies outside the days.
  const TRect head = c.S->CellRect(3, 2);
  c.S->ClickAt(c.Centre(head).X, c.Centre(head).Y);
  EXPECT_EQ(c.S->Date(), EncodeDate(2026, 3, 18));
  // Through the chart's mouse, as a person clicks.
  const TRect day = c.CellOf(2026, 3, 25);
  c.Chart.DispatchMouseDown(mbLeft, {}, c.Centre(day).X, c.Centre(day).Y);
  EXPECT_EQ(c.S->Date(), EncodeDate(2026, 3, 25));
}

TEST(CalendarSeries, MonthMenuAndStepsClipTheDayAndOnChangeMayRefuse) {
  CalendarChart c(EncodeDate(2024, 3, 31));
  c.S->MonthMenu()->Items()->Items(1)->Click();
  EXPECT_EQ(c.S->Date(), EncodeDate(2024, 2, 29));
  c.S->SetDate(EncodeDate(2025, 1, 31));
  c.S->NextMonth();
  EXPECT_EQ(c.S->Date(), EncodeDate(2025, 2, 28));
  c.S->PreviousMonth();
  c.S->PreviousMonth();
  EXPECT_EQ(c.S->Date(), EncodeDate(2024, 12, 28));
  c.S->OnChange = [&](TCalendarSeries* S, TDateTime& V) { V = S->Date(); };
  c.S->NextMonth();
  EXPECT_EQ(c.S->Date(), EncodeDate(2024, 12, 28));
  ASSERT_NE(c.S->NextButton(), nullptr);
  c.S->OnChange = nullptr;
  c.S->NextButton()->Click();
  EXPECT_EQ(c.S->Date(), EncodeDate(2025, 1, 28));
}
