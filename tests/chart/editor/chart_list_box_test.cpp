// The series list box over a real chart, driven with the mouse and the keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/editor/chart_list_box.h"
#include "chart/engine/chart.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/tool_base.h"
#include "chart/series/bar_series.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

namespace {

struct ListBoxChart : ::testing::Test {
  TForm Form{nullptr};
  TChart* Chart = nullptr;
  TChartListBox* Box = nullptr;
  std::vector<TChartSeries*> S;
  int Asked = 0;

  void SetUp() override {
    InitStandardSeries();
    InitChartListBox();
    Form.SetBounds(0, 0, 400, 300);
    Chart = new TChart(&Form);
    Chart->SetParent(&Form);
    Chart->SetBounds(200, 0, 200, 200);
    for (int i = 0; i < 4; ++i) {
      auto* s = new TLineSeries(&Form);
      s->SetName("Series" + std::to_string(i + 1));
      s->SetTitle("S" + std::to_string(i));
      Chart->AttachSeries(s);
      S.push_back(s);
    }
    Box = new TChartListBox(&Form);
    Box->SetParent(&Form);
    Box->SetBounds(0, 0, 300, 200);
    Box->SetChart(Chart);
    SetMessageBoxHook([this](const std::string&, const std::string&, int) {
      ++Asked;
      return IDYES;
    });
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    SetInputQueryHook(nullptr);
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> r;
    for (int i = 0; i < Box->Items()->Count(); ++i) r.push_back(Box->Items()->Strings(i));
    return r;
  }
  std::vector<TChartSeries*> Order() const {
    std::vector<TChartSeries*> r;
    for (int i = 0; i < Chart->SeriesList()->Count(); ++i) r.push_back(Chart->SeriesAt(i));
    return r;
  }
  int RowY(int Row) const { return Row * Box->ItemHeight() + Box->ItemHeight() / 2; }
  int TitleX() const { return Box->SectionLeft(3) + 20; }
  void Click(int X, int Y, TShiftState Shift = {}) {
    Box->DispatchMouseDown(mbLeft, Shift, X, Y);
    Box->DispatchMouseUp(mbLeft, Shift, X, Y);
  }
};

}  // namespace

TEST_F(ListBoxChart, ListsChecksAndFollowsTheChart) {
  EXPECT_EQ(Rows(), (std::vector<std::string>{"S0", "S1", "S2", "S3"}));
  EXPECT_EQ(Box->SelectedSeries(), S[0]);
  // A click on the active cell switches the series off, and on again.
  const int activeX = Box->SectionLeft(1) + 6;
  Click(activeX, RowY(2));
  EXPECT_FALSE(S[2]->Active());
  Click(activeX, RowY(2));
  EXPECT_TRUE(S[2]->Active());
  // Radio style: one active series, a click on an active one keeps it and switches off the rest.
  Box->SetCheckStyle(cbsRadio);
  EXPECT_EQ(Order()[0]->Active() + Order()[1]->Active() + Order()[2]->Active() + Order()[3]->Active(), 1);
  S[3]->SetActive(true);
  Click(activeX, RowY(3));
  EXPECT_TRUE(S[3]->Active());
  EXPECT_FALSE(S[0]->Active());
  // A title set elsewhere reaches its row at once; a new series refills; a freed one leaves.
  S[1]->SetTitle("Renamed");
  EXPECT_EQ(Rows()[1], "Renamed");
  auto* extra = new TBarSeries(&Form);
  extra->SetTitle("Bars");
  Chart->AttachSeries(extra);
  EXPECT_EQ(Rows().back(), "Bars");
  int removed = 0;
  Box->OnRemovedSeries = [&](TChartListBox*, TCustomChartSeries* R) { removed += R == extra; };
  delete extra;
  EXPECT_EQ(Rows().size(), 4u);
  EXPECT_EQ(removed, 1);
  // The chart going away empties the list, and an empty list has no item index.
  delete Chart;
  EXPECT_EQ(Box->Chart(), nullptr);
  EXPECT_EQ(Box->Items()->Count(), 0);
  EXPECT_EQ(Box->ItemIndex(), -1);
  EXPECT_EQ(Box->SelectedSeries(), nullptr);
}

