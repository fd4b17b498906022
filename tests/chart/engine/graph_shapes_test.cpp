// Framed shapes: settings, repaints, streaming, assignment and what they draw; the export base.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/export_data.h"
#include "chart/engine/graph_shapes.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/exceptions.h"
#include "platform/streaming.h"
#include "platform/streams.h"

// A component that publishes one shape, for streaming.
class TShapeTestHost : public TComponent {
  VM_CLASS(TShapeTestHost, TComponent)
public:
  explicit TShapeTestHost(TComponent* AOwner) : TComponent(AOwner) {}
  TGraphShape* Shape() const { return FShape.get(); }
  void SetShape(TGraphShape* Value) { FShape->Assign(Value); }

private:
  std::unique_ptr<TGraphShape> FShape = std::make_unique<TGraphShape>();
};

VM_PUBLISH(TShapeTestHost) { P.Object("Box", &TShapeTestHost::Shape, &TShapeTestHost::SetShape); }

namespace {

class TTestPanel : public IGraphShapeParent {
public:
  TRecordingCanvas Canvas{120, 80};
  int Invalidations = 0;
  TCanvas3D* ShapeCanvas() override { return &Canvas; }
  void Invalidate() override { ++Invalidations; }
};

TColor PixelOf(TBitmap* Bmp, int X, int Y) {
  const auto* row = static_cast<const uint8_t*>(Bmp->ScanLine(Y)) + X * 3;
  return RGB(row[2], row[1], row[0]);
}

class GraphShape : public ::testing::Test {
protected:
  void SetUp() override {
    TRecordingCanvas& c = Panel.Canvas;
    c.Brush->SetStyle(bsSolid);
    c.Brush->SetColor(clWhite);
    c.FillRect(TRect(0, 0, 120, 80));
    c.ResetState();
    c.Clear();
    Shape.BoxRect = TRect(10, 10, 60, 40);
  }
  std::vector<std::string>& Calls() { return Panel.Canvas.Calls; }
  // The calls that put something on the canvas (no pen, brush or mode settings).
  std::vector<std::string> Drawn() {
    std::vector<std::string> out;
    for (const std::string& c : Calls())
      if (c.rfind("Set", 0) != 0 && c.rfind("AssignVisiblePen", 0) != 0) out.push_back(c);
    return out;
  }
  TColor Pixel(int X, int Y) { return PixelOf(Panel.Canvas.Surface(), X, Y); }

  TTestPanel Panel;
  TGraphShape Shape{&Panel};
};

}  // namespace

