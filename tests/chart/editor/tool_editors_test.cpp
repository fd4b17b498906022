// The tool editor forms, opened as the tools page opens them (by the class name the tool names,
// with the tool in Tag), driven through their controls on a real chart.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "chart/editor/editor_dialog.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/series_page.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/editor/tool_editors.h"
#include "chart/editor/tools_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_marks.h"
#include "chart/extra/draw3d_panel.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/line_series.h"
#include "chart/series/tools_annotation.h"
#include "chart/series/tools_axis.h"
#include "chart/series/tools_colorline.h"
#include "chart/series/tools_cursor.h"
#include "chart/series/tools_drawline.h"
#include "chart/series/tools_marks.h"
#include "chart/series/tools_misc.h"
#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/testkit/temp_folder.h"
#include "platform/updown.h"

namespace {

void Pick(TComboBox* C, const std::string& Item) {
  const int i = C->Items()->IndexOf(Item);
  ASSERT_GE(i, 0) << Item;
  C->SetItemIndex(i);
  C->OnChange(C);
}

struct ToolForms : ::testing::Test {
  TForm Host{nullptr};
  TChart* Chart = nullptr;
  TLineSeries *A = nullptr, *B = nullptr;
  static void SetUpTestSuite() { RegisterToolEditorForms(); }
  void SetUp() override {
    Host.SetBounds(0, 0, 600, 400);
    Chart = new TChart(&Host);
    Chart->SetParent(&Host);
    Chart->SetBounds(0, 0, 400, 300);
    A = Line("First");
    B = Line("Second");
    Host.Show();
  }
  void TearDown() override { SetDialogHook(nullptr); }
  TLineSeries* Line(const std::string& Title) {
    auto* s = new TLineSeries(&Host);
    s->SetTitle(Title);
    for (int i = 0; i < 5; ++i) s->AddXY(i, i * i);
    Chart->AttachSeries(s);
    return s;
  }
  template <class T>
  T* Tool() {
    auto* t = new T(&Host);
    Chart->Tools->Add(t);
    return t;
  }
  // The form the tool names, embedded with the tool as the tools page does.
  template <class F>
  F* Open(TGraphCustomTool* T) {
    std::string name;
    GetElementEditorClassName(static_cast<TChartElementClass>(T->ClassType()), name);
    TComponentClass cls = FindEditorClass(name);
    EXPECT_NE(cls, nullptr) << name;
    if (!cls) return nullptr;
    auto* f = dynamic_cast<F*>(cls->Create(&Host));
    EXPECT_NE(f, nullptr) << name;
    if (f) EmbedFormWithObject(f, &Host, T);
    return f;
  }
};

}  // namespace

TEST_F(ToolForms, EveryToolTypeOpensTheFormItNames) {
  struct Case {
    TGraphToolClass Tool;
    TClass Form;
  };
  const Case cases[] = {
      {TAnnotationTool::StaticClass(), TAnnotationToolEdit::StaticClass()},
      {TRectangleTool::StaticClass(), TAnnotationToolEdit::StaticClass()},
      {TCursorTool::StaticClass(), TCursorToolEditor::StaticClass()},
      {TColorLineTool::StaticClass(), TColorLineToolEditor::StaticClass()},
      {TColorBandTool::StaticClass(), TColorBandToolEditor::StaticClass()},
      {TAxisArrowTool::StaticClass(), TAxisArrowToolEditor::StaticClass()},
      {TAxisScrollTool::StaticClass(), TAxisToolEditor::StaticClass()},
      {TDrawLineTool::StaticClass(), TDrawLineEdit::StaticClass()},
      {TChartImageTool::StaticClass(), TChartImageToolEditor::StaticClass()},
      {TRotateTool::StaticClass(), TRotateToolEditor::StaticClass()},
      {TNearestTool::StaticClass(), TNearestToolEdit::StaticClass()},
      {TMarksTipTool::StaticClass(), TMarksTipToolEdit::StaticClass()},
      {TDragMarksTool::StaticClass(), TDragMarksToolEditor::StaticClass()},
      {TGridBandTool::StaticClass(), TGridBandToolEdit::StaticClass()},
      {TSeriesAnimationTool::StaticClass(), TSeriesAnimToolEditor::StaticClass()},
      {TClipSeriesTool::StaticClass(), TSeriesToolEditor::StaticClass()},
  };
  for (const Case& c : cases) {
    auto* t = dynamic_cast<TGraphCustomTool*>(c.Tool->Create(&Host));
    ASSERT_NE(t, nullptr);
    Chart->Tools->Add(t);
    TForm* f = Open<TForm>(t);
    ASSERT_NE(f, nullptr) << c.Tool->ClassName();
    EXPECT_EQ(f->ClassType(), c.Form) << c.Tool->ClassName();
    EXPECT_EQ(EmbeddedObject(f), t);
    delete f;
    delete t;
  }
}

