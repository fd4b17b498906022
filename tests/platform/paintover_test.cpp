// Painting over the face of controls the window system draws: the handler draws after the face.
#include <gtest/gtest.h>

#include <string>

#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/paintover.h"
#include "platform/stdctrls.h"

TEST(PaintOver, DrawsAfterTheNativeFaceOnTheClientArea) {
  TButton b(nullptr);
  b.SetBounds(0, 0, 80, 30);
  b.SetCaption("Face");
  const TColor face = ControlWindowPixel(&b, 40, 15);
  ASSERT_NE(face, clLime);
  int runs = 0;
  TControl* sender = nullptr;
  // Filling the whole client area: had the face come second, it would show.
  SetPaintOver(&b, [&](TControl* S, TCanvas* C) {
    ++runs;
    sender = S;
    C->Brush()->SetColor(clLime);
    C->FillRect(TRect(0, 0, 80, 30));
    C->Pen()->SetColor(clRed);
    C->MoveTo(79, 0);
    C->LineTo(79, 30);
  });
  EXPECT_EQ(ControlWindowPixel(&b, 40, 15), clLime);
  EXPECT_EQ(ControlWindowPixel(&b, 0, 0), clLime);
  EXPECT_EQ(ControlWindowPixel(&b, 78, 29), clLime);
  EXPECT_EQ(ControlWindowPixel(&b, 79, 29), clRed);  // the canvas' origin is the client area's
  EXPECT_GT(runs, 0);
  EXPECT_EQ(sender, &b);
  // Every paint runs it again; an empty handler gives the bare face back.
  const int before = runs;
  EXPECT_EQ(ControlWindowPixel(&b, 40, 15), clLime);
  EXPECT_GT(runs, before);
  SetPaintOver(&b, nullptr);
  EXPECT_EQ(ControlWindowPixel(&b, 40, 15), face);
}

TEST(PaintOver, AFailingHandlerLeavesTheFaceAndTheProgram) {
  TComboBox c(nullptr);
  c.SetBounds(0, 0, 100, 21);
  const TColor face = ControlWindowPixel(&c, 50, 10);
  std::string reported;
  Application->OnException = [&](TObject*, const Exception& E) { reported = E.Message(); };
  SetPaintOver(&c, [](TControl*, TCanvas*) { throw Exception("broken"); });
  EXPECT_EQ(ControlWindowPixel(&c, 50, 10), face);
  EXPECT_EQ(reported, "broken");
  Application->OnException = nullptr;
}