TEST_F(GraphShape, DefaultsAndRepaints) {
  EXPECT_EQ(Shape.ParentChart(), &Panel);
  EXPECT_TRUE(Shape.Visible());
  EXPECT_EQ(Shape.Bevel(), bvNone);
  EXPECT_EQ(Shape.BevelWidth(), 2);
  EXPECT_EQ(Shape.Color(), clWhite);
  EXPECT_EQ(Shape.ShapeStyle(), fosRectangle);
  EXPECT_EQ(Shape.TextFormat(), ttfNormal);
  EXPECT_FALSE(Shape.Transparent());
  EXPECT_EQ(Shape.Transparency(), 0);
  EXPECT_EQ(Shape.GradientOrNull(), nullptr);
  ASSERT_NE(Shape.Shadow(), nullptr);
  EXPECT_EQ(Shape.Shadow()->Color(), clBlack);
  EXPECT_EQ(Shape.Shadow()->HorizSize(), 3);
  EXPECT_EQ(Shape.Shadow()->VertSize(), 3);

  // Every change repaints the panel once; setting the same value again does not.
  const auto repaints = [&](auto Change) {
    const int before = Panel.Invalidations;
    Change();
    return Panel.Invalidations - before;
  };
  EXPECT_EQ(repaints([&] { Shape.SetBevel(bvRaised); }), 1);
  EXPECT_EQ(repaints([&] { Shape.SetBevel(bvRaised); }), 0);
  EXPECT_EQ(repaints([&] { Shape.SetColor(clRed); }), 1);
  EXPECT_EQ(repaints([&] { Shape.SetColor(clRed); }), 0);
  EXPECT_EQ(repaints([&] { Shape.SetTransparent(true); }), 1);
  EXPECT_EQ(repaints([&] { Shape.Hide(); }), 1);
  EXPECT_EQ(repaints([&] { Shape.SetTransparency(30); }), 1);
  EXPECT_EQ(repaints([&] { Shape.SetTextFormat(ttfHtml); }), 1);
  EXPECT_GE(repaints([&] { Shape.Brush()->SetStyle(bsCross); }), 1);
  EXPECT_GE(repaints([&] { Shape.Pen()->SetWidth(3); }), 1);
  EXPECT_GE(repaints([&] { Shape.Font()->SetColor(clBlue); }), 1);
  EXPECT_GE(repaints([&] { Shape.Gradient()->SetVisible(true); }), 1);
  EXPECT_GE(repaints([&] { Shape.Shadow()->SetSize(5); }), 1);
  EXPECT_FALSE(Shape.Visible());

  Shape.SetTransparency(250);
  EXPECT_EQ(Shape.Transparency(), 100);

  // Without a panel the writers just store.
  TGraphShape lone;
  lone.SetColor(clGreen);
  lone.SetVisible(false);
  lone.Brush()->SetColor(clRed);
  EXPECT_EQ(lone.Color(), clGreen);
  EXPECT_FALSE(lone.Visible());
  lone.Draw();  // nothing to draw on

  // Width and Height count both edges.
  lone.BoxRect = TRect(5, 7, 5, 7);
  lone.SetWidth(10);
  lone.SetHeight(4);
  EXPECT_EQ(lone.BoxRect, TRect(5, 7, 14, 10));
  EXPECT_EQ(lone.Width(), 10);

  // The class reference makes a shape for a panel.
  std::unique_ptr<TGraphCustomShape> made(TGraphShape::StaticClass()->Create(&Panel));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassName(), "TGraphShape");
  EXPECT_EQ(made->ParentChart(), &Panel);
}

