#include "app/tool_glyphs.h"

#include <functional>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/graphics.h"
#include "platform/forms.h"
#include "platform/imglist.h"

namespace {

constexpr TColor Mask = 0xFF00FF;  // transparent

using TDraw = std::function<void(TCanvas* C)>;

void Line(TCanvas* C, TColor Colour, int Width, std::initializer_list<TPoint> Points) {
  C->Pen()->SetColor(Colour);
  C->Pen()->SetWidth(Width);
  std::vector<TPoint> p(Points);
  C->Polyline(p);
}

void Box(TCanvas* C, TColor Pen, TColor Fill, int X1, int Y1, int X2, int Y2) {
  C->Pen()->SetColor(Pen);
  C->Pen()->SetWidth(1);
  C->Brush()->SetColor(Fill);
  C->Rectangle(X1, Y1, X2, Y2);
}

void Shape(TCanvas* C, TColor Pen, TColor Fill, std::initializer_list<TPoint> Points) {
  C->Pen()->SetColor(Pen);
  C->Pen()->SetWidth(1);
  C->Brush()->SetColor(Fill);
  std::vector<TPoint> p(Points);
  C->Polygon(p);
}

void Text(TCanvas* C, TColor Colour, int X, int Y, const char* S) {
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetColor(Colour);
  C->Font()->SetSize(7);
  C->Font()->SetStyle({fsBold});
  C->TextOut(X, Y, S);
  C->Brush()->SetStyle(bsSolid);
}

void Page(TCanvas* C) { Shape(C, clBlack, clWhite, {{5, 2}, {15, 2}, {19, 6}, {19, 21}, {5, 21}}); }

void Curve(TCanvas* C, TColor Colour) { Line(C, Colour, 2, {{3, 18}, {8, 10}, {12, 13}, {16, 6}, {21, 8}}); }

void Arrow(TCanvas* C, TColor Colour, bool Left) {
  if (Left)
    Shape(C, Colour, Colour, {{4, 12}, {12, 5}, {12, 9}, {20, 9}, {20, 15}, {12, 15}, {12, 19}});
  else
    Shape(C, Colour, Colour, {{20, 12}, {12, 5}, {12, 9}, {4, 9}, {4, 15}, {12, 15}, {12, 19}});
}

const std::vector<std::pair<std::string, TDraw>>& Glyphs() {
  static const std::vector<std::pair<std::string, TDraw>> g = {
      {"acOpen",
       [](TCanvas* C) {
         Shape(C, clBlack, 0x4FC8F0, {{2, 7}, {8, 7}, {10, 9}, {21, 9}, {21, 20}, {2, 20}});
         Shape(C, clBlack, 0x7FE0FF, {{4, 12}, {23, 12}, {20, 20}, {2, 20}});
       }},
      {"acSave",
       [](TCanvas* C) {
         Box(C, clBlack, clNavy, 3, 3, 21, 21);
         Box(C, clBlack, clWhite, 6, 3, 18, 11);
         Box(C, clBlack, clSilver, 7, 14, 17, 21);
       }},
      {"AcSaveAs",
       [](TCanvas* C) {
         Box(C, clBlack, clNavy, 2, 5, 17, 21);
         Box(C, clBlack, clWhite, 5, 5, 14, 11);
         Line(C, clRed, 2, {{13, 19}, {21, 4}});
       }},
      {"acClose",
       [](TCanvas* C) {
         Page(C);
         Line(C, clRed, 3, {{7, 8}, {17, 18}});
         Line(C, clRed, 3, {{17, 8}, {7, 18}});
       }},
      {"acExportTo",
       [](TCanvas* C) {
         Page(C);
         Arrow(C, clGreen, false);
       }},
      {"AcPreview",
       [](TCanvas* C) {
         Page(C);
         C->Pen()->SetColor(clNavy);
         C->Pen()->SetWidth(2);
         C->Brush()->SetStyle(bsClear);
         C->Ellipse(7, 7, 16, 16);
         C->Brush()->SetStyle(bsSolid);
         Line(C, clNavy, 3, {{15, 15}, {20, 20}});
       }},
      {"acPrint",
       [](TCanvas* C) {
         Box(C, clBlack, clWhite, 7, 3, 17, 10);
         Box(C, clBlack, clGray, 3, 10, 21, 18);
         Box(C, clBlack, clWhite, 7, 15, 17, 21);
       }},
      {"AcExit",
       [](TCanvas* C) {
         Box(C, clBlack, 0x4080A0, 4, 3, 14, 21);
         Arrow(C, clRed, false);
       }},
      {"AcLabel",
       [](TCanvas* C) {
         Page(C);
         for (int y = 6; y <= 17; y += 4) Line(C, clNavy, 1, {{8, y}, {17, y}});
       }},
      {"acStartingData", [](TCanvas* C) { Curve(C, clBlue); }},
      {"AcResultingData",
       [](TCanvas* C) {
         Curve(C, clBlue);
         Line(C, clRed, 2, {{3, 21}, {21, 15}});
       }},
      {"AcPolar",
       [](TCanvas* C) {
         C->Pen()->SetColor(clNavy);
         C->Brush()->SetStyle(bsClear);
         C->Ellipse(3, 3, 21, 21);
         C->Ellipse(8, 8, 16, 16);
         C->Brush()->SetStyle(bsSolid);
         Line(C, clNavy, 1, {{2, 12}, {22, 12}});
         Line(C, clNavy, 1, {{12, 2}, {12, 22}});
       }},
      {"AcOplogLines",
       [](TCanvas* C) {
         Box(C, clBlack, clWhite, 3, 3, 21, 21);
         for (int y = 6; y <= 18; y += 3) Line(C, clBlack, 1, {{5, y}, {19 - (y % 5), y}});
       }},
      {"AcIndVec",
       [](TCanvas* C) {
         Line(C, clBlack, 2, {{4, 20}, {18, 6}});
         Shape(C, clBlack, clBlack, {{20, 4}, {12, 7}, {17, 12}});
       }},
      {"AcPointer",
       [](TCanvas* C) {
         Shape(C, clBlack, clWhite, {{6, 3}, {6, 19}, {10, 15}, {13, 21}, {15, 20}, {12, 14}, {18, 14}});
       }},
      {"AcHand",
       [](TCanvas* C) {
         Shape(C, clBlack, 0x99CCFF,
               {{8, 21}, {5, 12}, {8, 11}, {10, 14}, {10, 4}, {13, 4}, {13, 11}, {19, 11}, {19, 21}});
       }},
      {"AcTwoVert",
       [](TCanvas* C) {
         Line(C, clRed, 2, {{7, 2}, {7, 22}});
         Line(C, clRed, 2, {{17, 2}, {17, 22}});
       }},
      {"AcCircle",
       [](TCanvas* C) {
         C->Pen()->SetColor(clRed);
         C->Pen()->SetWidth(2);
         C->Brush()->SetStyle(bsClear);
         C->Ellipse(3, 3, 21, 21);
         C->Brush()->SetStyle(bsSolid);
       }},
      {"AcLasso",
       [](TCanvas* C) {
         Line(C, clRed, 2, {{4, 10}, {8, 4}, {16, 3}, {21, 8}, {18, 15}, {10, 16}, {5, 13}, {9, 21}});
       }},
      {"AcTwoHorl",
       [](TCanvas* C) {
         Line(C, clRed, 2, {{2, 7}, {22, 7}});
         Line(C, clRed, 2, {{2, 17}, {22, 17}});
       }},
      {"AcEditing",
       [](TCanvas* C) {
         Curve(C, clBlue);
         Line(C, clRed, 2, {{12, 3}, {12, 21}});
       }},
      {"AcMaskEdit",
       [](TCanvas* C) {
         for (int y = 0; y < 4; ++y)
           for (int x = 0; x < 4; ++x)
             Box(C, clGray, (x + y) % 3 ? clGreen : clWhite, 3 + 5 * x, 3 + 5 * y, 8 + 5 * x, 8 + 5 * y);
       }},
      {"AcAutoEdit",
       [](TCanvas* C) {
         Curve(C, clBlue);
         Text(C, clRed, 2, 1, "A");
       }},
      {"AcAngleChg",
       [](TCanvas* C) {
         C->Pen()->SetColor(clGreen);
         C->Pen()->SetWidth(2);
         C->Arc(3, 3, 21, 21, 21, 12, 12, 3);
         Shape(C, clGreen, clGreen, {{12, 0}, {12, 7}, {7, 3}});
         Line(C, clBlack, 1, {{12, 12}, {21, 12}});
         Line(C, clBlack, 1, {{12, 12}, {18, 6}});
       }},
      {"AcOptions",
       [](TCanvas* C) {
         Box(C, clBlack, clSilver, 3, 5, 21, 19);
         Box(C, clBlack, clWhite, 6, 8, 10, 12);
         Box(C, clBlack, clWhite, 6, 13, 10, 17);
         Line(C, clBlack, 1, {{12, 10}, {19, 10}});
         Line(C, clBlack, 1, {{12, 15}, {19, 15}});
       }},
      {"AcLE", [](TCanvas* C) { Text(C, clNavy, 2, 5, "LE"); }},
      {"AcLH", [](TCanvas* C) { Text(C, clNavy, 2, 5, "LH"); }},
      {"AcRE", [](TCanvas* C) { Text(C, clMaroon, 2, 5, "RE"); }},
      {"AcRH", [](TCanvas* C) { Text(C, clMaroon, 2, 5, "RH"); }},
      {"AcMeanView",
       [](TCanvas* C) {
         Line(C, clBlue, 2, {{2, 12}, {22, 12}});
         for (int x : {5, 10, 15, 19}) Box(C, clBlack, clBlack, x, 8 + x % 7, x + 3, 11 + x % 7);
       }},
      {"AcStdView",
       [](TCanvas* C) {
         Line(C, clBlue, 1, {{12, 3}, {12, 21}});
         Line(C, clBlue, 1, {{8, 3}, {16, 3}});
         Line(C, clBlue, 1, {{8, 21}, {16, 21}});
         Box(C, clBlack, clRed, 9, 9, 16, 16);
       }},
      {"AcWeightView",
       [](TCanvas* C) {
         for (int i = 0; i < 5; ++i) Box(C, clBlack, clTeal, 2 + 4 * i, 20 - 3 * i - (i % 2) * 4, 5 + 4 * i, 21);
       }},
      {"AcRestoring",
       [](TCanvas* C) {
         Box(C, clBlack, clGreen, 4, 4, 20, 20);
         Line(C, clWhite, 3, {{12, 7}, {12, 17}});
         Line(C, clWhite, 3, {{7, 12}, {17, 12}});
       }},
      {"AcDeleting",
       [](TCanvas* C) {
         Box(C, clBlack, clRed, 4, 4, 20, 20);
         Line(C, clWhite, 3, {{7, 12}, {17, 12}});
       }},
      {"AcUndo",
       [](TCanvas* C) {
         Line(C, clNavy, 3, {{8, 9}, {16, 9}, {19, 13}, {16, 18}, {9, 18}});
         Shape(C, clNavy, clNavy, {{3, 9}, {9, 4}, {9, 14}});
       }},
      {"AcRedo",
       [](TCanvas* C) {
         Line(C, clNavy, 3, {{16, 9}, {8, 9}, {5, 13}, {8, 18}, {15, 18}});
         Shape(C, clNavy, clNavy, {{21, 9}, {15, 4}, {15, 14}});
       }},
      {"AcFirst",
       [](TCanvas* C) {
         Box(C, clBlack, clBlack, 4, 5, 7, 19);
         Shape(C, clBlack, clBlack, {{8, 12}, {19, 5}, {19, 19}});
       }},
      {"AcPrior",
       [](TCanvas* C) {
         Shape(C, clBlack, clBlack, {{6, 12}, {18, 5}, {18, 19}});
       }},
      {"AcNext",
       [](TCanvas* C) {
         Shape(C, clBlack, clBlack, {{18, 12}, {6, 5}, {6, 19}});
       }},
      {"AcLast",
       [](TCanvas* C) {
         Shape(C, clBlack, clBlack, {{16, 12}, {5, 5}, {5, 19}});
         Box(C, clBlack, clBlack, 17, 5, 20, 19);
       }},
  };
  return g;
}

}  // namespace

