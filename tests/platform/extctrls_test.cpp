// Panels, bevels, images and radio groups: layout inside borders, pixels drawn, clicks.
#include <gtest/gtest.h>

#include <string>

#include "platform/bitmap.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/streaming.h"
#include "platform/typinfo.h"

namespace {

TEST(ExtCtrls, AlignedChildrenOfAPanelKeepClearOfItsBordersAndBevels) {
  TPanel panel(nullptr);
  panel.SetBounds(0, 0, 200, 100);
  panel.SetBevelOuter(bvRaised);
  panel.SetBevelInner(bvLowered);
  panel.SetBevelWidth(2);
  panel.SetBorderWidth(3);
  auto* top = new TPanel(nullptr);
  auto* left = new TPanel(nullptr);
  auto* client = new TPanel(nullptr);
  auto* bottom = new TPanel(nullptr);
  for (TPanel* p : {top, left, client, bottom}) p->SetParent(&panel);
  top->SetHeight(20);
  top->SetAlign(alTop);
  left->SetWidth(30);
  left->SetAlign(alLeft);
  client->SetAlign(alClient);
  bottom->SetHeight(10);
  bottom->SetAlign(alBottom);
  const int inset = 3 + 2 + 2;
  EXPECT_EQ(panel.ClientRect(), Rect(inset, inset, 200 - inset, 100 - inset));
  EXPECT_EQ(top->BoundsRect(), Rect(inset, inset, 200 - inset, inset + 20));
  EXPECT_EQ(bottom->BoundsRect(), Rect(inset, 100 - inset - 10, 200 - inset, 100 - inset));
  EXPECT_EQ(left->BoundsRect(), Rect(inset, inset + 20, inset + 30, 100 - inset - 10));
  EXPECT_EQ(client->BoundsRect(), Rect(inset + 30, inset + 20, 200 - inset, 100 - inset - 10));

  // Removing the bevels widens the client area and the children follow.
  panel.SetBevelOuter(bvNone);
  panel.SetBevelInner(bvNone);
  panel.SetBorderWidth(0);
  EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 200, 90));
  top->SetVisible(false);
  EXPECT_EQ(client->BoundsRect(), Rect(30, 0, 200, 90));
}

TEST(ExtCtrls, PanelPaintsItsBevelsInTheButtonColours) {
  TPanel panel(nullptr);
  panel.SetBounds(0, 0, 40, 30);
  panel.Repaint();
  EXPECT_EQ(ControlSurfacePixel(&panel, 0, 10), ColorToRGB(clBtnHighlight));  // raised: light top-left
  EXPECT_EQ(ControlSurfacePixel(&panel, 39, 10), ColorToRGB(clBtnShadow));    // dark bottom-right
  EXPECT_EQ(ControlSurfacePixel(&panel, 20, 15), ColorToRGB(clBtnFace));
  panel.SetBevelOuter(bvLowered);
  panel.Repaint();
  EXPECT_EQ(ControlSurfacePixel(&panel, 0, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ControlSurfacePixel(&panel, 20, 29), ColorToRGB(clBtnHighlight));
}

TEST(ExtCtrls, PanelStreamsOnlyWhatDiffersFromItsDefaults) {
  TPanel panel(nullptr);
  panel.SetName("Panel1");
  std::string plain = ComponentToText(&panel);
  for (const char* absent : {"Color", "BevelOuter", "Alignment", "BorderWidth"})
    EXPECT_EQ(plain.find(absent), std::string::npos) << absent << "\n" << plain;
  panel.SetBevelOuter(bvNone);
  panel.SetAlignment(taLeftJustify);
  panel.SetColor(clRed);
  panel.SetCaption("Status");
  std::string text = ComponentToText(&panel);
  TPanel copy(nullptr);
  TextToComponent(text, &copy);
  EXPECT_EQ(copy.BevelOuter(), bvNone);
  EXPECT_EQ(copy.Alignment(), taLeftJustify);
  EXPECT_EQ(copy.Color(), clRed);
  EXPECT_EQ(copy.Caption(), "Status");
  EXPECT_NE(GetClass("TPanel"), nullptr);
}

TEST(ExtCtrls, ImagePlacesItsPictureByStretchCenterAndProportional) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 100, 60);
  TBitmap bmp;
  bmp.SetWidth(20);
  bmp.SetHeight(10);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(0, 0, 20, 10));
  image.Picture()->SetBitmap(&bmp);
  struct Case {
    bool Stretch, Center, Proportional;
    TRect Want;
  };
  const Case cases[] = {
      {false, false, false, Rect(0, 0, 20, 10)}, {false, true, false, Rect(40, 25, 60, 35)},
      {true, false, false, Rect(0, 0, 100, 60)}, {true, false, true, Rect(0, 0, 100, 50)},
      {true, true, true, Rect(0, 5, 100, 55)},   {false, false, true, Rect(0, 0, 20, 10)},  // never grows
  };
  for (const Case& c : cases) {
    image.SetStretch(c.Stretch);
    image.SetCenter(c.Center);
    image.SetProportional(c.Proportional);
    EXPECT_EQ(image.DestRect(), c.Want) << c.Stretch << c.Center << c.Proportional;
  }
  image.SetStretch(false);
  image.SetCenter(true);
  image.SetProportional(false);
  image.Repaint();
  EXPECT_EQ(ControlSurfacePixel(&image, 50, 30), clRed);
  EXPECT_NE(ControlSurfacePixel(&image, 5, 5), clRed);
  // A bigger picture shrinks to fit when proportional.
  bmp.SetWidth(300);
  bmp.SetHeight(60);
  image.Picture()->SetBitmap(&bmp);
  image.SetCenter(false);
  image.SetProportional(true);
  EXPECT_EQ(image.DestRect(), Rect(0, 0, 100, 20));
}

