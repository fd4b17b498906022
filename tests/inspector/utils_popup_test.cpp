// Cell text drawing and measuring, the settings-store wrapper, popup frames and the hint window.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "editor_fixture.h"
#include "inspector/vm_dropdown.h"
#include "platform/inifiles.h"

namespace {

int InkColumns(TBitmap& B, TColor Background, int& MinX, int& MaxX) {
  MinX = 1 << 30;
  MaxX = -1;
  int n = 0;
  for (int x = 0; x < B.Width(); ++x)
    for (int y = 0; y < B.Height(); ++y)
      if (B.Canvas()->Pixels(x, y) != Background) {
        MinX = std::min(MinX, x);
        MaxX = std::max(MaxX, x);
        ++n;
        break;
      }
  return n;
}

TEST(DrawCellText, MeasuresAlignsClipsAndFills) {
  TFont font;
  font.SetName("DejaVu Sans");
  font.SetSize(9);
  TBitmap b(200, 30);
  int line = -1;
  // Measuring an empty text answers 0 and stores 0.
  EXPECT_EQ(DrawCellText(b.Canvas(), "", -1, Rect(0, 0, 200, 30), Rect(0, 0, 200, 30), CTF_MEASURE, clWhite, &font,
                         clWhite, clBlack, &line),
            0);
  EXPECT_EQ(line, 0);
  // One line: the cell needs its height plus the text's beyond the text rectangle.
  int h = DrawCellText(b.Canvas(), "Wg", -1, Rect(0, 0, 200, 30), Rect(0, 5, 200, 25), CTF_MEASURE, clWhite, &font,
                       clWhite, clBlack, &line);
  EXPECT_GT(line, 5);
  EXPECT_EQ(h, 30 + line - 20);
  // Right alignment puts the ink at the right edge of the text rectangle.
  FillRectColor(b.Canvas(), Rect(0, 0, 200, 30), clWhite);
  DrawCellText(b.Canvas(), "42", -1, Rect(0, 0, 200, 30), Rect(0, 0, 150, 30), CTF_RIGHT, clWhite, &font, clWhite,
               clBlack, nullptr);
  int minX, maxX;
  InkColumns(b, clWhite, minX, maxX);
  EXPECT_LE(maxX, 149);
  EXPECT_GE(maxX, 140);
  // Too wide without ellipsis: drawn from the left, clipped at the text rectangle's right, and the
  // rest of the cell filled with the brush.
  FillRectColor(b.Canvas(), Rect(0, 0, 200, 30), clWhite);
  DrawCellText(b.Canvas(), "Magnetotelluric sounding", -1, Rect(0, 0, 200, 30), Rect(0, 0, 40, 30), 0, clYellow, &font,
               clWhite, clBlack, nullptr);
  EXPECT_EQ(b.Canvas()->Pixels(150, 15), ColorToRGB(clYellow));
  for (int y = 0; y < 30; ++y)
    for (int x = 40; x < 200; ++x) ASSERT_EQ(b.Canvas()->Pixels(x, y), ColorToRGB(clYellow)) << x << "," << y;
}

TEST(PopupFrame, ClientAreaShadowRegionAndClosingNotice) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplacePickEdit::StaticClass(), "a", Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplacePickEdit*>(f.Grid->EditCell(cell));
  TvmPopupListBox* popup = e->PopupList();
  popup->SetPopupBorder(pbFrame3D);
  popup->SetShadow(true);
  popup->SetBounds(0, 0, 100, 60);
  TRect c = popup->ClientRect();
  EXPECT_EQ(100 - c.Width(), 10);
  EXPECT_EQ(60 - c.Height(), 10);
  TRegion r;
  ASSERT_TRUE(PopupShadowRegion(100, 60, true, 2, r));
  EXPECT_FALSE(r.PtInRegion(99, 0));  // the corner outside the L-shaped shadow
  EXPECT_TRUE(r.PtInRegion(99, 59));
  EXPECT_FALSE(PopupShadowRegion(100, 60, false, 2, r));
  // Closing an already hidden popup still tells its editor.
  e->Items()->Add("a");
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  ASSERT_TRUE(e->PopupShown());
  popup->Hide();
  popup->ClosePopup();
  EXPECT_FALSE(e->PopupShown());
}

