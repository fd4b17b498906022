// The map, gauge and calendar forms in a series page.
#include <gtest/gtest.h>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_grid.h"
#include "chart/editor/chart_list_box.h"
#include "chart/editor/grid3d_editors.h"
#include "chart/editor/map_gauge_editors.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/editor_controls.h"
#include "chart/extra/calendar_series.h"
#include "chart/extra/gauge_series.h"
#include "chart/extra/map_series.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"
#include "series_page_fixture.h"

namespace {

struct MapGaugeForms : SeriesFormFixture {
  void SetUp() override {
    SeriesFormFixture::SetUp();
    RegisterGrid3DEditorForms();
    RegisterMapGaugeEditorForms();
    RegisterShapeEditorClasses();
  }
  // A map of square shapes, each with its text.
  TMapSeries* MapOf(std::initializer_list<const char*> Texts) {
    auto* m = Add<TMapSeries>();
    double x = 0;
    for (const char* t : Texts) {
      TGraphPolygon* p = m->Shapes()->AddPolygon();
      p->SetText(t);
      for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) p->AddXY(x + dx, dy);
      x += 2;
    }
    return m;
  }
  static void Pick(TMapSeriesEditor* F, int Index) {
    F->ChartListBox1->SetItemIndex(Index);
    F->ChartListBox1->OnClick(F->ChartListBox1);
  }
  static void OpenShapes(TMapSeriesEditor* F) {
    F->PageControl2->SetActivePage(F->TabShapes);
    F->PageControl2->OnChange(F->PageControl2);
  }
  static std::vector<std::string> Entries(TMapSeriesEditor* F) {
    std::vector<std::string> r;
    for (int i = 0; i < F->ChartListBox1->Items()->Count(); ++i) r.push_back(F->ChartListBox1->Items()->Strings(i));
    return r;
  }
};

}  // namespace

TEST_F(MapGaugeForms, MapFormAddsEditsAndDeletesShapes) {
  TMapSeries* m = MapOf({"north", "", "south"});
  auto* f = Select<TMapSeriesEditor>(m);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"Format", "Grid 3D", "General", "Marks", "Data Source"}));
  EXPECT_EQ(f->PageControl2->ActivePage(), f->TabGlobal);
  EXPECT_EQ(f->ButtonPen1->Pen(), m->Pen());
  OpenShapes(f);
  EXPECT_EQ(Entries(f), (std::vector<std::string>{"north", "1", "south"}));

  Pick(f, 2);
  TGraphPolygon* south = m->Shapes()->GetPolygon(2);
  EXPECT_EQ(f->EText->Text(), "south");
  EXPECT_EQ(f->ShapeIndex->Caption(), "2");
  EXPECT_EQ(f->ChartGrid1->Series(), south->Points());
  EXPECT_TRUE(f->SBDelete->Enabled());
  f->EText->SetText("south-east");
  EXPECT_EQ(south->Text(), "south-east");
  EXPECT_EQ(f->ChartListBox1->Items()->Strings(2), "south-east");
  f->EditZ->SetText("2.5");
  EXPECT_DOUBLE_EQ(south->Z(), 2.5);
  for (const char* bad : {"deep", ""}) {
    Shown.clear();
    f->EditZ->SetText(bad);
    EXPECT_EQ(Shown, std::string("'") + bad + "' is not a valid floating point value.");
    EXPECT_DOUBLE_EQ(south->Z(), 2.5);
  }
  f->Transp.Edit->SetText("30");
  EXPECT_EQ(south->Transparency(), 30);
  f->CBClosed->SetChecked(false);
  EXPECT_FALSE(south->Closed());
  f->CBGlobalPen->SetChecked(false);
  EXPECT_FALSE(south->ParentPen());

  // "Visible" is the shape's own series being active.
  EXPECT_TRUE(f->CBVisible->Checked());
  f->CBVisible->SetChecked(false);
  EXPECT_FALSE(south->Points()->Active());

  // A colour of its own clears "Default"; "Default" gives the automatic colour back.
  EXPECT_TRUE(f->CBDefaultColor->Checked());
  EXPECT_FALSE(f->CBDefaultColor->Enabled());
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TColorDialog*>(D)->SetColor(clTeal);
    return true;
  });
  f->ButtonColor1->Click();
  EXPECT_EQ(m->StoredColorAt(2), clTeal);
  EXPECT_FALSE(f->CBDefaultColor->Checked());
  EXPECT_TRUE(f->CBDefaultColor->Enabled());
  f->CBDefaultColor->SetChecked(true);
  EXPECT_EQ(m->StoredColorAt(2), clAutoColor);
  EXPECT_FALSE(f->CBDefaultColor->Enabled());

  // "+": the new shape's text is the new point count, and it is selected.
  f->SBAdd->Click();
  ASSERT_EQ(m->Shapes()->Count(), 4);
  EXPECT_EQ(m->Shapes()->GetPolygon(3)->Text(), "4");
  EXPECT_EQ(f->ChartListBox1->ItemIndex(), 3);
  EXPECT_EQ(f->EText->Text(), "4");
  EXPECT_TRUE(f->SBDelete->Enabled());

  // "-" on the last entry selects the new last one; on another entry, the next shape.
  f->SBDelete->Click();
  EXPECT_EQ(Entries(f), (std::vector<std::string>{"north", "1", "south-east"}));
  EXPECT_EQ(f->ChartListBox1->ItemIndex(), 2);
  Pick(f, 0);
  f->SBDelete->Click();
  EXPECT_EQ(Entries(f), (std::vector<std::string>{"0", "south-east"}));
  EXPECT_EQ(f->ChartListBox1->ItemIndex(), 0);
  EXPECT_EQ(f->EText->Text(), "");
  f->SBDelete->Click();
  f->SBDelete->Click();
  EXPECT_EQ(m->Shapes()->Count(), 0);
  EXPECT_EQ(f->ChartListBox1->ItemIndex(), -1);
  EXPECT_FALSE(f->SBDelete->Enabled());
  EXPECT_FALSE(f->EText->Enabled());
  EXPECT_FALSE(f->ButtonColor1->Enabled());
  EXPECT_FALSE(f->ChartGrid1->Enabled());
  EXPECT_EQ(f->EditZ->Text(), "0");
  // With no shape left, the controls write nothing.
  f->EText->SetText("ghost");
  EXPECT_EQ(m->Count(), 0);
}