TEST(ExtCtrls, RadioGroupMakesAButtonPerItemAndReportsTheUsersPick) {
  TRadioGroup group(nullptr);
  group.SetBounds(0, 0, 200, 120);
  group.SetColumns(2);
  group.Items()->SetText("a\nb\nc");
  int clicks = 0;
  group.OnClick = [&](TObject*) { ++clicks; };
  ASSERT_NE(group.Buttons(2), nullptr);
  EXPECT_EQ(group.Buttons(3), nullptr);
  // Two columns: c starts the second one.
  EXPECT_GT(group.Buttons(2)->Left(), group.Buttons(0)->Left());
  EXPECT_EQ(group.Buttons(1)->Left(), group.Buttons(0)->Left());

  SendInput(group.Buttons(1), ikMouseDown, {}, 3, 3, mbLeft);
  SendInput(group.Buttons(1), ikMouseUp, {}, 3, 3, mbLeft);
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  group.SetItemIndex(2);  // from code: no click
  EXPECT_TRUE(group.Buttons(2)->Checked());
  EXPECT_FALSE(group.Buttons(1)->Checked());
  EXPECT_EQ(clicks, 1);
  group.Items()->Delete(2);
  EXPECT_EQ(group.ItemIndex(), -1);
  group.SetItemIndex(7);
  EXPECT_EQ(group.ItemIndex(), -1);

  // Streamed ItemIndex comes before Items are in place at load time.
  group.SetItemIndex(1);
  group.SetName("Group1");
  TRadioGroup copy(nullptr);
  TextToComponent(ComponentToText(&group), &copy);
  EXPECT_EQ(copy.Items()->Count(), 2);
  EXPECT_EQ(copy.ItemIndex(), 1);
  EXPECT_TRUE(copy.Buttons(1)->Checked());
}

TEST(ExtCtrls, BevelDrawsItsShape) {
  TBevel bevel(nullptr);
  bevel.SetBounds(0, 0, 20, 10);
  bevel.SetShape(bsTopLine);
  bevel.Repaint();
  EXPECT_EQ(ControlSurfacePixel(&bevel, 10, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ControlSurfacePixel(&bevel, 10, 1), ColorToRGB(clBtnHighlight));
  bevel.SetStyle(bsRaised);
  bevel.Repaint();
  EXPECT_EQ(ControlSurfacePixel(&bevel, 10, 0), ColorToRGB(clBtnHighlight));
}

}  // namespace