TEST_F(ToolForms, AnnotationEditorWritesEveryPageIntoTheTool) {
  auto* t = Tool<TAnnotationTool>();
  t->SetText("one\rtwo");
  t->SetTextAlignment(taCenter);
  auto* f = Open<TAnnotationToolEdit>(t);
  ASSERT_NE(f, nullptr);
  // The shape editor's pages follow the four of the tool; "Options" is active.
  ASSERT_EQ(f->PageControl1->PageCount(), 8);
  EXPECT_EQ(f->PageControl1->Pages(4)->Caption(), "Format");
  EXPECT_EQ(f->PageControl1->ActivePage(), f->TabOptions);
  EXPECT_EQ(f->ShapeEditor->Shape, t->Shape());
  EXPECT_EQ(f->MemoText->Lines()->Count(), 2);
  EXPECT_EQ(f->CBTextAlign->Text(), "Center");
  EXPECT_EQ(f->CBUnits->Text(), "Pixels");

  f->MemoText->Lines()->Add("three");
  EXPECT_EQ(t->Text(), "one\rtwo\rthree");
  Pick(f->CBTextAlign, "Right");
  EXPECT_EQ(t->TextAlignment(), taRightJustify);
  Pick(f->CBCursor, "HandPoint");
  EXPECT_EQ(t->Cursor(), crHandPoint);

  // A custom position is typed; switching to percent lowers 300 to 100 in field and tool.
  f->CBCustPos->SetChecked(true);
  EXPECT_TRUE(t->Shape()->CustomPosition());
  EXPECT_TRUE(f->ECustLeft->Enabled());
  f->ECustLeft->SetText("300");
  f->ECustTop->SetText("40");
  EXPECT_EQ(t->Left(), 300);
  EXPECT_EQ(t->Top(), 40);
  Pick(f->CBUnits, "Percent");
  EXPECT_EQ(t->PositionUnits(), muPercent);
  EXPECT_EQ(f->UDLeft->Position(), 100);
  EXPECT_EQ(t->Left(), 100);
  EXPECT_EQ(t->Top(), 40);
  // An automatic position clears the custom one and disables its fields.
  Pick(f->CBPos, "Right bottom");
  EXPECT_EQ(t->Position(), ppRightBottom);
  EXPECT_FALSE(t->Shape()->CustomPosition());
  EXPECT_FALSE(f->CBCustPos->Checked());
  for (TControl* c : std::initializer_list<TControl*>{f->ECustLeft, f->ECustTop, f->UDLeft, f->UDTop, f->CBUnits})
    EXPECT_FALSE(c->Enabled()) << c->Name();
  f->ECustLeft->SetText("20");
  EXPECT_EQ(t->Left(), 100);

  // Size: typed only once automatic sizing is off.
  EXPECT_FALSE(f->ECustWidth->Enabled());
  f->CBAutoSize->SetChecked(false);
  EXPECT_FALSE(t->AutoSize());
  EXPECT_TRUE(f->ECustWidth->Enabled());
  f->ECustWidth->SetText("120");
  f->ECustHeight->SetText("45");
  EXPECT_EQ(t->Width(), 120);
  EXPECT_EQ(t->Height(), 45);

  // Callout: a coordinate that is not a number keeps the value.
  f->EX->SetText("12");
  f->EX->SetText("twelve");
  EXPECT_EQ(t->Callout()->XPosition(), 12);
  f->EArrowDist->SetText("-30");
  EXPECT_EQ(t->Callout()->Distance(), -30);
  Pick(f->CBHead, "Solid");
  EXPECT_EQ(t->Callout()->ArrowHead(), ahSolid);
  f->Edit1->SetText("14");
  EXPECT_EQ(t->Callout()->ArrowHeadSize(), 14);
  EXPECT_EQ(f->BCalloutPen->Pen(), t->Callout()->Arrow());
  delete f;

  // The same form on another annotation shows that one's values and leaves the first alone.
  auto* other = Tool<TAnnotationTool>();
  other->SetPositionUnits(muPercent);
  other->Shape()->SetCustomPosition(true);
  other->SetLeft(25);
  other->SetAutoSize(false);
  other->SetWidth(80);
  other->Callout()->SetDistance(7);
  f = Open<TAnnotationToolEdit>(other);
  EXPECT_EQ(f->CBUnits->Text(), "Percent");
  EXPECT_TRUE(f->CBCustPos->Checked());
  EXPECT_EQ(f->ECustLeft->Text(), "25");
  EXPECT_EQ(f->ECustWidth->Text(), "80");
  EXPECT_EQ(f->EArrowDist->Text(), "7");
  EXPECT_EQ(t->Left(), 100);
  EXPECT_EQ(t->Width(), 120);
  EXPECT_EQ(other->Width(), 80);
}

