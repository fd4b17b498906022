// What every series editor form stands on: integer fields, tabs inserted into the series page once
// (at most four editor forms on the page), and their freeing when another series is chosen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/editor/series_editor_kit.h"
#include "chart/editor/series_page.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/chart.h"
#include "chart/series/line_series.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

std::vector<std::string> TabCaptions(TPageControl* Pages) {
  std::vector<std::string> r;
  for (int i = 0; i < Pages->PageCount(); ++i) r.push_back(Pages->Pages(i)->Caption());
  return r;
}

struct SeriesPageHost : ::testing::Test {
  TForm Owner{nullptr};
  TChart* Chart = nullptr;
  TPointSeries *A = nullptr, *B = nullptr;
  TFormGraphSeries* Page = nullptr;
  void SetUp() override {
    Owner.SetBounds(0, 0, 500, 400);
    Chart = new TChart(&Owner);
    A = new TPointSeries(&Owner);
    B = new TPointSeries(&Owner);
    Chart->AttachSeries(A);
    Chart->AttachSeries(B);
    Page = new TFormGraphSeries(&Owner);
    Page->CBSeries->Items()->AddObject("A", A);
    Page->CBSeries->Items()->AddObject("B", B);
    EmbedForm(Page, &Owner);
    Owner.Show();
  }
  void Select(TChartSeries* S) {
    Page->SetSeries(S);
    Page->RefreshPage();
  }
};

}  // namespace

TEST(SeriesEditorKit, IntegerFieldWritesOnlyWholeNumbersInItsRange) {
  TForm form(nullptr);
  std::vector<int> written;
  sekit::TIntField f = sekit::IntField(&form, &form, "Edit1", "UDRot", "", "&Rotation:", 8, 8, {0, 360, 5, true},
                                       [&](int V) { written.push_back(V); });
  EXPECT_EQ(f.Label->Name(), "LEdit1");
  EXPECT_EQ(f.Label->FocusControl(), f.Edit);
  for (const char* text : {"45", "abc", "400", "-5", "", "90"}) f.Edit->SetText(text);
  EXPECT_EQ(written, (std::vector<int>{45, 90}));
  EXPECT_EQ(f.Value(), 90);
  // Stepping past either end wraps round.
  written.clear();
  f.Set(0);
  f.UpDown->Click(btPrev);
  EXPECT_EQ(f.Value(), 360);
  f.UpDown->Click(btNext);
  EXPECT_EQ(f.Value(), 0);
  EXPECT_EQ(written, (std::vector<int>{0, 360, 0}));
  // Without wrapping a step stops at the end.
  sekit::TIntField g = sekit::IntField(&form, &form, "Edit2", "UD2", "L2", "x", 8, 40, {}, nullptr);
  g.Set(100);
  g.UpDown->Click(btNext);
  EXPECT_EQ(g.Value(), 100);
  g.SetEnabled(false);
  EXPECT_FALSE(g.Label->Enabled());
  EXPECT_FALSE(g.UpDown->Enabled());
}

TEST(SeriesEditorKit, FieldNumbersRoundHalvesToEven) {
  struct Case {
    double Value;
    int Shown;
  };
  for (Case c : {Case{2.5, 2}, Case{3.5, 4}, Case{22.5, 22}, Case{-2.5, -2}, Case{7.4, 7}})
    EXPECT_EQ(sekit::RoundToField(c.Value), c.Shown) << c.Value;
}

TEST_F(SeriesPageHost, TabsAreInsertedOnceAndGoWithTheirSeries) {
  Select(A);
  ASSERT_NE(dynamic_cast<TSeriesPointerEditor*>(Page->SeriesEditor), nullptr);
  EXPECT_EQ(Page->EditorFormCount(), 1);
  EXPECT_EQ(sekit::HostSeriesPage(Page->SeriesEditor), Page);
  TForm* ref = nullptr;
  TForm* first = sekit::InsertTabOnce(ref, Page->SeriesEditor, TSeriesPointerEditor::StaticClass(), 1, A, "Point");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(sekit::InsertTabOnce(ref, Page->SeriesEditor, TSeriesPointerEditor::StaticClass(), 1, A, "Point"), first);
  EXPECT_EQ(TabCaptions(Page->PageSeries),
            (std::vector<std::string>{"Format", "Point", "General", "Marks", "Data Source"}));
  EXPECT_EQ(sekit::Tagged<TPointSeries>(first), A);
  EXPECT_EQ(Page->EditorForms(1), first);
  // A form outside the series page inserts nothing.
  TForm loose(nullptr);
  TForm* none = nullptr;
  EXPECT_EQ(sekit::InsertTabOnce(none, &loose, TSeriesPointerEditor::StaticClass(), 1, A, "Point"), nullptr);
  EXPECT_EQ(InsertPointerEditor(&loose, A, "Point"), nullptr);
  // Four forms at most.
  ASSERT_NE(InsertPointerEditor(Page->TheTabSheet, A->Pointer(), "P3"), nullptr);
  ASSERT_NE(AddSeriesEditorTab(Page, TSeriesPointerEditor::StaticClass(), 1, A, "P4"), nullptr);
  EXPECT_EQ(Page->EditorFormCount(), 4);
  EXPECT_THROW(AddSeriesEditorTab(Page, TSeriesPointerEditor::StaticClass(), 1, A, "P5"), ERangeError);
  // Another series: the inserted tabs are gone, "Format" holds the new series' form.
  Select(B);
  EXPECT_EQ(Page->EditorFormCount(), 1);
  EXPECT_EQ(TabCaptions(Page->PageSeries), (std::vector<std::string>{"Format", "General", "Marks", "Data Source"}));
  EXPECT_EQ(sekit::Tagged<TPointSeries>(Page->SeriesEditor), B);
}
