// The brush dialog, the shadow editor and the font editor on the elements of a real chart.
#include <gtest/gtest.h>

#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/engine/chart.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/pen_dialog.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

struct Editors : ::testing::Test {
  void TearDown() override {
    EditorDialogHook = nullptr;
    SetDialogHook(nullptr);
  }
  static bool RunBrush(TChartBrush* B, std::function<void(TBrushDialog*)> Act) {
    EditorDialogHook = [Act](TForm* F) { Act(static_cast<TBrushDialog*>(F)); };
    return ShowBrushDialog(nullptr, B);
  }
  static void Pick(TBrushDialog* D, const char* Item) {
    D->LStyle->SetItemIndex(D->LStyle->Items()->IndexOf(Item));
    D->LStyleClick();
  }
};

}  // namespace

TEST_F(Editors, BrushStylesPatternsAndImages) {
  TChart chart(nullptr);
  TChartBrush* brush = chart.BackWall()->Brush();
  brush->SetStyle(bsSolid);
  brush->SetColor(clYellow);
  // "Fill 40%" keeps the style and gives a 16 x 16 pattern: odd rows, odd columns.
  ASSERT_TRUE(RunBrush(brush, [](TBrushDialog* D) {
    EXPECT_EQ(D->LStyle->Items()->Count(), 27);
    EXPECT_EQ(D->LStyle->ItemIndex(), 0);
    EXPECT_EQ(D->Button1->Caption(), "B&rowse...");
    Pick(D, "Fill 40%");
    EXPECT_EQ(D->Button1->Caption(), "Clea&r");
    EXPECT_EQ(D->Button1->Tag(), 1);
    D->BOK->Click();
  }));
  ASSERT_TRUE(brush->HasImageGraphic());
  EXPECT_EQ(brush->Style(), bsSolid);
  TBitmap* image = brush->Image()->Bitmap();
  ASSERT_EQ(image->Width(), 16);
  EXPECT_EQ(image->Canvas()->Pixels(1, 1), clBlack);
  EXPECT_EQ(image->Canvas()->Pixels(0, 1), clWhite);
  EXPECT_EQ(image->Canvas()->Pixels(1, 2), clWhite);

  // A brush with an image opens with no selection; "Clear" removes the image.
  RunBrush(brush, [](TBrushDialog* D) {
    EXPECT_EQ(D->LStyle->ItemIndex(), -1);
    EXPECT_EQ(D->Button1->Caption(), "Clea&r");
    D->Button1Click();
    EXPECT_EQ(D->Button1->Caption(), "B&rowse...");
    // "Cross" sets the hatch; "None" disables the colour, "Solid" enables it again.
    Pick(D, "Cross");
    EXPECT_EQ(D->EditedBrush->Style(), bsCross);
    Pick(D, "None");
    EXPECT_FALSE(D->BColor->Enabled());
    Pick(D, "Solid");
    EXPECT_TRUE(D->BColor->Enabled());
    Pick(D, "Cross");
    D->BOK->Click();
  });
  EXPECT_EQ(brush->Style(), bsCross);
  EXPECT_FALSE(brush->HasImageGraphic());

  // Cancel restores style, colour and image; the close box keeps the changes and answers false.
  EXPECT_FALSE(RunBrush(brush, [](TBrushDialog* D) {
    Pick(D, "Snow");
    D->BColor->SetColor(clRed);
    Pick(D, "Vertical");
    D->BCancel->Click();
  }));
  EXPECT_EQ(brush->Style(), bsCross);
  EXPECT_EQ(brush->Color(), clYellow);
  EXPECT_FALSE(RunBrush(brush, [](TBrushDialog* D) {
    Pick(D, "Metal");
    D->Close();
  }));
  ASSERT_TRUE(brush->HasImageGraphic());
  EXPECT_EQ(brush->Image()->Width(), 16);
}