TEST_F(ToolForms, CursorEditorEnablesSnapOnlyWithASeries) {
  auto* t = Tool<TCursorTool>();
  auto* f = Open<TCursorToolEditor>(t);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->CBSeries->ItemIndex(), 0);
  EXPECT_FALSE(f->CBSnap->Enabled());
  EXPECT_FALSE(f->CBZ->Enabled());
  Pick(f->CBSeries, "Second");
  EXPECT_EQ(t->Series(), B);
  EXPECT_TRUE(f->CBSnap->Enabled());
  EXPECT_TRUE(f->CBZ->Enabled());
  f->CBSnap->SetChecked(true);
  f->CBZ->SetChecked(true);
  f->CBFollow->SetChecked(true);
  Pick(f->CBStyle, "Vertical");
  f->EPixels->SetText("9");
  EXPECT_TRUE(t->Snap());
  EXPECT_TRUE(t->UseSeriesZ());
  EXPECT_TRUE(t->FollowMouse());
  EXPECT_EQ(t->Style(), cssVertical);
  EXPECT_EQ(t->ClickTolerance(), 9);
  EXPECT_EQ(f->BPen->Pen(), t->Pen());
  Pick(f->CBSeries, "(none)");
  EXPECT_EQ(t->Series(), nullptr);
  EXPECT_FALSE(f->CBSnap->Enabled());
  delete f;

  auto* other = Tool<TCursorTool>();
  other->SetSeries(A);
  other->SetStyle(cssHorizontal);
  other->SetClickTolerance(40);
  f = Open<TCursorToolEditor>(other);
  EXPECT_EQ(f->CBSeries->Text(), "First");
  EXPECT_EQ(f->CBStyle->Text(), "Horizontal");
  EXPECT_EQ(f->EPixels->Text(), "40");
  EXPECT_TRUE(f->CBSnap->Enabled());
  EXPECT_FALSE(f->CBSnap->Checked());
}

