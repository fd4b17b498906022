// Picture export formats: the registry and its filter indexes, pictures at the size asked read
// back by independent readers (the toolkit's bitmap reader, the metafile reader), the picture for
// a file extension, and the chart picture format.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "chart/engine/chart_errors.h"
#include "chart/engine/html_text.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/export_formats.h"
#include "chart/extra/picture_format.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/standard_series.h"
#include "platform/bitmap.h"
#include "platform/inifiles.h"
#include "platform/metafile.h"
#include "platform/stdctrls.h"
#include "platform/streams.h"
#include "chart/series/testkit/series_testkit.h"

namespace fs = std::filesystem;

namespace {

struct Exports : ::testing::Test {
  static void SetUpTestSuite() {
    InitStandardSeries();
    InitChartOutput();
  }
  TSeriesChart C{false, 300, 200};
  void SetUp() override {
    auto* s = C.Add<TLineSeries>();
    s->SetSeriesColor(clRed);
    for (int i = 0; i < 10; ++i) s->AddXY(i, i * i);
    C.Chart.SetColor(clYellow);
  }
  fs::path Dir() {
    const fs::path d = fs::temp_directory_path() / ("vm_exports_" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
  }
};

int CountColor(TBitmap& B, TColor C) {
  int n = 0;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x) n += B.Canvas()->Pixels(x, y) == C;
  return n;
}

}  // namespace

TEST_F(Exports, RegistryOrderExtensionsAndFilterIndexes) {
  const auto& list = ExportFormats();
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(list[0].Class, TEMFExportFormat::StaticClass());
  EXPECT_EQ(list[1].Class, TBMPExportFormat::StaticClass());
  int next = 0;
  TEMFExportFormat emf;
  TBMPExportFormat bmp;
  emf.AssignFilterIndex(next);
  bmp.AssignFilterIndex(next);
  EXPECT_EQ(emf.FilterIndex, 1);
  EXPECT_EQ(bmp.FilterIndex, 3);
  EXPECT_EQ(emf.GetFilterIndex(), 1);
  EXPECT_EQ(emf.FileExtension(), "emf");
  // Choosing the old metafile entry switches the enhanced box off.
  EXPECT_TRUE(emf.WantsFilterIndex(2));
  EXPECT_EQ(emf.FileExtension(), "wmf");
  EXPECT_EQ(emf.GetFilterIndex(), 2);
  EXPECT_FALSE(bmp.WantsFilterIndex(2));
  EXPECT_TRUE(bmp.WantsFilterIndex(3));
  EXPECT_EQ(emf.FileFilter() + "|" + bmp.FileFilter(),
            "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|Bitmaps (*.bmp)|*.bmp");
}

TEST_F(Exports, NoPanelIsRefused) {
  TBMPExportFormat bmp;
  TMemoryStream s;
  try {
    bmp.SaveToStream(s);
    FAIL();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "Panel property is not set in Export format");
  }
}

TEST_F(Exports, BitmapAtTheSizeAskedReadsBack) {
  const std::string file = (Dir() / "chart.bmp").string();
  TBMPExportFormat bmp;
  bmp.Panel = &C.Chart;
  bmp.Width = 240;
  bmp.Height = 160;
  bmp.SaveToFile(file);
  TBitmap back;
  back.LoadFromFile(file);  // the toolkit's bitmap reader
  EXPECT_EQ(back.Width(), 240);
  EXPECT_EQ(back.Height(), 160);
  EXPECT_GT(CountColor(back, clRed), 20);       // the series line
  EXPECT_GT(CountColor(back, clYellow), 1000);  // the panel
  // Zero sizes come from the panel; monochrome gives a 1-bit file.
  TBMPExportFormat mono;
  mono.Panel = &C.Chart;
  static_cast<TBMPOptions*>(mono.Options(true))->CBMono->SetChecked(true);
  EXPECT_FALSE(static_cast<TBMPOptions*>(mono.Options(false))->CBColors->Enabled());
  mono.SaveToFile(file);
  TBitmap m;
  m.LoadFromFile(file);
  EXPECT_EQ(m.Width(), 300);
  EXPECT_EQ(m.Height(), 200);
  EXPECT_EQ(m.PixelFormat(), pf1bit);
  fs::remove_all(Dir());
}

// The metafile format writes a real Enhanced Metafile, or with "Enhanced" off a placeable
// Windows Metafile, at the size asked; the project's own reader draws the chart from both.
TEST_F(Exports, MetafileFilesAtTheSizeAskedReadBackAndDrawTheChart) {
  for (bool enhanced : {true, false}) {
    SCOPED_TRACE(enhanced ? "EMF" : "WMF");
    TEMFExportFormat emf;
    emf.Panel = &C.Chart;
    emf.Width = 300;
    emf.Height = 200;
    static_cast<TEMFOptions*>(emf.Options(true))->CBEnhanced->SetChecked(enhanced);
    EXPECT_EQ(emf.FileExtension(), enhanced ? "emf" : "wmf");
    TMemoryStream s;
    emf.SaveToStream(s);
    const auto* b = static_cast<const uint8_t*>(s.Memory());
    auto u32 = [&](size_t at) {
      return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
    };
    auto i16 = [&](size_t at) { return static_cast<int16_t>(b[at] | b[at + 1] << 8); };
    if (enhanced) {
      EXPECT_EQ(u32(40), 0x464D4520u);  // " EMF"
      EXPECT_EQ(u32(16), 299u);         // bounds, inclusive
      EXPECT_EQ(u32(20), 199u);
      EXPECT_EQ(u32(48), static_cast<uint32_t>(s.Size()));
    } else {
      EXPECT_EQ(u32(0), 0x9AC6CDD7u);  // placeable
      EXPECT_EQ(i16(10), 300);
      EXPECT_EQ(i16(12), 200);
      EXPECT_EQ(i16(14), 96);  // units per inch
    }
    s.SetPosition(0);
    TMetafile m;
    m.LoadFromStream(s);  // the project's own reader
    EXPECT_EQ(m.Width(), 300);
    EXPECT_EQ(m.Height(), 200);
    EXPECT_EQ(m.Enhanced(), enhanced);
    TBitmap bmp(300, 200, pf24bit);
    bmp.Canvas()->StretchDraw(TRect(0, 0, 300, 200), &m);
    EXPECT_GT(CountColor(bmp, clRed), 20);       // the series line
    EXPECT_GT(CountColor(bmp, clYellow), 1000);  // the panel
  }
}