TEST_F(ListBoxChart, DragExchangesRowsAndTheChartFollows) {
  int orders = 0;
  Box->OnChangeOrder = [&](TChartListBox*, TCustomChartSeries*, TCustomChartSeries*) { ++orders; };
  // Row 0 dragged onto row 3: rows 0 and 3 trade places, 1 and 2 stay.
  Box->DispatchMouseDown(mbLeft, {}, TitleX(), RowY(0));
  Box->DispatchMouseMove({ssLeft}, TitleX(), RowY(0) + 30);
  EXPECT_TRUE(Dragging());
  Box->DispatchMouseMove({ssLeft}, TitleX(), RowY(3));
  Box->DispatchMouseUp(mbLeft, {}, TitleX(), RowY(3));
  EXPECT_FALSE(Dragging());
  EXPECT_EQ(Order(), (std::vector<TChartSeries*>{S[3], S[1], S[2], S[0]}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"S3", "S1", "S2", "S0"}));
  EXPECT_EQ(Box->SelectedSeries(), S[0]);
  EXPECT_EQ(orders, 1);

  // The press that carries a double click never starts a drag.
  Box->DispatchMouseDown(mbLeft, {}, TitleX(), RowY(1));
  Box->DispatchMouseUp(mbLeft, {}, TitleX(), RowY(1));
  int dbl = -1;
  Box->OnDblClickSeries = [&](TChartListBox*, int Index) { dbl = Index; };
  Box->DispatchMouseDown(mbLeft, {}, TitleX(), RowY(1), true);
  EXPECT_EQ(dbl, 1);
  Box->DispatchMouseMove({ssLeft}, TitleX(), RowY(3));
  EXPECT_FALSE(Dragging());
  Box->DispatchMouseUp(mbLeft, {}, TitleX(), RowY(3));

  // Keys and buttons move the selected series up and down.
  Box->SelectSeries(S[2]);
  Box->MoveSeriesUp();
  EXPECT_EQ(Order(), (std::vector<TChartSeries*>{S[3], S[2], S[1], S[0]}));
  Box->MoveSeriesDown();
  Box->MoveSeriesDown();
  EXPECT_EQ(Order(), (std::vector<TChartSeries*>{S[3], S[1], S[0], S[2]}));
  Box->MoveSeriesDown();  // already last
  EXPECT_EQ(Order().back(), S[2]);
}

TEST_F(ListBoxChart, OnlyTheTitleShownStartsAtTheLeftEdge) {
  Box->SetShowSeriesIcon(false);
  Box->SetShowActiveCheck(false);
  Box->SetShowSeriesColor(false);
  EXPECT_EQ(Box->SectionLeft(3), 0);
  Click(2, RowY(1));
  for (auto* s : S) EXPECT_TRUE(s->Active());
  EXPECT_EQ(Box->SelectedSeries(), S[1]);
}

