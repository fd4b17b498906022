// Metafiles written as Enhanced and Windows Metafiles: their bytes, reading them back, damaged
// files, and readers of other programs where the machine has them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/metafile.h"
#include "platform/streams.h"

namespace {

constexpr int kW = 160, kH = 100;
constexpr int kSub = 16;  // logical units per pixel of the Enhanced Metafiles written

// A scene with what charts draw: fills, outlines, an ellipse, lines, a polygon, a thick and a
// dashed pen, text (also turned, also Cyrillic), clipping and a bitmap.
void Scene(TCanvas* C) {
  C->Brush()->SetColor(clYellow);
  C->FillRect(Rect(0, 0, kW, kH));
  C->Pen()->SetColor(clNavy);
  C->Brush()->SetColor(clAqua);
  C->Rectangle(5, 5, 60, 45);
  C->Ellipse(40, 20, 90, 60);
  C->MoveTo(0, kH - 1);
  C->LineTo(kW - 1, 0);
  C->Brush()->SetColor(clRed);
  C->Polygon({{100, 5}, {150, 5}, {125, 40}});
  C->Pen()->SetWidth(3);
  C->Pen()->SetColor(clGreen);
  C->MoveTo(10, 80);
  C->LineTo(60, 80);
  C->Pen()->SetWidth(1);
  C->Pen()->SetStyle(psDash);
  C->MoveTo(10, 90);
  C->LineTo(150, 90);
  C->Pen()->SetStyle(psSolid);
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetName("DejaVu Sans");
  C->Font()->SetSize(9);
  C->Font()->SetColor(clBlack);
  C->TextOut(70, 60, "Chart 42");
  C->TextOut(100, 45, "\xD0\x9F\xD1\x80\xD0\xB8");  // "При"
  C->Font()->SetOrientation(900);
  C->TextOut(150, 85, "up");
  C->Font()->SetOrientation(0);
  TRegion clip = TRegion::CreateRectRgn(120, 50, 140, 70);
  C->SelectClipRgn(&clip);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clFuchsia);
  C->FillRect(Rect(110, 40, 150, 80));
  C->SelectClipRgn(nullptr);
  TBitmap tile(8, 6, pf24bit);
  tile.Canvas()->Brush()->SetColor(clBlue);
  tile.Canvas()->FillRect(Rect(0, 0, 8, 6));
  C->StretchDraw(Rect(4, 50, 20, 62), &tile);
}

std::unique_ptr<TMetafile> Recorded(bool Enhanced) {
  auto m = std::make_unique<TMetafile>();
  m->SetWidth(kW);
  m->SetHeight(kH);
  m->SetEnhanced(Enhanced);
  {
    TMetafileCanvas mc(m.get(), nullptr, "Varomark", "test scene");
    Scene(&mc);
  }
  return m;
}

std::string Bytes(TMetafile& M) {
  TMemoryStream s;
  M.SaveToStream(s);
  return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

uint32_t U32(const std::string& S, size_t At) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(S[At + i])) << (8 * i);
  return v;
}
int32_t I32(const std::string& S, size_t At) { return static_cast<int32_t>(U32(S, At)); }
uint16_t U16(const std::string& S, size_t At) {
  return static_cast<uint16_t>(static_cast<uint8_t>(S[At]) | static_cast<uint8_t>(S[At + 1]) << 8);
}
int16_t I16(const std::string& S, size_t At) { return static_cast<int16_t>(U16(S, At)); }

std::unique_ptr<TBitmap> Played(TMetafile& M) {
  auto b = std::make_unique<TBitmap>(kW, kH, pf24bit);
  b->Canvas()->Draw(0, 0, &M);
  return b;
}

// The share of pixels that differ between two pictures of the same size.
double Differing(TBitmap& A, TBitmap& B) {
  int n = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) n += A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y);
  return static_cast<double>(n) / (kW * kH);
}

std::unique_ptr<TMetafile> Loaded(const std::string& Bytes) {
  TStringStream s(Bytes);
  auto m = std::make_unique<TMetafile>();
  m->LoadFromStream(s);
  return m;
}