// A pie chart's slices go into both metafiles as pie records, not as the pixels of one size,
// and the file read back draws what the chart draws on a bitmap.
TEST_F(Exports, PieSlicesAreWrittenAsPieRecordsAndReadBackAsTheChart) {
  TSeriesChart pie{false, 300, 200};
  auto* p = pie.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(10, "", clRed);
  p->AddY(25, "", clBlue);
  p->AddY(65, "", clLime);
  pie.Render();
  for (bool enhanced : {true, false}) {
    SCOPED_TRACE(enhanced ? "EMF" : "WMF");
    TEMFExportFormat emf;
    emf.Panel = &pie.Chart;
    static_cast<TEMFOptions*>(emf.Options(true))->CBEnhanced->SetChecked(enhanced);
    TMemoryStream s;
    emf.SaveToStream(s);
    const auto* b = static_cast<const uint8_t*>(s.Memory());
    auto u32 = [&](size_t at) {
      return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
    };
    auto u16 = [&](size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); };
    int pies = 0, pixels = 0;
    if (enhanced) {
      for (size_t off = 0; off < static_cast<size_t>(s.Size()); off += u32(off + 4)) {
        pies += u32(off) == 47;    // EMR_PIE
        pixels += u32(off) == 15;  // EMR_SETPIXELV
      }
    } else {
      for (size_t off = 40; off < static_cast<size_t>(s.Size()); off += 2 * u32(off)) {
        pies += u16(off + 4) == 0x081A;    // META_PIE
        pixels += u16(off + 4) == 0x041F;  // META_SETPIXEL
      }
    }
    EXPECT_EQ(pies, 3);
    EXPECT_EQ(pixels, 0);
    s.SetPosition(0);
    TMetafile m;
    m.LoadFromStream(s);
    TBitmap back(300, 200, pf24bit);
    back.Canvas()->StretchDraw(TRect(0, 0, 300, 200), &m);
    int differ = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) differ += back.Canvas()->Pixels(x, y) != pie.At(x, y);
    EXPECT_LT(differ, 300 * 200 / 50);  // edges a pixel apart
    EXPECT_NEAR(CountColor(back, clLime), pie.Count(clLime, TRect(0, 0, 300, 200)), 150);
  }
}

TEST_F(Exports, PictureForAnExtension) {
  std::unique_ptr<TGraphic> g(PictureForExtension(".BMP"));
  EXPECT_NE(dynamic_cast<TBitmap*>(g.get()), nullptr);
  g.reset(PictureForExtension(".emf"));
  EXPECT_NE(dynamic_cast<TMetafile*>(g.get()), nullptr);
  EXPECT_EQ(PictureForExtension(".wmf"), nullptr);  // only while the enhanced box is off
  EXPECT_EQ(PictureForExtension(".xyz"), nullptr);
  ASSERT_TRUE(PictureKindHook);
  g.reset(PictureKindHook(".BMP"));
  EXPECT_NE(dynamic_cast<TBitmap*>(g.get()), nullptr);
}

TEST_F(Exports, ChartPictureFormat) {
  TChartImage empty;
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.Height(), 0);
  EXPECT_FALSE(empty.HasChart());
  // Saving to a name without extension makes a ".qvx" file that loads back with its points.
  const std::string base = (Dir() / "image").string();
  {
    TChartImage pic;
    pic.SetChart(&C.Chart);  // foreign: not freed with the picture
    pic.SaveToFile(base);
  }
  EXPECT_EQ(C.Chart.CountSeries(), 1);
  ASSERT_TRUE(fs::exists(base + ".qvx"));
  TPicture picture;
  picture.LoadFromFile(base + ".qvx");
  auto* image = dynamic_cast<TChartImage*>(picture.Graphic());
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->Chart()->CountSeries(), 1);
  EXPECT_EQ(image->Chart()->SeriesAt(0)->PointCount(), 10);
  EXPECT_EQ(picture.Width(), 300);
  TBitmap b(300, 200, pf24bit);
  b.Canvas()->StretchDraw(TRect(0, 0, 300, 200), image);
  EXPECT_GT(CountColor(b, clRed), 20);
  fs::remove_all(Dir());
}

TEST(HelpFile, FoundThroughTheMachinesHelpFolder) {
  const fs::path dir = fs::temp_directory_path() / ("vm_help_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  EXPECT_EQ(FindHelpFile("chart.hlp"), "");
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Microsoft\\Windows\\Help", true));
    reg.WriteString("chart.hlp", "C:\\Help");
    reg.CloseKey();
  }
  EXPECT_EQ(FindHelpFile("chart.hlp"), "C:\\Help\\chart.hlp");
  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  fs::remove_all(dir);
}