TEST_F(GraphShape, StreamsWhatDiffersFromItsDefaults) {
  TShapeTestHost host(nullptr);
  host.SetName("Host");
  EXPECT_EQ(ComponentToText(&host), "object Host: TShapeTestHost\r\nend\r\n");

  TGraphShape* s = host.Shape();
  s->SetBevel(bvLowered);
  s->SetBevelWidth(4);
  s->SetColor(clRed);
  s->SetShapeStyle(fosRoundRectangle);
  s->SetTransparent(true);
  s->Shadow()->SetColor(clGray);
  s->Gradient()->SetVisible(true);
  s->Font()->SetStyle({fsBold});
  s->SetTextFormat(ttfHtml);  // not published by this class
  const std::string text = ComponentToText(&host);
  for (const char* line : {"Box.Bevel = bvLowered", "Box.BevelWidth = 4", "Box.Color = clRed",
                           "Box.ShapeStyle = fosRoundRectangle", "Box.Transparent = True", "Box.Shadow.Color = clGray",
                           "Box.Gradient.Visible = True", "Box.Font.Style = [fsBold]"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_EQ(text.find("Shadow.HorizSize"), std::string::npos) << text;  // 3 is the shadow's default
  EXPECT_EQ(text.find("TextFormat"), std::string::npos);

  TShapeTestHost back(nullptr);
  TextToComponent(text, &back);
  TGraphShape* b = back.Shape();
  EXPECT_EQ(b->Bevel(), bvLowered);
  EXPECT_EQ(b->BevelWidth(), 4);
  EXPECT_EQ(b->Color(), clRed);
  EXPECT_EQ(b->ShapeStyle(), fosRoundRectangle);
  EXPECT_TRUE(b->Transparent());
  EXPECT_EQ(b->Shadow()->Color(), clGray);
  EXPECT_EQ(b->Shadow()->Size(), 3);
  EXPECT_TRUE(b->Gradient()->Visible());
  EXPECT_EQ(b->Font()->Style(), TFontStyles{fsBold});

  // Transparent is stored against the default its owner chose.
  s->DefaultTransparent = true;
  EXPECT_EQ(ComponentToText(&host).find("Transparent"), std::string::npos);
  s->SetTransparent(false);
  EXPECT_NE(ComponentToText(&host).find("Box.Transparent = False"), std::string::npos);
}

TEST_F(GraphShape, ReadsTheShadowOfOlderStreams) {
  for (const char* colour : {"clRed", "255"}) {
    TShapeTestHost host(nullptr);
    host.Shape()->SetShadow(nullptr);  // even a removed shadow comes back
    TextToComponent(std::string("object Host: TShapeTestHost\r\n  Box.ShadowColor = ") + colour +
                        "\r\n  Box.ShadowSize = 5\r\nend\r\n",
                    &host);
    TGraphShadow* sh = host.Shape()->Shadow();
    ASSERT_NE(sh, nullptr) << colour;
    EXPECT_EQ(sh->Color(), clRed) << colour;
    EXPECT_EQ(sh->HorizSize(), 5);
    EXPECT_EQ(sh->VertSize(), 5);
    // Never written back under the old names.
    EXPECT_EQ(ComponentToText(&host).find("ShadowSize"), std::string::npos);
  }
}

TEST_F(GraphShape, AssignCopiesEverySetting) {
  TGraphShape src;
  src.SetBevel(bvSpace);
  src.SetBevelWidth(3);
  src.SetColor(clYellow);
  src.Font()->SetSize(20);
  src.SetShadow(nullptr);
  src.SetShapeStyle(fosRoundRectangle);
  src.SetTextFormat(ttfHtml);
  src.SetTransparent(true);
  src.SetTransparency(40);
  src.Brush()->SetStyle(bsDiagCross);
  src.Pen()->SetColor(clGreen);
  src.SetVisible(false);

  Shape.Gradient()->SetVisible(true);
  Shape.Assign(&src);
  EXPECT_EQ(Shape.Bevel(), bvSpace);
  EXPECT_EQ(Shape.BevelWidth(), 3);
  EXPECT_EQ(Shape.Color(), clYellow);
  EXPECT_EQ(Shape.Font()->Size(), 20);
  EXPECT_EQ(Shape.Shadow(), nullptr);          // the source has none
  EXPECT_EQ(Shape.GradientOrNull(), nullptr);  // the source's was never read
  EXPECT_EQ(Shape.ShapeStyle(), fosRoundRectangle);
  EXPECT_EQ(Shape.TextFormat(), ttfHtml);
  EXPECT_TRUE(Shape.Transparent());
  EXPECT_EQ(Shape.Transparency(), 40);
  EXPECT_EQ(Shape.Brush()->Style(), bsDiagCross);
  EXPECT_EQ(Shape.Pen()->Color(), clGreen);
  EXPECT_FALSE(Shape.Visible());
  EXPECT_EQ(Shape.ParentChart(), &Panel);

  // A source with a shadow and a gradient gives them back.
  TGraphShape other;
  other.Shadow()->SetHorizSize(7);
  other.Gradient()->SetStartColor(clRed);
  Shape.Assign(&other);
  ASSERT_NE(Shape.Shadow(), nullptr);
  EXPECT_EQ(Shape.Shadow()->HorizSize(), 7);
  EXPECT_EQ(Shape.Shadow()->DefaultSize, 3);
  ASSERT_NE(Shape.GradientOrNull(), nullptr);
  EXPECT_EQ(Shape.Gradient()->StartColor(), clRed);

  TChartPen pen;
  EXPECT_THROW(Shape.Assign(&pen), EConvertError);
}

TEST_F(GraphShape, DrawsShadowThenFillAndFrameThenBevel) {
  Shape.SetColor(clRed);
  Shape.SetBevel(bvLowered);
  Shape.Draw();
  TRecordingCanvas& c = Panel.Canvas;
  EXPECT_TRUE(c.InOrder({"HorizLine", "VertLine", "Rectangle(10,10,60,40)", "DrawBevelFrame([10,10,60,40]"}))
      << ::testing::PrintToString(Calls());
  EXPECT_EQ(c.CallsOf("Polygon").size(), 0u);

  EXPECT_EQ(Pixel(30, 25), clRed);                       // fill
  EXPECT_EQ(Pixel(10, 25), ColorToRGB(clBtnShadow));     // lowered bevel: dark top-left
  EXPECT_EQ(Pixel(59, 25), ColorToRGB(clBtnHighlight));  // and light bottom-right
  EXPECT_EQ(Pixel(40, 40), clBlack);                     // first line of the shadow below
  EXPECT_EQ(Pixel(60, 25), clBlack);                     // and beside it
  EXPECT_EQ(Pixel(5, 5), clWhite);
}

TEST_F(GraphShape, WhatSuppressesParts) {
  // Transparent: nothing at all, whatever else is set.
  Shape.SetTransparent(true);
  Shape.SetTransparency(50);
  Shape.Gradient()->SetVisible(true);
  Shape.SetBevel(bvRaised);
  Shape.Draw();
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(Pixel(30, 25), clWhite);

  // A clear brush has no shadow.
  TGraphShape clear(&Panel);
  clear.BoxRect = Shape.BoxRect;
  clear.Brush()->SetStyle(bsClear);
  clear.Draw();
  EXPECT_EQ(Drawn(), (std::vector<std::string>{"Rectangle(10,10,60,40)"}));

  // Neither has a removed shadow, nor one of size 0.
  for (int i = 0; i < 2; ++i) {
    TGraphShape plain(&Panel);
    plain.BoxRect = Shape.BoxRect;
    if (i == 0)
      plain.SetShadow(nullptr);
    else
      plain.Shadow()->SetSize(0);
    Panel.Canvas.Clear();
    plain.Draw();
    EXPECT_EQ(Drawn(), (std::vector<std::string>{"Rectangle(10,10,60,40)"})) << i;
  }
}

TEST_F(GraphShape, RoundAndTurnedOutlines) {
  Shape.SetShapeStyle(fosRoundRectangle);
  Shape.SetBevel(bvRaised);
  Shape.Shadow()->SetColor(clBlue);
  Shape.Draw();
  // The shadow is the outline moved by its size plus the pen width, filled in its colour.
  EXPECT_EQ(Calls().front(), "RoundRect(14,14,64,44,16,16)");
  EXPECT_TRUE(Panel.Canvas.InOrder({"RoundRect(10,10,60,40,16,16)", "DrawBevelFrame"}));
  EXPECT_EQ(Pixel(62, 30), clBlue);

  // Turned by 90 degrees about the centre (35, 25): no bevel.
  Panel.Canvas.Clear();
  Shape.DrawRectRotated(Shape.BoxRect, 90, 0);
  const std::string turned = "Polygon({(20,50),(20,0),(50,0),(50,50)})";
  EXPECT_EQ(Drawn(), (std::vector<std::string>{"Polygon({(24,54),(24,4),(54,4),(54,54)})", turned}));
  EXPECT_EQ(RotatedRectCorners(TRect(10, 10, 60, 40), 90),
            (TQuadPoints{TPoint(20, 50), TPoint(20, 0), TPoint(50, 0), TPoint(50, 50)}));

  // A negative angle draws unturned, without bevel.
  Panel.Canvas.Clear();
  Shape.DrawRectRotated(Shape.BoxRect, -30, 0);
  EXPECT_EQ(Panel.Canvas.CallsOf("DrawBevelFrame").size(), 0u);
  EXPECT_EQ(Calls().back(), "RoundRect(10,10,60,40,16,16)");
}

TEST_F(GraphShape, SeeThroughShapesBlendOverTheirArea) {
  Shape.SetColor(clRed);
  Shape.SetShadow(nullptr);
  Shape.SetTransparency(100);
  Shape.Draw();
  EXPECT_EQ(Calls().front(), "BeginBlending([10,10,60,40],100)");
  EXPECT_EQ(Calls().back(), "EndBlending(obj)");
  EXPECT_EQ(Pixel(30, 25), clWhite);  // all background

  TGraphShape half(&Panel);
  half.BoxRect = TRect(70, 10, 110, 40);
  half.SetColor(clRed);
  half.SetTransparency(50);
  half.Shadow()->SetTransparency(20);
  half.Shadow()->SetSmooth(false);
  Panel.Canvas.Clear();
  half.Draw();
  // The shadow's strips, then the whole moved outline in the shadow colour, blended on its own.
  EXPECT_TRUE(Panel.Canvas.InOrder({"BeginBlending([70,10,110,40],50)", "BeginBlending([73,13,", "EndBlending",
                                    "BeginBlending([74,14,114,44],20)", "Rectangle(74,14,114,44)", "EndBlending",
                                    "Rectangle(70,10,110,40)", "EndBlending"}))
      << ::testing::PrintToString(Calls());
  const TColor mixed = Pixel(90, 25);
  EXPECT_EQ(GetRValue(mixed), 255);
  EXPECT_GT(GetGValue(mixed), 100);
  EXPECT_LT(GetGValue(mixed), 160);
}

TEST_F(GraphShape, GradientFillsInsteadOfTheBrush) {
  Shape.SetShadow(nullptr);
  Shape.Gradient()->SetVisible(true);
  Shape.Gradient()->SetStartColor(clRed);
  Shape.Gradient()->SetEndColor(clRed);
  Shape.Draw();
  EXPECT_TRUE(Panel.Canvas.InOrder({"GradientFill([10,10,60,40]", "Rectangle(10,10,60,40)"}));
  EXPECT_EQ(Panel.Canvas.Brush->Style(), bsClear);
  EXPECT_EQ(Pixel(30, 25), clRed);

  Panel.Canvas.Clear();
  Shape.SetShapeStyle(fosRoundRectangle);
  Shape.Draw();
  EXPECT_TRUE(Panel.Canvas.InOrder(
      {"ClipRoundRectangle([10,10,60,40],16)", "GradientFill", "UnClipRectangle", "RoundRect(10,10,60,40,16,16)"}));

  Panel.Canvas.Clear();
  Shape.DrawRectRotated(Shape.BoxRect, 90, 0);
  EXPECT_TRUE(Panel.Canvas.InOrder({"ClipPolygon", "GradientFill", "UnClipRectangle", "Polygon"}));
}

// ---------------------------------------------------------------------------------------------

namespace {
class TTwoCells : public TGraphExportData {
public:
  std::string AsString() override { return "a;b\r\n"; }
};

std::string FileText(const std::string& Name) {
  std::ifstream in(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(GraphExportData, ExportsItsTextAsItStands) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "varomark_export_data_test";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "out.txt").string();

  std::vector<std::string> clip;
  Clipboard()->SetAsText("before");
  TGraphExportData empty;
  EXPECT_EQ(empty.AsString(), "");
  empty.CopyToClipboard();
  clip.push_back(Clipboard()->AsText());
  {
    std::ofstream old(file, std::ios::binary);
    old << "old contents";
  }
  empty.SaveToFile(file);
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(std::filesystem::file_size(file), 0u);

  TTwoCells cells;
  cells.CopyToClipboard();
  clip.push_back(Clipboard()->AsText());
  EXPECT_EQ(clip, (std::vector<std::string>{"", "a;b\r\n"}));
  cells.SaveToFile(file);
  EXPECT_EQ(FileText(file), "a;b\r\n");
  TMemoryStream ms;
  cells.SaveToStream(ms);
  EXPECT_EQ(ms.Size(), 5);

  EXPECT_THROW(cells.SaveToFile((dir / "no" / "such" / "out.txt").string()), EFCreateError);
  std::filesystem::remove_all(dir);
}