bool Installed(const char* Program) {
  return std::system((std::string("command -v ") + Program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadFile(const std::filesystem::path& P) {
  std::ifstream f(P, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

struct TempDir {
  std::filesystem::path P;
  TempDir() {
    P = std::filesystem::temp_directory_path() /
        ("vm_metafile_" + std::to_string(::getpid()) + "_" + std::to_string(std::rand()));
    std::filesystem::create_directories(P);
  }
  ~TempDir() { std::filesystem::remove_all(P); }
};

TEST(MetafileFiles, EnhancedMetafileHeaderRecordsAndEnd) {
  auto m = Recorded(true);
  const std::string s = Bytes(*m);
  ASSERT_GE(s.size(), 108u);
  EXPECT_EQ(U32(s, 0), 1u);            // the header record
  EXPECT_EQ(U32(s, 40), 0x464D4520u);  // " EMF"
  EXPECT_EQ(U32(s, 44), 0x10000u);
  EXPECT_EQ(U32(s, 48), s.size());  // bytes
  EXPECT_EQ(I32(s, 8), 0);          // bounds, inclusive, in pixels
  EXPECT_EQ(I32(s, 16), kW - 1);
  EXPECT_EQ(I32(s, 20), kH - 1);
  EXPECT_EQ(I32(s, 32), 4233);  // frame: 160 px at 96 per inch in 0.01 mm
  EXPECT_EQ(I32(s, 36), 2646);
  EXPECT_EQ(I32(s, 72) * 254, I32(s, 80) * 960);  // the reference device: 96 per inch
  // The description: "Varomark\0test scene\0\0" in UTF-16 at its offset.
  ASSERT_EQ(U32(s, 60), 21u);
  EXPECT_EQ(s.substr(U32(s, 64), 4), std::string("V\0a\0", 4));

  // Walk the records: sizes are multiples of four, the count matches, the last is the end.
  std::map<uint32_t, int> seen;
  size_t off = 0;
  uint32_t records = 0, last = 0;
  while (off < s.size()) {
    const uint32_t type = U32(s, off), size = U32(s, off + 4);
    ASSERT_GE(size, 8u);
    ASSERT_EQ(size % 4, 0u) << "record " << type;
    ASSERT_LE(off + size, s.size());
    ++seen[type];
    ++records;
    last = type;
    if (type == 14) {
      EXPECT_EQ(size, 20u);
    }
    if (type == 84) {  // the text record: its characters at their offset
      const uint32_t n = U32(s, off + 44), at = U32(s, off + 48);
      std::u16string text;
      for (uint32_t i = 0; i < n; ++i) text += static_cast<char16_t>(U16(s, off + at + 2 * i));
      if (text == u"Chart 42") {
        EXPECT_EQ(I32(s, off + 36), 70 * kSub);
        EXPECT_NE(U32(s, off + 72), 0u);  // advances are given
      }
      ++seen[text == u"\u041F\u0440\u0438" ? 1000 : 1001];
    }
    off += size;
  }
  EXPECT_EQ(off, s.size());
  EXPECT_EQ(records, U32(s, 52));
  EXPECT_EQ(last, 14u);
  for (uint32_t type : {38u, 95u, 39u, 37u, 40u, 82u, 84u, 75u, 81u})
    EXPECT_GT(seen[type], 0) << "no record of type " << type;
  EXPECT_GT(seen[86] + seen[3], 0);  // polygons
  EXPECT_GT(seen[87] + seen[4], 0);  // polylines
  EXPECT_EQ(seen[1000], 1);          // the Cyrillic text as UTF-16
  EXPECT_EQ(U16(s, 56), 7);          // handles
  // Logical units are sixteenths of a pixel: the window is 16 times the viewport.
  EXPECT_EQ(seen[17], 1);
  size_t window = U32(s, 4);
  while (U32(s, window) != 9) window += U32(s, window + 4);
  EXPECT_EQ(I32(s, window + 8), kW * kSub);
  EXPECT_EQ(I32(s, window + 12), kH * kSub);
}

TEST(MetafileFiles, WindowsMetafilePlaceableHeaderAndRecords) {
  auto m = Recorded(false);
  const std::string s = Bytes(*m);
  ASSERT_GE(s.size(), 40u);
  EXPECT_EQ(U32(s, 0), 0x9AC6CDD7u);
  EXPECT_EQ(I16(s, 6), 0);
  EXPECT_EQ(I16(s, 8), 0);
  EXPECT_EQ(I16(s, 10), kW);
  EXPECT_EQ(I16(s, 12), kH);
  EXPECT_EQ(U16(s, 14), 96);
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= U16(s, i);
  EXPECT_EQ(U16(s, 20), sum);
  EXPECT_EQ(U16(s, 22), 1);
  EXPECT_EQ(U16(s, 24), 9);
  EXPECT_EQ(U16(s, 26), 0x0300);
  EXPECT_EQ(U32(s, 28) * 2, s.size() - 22);  // size in words, without the placeable header

  std::map<uint16_t, int> seen;
  uint32_t largest = 0;
  size_t off = 40;
  uint16_t last = 0xFFFF;
  bool cyrillicFont = false, cyrillicText = false;
  while (off < s.size()) {
    const uint32_t words = U32(s, off);
    const uint16_t fn = U16(s, off + 4);
    ASSERT_GE(words, 3u);
    ASSERT_LE(off + 2 * words, s.size());
    largest = std::max(largest, words);
    ++seen[fn];
    last = fn;
    if (fn == 0x02FB && static_cast<uint8_t>(s[off + 6 + 13]) == 204) cyrillicFont = true;
    if (fn == 0x0A32 && I16(s, off + 10) == 3 && s.substr(off + 14, 3) == "\xCF\xF0\xE8") cyrillicText = true;
    off += 2 * words;
  }
  EXPECT_EQ(off, s.size());
  EXPECT_EQ(last, 0);  // the end record
  EXPECT_EQ(U32(s, 34), largest);
  EXPECT_TRUE(cyrillicFont) << "the Cyrillic text needs a font of the Cyrillic character set";
  EXPECT_TRUE(cyrillicText) << "the Cyrillic text in code page 1251";
  for (uint16_t fn :
       {0x020B, 0x020C, 0x02FA, 0x02FC, 0x02FB, 0x012D, 0x01F0, 0x0324, 0x0325, 0x0A32, 0x0F43, 0x001E, 0x0127, 0x0416})
    EXPECT_GT(seen[fn], 0) << "no record " << std::hex << fn;
  // Objects are deleted as they are replaced: the table stays small.
  EXPECT_LE(U16(s, 32), 6);
}

// Both files read back by this program draw what the recording drew: the same colours where
// shapes are, and few pixels apart (text and ellipse edges).
TEST(MetafileFiles, BothKindsReadBackToTheSamePicture) {
  for (bool enhanced : {true, false}) {
    SCOPED_TRACE(enhanced ? "EMF" : "WMF");
    auto m = Recorded(enhanced);
    auto direct = Played(*m);  // the recording itself
    auto back = Loaded(Bytes(*m));
    EXPECT_EQ(back->Enhanced(), enhanced);
    EXPECT_EQ(back->Width(), kW);
    EXPECT_EQ(back->Height(), kH);
    ASSERT_FALSE(back->Empty());
    auto b = Played(*back);
    EXPECT_LT(Differing(*b, *direct), 0.02);
    const struct {
      int X, Y;
      TColor C;
    } probes[] = {{2, 2, clYellow},     {20, 20, clAqua},    {5, 20, clNavy},  {125, 15, clRed},
                  {130, 60, clFuchsia}, {145, 75, clYellow}, {12, 55, clBlue}, {30, 80, clGreen}};
    for (const auto& p : probes) EXPECT_EQ(b->Canvas()->Pixels(p.X, p.Y), p.C) << p.X << "," << p.Y;
  }
}

TEST(MetafileFiles, StoredPicturesKeepTheRecording) {
  auto m = Recorded(true);
  TMemoryStream s;
  m->WriteData(s);
  s.SetPosition(0);
  char magic[4];
  s.ReadBuffer(magic, 4);
  EXPECT_EQ(std::string(magic, 4), "VMMF");
  s.SetPosition(0);
  TMetafile back;
  back.ReadData(s);
  EXPECT_EQ(Differing(*Played(back), *Played(*m)), 0.0);
}

TEST(MetafileFiles, EmptyMetafileWritesAValidFile) {
  TMetafile m;
  m.SetWidth(30);
  m.SetHeight(20);
  const std::string s = Bytes(m);
  EXPECT_EQ(U32(s, 52), 6u);  // header, background mode, the mapping's three and end
  auto back = Loaded(s);
  EXPECT_TRUE(back->Empty());
  EXPECT_EQ(back->Width(), 30);
}

TEST(MetafileFiles, DamagedFilesAreRefused) {
  auto m = Recorded(true);
  const std::string emf = Bytes(*m);
  m->SetEnhanced(false);
  const std::string wmf = Bytes(*m);
  std::vector<std::pair<std::string, std::string>> bad = {
      {"EMF cut short", emf.substr(0, emf.size() / 2)},
      {"EMF header only", emf.substr(0, 100)},
      {"WMF cut short", wmf.substr(0, wmf.size() / 2)},
      {"WMF header only", wmf.substr(0, 40)},
  };
  std::string zeroSize = emf;
  const size_t first = U32(emf, 4);
  zeroSize.replace(first + 4, 4, std::string(4, '\0'));
  bad.push_back({"EMF record of size 0", zeroSize});
  std::string hugeCount = emf;
  // The first polygon or polyline record claims more points than it holds.
  for (size_t off = first; off < emf.size(); off += U32(emf, off + 4)) {
    uint32_t t = U32(emf, off);
    if (t == 86 || t == 87) {
      hugeCount.replace(off + 24, 4, std::string("\xFF\xFF\xFF\x0F", 4));
      break;
    }
  }
  bad.push_back({"EMF point count past the record", hugeCount});
  std::string wmfWords = wmf;
  wmfWords.replace(40, 4, std::string("\xFF\xFF\xFF\x7F", 4));
  bad.push_back({"WMF record past the end", wmfWords});
  for (const auto& [what, bytes] : bad) EXPECT_THROW(Loaded(bytes), EInvalidGraphic) << what;
}

// Ellipses, pies, chords, arcs and round rectangles: what pie charts, markers and rounded
// frames draw. The second pie turns clockwise.
void CurveScene(TCanvas* C) {
  C->Brush()->SetColor(clWhite);
  C->FillRect(Rect(0, 0, kW, kH));
  C->Pen()->SetColor(clNavy);
  C->Brush()->SetColor(clAqua);
  C->Ellipse(5, 5, 45, 35);
  C->Brush()->SetColor(clRed);
  C->Pie(50, 5, 110, 65, 110, 35, 80, 5);  // the upper right quarter
  C->Brush()->SetColor(clLime);
  C->Chord(115, 5, 155, 45, 155, 25, 115, 25);  // the upper half
  C->Pen()->SetColor(clMaroon);
  C->Pen()->SetWidth(2);
  C->Arc(5, 40, 45, 95, 45, 67, 5, 67);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(clNavy);
  C->Brush()->SetColor(clYellow);
  C->RoundRect(50, 70, 150, 95, 20, 12);
  C->SetArcDirection(AD_CLOCKWISE);
  C->Brush()->SetColor(clBlue);
  C->Pie(110, 45, 150, 70, 150, 57, 130, 45);  // three quarters, the long way round
}

std::unique_ptr<TMetafile> RecordedCurves(bool Enhanced) {
  auto m = std::make_unique<TMetafile>();
  m->SetWidth(kW);
  m->SetHeight(kH);
  m->SetEnhanced(Enhanced);
  {
    TMetafileCanvas mc(m.get(), nullptr);
    CurveScene(&mc);
  }
  return m;
}

// The record numbers of a file, in order.
std::vector<uint32_t> RecordTypes(const std::string& S, bool Enhanced) {
  std::vector<uint32_t> types;
  if (Enhanced) {
    for (size_t off = 0; off + 8 <= S.size() && U32(S, off + 4) >= 8; off += U32(S, off + 4))
      types.push_back(U32(S, off));
  } else {
    for (size_t off = 40; off + 6 <= S.size() && U32(S, off) >= 3; off += 2 * U32(S, off))
      types.push_back(U16(S, off + 4));
  }
  return types;
}

// The curves go into the files as the formats' own records, with the call's box and rays, not
// as the pixels of one size; read back, they draw what the canvas draws on a bitmap.
TEST(MetafileFiles, CurvesAreWrittenAsTheirOwnRecordsAndReadBack) {
  TBitmap direct(kW, kH, pf24bit);
  CurveScene(direct.Canvas());
  for (bool enhanced : {true, false}) {
    SCOPED_TRACE(enhanced ? "EMF" : "WMF");
    auto m = RecordedCurves(enhanced);
    const std::string s = Bytes(*m);
    std::vector<uint32_t> types = RecordTypes(s, enhanced);
    auto count = [&](uint32_t T) { return std::count(types.begin(), types.end(), T); };
    if (enhanced) {
      EXPECT_EQ(count(42), 1) << "EMR_ELLIPSE";
      EXPECT_EQ(count(47), 2) << "EMR_PIE";
      EXPECT_EQ(count(46), 1) << "EMR_CHORD";
      EXPECT_EQ(count(45), 1) << "EMR_ARC";
      EXPECT_EQ(count(44), 1) << "EMR_ROUNDRECT";
      EXPECT_EQ(count(15), 0) << "no pixels";
      // The first pie: its box and rays as the canvas call gave them.
      size_t off = 0;
      while (U32(s, off) != 47) off += U32(s, off + 4);
      EXPECT_EQ(U32(s, off + 4), 40u);
      const int32_t want[] = {50, 5, 110, 65, 110, 35, 80, 5};
      for (int i = 0; i < 8; ++i) EXPECT_EQ(I32(s, off + 8 + 4 * i), want[i] * kSub) << i;
      // The clockwise pie is written counter-clockwise from its end ray to its start ray.
      off += 40;
      while (U32(s, off) != 47) off += U32(s, off + 4);
      const int32_t turned[] = {110, 45, 150, 70, 130, 45, 150, 57};
      for (int i = 0; i < 8; ++i) EXPECT_EQ(I32(s, off + 8 + 4 * i), turned[i] * kSub) << i;
    } else {
      EXPECT_EQ(count(0x0418), 1) << "META_ELLIPSE";
      EXPECT_EQ(count(0x081A), 2) << "META_PIE";
      EXPECT_EQ(count(0x0830), 1) << "META_CHORD";
      EXPECT_EQ(count(0x0817), 1) << "META_ARC";
      EXPECT_EQ(count(0x061C), 1) << "META_ROUNDRECT";
      EXPECT_EQ(count(0x041F), 0) << "no pixels";
      size_t off = 40;
      while (U16(s, off + 4) != 0x061C) off += 2 * U32(s, off);
      const int want[] = {12, 20, 95, 150, 70, 50};  // corner height and width, bottom, right, top, left
      for (int i = 0; i < 6; ++i) EXPECT_EQ(I16(s, off + 6 + 2 * i), want[i]) << i;
    }
    auto back = Loaded(s);
    auto b = Played(*back);
    EXPECT_LT(Differing(*b, direct), 0.02);
    const struct {
      int X, Y;
      TColor C;
    } probes[] = {{25, 20, clAqua},    {90, 25, clRed},   {60, 25, clWhite},  {135, 15, clLime},  {135, 35, clWhite},
                  {100, 82, clYellow}, {120, 62, clBlue}, {140, 50, clWhite}, {25, 40, clMaroon}, {25, 90, clWhite}};
    for (const auto& p : probes) EXPECT_EQ(b->Canvas()->Pixels(p.X, p.Y), p.C) << p.X << "," << p.Y;
    // Written again, the picture read back keeps its curves.
    EXPECT_EQ(RecordTypes(Bytes(*back), enhanced), types);
  }
}

// ArcTo: the line from the pen's position to the arc's start, then the arc, which a reader
// draws from the file as the canvas drew it.
TEST(MetafileFiles, ArcToWritesItsLineAndItsArc) {
  auto scene = [](TCanvas* C) {
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, kW, kH));
    C->Pen()->SetColor(clRed);
    C->MoveTo(2, 90);
    C->ArcTo(20, 10, 140, 90, 140, 50, 20, 50);  // the upper half, from the right
  };
  TBitmap direct(kW, kH, pf24bit);
  scene(direct.Canvas());
  for (bool enhanced : {true, false}) {
    SCOPED_TRACE(enhanced ? "EMF" : "WMF");
    TMetafile m;
    m.SetWidth(kW);
    m.SetHeight(kH);
    m.SetEnhanced(enhanced);
    {
      TMetafileCanvas mc(&m, nullptr);
      scene(&mc);
      EXPECT_EQ(mc.PenPos().X, 20);  // the arc's end
      EXPECT_EQ(mc.PenPos().Y, 50);
    }
    const std::vector<uint32_t> types = RecordTypes(Bytes(m), enhanced);
    EXPECT_EQ(std::count(types.begin(), types.end(), enhanced ? 45u : 0x0817u), 1) << "the arc";
    EXPECT_GT(std::count(types.begin(), types.end(), enhanced ? 87u : 0x0325u), 0) << "the line";
    // Thin lines a pixel apart differ everywhere: the read back picture has as many red pixels,
    // near the same places.
    auto b = Played(*Loaded(Bytes(m)));
    auto red = [](TBitmap& B) {
      int n = 0;
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) n += B.Canvas()->Pixels(x, y) == clRed;
      return n;
    };
    EXPECT_NEAR(red(*b), red(direct), red(direct) / 20);
    auto near = [&](int X, int Y) {
      for (int y = Y - 1; y <= Y + 1; ++y)
        for (int x = X - 1; x <= X + 1; ++x)
          if (b->Canvas()->Pixels(x, y) == clRed) return true;
      return false;
    };
    EXPECT_TRUE(near(80, 10)) << "the arc's top";
    EXPECT_TRUE(near(139, 45)) << "the arc's start";
    EXPECT_TRUE(near(71, 70)) << "the line";
    EXPECT_FALSE(near(80, 85)) << "no lower half";
  }
}

// Coordinates far outside the picture (a clipping region reaching two hundred million pixels
// to the left) stay within the numbers of the file once in sixteenths of a pixel: the file
// reads back with the fill where the clipping lets it be.
TEST(MetafileFiles, FarCoordinatesStayWithinTheFile) {
  TMetafile m;
  m.SetWidth(kW);
  m.SetHeight(kH);
  {
    TMetafileCanvas mc(&m, nullptr);
    TRegion clip = TRegion::CreateRectRgn(-200000000, 0, 40, 30);
    mc.SelectClipRgn(&clip);
    mc.Brush()->SetColor(clRed);
    mc.FillRect(Rect(0, 0, kW, kH));
  }
  auto b = Played(*Loaded(Bytes(m)));
  EXPECT_EQ(b->Canvas()->Pixels(20, 15), clRed);
  EXPECT_NE(b->Canvas()->Pixels(60, 50), clRed);
}

// Drawn four times its size, a curve read back from the file is smooth: the edge of the ellipse
// moves on nearly every row near its top, where pixels of the small size would stand in steps
// of four rows.
TEST(MetafileFiles, CurvesStaySmoothWhenTheFileIsScaledUp) {
  auto back = Loaded(Bytes(*RecordedCurves(true)));
  constexpr int kScale = 4;
  TBitmap big(kW * kScale, kH * kScale, pf24bit);
  big.Canvas()->StretchDraw(Rect(0, 0, kW * kScale, kH * kScale), back.get());
  // The ellipse 5..45 x 5..35: rows from its top to a third of the way down, leftmost not white.
  int same = 0, rows = 0, last = -1;
  for (int y = 6 * kScale; y < 14 * kScale; ++y) {
    int x = 0;
    while (x < 25 * kScale && big.Canvas()->Pixels(x, y) == clWhite) ++x;
    if (last >= 0) {
      ++rows;
      same += x == last;
    }
    last = x;
  }
  EXPECT_LT(same, rows / 4) << same << " of " << rows << " rows keep the edge of the row above";
}

// libwmf's converter reads the Windows Metafile.
TEST(MetafileFiles, WindowsMetafileReadByLibwmf) {
  if (!Installed("wmf2svg"))
    GTEST_SKIP() << "wmf2svg (libwmf-bin) is not installed: the WMF is not read by another program";
  TempDir dir;
  auto m = Recorded(false);
  {
    std::ofstream f(dir.P / "scene.wmf", std::ios::binary);
    f << Bytes(*m);
  }
  const std::string cmd = "wmf2svg -o '" + (dir.P / "scene.svg").string() + "' '" + (dir.P / "scene.wmf").string() +
                          "' >'" + (dir.P / "log").string() + "' 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadFile(dir.P / "log");
  const std::string svg = ReadFile(dir.P / "scene.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  // The text comes character by character, placed by the advances.
  EXPECT_NE(svg.find(">C</text>"), std::string::npos) << "the text";
  EXPECT_NE(svg.find("font-size:11."), std::string::npos) << "9 points at 96 per inch: 12 pixels";
  for (const char* fill : {"fill:yellow", "fill:aqua", "fill:red", "fill:fuchsia"})
    EXPECT_NE(svg.find(fill), std::string::npos) << fill;
  EXPECT_NE(svg.find("<image"), std::string::npos) << "the bitmap";
}

// libwmf reads the curves as shapes of their own: ellipses, elliptic arcs in paths and a round
// rectangle, not rows of pixels.
TEST(MetafileFiles, CurvesReadByLibwmfAsShapes) {
  if (!Installed("wmf2svg"))
    GTEST_SKIP() << "wmf2svg (libwmf-bin) is not installed: the WMF is not read by another program";
  TempDir dir;
  {
    std::ofstream f(dir.P / "curves.wmf", std::ios::binary);
    f << Bytes(*RecordedCurves(false));
  }
  const std::string cmd = "wmf2svg -o '" + (dir.P / "curves.svg").string() + "' '" + (dir.P / "curves.wmf").string() +
                          "' >'" + (dir.P / "log").string() + "' 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadFile(dir.P / "log");
  const std::string svg = ReadFile(dir.P / "curves.svg");
  EXPECT_NE(svg.find("<ellipse"), std::string::npos) << svg;
  EXPECT_NE(svg.find(" A"), std::string::npos) << "the pies as elliptic arcs\n" << svg;
  EXPECT_NE(svg.find(" rx="), std::string::npos) << "the round rectangle\n" << svg;
  EXPECT_EQ(svg.find("height=\"1.0"), std::string::npos) << "no rows of pixels\n" << svg;
  size_t shapes = 0;
  for (size_t at = svg.find("style="); at != std::string::npos; at = svg.find("style=", at + 1)) ++shapes;
  EXPECT_LE(shapes, 10u) << "one element a shape\n" << svg;
}

// LibreOffice renders the Enhanced Metafile: its picture shows the scene's colours in place.
TEST(MetafileFiles, EnhancedMetafileRenderedByLibreOffice) {
  if (!Installed("soffice")) GTEST_SKIP() << "LibreOffice is not installed: the EMF is not rendered by another program";
  TempDir dir;
  auto m = Recorded(true);
  {
    std::ofstream f(dir.P / "scene.emf", std::ios::binary);
    f << Bytes(*m);
  }
  const std::string cmd = "cd '" + dir.P.string() + "' && HOME='" + dir.P.string() +
                          "' soffice --headless --convert-to bmp scene.emf >log 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadFile(dir.P / "log");
  TBitmap page;  // the picture at its own size on a page, in BMP, which this program reads
  ASSERT_NO_THROW(page.LoadFromFile((dir.P / "scene.bmp").string())) << ReadFile(dir.P / "log");
  // Where the picture is: the box of the pixels that are not white paper.
  int left = page.Width(), top = page.Height(), right = -1, bottom = -1;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      if (page.Canvas()->Pixels(x, y) != clWhite) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, left) << "nothing drawn";
  // The size asked, at 96 per inch (the page is rendered at 96 per inch too); the turned text
  // may stand out a little on the right.
  EXPECT_NEAR(bottom - top + 1, kH, 2);
  EXPECT_NEAR(right - left + 1, kW, 8);
  auto at = [&](int X, int Y) { return page.Canvas()->Pixels(left + X, top + Y); };
  EXPECT_EQ(at(2, 2), clYellow);
  EXPECT_EQ(at(20, 20), clAqua);
  EXPECT_EQ(at(125, 15), clRed);
  EXPECT_EQ(at(130, 60), clFuchsia);
  EXPECT_EQ(at(145, 75), clYellow) << "the fill outside the clipping";
  EXPECT_EQ(at(12, 55), clBlue) << "the bitmap";
}

}  // namespace

// Squeezed thousands of times more one way than the other (a frame of 1 by 26393 from a damaged
// file, drawn into 64 by 48), text would come out as glyphs of no height, which the toolkit's
// glyph cache cannot take: such a picture is left out, and a merely stretched one still draws.
TEST(MetafileFiles, PictureSqueezedBeyondSenseIsLeftOut) {
  auto m = Recorded(true);
  m->SetWidth(1);
  m->SetHeight(26393);
  TBitmap b(64, 48, pf24bit);
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(Rect(0, 0, 64, 48));
  b.Canvas()->StretchDraw(Rect(0, 0, 64, 48), m.get());
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
  auto wide = Recorded(true);
  b.Canvas()->StretchDraw(Rect(0, 0, 64, 4), wide.get());
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clYellow) << "stretched 2.5 times wider than high, the picture draws";
}
