#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "chart_testkit.h"
#include "platform/datetime.h"

namespace {

// Draws one axis of a laid-out chart again with a given range and returns the label texts in
// the order they were written.
struct TLabelChart : TRecordedChart {
  TLabelChart() { Draw(); }
  std::vector<std::string> Labels(TChartAxis* A, double Min, double Max, double Inc) {
    A->SetIncrement(Inc);
    A->SetMinimumMaximum(Min, Max);
    A->ResetScaleFromRange();
    Rec->Clear();
    A->Draw(false);
    std::vector<std::string> out;
    for (const std::string& c : Rec->CallsOf("TextOut3D")) {
      const size_t q = c.find('"');
      out.push_back(c.substr(q + 1, c.rfind('"') - q - 1));
    }
    return out;
  }
};

using TTexts = std::vector<std::string>;

}  // namespace

TEST(AxisDrawing, LinearLabelsFromTheTopDown) {
  TLabelChart c;
  TChartAxis* b = c.Chart.BottomAxis();
  EXPECT_EQ(c.Labels(b, 0, 10, 2), (TTexts{"10", "8", "6", "4", "2", "0"}));
  EXPECT_EQ(c.Labels(b, 0.5, 9.5, 2), (TTexts{"8", "6", "4", "2"}));
  // Ends closer than 1e-10 (but not equal): one label.
  b->SetIncrement(0);
  b->SetMinimumMaximum(1, 1);
  b->ScaleMinimum = 1;
  b->ScaleMaximum = 1 + 1e-11;
  b->RecalcScales();
  c.Rec->Clear();
  b->Draw(false);
  EXPECT_EQ(c.Rec->CallsOf("TextOut3D").size(), 1u);
  // A huge range with a tiny increment is not drawn label by label.
  b->SetLabelsSeparation(0);
  EXPECT_LE(c.Labels(b, 0, 1e9, 1).size(), 1u);
}

TEST(AxisDrawing, LogarithmicLabels) {
  TLabelChart c;
  TChartAxis* l = c.Chart.LeftAxis();
  l->SetMinimumMaximum(1, 100);
  l->SetLogarithmic(true);
  EXPECT_EQ(c.Labels(l, 2, 50, 0), (TTexts{"10"}));
  // No power of 10 inside 2..8: labels run from 1 in steps of 0.1; those from 2 to 8 are drawn,
  // except those that would run into the one drawn before (a label's height plus the separation).
  const TTexts fine = c.Labels(l, 2, 8, 0);
  ASSERT_GE(fine.size(), 6u);
  EXPECT_LT(fine.size(), 60u);
  EXPECT_EQ(fine.front(), "2");
  const int32_t height = c.Chart.Canvas->FontHeight();
  for (size_t i = 1; i < fine.size(); ++i)
    EXPECT_GE(std::abs(l->ValueToPixel(std::stod(fine[i])) - l->ValueToPixel(std::stod(fine[i - 1]))), height)
        << fine[i - 1] << " and " << fine[i];
  // Without a separation every one is drawn.
  l->SetLabelsSeparation(0);
  const TTexts all = c.Labels(l, 2, 8, 0);
  ASSERT_GE(all.size(), 60u);
  EXPECT_LE(all.size(), 61u);
  EXPECT_EQ(all[1], "2.1");
  EXPECT_EQ(all[10], "3");
  l->SetLabelsSeparation(10);
  EXPECT_EQ(c.Labels(l, 1, 1000, 0), (TTexts{"1", "10", "100", "1,000"}));
  // Decades on an axis too short for them: the first one and those clear of it; every decade keeps
  // its tick.
  TChartAxis* b = c.Chart.BottomAxis();
  b->SetLogarithmic(true);
  c.Chart.SetBounds(0, 0, 120, 200);
  c.Draw();
  const TTexts crowded = c.Labels(b, 1, 100000, 0);
  EXPECT_LT(crowded.size(), 6u);
  EXPECT_EQ(crowded.front(), "1");
  EXPECT_EQ(b->TickPositions.size(), 6u);
}

TEST(AxisDrawing, TicksGridAndLabelsSwitchedOff) {
  TLabelChart c;
  TChartAxis* b = c.Chart.BottomAxis();
  b->SetLabels(false);
  c.Labels(b, 0, 10, 2);
  EXPECT_TRUE(b->TickPositions.empty());
  EXPECT_TRUE(c.Rec->CallsOf("VertLine").empty());  // no grid lines
  b->SetTickOnLabelsOnly(false);
  c.Labels(b, 0, 10, 2);
  EXPECT_EQ(b->TickPositions.size(), 6u);
}