TEST_F(ToolForms, AxisFormsChooseTheAxisAndShowThePenOnlyWhenTheToolHasOne) {
  auto* custom = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
  auto* arrow = Tool<TAxisArrowTool>();
  arrow->SetAxis(custom);
  auto* f = Open<TAxisArrowToolEditor>(arrow);
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->CBAxis->Items()->Count(), 5);
  EXPECT_EQ(f->CBAxis->Text(), "Custom 0");
  EXPECT_TRUE(f->BPen->Visible());
  EXPECT_EQ(f->BPen->Pen(), arrow->Pen());
  Pick(f->CBAxis, "Bottom Axis");
  EXPECT_EQ(arrow->Axis(), Chart->BottomAxis());
  Pick(f->CBAxis, "Custom 0");
  EXPECT_EQ(arrow->Axis(), custom);
  f->ELength->SetText("30");
  Pick(f->CBPos, "End");
  f->Edit1->SetText("25");
  f->Edit1->SetText("0");  // below the scroll's 1 %: ignored
  f->CBInv->SetChecked(true);
  f->ESize->SetText("60");
  f->EWidth->SetText("11");
  EXPECT_EQ(arrow->Length(), 30);
  EXPECT_EQ(arrow->Position(), aaEnd);
  EXPECT_EQ(arrow->ScrollPercent(), 25);
  EXPECT_TRUE(arrow->ScrollInverted());
  EXPECT_EQ(arrow->SizePercent(), 60);
  EXPECT_EQ(arrow->HeadWidth(), 11);
  delete f;

  auto* left = Tool<TAxisArrowTool>();
  left->SetAxis(Chart->LeftAxis());
  left->SetLength(5);
  f = Open<TAxisArrowToolEditor>(left);
  EXPECT_EQ(f->CBAxis->Text(), "Left Axis");
  EXPECT_EQ(f->ELength->Text(), "5");
  EXPECT_EQ(f->CBPos->Text(), "Both");
  delete f;

  // The axis-scroll tool publishes no pen: the base form hides the border button.
  auto* scroll = Tool<TAxisScrollTool>();
  auto* base = Open<TAxisToolEditor>(scroll);
  ASSERT_NE(base, nullptr);
  EXPECT_FALSE(base->BPen->Visible());
  EXPECT_EQ(base->CBAxis->ItemIndex(), -1);
  Pick(base->CBAxis, "Right Axis");
  EXPECT_EQ(scroll->Axis(), Chart->RightAxis());
}

TEST_F(ToolForms, ColourLineValueIsEditableOnlyForACustomStyle) {
  auto* t = Tool<TColorLineTool>();
  t->SetAxis(Chart->LeftAxis());
  t->SetValue(4);
  auto* f = Open<TColorLineToolEditor>(t);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->EValue->Text(), "4");
  EXPECT_TRUE(f->EValue->Enabled());
  Pick(f->CBStyle, "Axis Maximum");
  EXPECT_EQ(t->Style(), clMaximum);
  EXPECT_FALSE(f->EValue->Enabled());
  Pick(f->CBStyle, "Custom");
  EXPECT_TRUE(f->EValue->Enabled());
  f->EValue->SetText("2.5");
  f->EValue->SetText("2.5x");
  EXPECT_DOUBLE_EQ(t->Value(), 2.5);
  f->CBAllowDrag->SetChecked(false);
  f->CBDragRepaint->SetChecked(true);
  f->CBNoLimitDrag->SetChecked(true);
  f->CBDrawBehind->SetChecked(true);
  f->CBDraw3D->SetChecked(false);
  EXPECT_FALSE(t->AllowDrag());
  EXPECT_TRUE(t->DragRepaint());
  EXPECT_TRUE(t->NoLimitDrag());
  EXPECT_TRUE(t->DrawBehind());
  EXPECT_FALSE(t->Draw3D());
  delete f;

  auto* other = Tool<TColorLineTool>();
  other->SetStyle(clMinimum);
  f = Open<TColorLineToolEditor>(other);
  EXPECT_EQ(f->CBStyle->Text(), "Axis Minimum");
  EXPECT_FALSE(f->EValue->Enabled());
  EXPECT_TRUE(f->CBAllowDrag->Checked());
}