TEST_F(ListBoxChart, DeletesClonesAndRenames) {
  // Three selected series: one question naming the selection, three series gone.
  std::string asked;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    ++Asked;
    asked = Text;
    return IDYES;
  });
  Click(TitleX(), RowY(0));
  Click(TitleX(), RowY(1), {ssCtrl});
  Click(TitleX(), RowY(3), {ssCtrl});
  EXPECT_EQ(Box->SelCount(), 3);
  Box->DispatchKeyUp(VK_DELETE, {});
  EXPECT_EQ(Asked, 1);
  EXPECT_EQ(asked, "Delete (Selected Series) ?");
  EXPECT_EQ(Order(), (std::vector<TChartSeries*>{S[2]}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"S2"}));
  EXPECT_EQ(Box->SelectedSeries(), S[2]);

  // A refused question deletes nothing; the single series is named.
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    asked = Text;
    return IDNO;
  });
  EXPECT_FALSE(Box->DeleteSelectedSeries());
  EXPECT_EQ(asked, "Delete S2 ?");

  // Clone: same class and properties, its own row.
  Box->CloneSelectedSeries();
  ASSERT_EQ(Chart->SeriesList()->Count(), 2);
  EXPECT_EQ(Chart->SeriesAt(1)->ClassType(), S[2]->ClassType());
  EXPECT_EQ(Box->Items()->Count(), 2);

  // Renaming to the series' own component name leaves the title empty.
  Box->SelectSeries(S[2]);
  SetInputQueryHook([](const std::string& Caption, const std::string& Prompt, std::string& Value) {
    EXPECT_EQ(Caption, "Change Series Title");
    EXPECT_EQ(Prompt, "New Series Title:");
    Value = "Series3";
    return true;
  });
  EXPECT_TRUE(Box->AskSeriesTitle());
  EXPECT_EQ(S[2]->Title(), "");
  EXPECT_EQ(Box->Items()->Strings(Box->Items()->IndexOfObject(S[2])), "Series3");

  // In place: F2 opens the editor on the title, Enter stores it, Escape throws it away.
  Box->SetItemIndex(Box->Items()->IndexOfObject(S[2]));
  Box->DispatchKeyUp(VK_F1 + 1, {});
  ASSERT_NE(Box->TitleEditor(), nullptr);
  EXPECT_TRUE(Box->TitleEditor()->Visible());
  EXPECT_EQ(Box->TitleEditor()->Left(), Box->SectionLeft(3) - 2);
  Box->TitleEditor()->SetText("Typed");
  Box->TitleEditor()->DispatchKeyDown(VK_RETURN, {});
  EXPECT_FALSE(Box->TitleEditor()->Visible());
  EXPECT_EQ(S[2]->Title(), "Typed");
  Box->EditTitleInPlace();
  Box->TitleEditor()->SetText("Dropped");
  Box->TitleEditor()->DispatchKeyDown(VK_ESCAPE, {});
  EXPECT_EQ(S[2]->Title(), "Typed");

  // Deleting the last series leaves an empty list.
  SetMessageBoxHook([](const std::string&, const std::string&, int) { return IDYES; });
  Box->SelectAll();
  EXPECT_TRUE(Box->DeleteSelectedSeries());
  EXPECT_EQ(Chart->SeriesList()->Count(), 0);
  EXPECT_EQ(Box->ItemIndex(), -1);
  // Without the gallery's hooks adding and changing type do nothing.
  GalleryNewSeriesHook = nullptr;
  EXPECT_EQ(Box->AddSeriesFromGallery(), nullptr);
}

TEST_F(ListBoxChart, HooksAddAndChangeTheTypeOfEverySelectedSeries) {
  GalleryNewSeriesHook = [](TComponent* Owner, TCustomAxisPanel* Chart, TChartSeries*) -> TChartSeries* {
    auto* s = new TBarSeries(Owner);
    Chart->AttachSeries(s);
    return s;
  };
  GalleryChangeTypeHook = [](TComponent*, TChartSeries*& Series) {
    ConvertSeriesClass(Series, TBarSeries::StaticClass());
    return TBarSeries::StaticClass();
  };
  Box->DispatchKeyUp(VK_INSERT, {});
  ASSERT_EQ(Chart->SeriesList()->Count(), 5);
  EXPECT_EQ(Box->SelectedSeries(), Chart->SeriesAt(4));
  EXPECT_EQ(Box->SelCount(), 1);

  Click(TitleX(), RowY(0));
  Click(TitleX(), RowY(2), {ssCtrl});
  Box->ChangeSelectedSeriesType(nullptr);
  EXPECT_EQ(Chart->SeriesAt(0)->ClassType(), TBarSeries::StaticClass());
  EXPECT_EQ(Chart->SeriesAt(1)->ClassType(), TLineSeries::StaticClass());
  EXPECT_EQ(Chart->SeriesAt(2)->ClassType(), TBarSeries::StaticClass());
  EXPECT_EQ(Box->SelCount(), 2);
  GalleryNewSeriesHook = nullptr;
  GalleryChangeTypeHook = nullptr;
}

TEST_F(ListBoxChart, EachRowShowsTheIconOfItsSeriesType) {
  auto* bar = new TBarSeries(&Form);
  Chart->AttachSeries(bar);
  Box->SetItemIndex(-1);
  Box->Update();
  // The icon cell of a row: the pixels that are not the list's background, as one text.
  auto icon = [&](int Row) {
    std::string bits;
    int drawn = 0;
    for (int y = 1; y < Box->ItemHeight() - 1; ++y)
      for (int x = Box->SectionLeft(0) + 1; x < TChartListBox::kIconWidth - 2; ++x) {
        const bool ink = ColorToRGB(ControlSurfacePixel(Box, x, Row * Box->ItemHeight() + y)) != ColorToRGB(clWindow);
        drawn += ink;
        bits += ink ? '#' : '.';
      }
    EXPECT_GT(drawn, 20) << "row " << Row;
    return bits;
  };
  const std::string line = icon(0), column = icon(4);
  EXPECT_EQ(icon(1), line);  // one picture per type
  EXPECT_NE(column, line);
}