TEST(HintWindow, StaysOnScreen) {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  auto* hint = new TvmContainerHintWindow(form.get());
  TFont font;
  const int sw = Screen->Width(), sh = Screen->Height();
  hint->ShowText(TPoint(sw - 5, 10), "Apparent resistivity", &font);
  EXPECT_EQ(hint->Left() + hint->Width(), sw);
  // Without a parent it is a window of its own on the screen.
  EXPECT_TRUE(IsTopLevelWindow(hint));
  EXPECT_TRUE(WindowShown(hint));
  EXPECT_EQ(WindowScreenRect(hint).Right, sw);
  EXPECT_EQ(WindowScreenRect(hint).Top, 10);
  std::string tall;
  for (int i = 0; i < 400; ++i) tall += "line\n";
  hint->ShowText(TPoint(10, 10), tall, &font);
  EXPECT_EQ(hint->Top(), 0);
  hint->HideText();
  EXPECT_FALSE(hint->Visible());
  EXPECT_FALSE(WindowShown(hint));
  (void)sh;
}

TEST(RegIniWrapper, IniAndRegistryPaths) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("vm_inspector_ini_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  SetProfileFolder(dir.string());
  {
    TMemIniFile ini((dir / "layout.ini").string());
    TvmRegIniWrapper w;
    w.IniObject = &ini;
    w.WriteInteger("Band_1", "Width", 120);
    w.WriteString("Band_2", "Caption", "Rho");
    w.WriteString("band_3", "Caption", "Phi");
    w.WriteBool("Options", "Grid", true);
    EXPECT_EQ(w.ReadInteger("Band_1", "Width", 0), 120);
    EXPECT_TRUE(w.ReadBool("Options", "Grid", false));
    char buf[4];
    EXPECT_EQ(w.ReadBinaryData("Key", "Data", buf, 0), 0);  // no binary data in an INI file
    w.EraseSectionsWithPrefix("Band_");
    TStringList sections;
    w.ReadSections(sections);
    EXPECT_EQ(sections.IndexOf("Band_1"), -1);
    EXPECT_EQ(sections.IndexOf("Band_2"), -1);
    EXPECT_NE(sections.IndexOf("band_3"), -1) << "another letter case stays";
    EXPECT_NE(sections.IndexOf("Options"), -1);
  }
  {
    TRegistry reg;
    TvmRegIniWrapper w;
    w.IniObject = &reg;
    const char data[5] = {1, 2, 3, 4, 5};
    w.WriteBinaryData("Software\\Varomark\\Test", "Nodes", data, 5);
    EXPECT_EQ(w.ReadBinaryData("Software\\Varomark\\Test", "Nodes", nullptr, 0), 5);
    char back[5] = {};
    EXPECT_EQ(w.ReadBinaryData("Software\\Varomark\\Test", "Nodes", back, 5), 5);
    EXPECT_EQ(back[4], 5);
    EXPECT_EQ(w.ReadBinaryData("Software\\Varomark\\Test", "Missing", back, 5), 0);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}

TEST(FitPopup, ClampsAndFlipsAboveTheAnchor) {
  SetWorkAreaOverride(Rect(0, 0, 800, 600));
  TPoint p(750, 100);
  FitPopupToWorkArea(p, 200, 100, 20);
  EXPECT_EQ(p.X, 600);
  EXPECT_EQ(p.Y, 100);
  p = TPoint(-30, 560);
  FitPopupToWorkArea(p, 200, 100, 20);
  EXPECT_EQ(p.X, 0);
  EXPECT_EQ(p.Y, 560 - 20 - 100);
  SetWorkAreaOverride(TRect());
}

}  // namespace