TEST_F(Editors, ShadowSizesAndTransparencyTypedAndKept) {
  TChart chart(nullptr);
  TGraphShadow* shadow = chart.Title()->Shadow();
  shadow->SetHorizSize(3);
  shadow->SetVertSize(3);
  shadow->SetTransparency(0);
  EditorDialogHook = [](TForm* F) {
    auto* e = static_cast<TGraphShadowEditor*>(F);
    EXPECT_TRUE(e->BOK->Visible());
    EXPECT_EQ(e->Edit1->Text(), "3");
    e->Edit1->SetText("7");
    e->EVertSize->SetText("-4");
    e->EShadowTransp->SetText("40");
    // Not a number, or out of range: the shadow keeps what it has.
    e->Edit1->SetText("seven");
    e->EShadowTransp->SetText("140");
    e->CBSmooth->SetChecked(false);
    e->BOK->Click();
  };
  ShowShadowDialog(nullptr, shadow);
  EXPECT_EQ(shadow->HorizSize(), 7);
  EXPECT_EQ(shadow->VertSize(), -4);
  EXPECT_EQ(shadow->Transparency(), 40);
  EXPECT_FALSE(shadow->Smooth());

  // Embedded: no OK; binding to a shadow changes nothing in it.
  TForm host(nullptr);
  auto* pages = new TPageControl(&host);
  pages->SetParent(&host);
  auto* tab = new TTabSheet(&host);
  tab->SetPageControl(pages);
  TGraphShadowEditor* e = InsertShadowEditor(tab);
  EXPECT_FALSE(e->BOK->Visible());
  TGraphShadow other;
  other.SetHorizSize(9);
  other.SetTransparency(25);
  e->RefreshControls(&other);
  EXPECT_EQ(other.HorizSize(), 9);
  EXPECT_EQ(other.Transparency(), 25);
  EXPECT_EQ(e->UDShadowTransp->Position(), 25);
  e->EShadowTransp->SetText("60");
  EXPECT_EQ(other.Transparency(), 60);
}

TEST_F(Editors, FontEditorEditsTheChartTitleFont) {
  TChart chart(nullptr);
  TGraphFont* font = chart.Title()->Font();
  font->SetName("DejaVu Sans");
  font->SetSize(10);
  font->SetColor(clBlue);
  TForm host(nullptr);
  auto* pages = new TPageControl(&host);
  pages->SetParent(&host);
  auto* tab = new TTabSheet(&host);
  tab->SetPageControl(pages);
  TGraphFontEditor* e = InsertFontEditor(tab);
  e->RefreshControls(font);
  EXPECT_EQ(e->SHText->Color(), clBlue);
  EXPECT_EQ(e->BGradient->Gradient(), font->Gradient());

  // The font dialog: name, size, style and colour come back into the font; cancelled, nothing.
  SetDialogHook([](TCommonDialog* D) {
    auto* f = static_cast<TFontDialog*>(D)->Font();
    f->SetName("Liberation Serif");
    f->SetSize(14);
    f->SetStyle({fsBold, fsItalic});
    f->SetColor(clMaroon);
    return true;
  });
  e->Button3Click();
  EXPECT_EQ(font->Name(), "Liberation Serif");
  EXPECT_EQ(font->Size(), 14);
  EXPECT_TRUE(font->Style().Contains(fsBold));
  EXPECT_EQ(font->Color(), clMaroon);
  EXPECT_EQ(e->SHText->Color(), clMaroon);
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TFontDialog*>(D)->Font()->SetSize(30);
    return false;
  });
  EXPECT_FALSE(ShowFontDialog(nullptr, font));
  EXPECT_EQ(font->Size(), 14);

  // The swatch picks the colour; outline, inter-character spacing and outline gradient.
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TColorDialog*>(D)->SetColor(clGreen);
    return true;
  });
  e->SHTextMouseUp();
  EXPECT_EQ(font->Color(), clGreen);
  host.Show();
  e->Edit2->SetText("12");
  EXPECT_EQ(font->InterCharSize(), 12);
  e->Edit2->SetText("abc");
  EXPECT_EQ(font->InterCharSize(), 12);
  e->CBOutGrad->SetChecked(true);
  EXPECT_TRUE(font->Gradient()->Outline());
  EditorDialogHook = [](TForm* F) {
    auto* d = static_cast<TPenDialog*>(F);
    d->CBVisible->SetChecked(true);
    d->CBVisibleClick();
    d->BOk->Click();
  };
  e->BOutline->Click();
  EXPECT_TRUE(font->OutLine()->Visible());
  // The gradient through its button.
  EditorDialogHook = [](TForm* F) {
    auto* g = static_cast<TGraphGradientEditor*>(F);
    g->CBVisible->SetChecked(true);
    g->BOk->Click();
  };
  e->BGradient->Click();
  EXPECT_TRUE(font->Gradient()->Visible());
}