TEST_F(ToolForms, ColourBandEditsItsValuesEdgesAndLook) {
  auto* t = Tool<TColorBandTool>();
  t->SetAxis(Chart->BottomAxis());
  t->SetCursor(crCross);
  auto* f = Open<TColorBandToolEditor>(t);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->CBCursor->Text(), "Cross");
  f->EStart->SetText("1.5");
  f->EEnd->SetText("3");
  f->EEnd->SetText("end");
  f->CBStart->SetChecked(true);
  f->CBEnd->SetChecked(true);
  f->ETrans->SetText("40");
  f->CBDrawBehind->SetChecked(false);
  f->CBBeforeAxes->SetChecked(true);
  Pick(f->CBCursor, "HandPoint");
  EXPECT_DOUBLE_EQ(t->StartValue(), 1.5);
  EXPECT_DOUBLE_EQ(t->EndValue(), 3);
  EXPECT_TRUE(t->ResizeStart());
  EXPECT_TRUE(t->ResizeEnd());
  EXPECT_EQ(t->Transparency(), 40);
  EXPECT_FALSE(t->DrawBehind());
  EXPECT_TRUE(t->DrawBehindAxes());
  EXPECT_EQ(t->Cursor(), crHandPoint);
  EXPECT_EQ(f->BStart->Pen(), t->StartLinePen());
  EXPECT_EQ(f->BEnd->Pen(), t->EndLinePen());
  EXPECT_EQ(f->BGradient->Gradient(), t->Gradient());
  EXPECT_EQ(f->ButtonColor1->LinkedInstance(), t);
}

TEST_F(ToolForms, GridBandTabsChooseTheBandTheControlsEdit) {
  auto* t = Tool<TGridBandTool>();
  t->SetAxis(Chart->LeftAxis());
  t->Band2()->SetTransparency(30);
  auto* f = Open<TGridBandToolEdit>(t);
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(f->BPen->Visible());
  EXPECT_EQ(f->CurrentBand(), t->Band1());
  f->Edit1->SetText("15");
  EXPECT_EQ(t->Band1()->Transparency(), 15);
  f->TabControl1->SetActivePageIndex(1);
  f->TabControl1->OnChange(f->TabControl1);
  EXPECT_EQ(f->CurrentBand(), t->Band2());
  EXPECT_EQ(f->Edit1->Text(), "30");
  EXPECT_EQ(f->Edit1->Parent(), f->TabControl1->Pages(1));
  f->Edit1->SetText("60");
  EXPECT_EQ(t->Band2()->Transparency(), 60);
  EXPECT_EQ(t->Band1()->Transparency(), 15);
  EXPECT_EQ(f->ButtonGradient1->Gradient(), t->Band2()->Gradient());
  EXPECT_EQ(f->ButtonColor1->LinkedInstance(), t->Band2());

  // The preview shows the chosen band's brush inside a one-pixel margin, or its gradient.
  t->Band2()->SetTransparency(0);
  t->Band2()->SetColor(clRed);
  TBitmap shot(80, 90, pf24bit);
  f->Draw3D1->Draw(shot.Canvas(), TRect(0, 0, 80, 90));
  EXPECT_EQ(shot.Canvas()->Pixels(40, 45), clRed);
  t->Band2()->Gradient()->SetVisible(true);
  t->Band2()->Gradient()->SetStartColor(clBlue);
  t->Band2()->Gradient()->SetEndColor(clBlue);
  f->Draw3D1->Draw(shot.Canvas(), TRect(0, 0, 80, 90));
  EXPECT_EQ(shot.Canvas()->Pixels(40, 45), clBlue);
}

TEST_F(ToolForms, RotateEditorMapsItsButtonEntriesToMouseButtons) {
  auto* t = Tool<TRotateTool>();
  auto* f = Open<TRotateToolEditor>(t);
  ASSERT_NE(f, nullptr);
  // "Middle" is the second entry, the middle button the third value.
  Pick(f->CBButton, "Middle");
  EXPECT_EQ(t->Button(), mbMiddle);
  Pick(f->CBButton, "Right");
  EXPECT_EQ(t->Button(), mbRight);
  Pick(f->CBStyle, "Elevation");
  f->CBInverted->SetChecked(true);
  EXPECT_EQ(t->Style(), rsElevation);
  EXPECT_TRUE(t->Inverted());
  EXPECT_EQ(f->BOutline->Pen(), t->Pen());
  delete f;
  auto* other = Tool<TRotateTool>();
  other->SetButton(mbMiddle);
  f = Open<TRotateToolEditor>(other);
  EXPECT_EQ(f->CBButton->Text(), "Middle");
  EXPECT_EQ(f->CBStyle->Text(), "All");
}