TEST_F(MapGaugeForms, MapFormShowsAnotherMapsShapes) {
  MapOf({"a", "b"});
  TMapSeries* other = MapOf({"x"});
  other->Shapes()->GetPolygon(0)->SetZ(7);
  other->Shapes()->GetPolygon(0)->SetParentBrush(false);
  auto* f = Select<TMapSeriesEditor>(other);
  OpenShapes(f);
  EXPECT_EQ(Entries(f), std::vector<std::string>{"x"});
  Pick(f, 0);
  EXPECT_EQ(f->EditZ->Text(), "7");
  EXPECT_FALSE(f->CBGlobalBrush->Checked());
  EXPECT_TRUE(f->CBGlobalPen->Checked());
  EXPECT_EQ(TabForm<TGrid3DSeriesEditor>("Grid 3D")->Grid3DSeries, other);
}

TEST_F(MapGaugeForms, GaugeFormEditsRangeHandAndAxis) {
  auto* a = Add<TGaugeSeries>();
  auto* b = Add<TGaugeSeries>();
  b->SetHandStyle(hsTriangle);
  b->SetFullRepaint(true);
  b->SetMinorTickDistance(6);
  b->SetValue(12.5);
  auto* f = Select<TGaugeSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->PageControl1->ActivePage(), f->TabSheet1);
  TChartAxis* axis = a->GetAxis();
  ASSERT_TRUE(axis);

  // The range: each limit keeps the other from being stepped past it.
  f->Min.Edit->SetText("50");
  EXPECT_DOUBLE_EQ(a->Minimum(), 50);
  EXPECT_EQ(f->Max.UpDown->Min(), 50);
  f->Max.Edit->SetText("60");
  EXPECT_DOUBLE_EQ(a->Maximum(), 60);
  EXPECT_EQ(f->Min.UpDown->Max(), 60);
  for (int i = 0; i < 20; ++i) f->Max.UpDown->Click(btPrev);
  EXPECT_DOUBLE_EQ(a->Maximum(), 50);
  for (int i = 0; i < 20; ++i) f->Min.UpDown->Click(btNext);
  EXPECT_DOUBLE_EQ(a->Minimum(), 50);
  f->Max.Edit->SetText("40");
  EXPECT_DOUBLE_EQ(a->Maximum(), 50);

  f->ComboBox1->SetItemIndex(1);
  f->ComboBox1->OnChange(f->ComboBox1);
  EXPECT_EQ(a->HandStyle(), hsTriangle);
  f->Value.Edit->SetText("55");
  EXPECT_DOUBLE_EQ(a->Value(), 55);
  f->Angle.Edit->SetText("270");
  f->Angle.Edit->SetText("361");
  EXPECT_DOUBLE_EQ(a->TotalAngle(), 270);
  f->Dist.Edit->SetText("-40");
  EXPECT_EQ(a->HandDistance(), -40);
  f->CheckBox4->SetChecked(true);
  EXPECT_TRUE(a->FullRepaint());
  f->Edit1->SetText("0.0");
  EXPECT_EQ(a->ValueFormat(), "0.0");
  f->CBInside->SetChecked(false);
  EXPECT_FALSE(a->LabelsInside());
  f->CheckBox1->SetChecked(false);
  EXPECT_FALSE(axis->Labels());
  f->TickLength.Edit->SetText("9");
  f->MinorCount.Edit->SetText("4");
  f->MinorLength.Edit->SetText("3");
  f->MinorDistance.Edit->SetText("2");
  EXPECT_EQ(axis->TickLength(), 9);
  EXPECT_EQ(axis->MinorTickCount(), 4);
  EXPECT_EQ(axis->MinorTickLength(), 3);
  EXPECT_EQ(a->MinorTickDistance(), 2);
  EXPECT_EQ(f->BAxis->Pen(), axis->Axis());
  EXPECT_EQ(f->BTicks->Pen(), axis->Ticks());
  EXPECT_EQ(f->BMinor->Pen(), axis->MinorTicks());
  EXPECT_EQ(f->BLine->Pen(), a->Pen());

  // A negative increment is refused by the axis with its own text.
  f->Increment.Edit->SetText("5");
  EXPECT_DOUBLE_EQ(axis->Increment(), 5);
  f->Increment.Edit->SetText("-5");
  EXPECT_EQ(Shown, "Axis increment must be >= 0.");
  EXPECT_DOUBLE_EQ(axis->Increment(), 5);

  // The labels' font editor opens on the axis' labels font.
  bool fontShown = false;
  EditorDialogHook = [&](TForm* F) {
    auto* e = dynamic_cast<TGraphFontEditor*>(F);
    if (!e) return;
    fontShown = true;
    EXPECT_EQ(e->EditedFont, axis->LabelsFont());
    e->SetModalResult(mrOk);
  };
  f->Button2->Click();
  EXPECT_TRUE(fontShown);

  // Another gauge shows its own values (12.5 as 12) and keeps them.
  f = Select<TGaugeSeriesEditor>(b);
  EXPECT_EQ(f->ComboBox1->ItemIndex(), 1);
  EXPECT_TRUE(f->CheckBox4->Checked());
  EXPECT_EQ(f->MinorDistance.Edit->Text(), "6");
  EXPECT_EQ(f->Value.Edit->Text(), "12");
  EXPECT_DOUBLE_EQ(b->Value(), 12.5);
  const bool circled = FindEditorClass("TCircledSeriesEditor") != nullptr;
  EXPECT_EQ(Tabs().size(), 4u + (circled ? 1 : 0));
}

