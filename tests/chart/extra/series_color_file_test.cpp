// A series colour set by hand comes back from a native chart file as it was set, also when it
// equals the colour the palette gave the series anyway; colours nobody set stay automatic.
#include <gtest/gtest.h>

#include <string>

#include "chart/extra/chart_file.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/streams.h"

namespace {

struct SeriesColorFile : ::testing::Test {
  static void SetUpTestSuite() {
    InitStandardSeries();
    InitChartOutput();
  }
  TChart Chart{nullptr};
  TChart Loaded{nullptr};
  TLineSeries* Add() {
    auto* s = new TLineSeries(&Chart);
    Chart.AttachSeries(s);
    return s;
  }
  // Writes Chart in the text form, reads it into Loaded and answers the text.
  std::string RoundTrip() {
    TMemoryStream s;
    WriteNativeChart(&Chart, s, false, true);
    const std::string text(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
    s.SetPosition(0);
    TCustomChart* target = &Loaded;
    ReadNativeChart(target, s);
    return text;
  }
};

}  // namespace

TEST_F(SeriesColorFile, AColourSetToThePaletteColourIsKept) {
  struct Case {
    const char* Name;
    // Changes the chart after the second series was given its own palette colour.
    void (*Then)(TChart& Chart);
  } cases[] = {
      {"as it was", [](TChart&) {}},
      {"the first series coloured by hand", [](TChart& C) { C.SeriesAt(0)->SetSeriesColor(clBlue); }},
      {"the first series gone",
       [](TChart& C) {
         TChartSeries* first = C.SeriesAt(0);
         C.DetachSeries(first);
         delete first;
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    for (int i = Chart.CountSeries() - 1; i >= 0; --i) {
      TChartSeries* old = Chart.SeriesAt(i);
      Chart.DetachSeries(old);
      delete old;
    }
    Add();
    TLineSeries* chosen = Add();
    ASSERT_EQ(chosen->SeriesColor(), clGreen);  // the palette's second colour
    chosen->SetSeriesColor(clGreen);
    k.Then(Chart);
    EXPECT_EQ(chosen->SeriesColor(), clGreen);
    RoundTrip();
    ASSERT_EQ(Loaded.CountSeries(), Chart.CountSeries());
    for (int i = 0; i < Chart.CountSeries(); ++i)
      EXPECT_EQ(Loaded.SeriesAt(i)->SeriesColor(), Chart.SeriesAt(i)->SeriesColor()) << i;
  }
}

TEST_F(SeriesColorFile, ChosenColourSurvivesAPaletteChangeAndAutomaticColoursFollowIt) {
  TLineSeries* automatic = Add();
  TLineSeries* chosen = Add();
  chosen->SetSeriesColor(chosen->SeriesColor());
  // Setting the colour it shows already changes nothing on screen.
  EXPECT_EQ(chosen->ColorSetting, clDefault);
  Chart.CustomPalette = {clNavy, clOlive, clMaroon};
  Chart.AssignAutoSeriesColors();
  EXPECT_EQ(automatic->SeriesColor(), clNavy);
  EXPECT_EQ(chosen->SeriesColor(), clGreen);
}

TEST_F(SeriesColorFile, ColoursNobodySetAreNotWrittenAndLoadAsBefore) {
  Add();
  Add();
  const std::string text = RoundTrip();
  EXPECT_EQ(text.find("SeriesColor"), std::string::npos);
  ASSERT_EQ(Loaded.CountSeries(), 2);
  EXPECT_EQ(Loaded.SeriesAt(0)->SeriesColor(), clRed);
  EXPECT_EQ(Loaded.SeriesAt(1)->SeriesColor(), clGreen);
  EXPECT_EQ(Loaded.SeriesAt(1)->ColorSetting, clDefault);
  // An automatic colour is the first one no other series uses when the file is read.
  Chart.SeriesAt(0)->SetSeriesColor(clBlue);
  RoundTrip();
  EXPECT_EQ(Loaded.SeriesAt(0)->SeriesColor(), clBlue);
  EXPECT_EQ(Loaded.SeriesAt(1)->SeriesColor(), clRed);
  EXPECT_EQ(Loaded.SeriesAt(1)->ColorSetting, clDefault);
}