TEST(AxisDrawing, CustomItemsAndLabelsFromTheApplication) {
  TLabelChart c;
  TChartAxis* b = c.Chart.BottomAxis();
  b->Items()->AddLabeledItem(3, "three");
  b->Items()->AddItem(7);
  b->Items()->AddLabeledItem(50, "outside");
  EXPECT_EQ(c.Labels(b, 0, 10, 2), (TTexts{"three", "7"}));
  EXPECT_EQ(b->TickPositions.size(), 2u);
  b->Items()->Clear();
  // Labels chosen by the application: one stops at once (ordinary labels), one runs past the range.
  c.Chart.OnGetNextAxisLabel = [](TChartAxis*, int32_t, double&, bool& Stop) { Stop = true; };
  EXPECT_EQ(c.Labels(b, 0, 10, 5), (TTexts{"10", "5", "0"}));
  c.Chart.OnGetNextAxisLabel = [](TChartAxis*, int32_t Index, double& V, bool& Stop) {
    V = Index * 3;
    Stop = false;
  };
  EXPECT_EQ(c.Labels(b, 0, 10, 5), (TTexts{"0", "3", "6", "9"}));
  c.Chart.OnGetNextAxisLabel = nullptr;
  c.Chart.OnGetAxisLabel = [](TChartAxis*, TChartSeries*, int32_t, std::string& Text) { Text = "<" + Text + ">"; };
  EXPECT_EQ(c.Labels(b, 0, 10, 5), (TTexts{"<10>", "<5>", "<0>"}));
}

TEST(AxisDrawing, TwoLineLabelIsCentredOnItsTick) {
  TLabelChart c;
  TChartAxis* l = c.Chart.LeftAxis();
  c.Chart.OnGetAxisLabel = [](TChartAxis*, TChartSeries*, int32_t, std::string& Text) { Text = "a\rb"; };
  l->SetMinimumMaximum(0, 100);
  l->ResetScaleFromRange();
  c.Rec->Clear();
  c.Chart.Canvas->AssignFont(l->LabelsFont());
  const int f = c.Chart.Canvas->FontHeight();
  l->DrawAxisLabel(l->LabelsPos, 150, 0, "a\rb", nullptr);
  const auto calls = c.Rec->CallsOf("TextOut3D");
  ASSERT_EQ(calls.size(), 2u);
  int x, y1, y2, z;
  ASSERT_EQ(std::sscanf(calls[0].c_str(), "TextOut3D(%d,%d,%d", &x, &y1, &z), 3);
  ASSERT_EQ(std::sscanf(calls[1].c_str(), "TextOut3D(%d,%d,%d", &x, &y2, &z), 3);
  // The first line starts one font height above the tick and the second at the tick (exactly so
  // for an even font height).
  EXPECT_EQ(y2 - y1, f);
  if (f % 2 == 0) {
    EXPECT_EQ(y2, 150);
  }
  EXPECT_NEAR(y2, 150, 1);
}

TEST(AxisDrawing, DateTimeLabelsWithTheirFormatsAndSteps) {
  TLabelChart c;
  c.Series->XValues()->SetDateTime(true);
  TChartAxis* b = c.Chart.BottomAxis();
  b->SetDateTimeFormat("yyyy-mm-dd");
  const double jan1 = EncodeDate(2026, 1, 1);
  // One day: every day from the top down, whole days although the range starts at noon.
  EXPECT_EQ(c.Labels(b, jan1 + 0.5, jan1 + 4.5, 1), (TTexts{"2026-01-05", "2026-01-04", "2026-01-03", "2026-01-02"}));
  // One month (30 days): the labels sit on the first of each month, not 30 days apart.
  EXPECT_EQ(c.Labels(b, jan1, EncodeDate(2026, 4, 10), 30),
            (TTexts{"2026-04-01", "2026-03-01", "2026-02-01", "2026-01-01"}));
  // Not exact: multiples of the increment (of days since the epoch), not month starts.
  b->SetExactDateTime(false);
  TTexts multiples;
  for (double v = std::trunc((jan1 + 60) / 30) * 30; v >= jan1; v -= 30)
    multiples.push_back(FormatDateTime("yyyy-mm-dd", v));
  ASSERT_EQ(multiples.size(), 2u);
  EXPECT_EQ(c.Labels(b, jan1, jan1 + 60, 30), multiples);
  b->SetExactDateTime(true);
  // Hours with a time format.
  b->SetDateTimeFormat("hh:nn");
  EXPECT_EQ(c.Labels(b, jan1 + 0.3, jan1 + 0.5, 1.0 / 24 * 2), (TTexts{"12:00", "10:00", "08:00"}));
  // Without a format: the date for a range over a day, the time within a day.
  b->SetDateTimeFormat("");
  EXPECT_EQ(c.Labels(b, jan1, jan1 + 2, 1).size(), 3u);
  EXPECT_EQ(c.Labels(b, jan1, jan1 + 2, 1).front().find(':'), std::string::npos);
  EXPECT_NE(c.Labels(b, jan1 + 0.3, jan1 + 0.5, 1.0 / 24 * 2).front().find(':'), std::string::npos);
}