int ToolGlyphIndex(const std::string& ActionName) {
  const auto& g = Glyphs();
  for (size_t i = 0; i < g.size(); ++i)
    if (g[i].first == ActionName) return static_cast<int>(i);
  return -1;
}

void FillToolGlyphs(TImageList* Images) {
  Images->SetWidth(24);
  Images->SetHeight(24);
  for (const auto& [name, draw] : Glyphs()) {
    TBitmap b(24, 24, pf24bit);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(Mask);
    c->Pen()->SetColor(Mask);
    c->FillRect(Rect(0, 0, 24, 24));
    c->Brush()->SetStyle(bsSolid);
    draw(c);
    Images->AddMasked(&b, Mask);
  }
}

namespace {

// A 32 x 32 cursor picture drawn on the mask colour; the mask becomes transparent.
void RegisterCursorPicture(const std::string& Name, int HotX, int HotY, const TDraw& Draw) {
  TBitmap drawn(32, 32, pf24bit);
  TCanvas* c = drawn.Canvas();
  c->Brush()->SetColor(Mask);
  c->FillRect(Rect(0, 0, 32, 32));
  Draw(c);
  TBitmap cursor(32, 32, pf32bit);
  for (int y = 0; y < 32; ++y) {
    auto* row = static_cast<uint8_t*>(cursor.ScanLine(y));
    for (int x = 0; x < 32; ++x) {
      const TColor p = drawn.Canvas()->Pixels(x, y) & 0xFFFFFF;
      const bool clear = p == Mask;
      row[4 * x + 0] = clear ? 0 : static_cast<uint8_t>((p >> 16) & 0xFF);  // blue
      row[4 * x + 1] = clear ? 0 : static_cast<uint8_t>((p >> 8) & 0xFF);   // green
      row[4 * x + 2] = clear ? 0 : static_cast<uint8_t>(p & 0xFF);          // red
      row[4 * x + 3] = clear ? 0 : 255;
    }
  }
  RegisterCursorResource(Name, &cursor, HotX, HotY);
}

}  // namespace

