// The pointer, legend symbol and framed-shape editors on the objects of a real chart.
#include <gtest/gtest.h>

#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/chart.h"
#include "chart/engine/legend.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/line_series.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

struct SubEditors : ::testing::Test {
  TForm Host{nullptr};
  TChart* Chart = nullptr;
  TLineSeries* Series = nullptr;
  void SetUp() override {
    Host.SetBounds(0, 0, 400, 300);
    Chart = new TChart(&Host);
    Chart->SetView3D(false);
    Series = new TLineSeries(&Host);
    Series->SetSeriesColor(clRed);
    Series->Pointer()->SetVisible(true);
    Chart->AttachSeries(Series);
  }
  void TearDown() override { EditorDialogHook = nullptr; }
  TSeriesPointerEditor* Embedded(TObject* Object) {
    auto* e = new TSeriesPointerEditor(&Host);
    EmbedFormWithObject(e, &Host, Object);
    return e;
  }
};

// Pixels of the marker part of a style item (left of the text).
int MarkerPixels(TSeriesPointerEditor* E, int Style, TColor Colour) {
  TBitmap b(40, 16, pf24bit);
  b.Canvas()->Brush()->SetColor(clWhite);
  E->DrawStyleItem(b.Canvas(), Style, TRect(0, 0, 40, 16));
  int n = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 13; ++x) n += b.Canvas()->Pixels(x, y) == Colour;
  return n;
}

}  // namespace

TEST_F(SubEditors, PointerEditorEditsTheSeriesPointer) {
  Host.Show();
  TSeriesPointerEditor* e = Embedded(Series);
  EXPECT_TRUE(e->CBColorEach->Visible());
  EXPECT_EQ(e->Pointer, Series->Pointer());
  // A 2D chart: no 3D for any style.
  EXPECT_FALSE(e->CB3dPoint->Enabled());
  e->CBStyle->SetItemIndex(static_cast<int>(psTriangle));
  e->CBStyle->OnChange(e->CBStyle);
  EXPECT_EQ(Series->Pointer()->Style(), psTriangle);
  // Sizes typed; letters and out-of-range values leave the size as it was.
  e->SEPointHorizSize->SetText("9");
  EXPECT_EQ(Series->Pointer()->HorizSize(), 9);
  e->SEPointHorizSize->SetText("nine");
  e->SEPointVertSize->SetText("2000");
  EXPECT_EQ(Series->Pointer()->HorizSize(), 9);
  EXPECT_EQ(Series->Pointer()->VertSize(), 4);
  e->CBColorEach->SetChecked(true);
  EXPECT_TRUE(Series->ColorEachPoint());
  // Hidden: everything but Visible is disabled.
  e->CBDrawPoint->SetChecked(false);
  EXPECT_FALSE(Series->Pointer()->Visible());
  for (TControl* c : std::initializer_list<TControl*>{e->CBStyle, e->SEPointHorizSize, e->BPointFillColor,
                                                      e->BPoinPenCol, e->CBDefBrushColor, e->CBInflate})
    EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_TRUE(e->CBDrawPoint->Enabled());
  // In 3D the square may be drawn in 3D, the star may not.
  e->CBDrawPoint->SetChecked(true);
  Chart->SetView3D(true);
  e->CBStyle->SetItemIndex(static_cast<int>(psRectangle));
  e->CBStyle->OnChange(e->CBStyle);
  EXPECT_TRUE(e->CB3dPoint->Enabled());
  e->CBStyle->SetItemIndex(static_cast<int>(psStar));
  e->CBStyle->OnChange(e->CBStyle);
  EXPECT_FALSE(e->CB3dPoint->Enabled());
  // Default colours.
  e->CBDefBrushColor->SetChecked(false);
  Series->Pointer()->Brush()->SetColor(clLime);
  e->RefreshDefaultColor();
  EXPECT_FALSE(e->CBDefBrushColor->Checked());
  e->CBDefBrushColor->SetChecked(true);
  EXPECT_EQ(Series->Pointer()->Brush()->Color(), clAutoColor);
  EXPECT_EQ(Series->Pointer()->Pen()->Color(), clAutoColor);
  // Given the pointer itself: no "Color Each".
  TSeriesPointerEditor* p = Embedded(Series->Pointer());
  EXPECT_FALSE(p->CBColorEach->Visible());
  // A pointer whose size is not the user's: the size controls go.
  Series->Pointer()->SizeEditable = false;
  TSeriesPointerEditor* q = Embedded(Series);
  EXPECT_FALSE(q->SEPointHorizSize->Visible());
  EXPECT_FALSE(q->LabelHeight->Visible());
}

