// The splitter: dragging it resizes the left-aligned control beside it, within the limits.
#include <gtest/gtest.h>

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/splitter.h"

TEST(Splitter, DraggingResizesTheControlOnItsLeftWithinTheLimits) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 200);
  auto* left = new TPanel(&form);
  left->SetParent(&form);
  left->SetBounds(0, 0, 100, 200);
  left->SetAlign(alLeft);
  auto* bar = new TSplitter(&form);
  bar->SetParent(&form);
  bar->SetLeft(100);
  auto* rest = new TPanel(&form);
  rest->SetParent(&form);
  rest->SetAlign(alClient);
  ASSERT_EQ(bar->ResizedControl(), left);
  int moved = 0;
  bar->OnMoved = [&](TObject*) { ++moved; };
  auto drag = [&](int Dx) {
    SendInput(bar, ikMouseDown, {}, 1, 10, mbLeft);
    SendInput(bar, ikMouseMove, {ssLeft}, 1 + Dx, 10);
    SendInput(bar, ikMouseUp, {}, 1 + Dx, 10, mbLeft);
  };
  drag(40);
  EXPECT_EQ(left->Width(), 140);
  EXPECT_EQ(bar->Left(), 140);
  EXPECT_EQ(rest->Left(), 144);
  drag(-500);
  EXPECT_EQ(left->Width(), bar->MinSize);
  drag(1000);
  EXPECT_EQ(left->Width(), form.ClientWidth() - bar->Width() - bar->MinSize);
  EXPECT_EQ(moved, 3);
}