void RegisterToolCursors() {
  // The circle tool: a bull's-eye whose centre is the hot spot.
  RegisterCursorPicture("BULLSEY5", 15, 15, [](TCanvas* C) {
    C->Brush()->SetStyle(bsClear);
    for (int r : {13, 8, 3}) {
      C->Pen()->SetColor(clWhite);
      C->Pen()->SetWidth(3);
      C->Ellipse(15 - r, 15 - r, 16 + r, 16 + r);
      C->Pen()->SetColor(clBlack);
      C->Pen()->SetWidth(1);
      C->Ellipse(15 - r, 15 - r, 16 + r, 16 + r);
    }
    Line(C, clBlack, 1, {{15, 0}, {15, 31}});
    Line(C, clBlack, 1, {{0, 15}, {31, 15}});
  });
  // A curve moved up or down: a hand between two arrows, the hot spot at the finger tip.
  RegisterCursorPicture("HANDUPDW", 15, 8, [](TCanvas* C) {
    Shape(C, clBlack, clWhite, {{15, 0}, {20, 6}, {10, 6}});
    Shape(C, clBlack, clWhite, {{15, 31}, {20, 25}, {10, 25}});
    Box(C, clBlack, clWhite, 13, 7, 18, 16);
    Box(C, clBlack, clWhite, 9, 14, 23, 24);
    Line(C, clBlack, 1, {{13, 14}, {13, 18}});
    Line(C, clBlack, 1, {{17, 14}, {17, 18}});
    Line(C, clBlack, 1, {{20, 14}, {20, 18}});
  });
}