TEST_F(MapGaugeForms, CalendarFormEditsPartsAndKeepsItsSixCellPages) {
  auto* a = Add<TCalendarSeries>();
  auto* b = Add<TCalendarSeries>();
  b->SetPreviousButtonVisible(false);
  b->Months()->SetUpperCase(true);
  b->Today()->SetVisible(false);
  auto* f = Select<TCalendarSeriesEditor>(a);
  ASSERT_TRUE(f);
  const std::vector<std::string> pages = {"Options", "Days", "Weekdays", "Today", "Sunday", "Trailing", "Months"};
  auto pageCaptions = [f] {
    std::vector<std::string> r;
    for (int i = 0; i < f->PageControl1->PageCount(); ++i) r.push_back(f->PageControl1->Pages(i)->Caption());
    return r;
  };
  EXPECT_EQ(pageCaptions(), pages);
  for (TPageControl* p : f->CellPages) EXPECT_EQ(p->PageCount(), 4);
  EXPECT_EQ(f->CellEditors[3]->Shape, a->Sunday());
  EXPECT_EQ(f->CellEditors[5]->Shape, a->Months());
  ShowAgain(f);
  EXPECT_EQ(pageCaptions(), pages);
  for (TPageControl* p : f->CellPages) EXPECT_EQ(p->PageCount(), 4);

  f->CBWeekDays->SetChecked(false);
  EXPECT_FALSE(a->WeekDays()->Visible());
  f->CBWeekUpper->SetChecked(!a->WeekDays()->UpperCase());
  EXPECT_EQ(a->WeekDays()->UpperCase(), f->CBWeekUpper->Checked());
  f->CBTrailing->SetChecked(false);
  EXPECT_FALSE(a->Trailing()->Visible());
  f->CBNext->SetChecked(false);
  EXPECT_FALSE(a->NextButtonVisible());
  f->CBPrevious->SetChecked(false);
  EXPECT_FALSE(a->PreviousButtonVisible());
  EXPECT_EQ(f->ButtonPen1->Pen(), a->Pen());

  f = Select<TCalendarSeriesEditor>(b);
  EXPECT_FALSE(f->CBPrevious->Checked());
  EXPECT_TRUE(f->CBNext->Checked());
  EXPECT_TRUE(f->CBMonthUpper->Checked());
  EXPECT_FALSE(f->CBToday->Checked());
  EXPECT_EQ(f->CellEditors[0]->Shape, b->Days());
}