TEST_F(ToolForms, SeriesToolFormsWriteTheirSettings) {
  auto* draw = Tool<TDrawLineTool>();
  auto* d = Open<TDrawLineEdit>(draw);
  ASSERT_NE(d, nullptr);
  Pick(d->CBButton, "Middle");
  d->CBEnable->SetChecked(false);
  d->CBSelect->SetChecked(false);
  d->CBSelectNew->SetChecked(false);
  d->EPixels->SetText("6");
  EXPECT_EQ(draw->Button(), mbMiddle);
  EXPECT_FALSE(draw->EnableDraw());
  EXPECT_FALSE(draw->EnableSelect());
  EXPECT_FALSE(draw->SelectNewLines());
  EXPECT_EQ(draw->ClickTolerance(), 6);
  EXPECT_EQ(d->BPen->Pen(), draw->Pen());

  auto* nearest = Tool<TNearestTool>();
  auto* n = Open<TNearestToolEdit>(nearest);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->Edit1->Text(), "20");
  Pick(n->CBStyle, "Diamond");
  n->Edit1->SetText("35");
  n->CBFull->SetChecked(false);
  EXPECT_EQ(nearest->Style(), hsDiamond);
  EXPECT_EQ(nearest->Size(), 35);
  EXPECT_FALSE(nearest->FullRepaint());
  EXPECT_EQ(n->BLine->Pen(), nearest->LinePen());

  // Mark tips: no series means every series; the styles are the series page's.
  auto* tip = Tool<TMarksTipTool>();
  auto* m = Open<TMarksTipToolEdit>(tip);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->CBSeries->Text(), "(all)");
  TFormGraphSeries page(nullptr);
  ASSERT_EQ(m->CBMarkStyle->Items()->Count(), page.CBMarkStyle->Items()->Count());
  EXPECT_EQ(m->CBMarkStyle->Text(), "Label");
  Pick(m->CBMarkStyle, "X and Y values");
  m->RGMouseAction->Buttons(1)->SetChecked(true);
  m->EDelay->SetText("450");
  EXPECT_EQ(tip->Style(), smsXY);
  EXPECT_EQ(tip->MouseAction(), mtmClick);
  EXPECT_EQ(tip->MouseDelay(), 450);
  Pick(m->CBSeries, "First");
  EXPECT_EQ(tip->Series(), A);
}

TEST_F(ToolForms, DragMarksResetsTheToolsSeriesOrEverySeries) {
  auto* t = Tool<TDragMarksTool>();
  auto* f = Open<TDragMarksToolEditor>(t);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->CBSeries->Text(), "(all)");
  auto moved = [](TChartSeries* S) { S->Marks()->Positions.Ensure(0)->UserMoved = true; };
  auto custom = [](TChartSeries* S) { return S->Marks()->Positions.Position(0)->UserMoved; };
  moved(A);
  moved(B);
  Pick(f->CBSeries, "Second");
  f->Button1->Click();
  EXPECT_TRUE(custom(A));
  EXPECT_FALSE(custom(B));
  Pick(f->CBSeries, "(all)");
  EXPECT_EQ(t->Series(), nullptr);
  f->Button1->Click();
  EXPECT_FALSE(custom(A));
}

TEST_F(ToolForms, ImageEditorBrowsesClearsAndSavesThePicture) {
  TTempFolder dir;
  {
    TBitmap b(8, 6, pf24bit);
    b.SaveToFile(dir.File("in.bmp"));
  }
  auto* t = Tool<TChartImageTool>();
  auto* f = Open<TChartImageToolEditor>(t);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Button1->Caption(), "B&rowse...");
  EXPECT_FALSE(f->BSave->Enabled());
  std::string filter;
  SetDialogHook([&](TCommonDialog* D) {
    auto* d = static_cast<TOpenDialog*>(D);
    filter = d->Filter();
    d->SetFileName(dynamic_cast<TSaveDialog*>(D) ? dir.File("out.bmp") : dir.File("in.bmp"));
    return true;
  });
  f->Button1->Click();
  ASSERT_NE(t->Picture()->Graphic(), nullptr);
  EXPECT_EQ(t->Picture()->Width(), 8);
  EXPECT_EQ(f->Button1->Caption(), "Clea&r");
  EXPECT_TRUE(f->BSave->Enabled());
  f->BSave->Click();
  EXPECT_EQ(filter, "Bitmaps (*.bmp)|*.bmp");
  EXPECT_TRUE(std::filesystem::exists(dir.File("out.bmp")));
  f->Button1->Click();
  EXPECT_EQ(t->Picture()->Graphic(), nullptr);
  EXPECT_EQ(f->Button1->Caption(), "B&rowse...");
}