TEST_F(SubEditors, PointerStylePreviewDrawsEachMarker) {
  TSeriesPointerEditor* e = Embedded(Series);
  const int square = MarkerPixels(e, psRectangle, clRed);
  const int circle = MarkerPixels(e, psCircle, clRed);
  const int nothing = MarkerPixels(e, psNothing, clRed);
  EXPECT_GE(square, 30);  // about 8 x 8 inside the frame
  EXPECT_GT(circle, 10);
  EXPECT_LT(circle, square);
  EXPECT_EQ(nothing, 0);
  // The cross is drawn with a line even when the pointer's pen is hidden.
  Series->Pointer()->Pen()->SetVisible(false);
  EXPECT_GT(MarkerPixels(e, psCross, clRed), 6);
}

TEST_F(SubEditors, PointerDialogClosesAndReturnsTrue) {
  EditorDialogHook = [](TForm* F) {
    auto* e = static_cast<TSeriesPointerEditor*>(F);
    EXPECT_EQ(e->Caption(), "Pointer");
    EXPECT_FALSE(e->CBInflate->Visible());
    EXPECT_TRUE(e->PanelBottom->Visible());
    e->SEPointVertSize->SetText("7");
    e->Button1->Click();
  };
  EXPECT_TRUE(ShowPointerDialog(nullptr, Series->Pointer()));
  EXPECT_EQ(Series->Pointer()->VertSize(), 7);
}

TEST_F(SubEditors, ShapeEditorPagesJoinTheHostAndEditTheTitle) {
  auto* pages = new TPageControl(&Host);
  pages->SetParent(&Host);
  pages->SetBounds(0, 0, 380, 280);
  auto* own = new TTabSheet(&Host);
  own->SetPageControl(pages);
  own->SetCaption("Style");
  TChartTitle* title = Chart->Title();
  title->SetBevel(bvNone);
  TFormGraphShape* f = InsertShapeEditor(pages, title);
  ASSERT_EQ(pages->PageCount(), 5);
  EXPECT_EQ(pages->Pages(1)->Caption(), "Format");
  EXPECT_EQ(pages->Pages(4)->Caption(), "Shadow");
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  // No bevel: no bevel size; "Lowered" enables it and reaches the title.
  EXPECT_FALSE(f->EBevWidth->Enabled());
  f->CBBevel->SetItemIndex(1);
  f->CBBevel->OnChange(f->CBBevel);
  EXPECT_EQ(title->Bevel(), bvLowered);
  EXPECT_TRUE(f->EBevWidth->Enabled());
  f->CBRound->SetChecked(true);
  EXPECT_EQ(title->ShapeStyle(), fosRoundRectangle);
  f->EShadowTransp->SetText("35");
  EXPECT_EQ(title->Transparency(), 35);
  // Binding to another shape changes nothing in either.
  TChartTitle* foot = Chart->Foot();
  const TBevelCut footBevel = foot->Bevel();
  f->RefreshControls(foot);
  EXPECT_EQ(title->Bevel(), bvLowered);
  EXPECT_EQ(foot->Bevel(), footBevel);
  EXPECT_EQ(f->FontEditor->EditedFont, foot->Font());
}

TEST_F(SubEditors, SymbolEditorWidthFollowsSquared) {
  TLegendSymbol* symbol = Chart->Legend()->Symbol.get();
  auto* e = new TSymbolEditor(&Host);
  EmbedFormWithObject(e, &Host, symbol);
  EXPECT_TRUE(e->SEColWi->Enabled());
  e->CBSquared->SetChecked(true);
  EXPECT_TRUE(symbol->Squared());
  EXPECT_FALSE(e->SEColWi->Enabled());
  e->CBSquared->SetChecked(false);
  e->SEColWi->SetText("40");
  EXPECT_EQ(symbol->Width(), 40);
  e->CBSymPen->SetChecked(false);
  EXPECT_TRUE(e->BSymPen->Enabled());
  EXPECT_FALSE(symbol->DefaultPen());
}