TEST_F(ToolForms, AnimationButtonPlaysStopsAndHoldsTheForm) {
  auto* t = Tool<TSeriesAnimationTool>();
  auto* f = Open<TSeriesAnimToolEditor>(t);
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(f->Button1->Enabled());
  Pick(f->CBSeries, "First");
  EXPECT_TRUE(f->Button1->Enabled());
  f->SBSteps->SetPosition(20);
  f->CBStartMin->SetChecked(false);
  EXPECT_TRUE(f->EStart->Enabled());
  f->EStart->SetText("-2");
  f->Edit1->SetText("3");
  Pick(f->ComboFlat1, "Circular");
  EXPECT_EQ(t->Steps(), 20);
  EXPECT_EQ(f->LSteps->Caption(), "20");
  EXPECT_FALSE(t->StartAtMin());
  EXPECT_DOUBLE_EQ(t->StartValue(), -2);
  EXPECT_EQ(t->DrawEvery(), 3);
  EXPECT_EQ(t->Loop(), salCircular);
  // While it plays the button reads "Stop" and the form refuses to close; a click stops it.
  std::string during;
  bool canClose = true;
  int steps = 0;
  t->OnStep = [&](TSeriesAnimationTool*, int) {
    if (++steps != 5) return;
    during = f->Button1->Caption();
    f->OnCloseQuery(f, canClose);
    f->Button1->Click();
  };
  f->Button1->Click();
  EXPECT_EQ(during, "Stop");
  EXPECT_FALSE(canClose);
  EXPECT_FALSE(t->Running());
  EXPECT_EQ(f->Button1->Caption(), "&Execute !");
  canClose = false;
  f->OnCloseQuery(f, canClose);
  EXPECT_TRUE(canClose);
}

TEST_F(ToolForms, TheToolsPageOfTheDialogShowsTheLargestFormsWhole) {
  TTempProfile profile;
  RegisterEditorDialogClasses();
  Tool<TAnnotationTool>();
  Tool<TColorBandTool>();
  Tool<TSeriesAnimationTool>();
  TChartEditForm f(nullptr);
  f.RememberPosition = false;
  f.RestoreEditorPlacement(Chart);
  f.TheActivePageIndex = cetTools;
  f.Show();
  TFormGraphTools* page = f.ToolsPage;
  ASSERT_NE(page, nullptr);
  for (int i = 0; i < page->LBTools->Items()->Count(); ++i) {
    page->LBTools->SetItemIndex(i);
    page->LBToolsClick();
    TForm* e = page->ToolEditor;
    ASSERT_NE(e, nullptr) << page->LBTools->Items()->Strings(i);
    EXPECT_EQ(EmbeddedObject(e), page->SelectedTool());
    // Within the page, the form and each of its own controls are whole.
    EXPECT_LE(e->Left() + e->Width(), page->PanelToolEditor->ClientWidth()) << e->ClassName();
    EXPECT_LE(e->Top() + e->Height(), page->PanelToolEditor->ClientHeight()) << e->ClassName();
    for (int k = 0; k < e->ComponentCount(); ++k)
      if (auto* c = dynamic_cast<TControl*>(e->Components(k)); c && c->Parent() == e && c->Visible()) {
        EXPECT_LE(c->Left() + c->Width(), e->ClientWidth()) << e->ClassName() << " " << c->Name();
        EXPECT_LE(c->Top() + c->Height(), e->ClientHeight()) << e->ClassName() << " " << c->Name();
      }
  }
}
