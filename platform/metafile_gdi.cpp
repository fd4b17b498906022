// Enhanced Metafiles and placeable Windows Metafiles: the writer replays a recording through a
// paint engine of its own that turns each drawing call into the records of the file format;
// the reader turns the records back into painter calls on a new recording.
#include "platform/qt_metafile.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "platform/codepage.h"
#include "platform/exceptions.h"
#include "platform/qt_graphics.h"

namespace vmqt {

namespace {

constexpr int kDpi = 96;
// Logical units of an Enhanced Metafile per pixel. Readers that turn curves into polygons put
// the corners on the logical grid: a finer grid keeps the curves smooth when the picture is
// enlarged.
constexpr int kSub = 16;
// A length in pixels in logical units, kept within what the file's numbers hold.
int32_t Sub(int64_t Pixels) { return static_cast<int32_t>(std::clamp<int64_t>(Pixels * kSub, INT32_MIN, INT32_MAX)); }

// ---- record and object numbers ----------------------------------------------------------------

enum : uint32_t {
  EMR_HEADER = 1,
  EMR_POLYGON = 3,
  EMR_POLYLINE = 4,
  EMR_POLYPOLYLINE = 7,
  EMR_POLYPOLYGON = 8,
  EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12,
  EMR_EOF = 14,
  EMR_SETPIXELV = 15,
  EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19,
  EMR_SETROP2 = 20,
  EMR_SETTEXTALIGN = 22,
  EMR_SETTEXTCOLOR = 24,
  EMR_SETBKCOLOR = 25,
  EMR_MOVETOEX = 27,
  EMR_EXCLUDECLIPRECT = 29,
  EMR_INTERSECTCLIPRECT = 30,
  EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43,
  EMR_ROUNDRECT = 44,
  EMR_ARC = 45,
  EMR_CHORD = 46,
  EMR_PIE = 47,
  EMR_LINETO = 54,
  EMR_ARCTO = 55,
  EMR_SETARCDIRECTION = 57,
  EMR_EXTSELECTCLIPRGN = 75,
  EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82,
  EMR_EXTTEXTOUTW = 84,
  EMR_POLYGON16 = 86,
  EMR_POLYLINE16 = 87,
  EMR_POLYPOLYLINE16 = 90,
  EMR_POLYPOLYGON16 = 91,
  EMR_EXTCREATEPEN = 95,
};
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"

enum : uint16_t {
  META_EOF = 0x0000,
  META_SAVEDC = 0x001E,
  META_SETBKMODE = 0x0102,
  META_SETMAPMODE = 0x0103,
  META_SETROP2 = 0x0104,
  META_SETPOLYFILLMODE = 0x0106,
  META_RESTOREDC = 0x0127,
  META_SELECTOBJECT = 0x012D,
  META_SETTEXTALIGN = 0x012E,
  META_DIBCREATEPATTERNBRUSH = 0x0142,
  META_DELETEOBJECT = 0x01F0,
  META_CREATEPALETTE = 0x00F7,
  META_CREATEPATTERNBRUSH = 0x01F9,
  META_SETBKCOLOR = 0x0201,
  META_SETTEXTCOLOR = 0x0209,
  META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C,
  META_LINETO = 0x0213,
  META_MOVETO = 0x0214,
  META_CREATEPENINDIRECT = 0x02FA,
  META_CREATEFONTINDIRECT = 0x02FB,
  META_CREATEBRUSHINDIRECT = 0x02FC,
  META_POLYGON = 0x0324,
  META_POLYLINE = 0x0325,
  META_EXCLUDECLIPRECT = 0x0415,
  META_INTERSECTCLIPRECT = 0x0416,
  META_ELLIPSE = 0x0418,
  META_RECTANGLE = 0x041B,
  META_SETPIXEL = 0x041F,
  META_ROUNDRECT = 0x061C,
  META_ARC = 0x0817,
  META_PIE = 0x081A,
  META_CHORD = 0x0830,
  META_TEXTOUT = 0x0521,
  META_POLYPOLYGON = 0x0538,
  META_CREATEREGION = 0x06FF,
  META_EXTTEXTOUT = 0x0A32,
  META_STRETCHDIB = 0x0F43,
};
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;

enum : uint32_t {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_ENDCAP_SQUARE = 0x100,
  PS_ENDCAP_FLAT = 0x200,
  PS_JOIN_BEVEL = 0x1000,
  PS_JOIN_MITER = 0x2000,
  PS_GEOMETRIC = 0x10000,
  BS_SOLID = 0,
  BS_NULL = 1,
  BS_HATCHED = 2,
  TA_UPDATECP = 1,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
  TRANSPARENT_MODE = 1,
  ALTERNATE = 1,
  WINDING = 2,
  R2_XORPEN = 7,
  R2_NOTXORPEN = 10,
  R2_COPYPEN = 13,
  RGN_AND = 1,
  RGN_OR = 2,
  RGN_XOR = 3,
  RGN_DIFF = 4,
  RGN_COPY = 5,
  SRCCOPY = 0x00CC0020,
  MM_TEXT = 1,
  MM_ISOTROPIC = 7,
  MM_ANISOTROPIC = 8,
  AD_CLOCKWISE = 2,
  ANSI_CHARSET = 0,
  DEFAULT_CHARSET = 1,
  RUSSIAN_CHARSET = 204,
};

uint32_t ColorRef(const QColor& C) {
  return static_cast<uint32_t>(C.red()) | static_cast<uint32_t>(C.green()) << 8 | static_cast<uint32_t>(C.blue()) << 16;
}
QColor FromColorRef(uint32_t C) { return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF); }

// ---- logical objects, as both formats describe them --------------------------------------------

struct LPen {
  uint32_t Style = PS_NULL;  // with the end-cap and join bits
  int Width = 1;
  uint32_t Color = 0;
  bool operator==(const LPen&) const = default;
};
struct LBrush {
  uint32_t Style = BS_NULL;
  uint32_t Color = 0;
  uint32_t Hatch = 0;
  bool operator==(const LBrush&) const = default;
};
struct LFont {
  int Height = 0;  // negative: the em height
  int Escapement = 0;
  int Weight = 400;
  bool Italic = false, Underline = false, StrikeOut = false;
  uint8_t CharSet = DEFAULT_CHARSET;
  QString Face;
  bool operator==(const LFont&) const = default;
};

// ---- little-endian bytes -------------------------------------------------------------------------

struct Bytes {
  std::string S;
  void U8(uint8_t V) { S.push_back(static_cast<char>(V)); }
  void U16(uint16_t V) {
    U8(V & 0xFF);
    U8(V >> 8);
  }
  void U32(uint32_t V) {
    U16(V & 0xFFFF);
    U16(V >> 16);
  }
  void I16(int V) { U16(static_cast<uint16_t>(static_cast<int16_t>(std::clamp(V, -32768, 32767)))); }
  void I32(int32_t V) { U32(static_cast<uint32_t>(V)); }
  void Patch32(size_t At, uint32_t V) {
    for (int i = 0; i < 4; ++i) S[At + i] = static_cast<char>((V >> (8 * i)) & 0xFF);
  }
  void Patch16(size_t At, uint16_t V) {
    S[At] = static_cast<char>(V & 0xFF);
    S[At + 1] = static_cast<char>(V >> 8);
  }
  void Pad(size_t To) {
    while (S.size() % To) U8(0);
  }
  void Append(const void* P, size_t N) { S.append(static_cast<const char*>(P), N); }
  size_t Size() const { return S.size(); }
};

// A DIB (header without file header) of the image, 24 bits, bottom-up rows.
std::string Dib(const QImage& Image, uint32_t& HeaderSize) {
  QImage img(Image.size(), QImage::Format_RGB32);
  img.fill(Qt::white);  // transparent parts come out on white paper
  {
    QPainter p(&img);
    p.drawImage(0, 0, Image);
  }
  Bytes b;
  const int w = img.width(), h = img.height();
  const int stride = (w * 3 + 3) & ~3;
  b.U32(40);
  b.I32(w);
  b.I32(h);
  b.U16(1);
  b.U16(24);
  b.U32(0);  // BI_RGB
  b.U32(static_cast<uint32_t>(stride * h));
  b.I32(3780);  // 96 per inch in pixels per metre
  b.I32(3780);
  b.U32(0);
  b.U32(0);
  HeaderSize = 40;
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      b.U8(qBlue(row[x]));
      b.U8(qGreen(row[x]));
      b.U8(qRed(row[x]));
    }
    for (int x = w * 3; x < stride; ++x) b.U8(0);
  }
  return b.S;
}

// ---- the two writers -----------------------------------------------------------------------------

// What the paint engine asks of a file: it keeps the device context's state and sends a record
// only when the state changes.
class Out {
public:
  virtual ~Out() = default;

  void Pen(const LPen& P) {
    if (!HavePen || !(P == CurPen)) {
      MakePen(P);
      CurPen = P;
      HavePen = true;
    }
  }
  void Brush(const LBrush& B) {
    if (!HaveBrush || !(B == CurBrush)) {
      MakeBrush(B);
      CurBrush = B;
      HaveBrush = true;
    }
  }
  void Font(const LFont& F) {
    if (!HaveFont || !(F == CurFont)) {
      MakeFont(F);
      CurFont = F;
      HaveFont = true;
    }
  }
  void TextColor(uint32_t C) {
    if (!HaveTextColor || C != CurTextColor) {
      Simple(TextColorRecord(), C, true);
      CurTextColor = C;
      HaveTextColor = true;
    }
  }
  void FillMode(uint32_t M) {
    if (CurFillMode != M) {
      Simple(FillModeRecord(), M, false);
      CurFillMode = M;
    }
  }
  void Rop2(uint32_t R) {
    if (CurRop2 != R) {
      Simple(Rop2Record(), R, false);
      CurRop2 = R;
    }
  }
  void TextAlign(uint32_t A) {
    if (CurAlign != A) {
      Simple(TextAlignRecord(), A, false);
      CurAlign = A;
    }
  }
  void Clip(const std::optional<QRegion>& R) {
    if (R != CurClip) {
      SetClip(R);
      CurClip = R;
    }
  }

  virtual void Polygon(const QPolygon& P) = 0;
  virtual void Polyline(const QPolygon& P) = 0;
  virtual void PolyPolygon(const std::vector<QPolygon>& Polys) = 0;
  // GDI's box: the right and bottom edges are left out.
  virtual void Ellipse(const QRect& Box) = 0;
  // An arc, pie or chord counter-clockwise from the ray through A to the ray through B, or a
  // round rectangle with corners A wide and high; Box's right and bottom are GDI's (left out).
  virtual void Curve(TCurveCall::TKind Kind, const QRect& Box, const QPoint& A, const QPoint& B) = 0;
  virtual void Pixel(const QPoint& P, uint32_t Color) = 0;
  // Text at its baseline's left end; Dx holds the advance of each UTF-16 unit.
  virtual void Text(const QPoint& At, const QString& S, const std::vector<int>& Dx) = 0;
  virtual void Image(const QRect& Dest, const QImage& Img) = 0;
  // The character set a font needs for this text (the Windows Metafile stores 8-bit text).
  virtual uint8_t CharSetFor(const QString&) { return DEFAULT_CHARSET; }
  virtual std::string Finish() = 0;

protected:
  virtual void MakePen(const LPen& P) = 0;
  virtual void MakeBrush(const LBrush& B) = 0;
  virtual void MakeFont(const LFont& F) = 0;
  virtual void SetClip(const std::optional<QRegion>& R) = 0;
  virtual uint32_t TextColorRecord() = 0;
  virtual uint32_t FillModeRecord() = 0;
  virtual uint32_t Rop2Record() = 0;
  virtual uint32_t TextAlignRecord() = 0;
  // A record of one 32-bit (Wide) or 16-bit value.
  virtual void Simple(uint32_t Record, uint32_t Value, bool Wide) = 0;

  // After the device context went back to its saved state (Windows Metafile clipping).
  void Forget() {
    HavePen = HaveBrush = HaveFont = HaveTextColor = false;
    CurFillMode = ALTERNATE;
    CurRop2 = R2_COPYPEN;
    CurAlign = 0;
  }

  LPen CurPen;
  LBrush CurBrush;
  LFont CurFont;
  bool HavePen = false, HaveBrush = false, HaveFont = false, HaveTextColor = false;
  uint32_t CurTextColor = 0, CurFillMode = ALTERNATE, CurRop2 = R2_COPYPEN, CurAlign = 0;
  std::optional<QRegion> CurClip;
};

QRect PolyBounds(const QPolygon& P) {
  if (P.isEmpty()) return QRect(0, 0, 0, 0);
  return P.boundingRect();
}

bool Fits16(const QPolygon& P, int Scale) {
  const int most = 32767 / Scale, least = -32768 / Scale;
  for (const QPoint& q : P)
    if (q.x() < least || q.x() > most || q.y() < least || q.y() > most) return false;
  return true;
}

class EmfOut : public Out {
public:
  EmfOut(int W, int H, const std::string& CreatedBy, const std::string& Description) : FW(W), FH(H) {
    if (!CreatedBy.empty() || !Description.empty())
      FDescription = ToQ(CreatedBy) + QChar(0) + ToQ(Description) + QChar(0) + QChar(0);
    Simple(EMR_SETBKMODE, TRANSPARENT_MODE, false);
    Simple(EMR_SETMAPMODE, MM_ANISOTROPIC, false);
    Extent(EMR_SETWINDOWEXTEX, W * int64_t{kSub}, H * int64_t{kSub});
    Extent(EMR_SETVIEWPORTEXTEX, W, H);
  }

  void Polygon(const QPolygon& P) override { Poly(P, EMR_POLYGON16, EMR_POLYGON); }
  void Polyline(const QPolygon& P) override { Poly(P, EMR_POLYLINE16, EMR_POLYLINE); }
  void PolyPolygon(const std::vector<QPolygon>& Polys) override { PolyPoly(Polys, EMR_POLYPOLYGON16, EMR_POLYPOLYGON); }

  void Ellipse(const QRect& Box) override {
    size_t at = Begin(EMR_ELLIPSE);
    RectL(Box.left(), Box.top(), Box.right() + 1, Box.bottom() + 1);
    End(at);
  }

  void Curve(TCurveCall::TKind Kind, const QRect& Box, const QPoint& A, const QPoint& P2) override {
    const bool round = Kind == TCurveCall::RoundRect;
    size_t at = Begin(round                       ? EMR_ROUNDRECT
                      : Kind == TCurveCall::Pie   ? EMR_PIE
                      : Kind == TCurveCall::Chord ? EMR_CHORD
                                                  : EMR_ARC);
    RectL(Box.left(), Box.top(), Box.right(), Box.bottom());
    Point(A);
    if (!round) Point(P2);
    End(at);
  }

  void Pixel(const QPoint& P, uint32_t Color) override {
    size_t at = Begin(EMR_SETPIXELV);
    Point(P);
    B.U32(Color);
    End(at);
  }

  void Text(const QPoint& At, const QString& S, const std::vector<int>& Dx) override {
    size_t at = Begin(EMR_EXTTEXTOUTW);
    DeviceRect(0, 0, -1, -1);  // bounds not computed
    B.U32(1);                  // GM_COMPATIBLE
    B.U32(0);                  // exScale, eyScale
    B.U32(0);
    Point(At);
    const uint32_t n = static_cast<uint32_t>(S.size());
    B.U32(n);
    const uint32_t offString = 76;
    const uint32_t offDx = offString + ((n * 2 + 3) & ~3u);
    B.U32(offString);
    B.U32(0);  // options
    DeviceRect(0, 0, -1, -1);
    B.U32(offDx);
    for (QChar c : S) B.U16(c.unicode());
    B.Pad(4);
    for (int d : Dx) B.I32(Sub(d));
    End(at);
  }

  void Image(const QRect& Dest, const QImage& Img) override {
    uint32_t headerSize = 0;
    std::string dib = Dib(Img, headerSize);
    size_t at = Begin(EMR_STRETCHDIBITS);
    Bounds(Dest);
    Point(Dest.topLeft());
    B.I32(0);
    B.I32(0);
    B.I32(Img.width());
    B.I32(Img.height());
    B.U32(80);
    B.U32(headerSize);
    B.U32(80 + headerSize);
    B.U32(static_cast<uint32_t>(dib.size() - headerSize));
    B.U32(0);  // DIB_RGB_COLORS
    B.U32(SRCCOPY);
    B.I32(Sub(Dest.width()));
    B.I32(Sub(Dest.height()));
    B.Append(dib.data(), dib.size());
    End(at);
  }

  std::string Finish() override {
    size_t at = Begin(EMR_EOF);
    B.U32(0);
    B.U32(16);
    B.U32(20);
    End(at);

    Bytes h;
    const uint32_t descChars = static_cast<uint32_t>(FDescription.size());
    const uint32_t headerSize = 108 + ((descChars * 2 + 3) & ~3u);
    const int32_t mmW = static_cast<int32_t>(std::lround(FW * 2540.0 / kDpi));
    const int32_t mmH = static_cast<int32_t>(std::lround(FH * 2540.0 / kDpi));
    h.U32(EMR_HEADER);
    h.U32(headerSize);
    h.I32(0);  // bounds, inclusive, in device units
    h.I32(0);
    h.I32(FW - 1);
    h.I32(FH - 1);
    h.I32(0);  // frame, in hundredths of a millimetre
    h.I32(0);
    h.I32(mmW);
    h.I32(mmH);
    h.U32(kEmfSignature);
    h.U32(0x10000);
    h.U32(static_cast<uint32_t>(headerSize + B.Size()));
    h.U32(Records + 1);
    h.U16(7);  // handles: the reserved 0, two pens, two brushes, two fonts
    h.U16(0);
    h.U32(descChars);
    h.U32(descChars ? 108 : 0);
    h.U32(0);  // palette entries
    // The reference device: 96 pixels per inch exactly (1920 x 960 pixels on 508 x 254 mm).
    h.I32(1920);
    h.I32(960);
    h.I32(508);
    h.I32(254);
    h.U32(0);  // pixel format
    h.U32(0);
    h.U32(0);  // OpenGL
    h.I32(508000);
    h.I32(254000);
    for (QChar c : FDescription) h.U16(c.unicode());
    h.Pad(4);
    return h.S + B.S;
  }

protected:
  void MakePen(const LPen& P) override {
    const uint32_t ix = FPen == 1 ? 2 : 1;
    size_t at;
    if (P.Width > 1 && (P.Style & 0xF) != PS_NULL) {
      at = Begin(EMR_EXTCREATEPEN);
      B.U32(ix);
      B.U32(0);  // no brush bitmap
      B.U32(0);
      B.U32(0);
      B.U32(0);
      B.U32(PS_GEOMETRIC | P.Style);
      B.U32(static_cast<uint32_t>(Sub(P.Width)));
      B.U32(BS_SOLID);
      B.U32(P.Color);
      B.U32(0);
      B.U32(0);  // no style entries
    } else {
      at = Begin(EMR_CREATEPEN);
      B.U32(ix);
      B.U32(P.Style & 0xF);
      B.I32(0);  // one pixel, whatever the mapping
      B.I32(0);
      B.U32(P.Color);
    }
    End(at);
    Swap(ix, FPen);
  }

  void MakeBrush(const LBrush& Br) override {
    const uint32_t ix = FBrush == 3 ? 4 : 3;
    size_t at = Begin(EMR_CREATEBRUSHINDIRECT);
    B.U32(ix);
    B.U32(Br.Style);
    B.U32(Br.Color);
    B.U32(Br.Hatch);
    End(at);
    Swap(ix, FBrush);
  }

  void MakeFont(const LFont& F) override {
    const uint32_t ix = FFont == 5 ? 6 : 5;
    size_t at = Begin(EMR_EXTCREATEFONTINDIRECTW);
    B.U32(ix);
    B.I32(Sub(F.Height));
    B.I32(0);
    B.I32(F.Escapement);
    B.I32(F.Escapement);
    B.I32(F.Weight);
    B.U8(F.Italic);
    B.U8(F.Underline);
    B.U8(F.StrikeOut);
    B.U8(F.CharSet);
    B.U8(0);  // precision and quality: defaults
    B.U8(0);
    B.U8(0);
    B.U8(0);
    QString face = F.Face.left(31);
    for (int i = 0; i < 32; ++i) B.U16(i < face.size() ? face[i].unicode() : 0);
    // The rest of the panose form (full name, style, version ... panose, padding): empty.
    for (int i = 0; i < 320 - 92; ++i) B.U8(0);
    End(at);
    Swap(ix, FFont);
  }

  // The clipping goes back to none, then the region is cut from rectangles in logical units:
  // some readers take a copied region as that reset and drop its rectangles, and some read the
  // device units of a region record as logical ones.
  void SetClip(const std::optional<QRegion>& R) override {
    size_t at = Begin(EMR_EXTSELECTCLIPRGN);
    B.U32(0);
    B.U32(RGN_COPY);
    End(at);
    if (!R) return;
    const QRect bound = R->boundingRect();
    ClipRect(EMR_INTERSECTCLIPRECT, bound);
    for (const QRect& r : QRegion(bound).subtracted(*R)) ClipRect(EMR_EXCLUDECLIPRECT, r);
  }

  uint32_t TextColorRecord() override { return EMR_SETTEXTCOLOR; }
  uint32_t FillModeRecord() override { return EMR_SETPOLYFILLMODE; }
  uint32_t Rop2Record() override { return EMR_SETROP2; }
  uint32_t TextAlignRecord() override { return EMR_SETTEXTALIGN; }
  void Simple(uint32_t Record, uint32_t Value, bool) override {
    size_t at = Begin(Record);
    B.U32(Value);
    End(at);
  }

private:
  size_t Begin(uint32_t Type) {
    size_t at = B.Size();
    B.U32(Type);
    B.U32(0);
    return at;
  }
  void End(size_t At) {
    B.Pad(4);
    B.Patch32(At + 4, static_cast<uint32_t>(B.Size() - At));
    ++Records;
  }
  // A box or point in pixels, written in logical units.
  void RectL(int L, int T, int R, int Bm) {
    Point(QPoint(L, T));
    Point(QPoint(R, Bm));
  }
  void Point(const QPoint& P) {
    B.I32(Sub(P.x()));
    B.I32(Sub(P.y()));
  }
  // Bounds are in device units: pixels.
  void DeviceRect(int L, int T, int R, int Bm) {
    B.I32(L);
    B.I32(T);
    B.I32(R);
    B.I32(Bm);
  }
  void Bounds(const QRect& R) { DeviceRect(R.left(), R.top(), R.right(), R.bottom()); }
  void ClipRect(uint32_t Type, const QRect& R) {
    size_t at = Begin(Type);
    // The right and bottom edges are left out; a region may reach the end of the numbers.
    B.I32(Sub(R.left()));
    B.I32(Sub(R.top()));
    B.I32(Sub(R.right() + int64_t{1}));
    B.I32(Sub(R.bottom() + int64_t{1}));
    End(at);
  }
  void Extent(uint32_t Type, int64_t X, int64_t Y) {
    size_t at = Begin(Type);
    B.I32(static_cast<int32_t>(std::min<int64_t>(X, INT32_MAX)));
    B.I32(static_cast<int32_t>(std::min<int64_t>(Y, INT32_MAX)));
    End(at);
  }

  // Selects the new object and deletes the one it replaces.
  void Swap(uint32_t New, uint32_t& Current) {
    size_t at = Begin(EMR_SELECTOBJECT);
    B.U32(New);
    End(at);
    if (Current) {
      at = Begin(EMR_DELETEOBJECT);
      B.U32(Current);
      End(at);
    }
    Current = New;
  }

  void Poly(const QPolygon& P, uint32_t Short, uint32_t Long) {
    const bool small = Fits16(P, kSub);
    size_t at = Begin(small ? Short : Long);
    Bounds(PolyBounds(P));
    B.U32(static_cast<uint32_t>(P.size()));
    Points(P, small);
    End(at);
  }

  void PolyPoly(const std::vector<QPolygon>& Polys, uint32_t Short, uint32_t Long) {
    bool small = true;
    uint32_t total = 0;
    QRect bound;
    for (const QPolygon& p : Polys) {
      small = small && Fits16(p, kSub);
      total += static_cast<uint32_t>(p.size());
      bound |= PolyBounds(p);
    }
    size_t at = Begin(small ? Short : Long);
    Bounds(bound);
    B.U32(static_cast<uint32_t>(Polys.size()));
    B.U32(total);
    for (const QPolygon& p : Polys) B.U32(static_cast<uint32_t>(p.size()));
    for (const QPolygon& p : Polys) Points(p, small);
    End(at);
  }

  void Points(const QPolygon& P, bool Small) {
    for (const QPoint& q : P) {
      if (Small) {
        B.I16(q.x() * kSub);
        B.I16(q.y() * kSub);
      } else {
        Point(q);
      }
    }
  }

  Bytes B;
  int FW, FH;
  QString FDescription;
  uint32_t Records = 0;
  uint32_t FPen = 0, FBrush = 0, FFont = 0;
};

class WmfOut : public Out {
public:
  WmfOut(int W, int H) : FW(W), FH(H) {
    size_t at = Begin(META_SETWINDOWORG);
    B.I16(0);
    B.I16(0);
    End(at);
    at = Begin(META_SETWINDOWEXT);
    B.I16(H);
    B.I16(W);
    End(at);
    Simple(META_SETBKMODE, TRANSPARENT_MODE, false);
  }

  void Polygon(const QPolygon& P) override {
    size_t at = Begin(META_POLYGON);
    B.I16(static_cast<int>(P.size()));
    Points(P);
    End(at);
  }
  void Polyline(const QPolygon& P) override {
    size_t at = Begin(META_POLYLINE);
    B.I16(static_cast<int>(P.size()));
    Points(P);
    End(at);
  }
  void PolyPolygon(const std::vector<QPolygon>& Polys) override {
    size_t at = Begin(META_POLYPOLYGON);
    B.I16(static_cast<int>(Polys.size()));
    for (const QPolygon& p : Polys) B.I16(static_cast<int>(p.size()));
    for (const QPolygon& p : Polys) Points(p);
    End(at);
  }
  void Ellipse(const QRect& Box) override {
    size_t at = Begin(META_ELLIPSE);
    B.I16(Box.bottom() + 1);
    B.I16(Box.right() + 1);
    B.I16(Box.top());
    B.I16(Box.left());
    End(at);
  }
  void Curve(TCurveCall::TKind Kind, const QRect& Box, const QPoint& A, const QPoint& P2) override {
    const bool round = Kind == TCurveCall::RoundRect;
    size_t at = Begin(round                       ? META_ROUNDRECT
                      : Kind == TCurveCall::Pie   ? META_PIE
                      : Kind == TCurveCall::Chord ? META_CHORD
                                                  : META_ARC);
    if (round) {
      B.I16(A.y());
      B.I16(A.x());
    } else {
      B.I16(P2.y());
      B.I16(P2.x());
      B.I16(A.y());
      B.I16(A.x());
    }
    B.I16(Box.bottom());
    B.I16(Box.right());
    B.I16(Box.top());
    B.I16(Box.left());
    End(at);
  }
  void Pixel(const QPoint& P, uint32_t Color) override {
    size_t at = Begin(META_SETPIXEL);
    B.U32(Color);
    B.I16(P.y());
    B.I16(P.x());
    End(at);
  }

  uint8_t CharSetFor(const QString& S) override {
    for (QChar c : S)
      if (c.unicode() > 0xFF) return RUSSIAN_CHARSET;
    return ANSI_CHARSET;
  }

  void Text(const QPoint& At, const QString& S, const std::vector<int>& Dx) override {
    // One byte and one advance per character (a pair of surrogates is one character).
    std::string bytes;
    std::vector<int> dx;
    const bool cyrillic = CurFont.CharSet == RUSSIAN_CHARSET;
    for (qsizetype i = 0; i < S.size(); ++i) {
      int adv = i < static_cast<qsizetype>(Dx.size()) ? Dx[i] : 0;
      char32_t cp = S[i].unicode();
      if (S[i].isHighSurrogate() && i + 1 < S.size() && S[i + 1].isLowSurrogate()) {
        cp = QChar::surrogateToUcs4(S[i], S[i + 1]);
        if (i + 1 < static_cast<qsizetype>(Dx.size())) adv += Dx[i + 1];
        ++i;
      }
      if (cyrillic) {
        std::string one = Utf8ToCp1251(FromQ(QString::fromUcs4(&cp, 1)));
        bytes.push_back(one.empty() ? '?' : one[0]);
      } else {
        bytes.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
      }
      dx.push_back(adv);
    }
    size_t at = Begin(META_EXTTEXTOUT);
    B.I16(At.y());
    B.I16(At.x());
    B.I16(static_cast<int>(bytes.size()));
    B.U16(0);  // no options, so no rectangle
    B.Append(bytes.data(), bytes.size());
    B.Pad(2);
    for (int d : dx) B.I16(d);
    End(at);
  }

  void Image(const QRect& Dest, const QImage& Img) override {
    uint32_t headerSize = 0;
    std::string dib = Dib(Img, headerSize);
    size_t at = Begin(META_STRETCHDIB);
    B.U32(SRCCOPY);
    B.U16(0);  // DIB_RGB_COLORS
    B.I16(Img.height());
    B.I16(Img.width());
    B.I16(0);
    B.I16(0);
    B.I16(Dest.height());
    B.I16(Dest.width());
    B.I16(Dest.top());
    B.I16(Dest.left());
    B.Append(dib.data(), dib.size());
    End(at);
  }

  std::string Finish() override {
    size_t at = Begin(META_EOF);
    End(at);

    Bytes h;
    h.U32(kPlaceableKey);
    h.U16(0);
    h.I16(0);
    h.I16(0);
    h.I16(FW);
    h.I16(FH);
    h.U16(kDpi);
    h.U32(0);
    uint16_t sum = 0;
    for (size_t i = 0; i < h.Size(); i += 2)
      sum ^= static_cast<uint16_t>(static_cast<uint8_t>(h.S[i]) | static_cast<uint8_t>(h.S[i + 1]) << 8);
    h.U16(sum);
    h.U16(1);  // in memory
    h.U16(9);
    h.U16(0x0300);
    h.U32(static_cast<uint32_t>((18 + B.Size()) / 2));
    h.U16(static_cast<uint16_t>(FSlots.size()));
    h.U32(FMaxRecord);
    h.U16(0);
    return h.S + B.S;
  }

protected:
  void MakePen(const LPen& P) override {
    size_t at = Begin(META_CREATEPENINDIRECT);
    B.U16(static_cast<uint16_t>(P.Style));
    B.I16(P.Width);
    B.I16(0);
    B.U32(P.Color);
    End(at);
    Swap(FPen);
  }
  void MakeBrush(const LBrush& Br) override {
    size_t at = Begin(META_CREATEBRUSHINDIRECT);
    B.U16(static_cast<uint16_t>(Br.Style));
    B.U32(Br.Color);
    B.U16(static_cast<uint16_t>(Br.Hatch));
    End(at);
    Swap(FBrush);
  }
  void MakeFont(const LFont& F) override {
    size_t at = Begin(META_CREATEFONTINDIRECT);
    B.I16(F.Height);
    B.I16(0);
    B.I16(F.Escapement);
    B.I16(F.Escapement);
    B.I16(F.Weight);
    B.U8(F.Italic);
    B.U8(F.Underline);
    B.U8(F.StrikeOut);
    B.U8(F.CharSet);
    B.U32(0);  // precision, quality, pitch and family: defaults
    std::string face = F.Face.toLatin1().toStdString().substr(0, 31);
    face.resize(32, '\0');
    B.Append(face.data(), face.size());
    End(at);
    Swap(FFont);
  }

  // A Windows Metafile cannot take a clipping region back: the state is saved once before the
  // first clipping and restored before each new one (which also deselects the objects).
  void SetClip(const std::optional<QRegion>& R) override {
    if (FSaved) {
      size_t at = Begin(META_RESTOREDC);
      B.I16(-1);
      End(at);
      FSaved = false;
      Forget();
    }
    if (!R) return;
    Simple(META_SAVEDC, 0, false);
    FSaved = true;
    QRect bound = R->boundingRect();
    ClipRect(META_INTERSECTCLIPRECT, bound);
    for (const QRect& r : QRegion(bound).subtracted(*R)) ClipRect(META_EXCLUDECLIPRECT, r);
  }

  uint32_t TextColorRecord() override { return META_SETTEXTCOLOR; }
  uint32_t FillModeRecord() override { return META_SETPOLYFILLMODE; }
  uint32_t Rop2Record() override { return META_SETROP2; }
  uint32_t TextAlignRecord() override { return META_SETTEXTALIGN; }
  void Simple(uint32_t Record, uint32_t Value, bool Wide) override {
    size_t at = Begin(static_cast<uint16_t>(Record));
    if (Record != META_SAVEDC) {
      if (Wide)
        B.U32(Value);
      else
        B.U16(static_cast<uint16_t>(Value));
    }
    End(at);
  }

private:
  size_t Begin(uint16_t Function) {
    size_t at = B.Size();
    B.U32(0);
    B.U16(Function);
    return at;
  }
  void End(size_t At) {
    B.Pad(2);
    const uint32_t words = static_cast<uint32_t>((B.Size() - At) / 2);
    B.Patch32(At, words);
    FMaxRecord = std::max(FMaxRecord, words);
  }
  void Points(const QPolygon& P) {
    for (const QPoint& q : P) {
      B.I16(q.x());
      B.I16(q.y());
    }
  }
  void ClipRect(uint16_t Function, const QRect& R) {
    size_t at = Begin(Function);
    B.I16(static_cast<int>(
        std::min<int64_t>(R.bottom() + int64_t{1}, 32767)));  // a region may reach the end of the numbers
    B.I16(static_cast<int>(std::min<int64_t>(R.right() + int64_t{1}, 32767)));
    B.I16(R.top());
    B.I16(R.left());
    End(at);
  }

  // The object just made takes the lowest free slot; it is selected and the one it replaces
  // is deleted, which frees that slot.
  void Swap(int& Current) {
    int slot = 0;
    while (slot < static_cast<int>(FSlots.size()) && FSlots[slot]) ++slot;
    if (slot == static_cast<int>(FSlots.size())) FSlots.push_back(false);
    FSlots[slot] = true;
    size_t at = Begin(META_SELECTOBJECT);
    B.U16(static_cast<uint16_t>(slot));
    End(at);
    if (Current >= 0) {
      at = Begin(META_DELETEOBJECT);
      B.U16(static_cast<uint16_t>(Current));
      End(at);
      FSlots[Current] = false;
    }
    Current = slot;
  }

  Bytes B;
  int FW, FH;
  uint32_t FMaxRecord = 3;
  std::vector<bool> FSlots;
  int FPen = -1, FBrush = -1, FFont = -1;
  bool FSaved = false;
};

// ---- the paint engine that feeds a writer ------------------------------------------------------

class GdiEngine : public QPaintEngine {
public:
  GdiEngine(Out& O, int Dpi, const TCurveCalls& Curves)
      : QPaintEngine(QPaintEngine::AllFeatures), FOut(O), FDpi(Dpi), FCurves(Curves) {}

  bool begin(QPaintDevice*) override { return true; }
  bool end() override {
    Flush();
    return true;
  }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState& S) override {
    Flush();
    const auto dirty = S.state();
    if (dirty & DirtyTransform) FT = S.transform();
    if (dirty & DirtyPen) FPen = S.pen();
    if (dirty & DirtyBrush) FBrush = S.brush();
    if (dirty & DirtyFont) FFont = S.font();
    if (dirty & DirtyCompositionMode) FComp = S.compositionMode();
    if (dirty & DirtyClipEnabled) FClipOn = S.isClipEnabled();
    if (dirty & DirtyClipRegion) ClipBy(S.clipOperation(), FT.map(S.clipRegion()));
    if (dirty & DirtyClipPath)
      ClipBy(S.clipOperation(), QRegion(FT.map(S.clipPath()).toFillPolygon().toPolygon(), S.clipPath().fillRule()));
  }

  void drawPolygon(const QPointF* Points, int Count, PolygonDrawMode Mode) override {
    if (Mode == PolylineMode) {
      QPolygonF device;
      for (int i = 0; i < Count; ++i) device << FT.map(Points[i]);
      Stroke(device);
      return;
    }
    Flush();
    QPolygon poly = Device(Points, Count);
    FOut.FillMode(Mode == WindingMode ? WINDING : ALTERNATE);
    if (!Prepare(PenOn(), BrushOn())) return;
    FOut.Polygon(poly);
  }

  void drawRects(const QRectF* Rects, int Count) override {
    for (int i = 0; i < Count; ++i) {
      const QRectF& r = Rects[i];
      QPointF pts[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
      drawPolygon(pts, 4, OddEvenMode);
    }
  }

  void drawLines(const QLineF* Lines, int Count) override {
    for (int i = 0; i < Count; ++i) Stroke(QPolygonF({FT.map(Lines[i].p1()), FT.map(Lines[i].p2())}));
  }

  void drawEllipse(const QRectF& R) override {
    Flush();
    if (FT.type() > QTransform::TxScale) {  // turned or sheared: as a path
      QPainterPath path;
      path.addEllipse(R);
      drawPath(path);
      return;
    }
    if (!Prepare(PenOn(), BrushOn())) return;
    QPoint a = Device(R.topLeft()), b = Device(R.bottomRight());
    FOut.Ellipse(QRect(a, b).normalized());
  }

  void drawPoints(const QPointF* Points, int Count) override {
    Flush();
    if (!PenOn()) return;
    Prepare(false, false);
    const uint32_t c = ColorRef(FPen.color());
    for (int i = 0; i < Count; ++i) FOut.Pixel(Floor(FT.map(Points[i])), c);
  }

  void drawPath(const QPainterPath& Path) override {
    Flush();
    if (CurveRecord(Path)) return;
    std::vector<QPolygon> polys;
    bool closed = true;
    for (const QPolygonF& p : Path.toSubpathPolygons(FT)) {
      if (p.size() < 2) continue;
      QPolygon q;
      q.reserve(p.size());
      for (const QPointF& pt : p) q << Vertex(pt);
      closed = closed && p.isClosed();
      polys.push_back(std::move(q));
    }
    if (polys.empty()) return;
    const bool pen = PenOn(), brush = BrushOn();
    if (brush) {
      FOut.FillMode(Path.fillRule() == Qt::WindingFill ? WINDING : ALTERNATE);
      const bool both = pen && closed;
      if (Prepare(both, true)) {
        if (polys.size() == 1)
          FOut.Polygon(polys[0]);
        else
          FOut.PolyPolygon(polys);
      }
      if (both) return;
    }
    if (pen) {
      for (const QPolygonF& p : Path.toSubpathPolygons(FT))
        if (p.size() >= 2) Stroke(p);
    }
  }

  void drawTextItem(const QPointF& P, const QTextItem& Item) override {
    Flush();
    const QString s = Item.text();
    if (s.isEmpty()) return;
    const QFont font = Item.font();
    const double scale = std::sqrt(std::abs(FT.determinant()));
    const double px = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * FDpi / 72.0;
    const double angle = qRadiansToDegrees(std::atan2(FT.m12(), FT.m11()));
    LFont f;
    f.Height = -std::max(1, static_cast<int>(std::lround(px * scale)));
    f.Escapement = (static_cast<int>(std::lround(-angle * 10)) % 3600 + 3600) % 3600;
    f.Weight = font.weight();
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.StrikeOut = font.strikeOut();
    f.CharSet = FOut.CharSetFor(s);
    f.Face = font.family();
    // The advance of each character, so that readers keep the text's width.
    QFontMetricsF fm(font);
    std::vector<int> dx(static_cast<size_t>(s.size()), 0);
    double before = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
      qsizetype n = (s[i].isHighSurrogate() && i + 1 < s.size()) ? 2 : 1;
      double after = fm.horizontalAdvance(s.left(i + n));
      dx[i] = static_cast<int>(std::lround(after * scale) - std::lround(before * scale));
      before = after;
      i += n - 1;
    }
    Prepare(false, false);
    FOut.Font(f);
    FOut.TextColor(ColorRef(FPen.color()));
    FOut.TextAlign(TA_BASELINE);
    const QPointF at = FT.map(P);
    FOut.Text(QPoint(Whole(std::round(at.x())), Whole(std::round(at.y()))), s, dx);
  }

  void drawPixmap(const QRectF& R, const QPixmap& Pm, const QRectF& Sr) override {
    drawImage(R, Pm.toImage(), Sr, Qt::AutoColor);
  }

  void drawImage(const QRectF& R, const QImage& Img, const QRectF& Sr, Qt::ImageConversionFlags) override {
    Flush();
    QRect src = Sr.toAlignedRect().intersected(Img.rect());
    if (src.isEmpty()) return;
    QRectF d = FT.mapRect(R);
    QRect dest(Floor(d.topLeft()), Floor(d.bottomRight()));
    dest.setSize(QSize(dest.width() - 1, dest.height() - 1));  // QRect(p1, p2) holds p2
    if (dest.isEmpty()) return;
    Prepare(false, false);
    FOut.Image(dest, Img.copy(src));
  }

private:
  // A path that is the next of the curves the canvas drew, on a mapping that keeps axes, goes
  // out as the curve's own record; false when it is none of them.
  bool CurveRecord(const QPainterPath& Path) {
    if (FT.type() > QTransform::TxScale) return false;
    constexpr size_t kLookAhead = 16;  // curves whose paths did not reach this engine
    const size_t last = std::min(FCurves.size(), FNextCurve + kLookAhead);
    size_t i = FNextCurve;
    while (i < last && !(FCurves[i].Path == Path)) ++i;
    if (i == last) return false;
    FNextCurve = i + 1;
    const TCurveCall& c = FCurves[i];
    const QPointF p1 = FT.map(c.Box.topLeft()), p2 = FT.map(c.Box.bottomRight());
    auto whole = [](const QPointF& P) { return QPoint(Whole(std::round(P.x())), Whole(std::round(P.y()))); };
    const QRect box(whole(QPointF(std::min(p1.x(), p2.x()), std::min(p1.y(), p2.y()))),
                    whole(QPointF(std::max(p1.x(), p2.x()), std::max(p1.y(), p2.y()))));
    QPoint a, b;
    if (c.Kind == TCurveCall::RoundRect) {
      a = whole(QPointF(std::abs(c.A.x() * FT.m11()), std::abs(c.A.y() * FT.m22())));
    } else {
      a = whole(FT.map(c.A));
      b = whole(FT.map(c.B));
      if (FT.m11() * FT.m22() < 0) std::swap(a, b);  // a mirrored mapping turns the other way
    }
    const bool open = c.Kind == TCurveCall::Arc || c.Kind == TCurveCall::ArcTo;
    if (c.Kind == TCurveCall::ArcTo && Path.elementCount() > 1 && PenOn()) {  // the line to the arc's start
      Stroke(QPolygonF({FT.map(c.From), FT.map(QPointF(Path.elementAt(1)))}));
      Flush();
    }
    if (!Prepare(PenOn(), BrushOn() && !open)) return true;
    FOut.Curve(c.Kind == TCurveCall::ArcTo ? TCurveCall::Arc : c.Kind, box, a, b);
    return true;
  }

  bool PenOn() const { return FPen.style() != Qt::NoPen; }
  bool BrushOn() const { return FBrush.style() != Qt::NoBrush; }

  // A whole device coordinate, kept within what the files' coordinates can hold.
  static int Whole(double V) { return static_cast<int>(std::clamp(V, -1e7, 1e7)); }
  static QPoint Floor(const QPointF& P) {
    return QPoint(Whole(std::floor(P.x() + 1e-6)), Whole(std::floor(P.y() + 1e-6)));
  }
  // Shapes: the painter fills the pixels whose corner lies in [left, right), as GDI does with
  // whole coordinates; a fraction moves the edge to the next pixel (a point drawn as the unit
  // square around it keeps its pixel).
  static QPoint Vertex(const QPointF& P) {
    return QPoint(Whole(std::ceil(P.x() - 1e-6)), Whole(std::ceil(P.y() - 1e-6)));
  }
  QPoint Device(const QPointF& P) const { return Vertex(FT.map(P)); }
  QPolygon Device(const QPointF* Points, int Count) const {
    QPolygon p;
    p.reserve(Count);
    for (int i = 0; i < Count; ++i) p << Device(Points[i]);
    return p;
  }

  // The ends of a line in GDI's sense (the last pixel left out). A one-pixel line of the
  // canvas is moved off the whole coordinates by a known offset so that the raster engine
  // takes GDI's pixels; that offset is taken back here, so the file holds the canvas' own ends.
  void LineEnds(const QLineF& L, QPoint& A, QPoint& B) const {
    const double fx = L.dx(), fy = L.dy();
    const double dx = std::round(fx), dy = std::round(fy);
    if (std::abs(fx) < 1e7 && std::abs(fy) < 1e7 && FPen.isCosmetic() && FPen.widthF() <= 1 &&
        std::abs(fx - dx) < 1e-6 && std::abs(fy - dy) < 1e-6 && (dx || dy)) {
      double ox, oy;
      if (std::abs(dx) >= std::abs(dy)) {
        const double t = dx > 0 ? -0.5 : 0.5, slope = static_cast<double>(dy) / dx;
        ox = 0.5 + t;
        oy = 0.5 + t * slope + (slope < 0 ? slope / 2 : 0);
      } else {
        const double t = dy > 0 ? -0.5 : 0.5, slope = static_cast<double>(dx) / dy;
        oy = 0.5 + t;
        ox = 0.5 + t * slope + (slope < 0 ? slope / 2 : 0);
      }
      const double x0 = L.x1() - ox, y0 = L.y1() - oy;
      if (std::abs(x0 - std::round(x0)) < 1e-6 && std::abs(y0 - std::round(y0)) < 1e-6) {
        A = QPoint(Whole(std::round(x0)), Whole(std::round(y0)));
        B = QPoint(Whole(A.x() + dx), Whole(A.y() + dy));
        return;
      }
    }
    A = Floor(L.p1());
    B = Floor(L.p2());
  }

  void Flush() {
    if (FRun.size() >= 2) FOut.Polyline(FRun);
    FRun.clear();
  }

  // A line through points in device units. Lines come one by one (the canvas draws a polyline
  // segment by segment); those that go on where the last ended join it in one polyline.
  void Stroke(const QPolygonF& Device) {
    if (!Prepare(true, false)) return;
    for (qsizetype i = 1; i < Device.size(); ++i) {
      QPoint a, b;
      LineEnds(QLineF(Device[i - 1], Device[i]), a, b);
      if (FRun.isEmpty() || FRun.last() != a) {
        Flush();
        FRun << a;
      }
      FRun << b;
    }
  }

  void ClipBy(Qt::ClipOperation Op, const QRegion& R) {
    switch (Op) {
      case Qt::NoClip:
        FClip.reset();
        FClipOn = false;
        break;
      case Qt::ReplaceClip:
        FClip = R;
        FClipOn = true;
        break;
      case Qt::IntersectClip:
        FClip = FClip ? FClip->intersected(R) : R;
        FClipOn = true;
        break;
    }
  }

  LPen MakePen(bool On) const {
    LPen p;
    if (!On) return p;
    switch (FPen.style()) {
      case Qt::DashLine:
        p.Style = PS_DASH;
        break;
      case Qt::DotLine:
        p.Style = PS_DOT;
        break;
      case Qt::DashDotLine:
        p.Style = PS_DASHDOT;
        break;
      case Qt::DashDotDotLine:
        p.Style = PS_DASHDOTDOT;
        break;
      case Qt::CustomDashLine: {
        const qsizetype n = FPen.dashPattern().size();
        p.Style = n >= 6                                  ? PS_DASHDOTDOT
                  : n >= 4                                ? PS_DASHDOT
                  : (n >= 2 && FPen.dashPattern()[0] > 2) ? PS_DASH
                                                          : PS_DOT;
        break;
      }
      default:
        p.Style = PS_SOLID;
        break;
    }
    const double scale = std::sqrt(std::abs(FT.determinant()));
    p.Width = FPen.isCosmetic() ? std::max(1, static_cast<int>(std::lround(FPen.widthF())))
                                : std::max(1, static_cast<int>(std::lround(FPen.widthF() * scale)));
    if (p.Width > 1) {
      p.Style |= FPen.capStyle() == Qt::FlatCap     ? PS_ENDCAP_FLAT
                 : FPen.capStyle() == Qt::SquareCap ? PS_ENDCAP_SQUARE
                                                    : 0u;
      p.Style |= FPen.joinStyle() == Qt::BevelJoin                                             ? PS_JOIN_BEVEL
                 : (FPen.joinStyle() == Qt::MiterJoin || FPen.joinStyle() == Qt::SvgMiterJoin) ? PS_JOIN_MITER
                                                                                               : 0u;
    }
    p.Color = ColorRef(FPen.color());
    return p;
  }

  LBrush MakeBrush(bool On) const {
    LBrush b;
    if (!On) return b;
    b.Style = BS_SOLID;
    b.Color = ColorRef(FBrush.color());
    switch (FBrush.style()) {
      case Qt::HorPattern:
        b.Style = BS_HATCHED;
        b.Hatch = 0;
        break;
      case Qt::VerPattern:
        b.Style = BS_HATCHED;
        b.Hatch = 1;
        break;
      case Qt::FDiagPattern:
        b.Style = BS_HATCHED;
        b.Hatch = 2;
        break;
      case Qt::BDiagPattern:
        b.Style = BS_HATCHED;
        b.Hatch = 3;
        break;
      case Qt::CrossPattern:
        b.Style = BS_HATCHED;
        b.Hatch = 4;
        break;
      case Qt::DiagCrossPattern:
        b.Style = BS_HATCHED;
        b.Hatch = 5;
        break;
      case Qt::TexturePattern: {
        // A pattern bitmap: its first pixel's colour stands for it.
        QImage t = FBrush.textureImage();
        if (!t.isNull()) b.Color = ColorRef(t.pixelColor(0, 0));
        break;
      }
      default:
        break;
    }
    return b;
  }

  // Sends the clipping, the mix mode, and the pen and brush (null when not wanted); false when
  // nothing would be drawn.
  bool Prepare(bool Stroke, bool Fill) {
    if (!Stroke && !Fill) {
      FOut.Clip(FClipOn ? FClip : std::nullopt);
      FOut.Rop2(Rop2());
      return false;
    }
    FOut.Clip(FClipOn ? FClip : std::nullopt);
    FOut.Rop2(Rop2());
    FOut.Pen(MakePen(Stroke));
    FOut.Brush(MakeBrush(Fill));
    return true;
  }

  uint32_t Rop2() const {
    switch (FComp) {
      case QPainter::RasterOp_SourceXorDestination:
        return R2_XORPEN;
      case QPainter::RasterOp_NotSourceXorDestination:
        return R2_NOTXORPEN;
      default:
        return R2_COPYPEN;
    }
  }

  Out& FOut;
  int FDpi;
  QTransform FT;
  QPen FPen;
  QBrush FBrush;
  QFont FFont;
  QPainter::CompositionMode FComp = QPainter::CompositionMode_SourceOver;
  bool FClipOn = false;
  std::optional<QRegion> FClip;
  QPolygon FRun;  // the polyline being joined
  const TCurveCalls& FCurves;
  size_t FNextCurve = 0;
};

class GdiDevice : public QPaintDevice {
public:
  GdiDevice(Out& O, int W, int H, int Dpi, const TCurveCalls& Curves)
      : FEngine(O, Dpi, Curves), FW(W), FH(H), FDpi(Dpi) {}
  QPaintEngine* paintEngine() const override { return const_cast<GdiEngine*>(&FEngine); }

protected:
  int metric(PaintDeviceMetric M) const override {
    switch (M) {
      case PdmWidth:
        return FW;
      case PdmHeight:
        return FH;
      case PdmWidthMM:
        return static_cast<int>(std::lround(FW * 25.4 / FDpi));
      case PdmHeightMM:
        return static_cast<int>(std::lround(FH * 25.4 / FDpi));
      case PdmNumColors:
        return INT_MAX;
      case PdmDepth:
        return 32;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return FDpi;
      case PdmDevicePixelRatio:
        return 1;
      default:
        return QPaintDevice::metric(M);
    }
  }

private:
  GdiEngine FEngine;
  int FW, FH, FDpi;
};

std::string Encode(Out& O, const QPicture* Pic, int W, int H, const TCurveCalls& Curves) {
  EnsureApp();
  if (Pic && !Pic->isNull()) {
    // The device takes the recording's resolution, so that playing it does not rescale it.
    GdiDevice dev(O, W, H, Pic->logicalDpiX() > 0 ? Pic->logicalDpiX() : kDpi, Curves);
    QPainter p(&dev);
    p.drawPicture(0, 0, *Pic);
  }
  return O.Finish();
}

// ---- reading ------------------------------------------------------------------------------------

[[noreturn]] void Invalid() { throw EInvalidGraphic("Metafile is not valid"); }

// Bounds-checked little-endian reads of one record.
struct Reader {
  const unsigned char* P;
  size_t N;
  bool Has(size_t At, size_t Len) const { return At <= N && Len <= N - At; }
  uint32_t U32(size_t At) const {
    if (!Has(At, 4)) Invalid();
    return P[At] | P[At + 1] << 8 | P[At + 2] << 16 | static_cast<uint32_t>(P[At + 3]) << 24;
  }
  int32_t I32(size_t At) const { return static_cast<int32_t>(U32(At)); }
  uint16_t U16(size_t At) const {
    if (!Has(At, 2)) Invalid();
    return static_cast<uint16_t>(P[At] | P[At + 1] << 8);
  }
  int16_t I16(size_t At) const { return static_cast<int16_t>(U16(At)); }
  uint8_t U8(size_t At) const {
    if (!Has(At, 1)) Invalid();
    return P[At];
  }
};

struct GObj {
  enum Kind { None, Pen, Brush, Font } K = None;
  LPen P;
  LBrush B;
  LFont F;
};

struct DCState {
  GObj Pen, Brush, Font;
  QColor TextColor = Qt::black;
  uint32_t Align = 0;
  Qt::FillRule Fill = Qt::OddEvenFill;
  std::optional<QRegion> Clip;
  int MapMode = MM_TEXT;
  uint32_t ArcDirection = 1;  // counter-clockwise
  QPointF WinOrg, WinExt{1, 1}, VpOrg, VpExt{1, 1};
  QPointF Cur;
};

// Plays records onto a painter whose transform takes device units to the picture's pixels.
class Player {
public:
  explicit Player(QPainter& P) : FP(P) {
    FDC.Pen.K = GObj::Pen;
    FDC.Pen.P = LPen{PS_SOLID, 1, 0};
    FDC.Brush.K = GObj::Brush;
    FDC.Brush.B = LBrush{BS_SOLID, 0xFFFFFF, 0};
    FDC.Font.K = GObj::Font;
    FDC.Font.F.Height = -12;
    FDC.Font.F.Face = QStringLiteral("Sans Serif");
  }

  DCState& DC() { return FDC; }
  bool Drawn = false;
  TCurveCalls Curves;

  // Device units, kept within what whole-number coordinates can hold.
  QPointF Map(double X, double Y) const {
    constexpr double kFar = 1e7;
    if (FDC.MapMode == MM_ANISOTROPIC || FDC.MapMode == MM_ISOTROPIC) {
      const double sx = FDC.WinExt.x() ? FDC.VpExt.x() / FDC.WinExt.x() : 1;
      const double sy = FDC.WinExt.y() ? FDC.VpExt.y() / FDC.WinExt.y() : 1;
      X = (X - FDC.WinOrg.x()) * sx + FDC.VpOrg.x();
      Y = (Y - FDC.WinOrg.y()) * sy + FDC.VpOrg.y();
    }
    return QPointF(std::clamp(X, -kFar, kFar), std::clamp(Y, -kFar, kFar));
  }
  // Device units per logical unit along each axis.
  QPointF Scales() const {
    if (FDC.MapMode != MM_ANISOTROPIC && FDC.MapMode != MM_ISOTROPIC) return QPointF(1, 1);
    return QPointF(FDC.WinExt.x() ? FDC.VpExt.x() / FDC.WinExt.x() : 1,
                   FDC.WinExt.y() ? FDC.VpExt.y() / FDC.WinExt.y() : 1);
  }
  double Scale() const {
    const QPointF s = Scales();
    return std::sqrt(std::abs(s.x() * s.y()));
  }
  QPointF Unmap(const QPointF& P) const {
    if (FDC.MapMode != MM_ANISOTROPIC && FDC.MapMode != MM_ISOTROPIC) return P;
    const QPointF s = Scales();
    return QPointF((P.x() - FDC.VpOrg.x()) / (s.x() ? s.x() : 1) + FDC.WinOrg.x(),
                   (P.y() - FDC.VpOrg.y()) / (s.y() ? s.y() : 1) + FDC.WinOrg.y());
  }
  QRectF MapBox(double L, double T, double R, double B) const { return QRectF(Map(L, T), Map(R, B)).normalized(); }

  void Select(const GObj& O) {
    if (O.K == GObj::Pen) FDC.Pen = O;
    if (O.K == GObj::Brush) FDC.Brush = O;
    if (O.K == GObj::Font) FDC.Font = O;
  }

  void Polygon(const QPolygonF& P) {
    if (P.size() < 2) return;
    Use(true, true);
    FP.drawPolygon(P, FDC.Fill);
    Drawn = true;
  }
  void Polyline(const QPolygonF& P) {
    if (P.size() < 2) return;
    Use(true, false);
    FP.drawPolyline(P);
    Drawn = true;
  }
  void PolyPolygon(const std::vector<QPolygonF>& Polys) {
    QPainterPath path;
    path.setFillRule(FDC.Fill);
    for (const QPolygonF& p : Polys) {
      path.addPolygon(p);
      path.closeSubpath();
    }
    Use(true, true);
    FP.drawPath(path);
    Drawn = true;
  }
  void Rectangle(double L, double T, double R, double B) {
    QRectF r = MapBox(L, T, R, B);
    Use(true, true);
    FP.drawRect(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
    Drawn = true;
  }
  void Ellipse(double L, double T, double R, double B) {
    QRectF r = MapBox(L, T, R, B);
    Use(true, true);
    FP.drawEllipse(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
    Drawn = true;
  }
  // An arc, pie, chord (counter-clockwise from the ray through (X3, Y3) to the ray through
  // (X4, Y4), unless the arc direction says otherwise) or a round rectangle (corners X3 wide
  // and Y3 high), drawn as a path and kept as the call, so that writing the picture again
  // gives the record again.
  void Curve(TCurveCall::TKind Kind, double L, double T, double R, double B, double X3, double Y3, double X4 = 0,
             double Y4 = 0) {
    const QRectF r = MapBox(L, T, R, B);
    if (r.width() < 1 || r.height() < 1) return;
    const QRectF box(r.left(), r.top(), r.width() - 1, r.height() - 1);
    const QPointF s = Scales();
    QPointF a = Map(X3, Y3), b = Map(X4, Y4);
    QPainterPath path;
    const QPointF from = Map(FDC.Cur.x(), FDC.Cur.y());
    if (Kind == TCurveCall::RoundRect) {
      a = QPointF(std::min(std::abs(X3 * s.x()), 1e7), std::min(std::abs(Y3 * s.y()), 1e7));
      path.addRoundedRect(box, std::min(a.x() / 2, box.width() / 2), std::min(a.y() / 2, box.height() / 2));
    } else {
      if ((s.x() * s.y() < 0) != (FDC.ArcDirection == AD_CLOCKWISE)) std::swap(a, b);
      // The parametric angles where the rays from the centre meet the ellipse.
      auto angle = [&](const QPointF& P) {
        const double dx = P.x() - box.center().x(), dy = box.center().y() - P.y();
        return dx == 0 && dy == 0 ? 0.0 : qRadiansToDegrees(std::atan2(dy * box.width() / 2, dx * box.height() / 2));
      };
      const double a1 = angle(a);
      double sweep = angle(b) - a1;
      while (sweep <= 0) sweep += 360;
      if (Kind == TCurveCall::Pie || Kind == TCurveCall::Chord) {
        path = ClosedArcPath(Kind == TCurveCall::Pie, box, a1, sweep);
      } else if (Kind == TCurveCall::ArcTo) {
        path.moveTo(from);
        QPainterPath start;
        start.arcMoveTo(box, a1);
        path.lineTo(start.currentPosition());
      } else {
        path.arcMoveTo(box, a1);
      }
      if (Kind == TCurveCall::Arc || Kind == TCurveCall::ArcTo) path.arcTo(box, a1, sweep);
      if (Kind == TCurveCall::ArcTo) FDC.Cur = Unmap(path.currentPosition());
    }
    const bool open = Kind == TCurveCall::Arc || Kind == TCurveCall::ArcTo;
    Use(true, !open);
    FP.drawPath(path);
    Curves.push_back(TCurveCall{Kind, path, r, a, b, from});
    Drawn = true;
  }

  void Pixel(double X, double Y, uint32_t Color) {
    QPointF p = Map(X, Y);
    UseClip();
    FP.fillRect(QRectF(std::floor(p.x()), std::floor(p.y()), 1, 1), FromColorRef(Color));
    Drawn = true;
  }
  void LineTo(double X, double Y) {
    Polyline(QPolygonF({Map(FDC.Cur.x(), FDC.Cur.y()), Map(X, Y)}));
    FDC.Cur = QPointF(X, Y);
  }

  void Text(double X, double Y, const QString& S, const std::vector<int>& Dx) {
    if (S.isEmpty()) return;
    const LFont& lf = FDC.Font.F;
    QFont f(lf.Face.isEmpty() ? QStringLiteral("Sans Serif") : lf.Face);
    const double h = std::min(std::abs(static_cast<double>(lf.Height)) * Scale(), 10000.0);
    // A positive height is the cell's height: the em is about that less the internal leading.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(lf.Height < 0 ? h : h * 0.8))));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(lf.Weight ? lf.Weight : 400, 1, 1000)));
    f.setItalic(lf.Italic);
    f.setUnderline(lf.Underline);
    f.setStrikeOut(lf.StrikeOut);
    QFontMetricsF fm(f);
    double width = 0;
    if (!Dx.empty()) {
      for (int d : Dx) width += d * Scale();
    } else {
      width = fm.horizontalAdvance(S);
    }
    QPointF at = Map(X, Y);
    double dx = 0, dy = 0;
    if ((FDC.Align & TA_CENTER) == TA_CENTER)
      dx = -width / 2;
    else if (FDC.Align & TA_RIGHT)
      dx = -width;
    if ((FDC.Align & TA_BASELINE) == TA_BASELINE)
      dy = 0;
    else if (FDC.Align & TA_BOTTOM)
      dy = -fm.descent();
    else
      dy = fm.ascent();
    UseClip();
    FP.save();
    FP.translate(at);
    if (lf.Escapement) FP.rotate(-static_cast<double>(lf.Escapement) / 10.0);
    FP.setFont(f);
    FP.setPen(FDC.TextColor);
    FP.drawText(QPointF(dx, dy), S);
    FP.restore();
    Drawn = true;
  }

  void Image(const QRectF& Dest, const QImage& Img, const QRect& Src) {
    if (Img.isNull()) return;
    UseClip();
    FP.drawImage(Dest, Img, Src);
    Drawn = true;
  }

  // Clipping: rectangles in logical units, regions in device units.
  void IntersectClip(double L, double T, double R, double B) {
    QRect r = MapBox(L, T, R, B).toRect();
    FDC.Clip = FDC.Clip ? FDC.Clip->intersected(r) : QRegion(r);
  }
  void ExcludeClip(double L, double T, double R, double B) {
    QRect r = MapBox(L, T, R, B).toRect();
    QRegion whole = FDC.Clip ? *FDC.Clip : QRegion(-32768, -32768, 65536, 65536);
    FDC.Clip = whole.subtracted(r);
  }
  void SelectClip(const std::optional<QRegion>& R, uint32_t Mode) {
    if (!R) {
      if (Mode == RGN_COPY) FDC.Clip.reset();
      return;
    }
    QRegion cur = FDC.Clip ? *FDC.Clip : QRegion(-32768, -32768, 65536, 65536);
    switch (Mode) {
      case RGN_AND:
        FDC.Clip = cur.intersected(*R);
        break;
      case RGN_OR:
        FDC.Clip = cur.united(*R);
        break;
      case RGN_XOR:
        FDC.Clip = cur.xored(*R);
        break;
      case RGN_DIFF:
        FDC.Clip = cur.subtracted(*R);
        break;
      default:
        FDC.Clip = *R;
        break;
    }
  }
  void Save() { FSaved.push_back(FDC); }
  void Restore(int N) {
    // A negative number counts back from the latest save; a positive one names a save.
    size_t keep = N < 0
                      ? (FSaved.size() >= static_cast<size_t>(-static_cast<int64_t>(N)) ? FSaved.size() + N : SIZE_MAX)
                      : static_cast<size_t>(N - 1);
    if (keep >= FSaved.size()) return;
    FDC = FSaved[keep];
    FSaved.resize(keep);
  }

private:
  void UseClip() {
    if (FDC.Clip)
      FP.setClipRegion(*FDC.Clip);
    else
      FP.setClipping(false);
  }

  void Use(bool Stroke, bool Fill) {
    UseClip();
    const LPen& lp = FDC.Pen.P;
    if (!Stroke || (lp.Style & 0xF) == PS_NULL) {
      FP.setPen(Qt::NoPen);
    } else {
      QPen pen(FromColorRef(lp.Color));
      const int w = static_cast<int>(std::lround(std::min(std::abs(lp.Width * Scale()), 10000.0)));
      if (w <= 1 && !(lp.Style & PS_GEOMETRIC)) {
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);  // GDI leaves out a line's last pixel
      } else {
        pen.setWidth(std::max(1, w));
        const uint32_t cap = lp.Style & 0xF00, join = lp.Style & 0xF000;
        pen.setCapStyle(cap == PS_ENDCAP_FLAT ? Qt::FlatCap : cap == PS_ENDCAP_SQUARE ? Qt::SquareCap : Qt::RoundCap);
        pen.setJoinStyle(join == PS_JOIN_BEVEL ? Qt::BevelJoin : join == PS_JOIN_MITER ? Qt::MiterJoin : Qt::RoundJoin);
      }
      switch (lp.Style & 0xF) {
        case PS_DASH:
          pen.setStyle(Qt::DashLine);
          break;
        case PS_DOT:
          pen.setStyle(Qt::DotLine);
          break;
        case PS_DASHDOT:
          pen.setStyle(Qt::DashDotLine);
          break;
        case PS_DASHDOTDOT:
          pen.setStyle(Qt::DashDotDotLine);
          break;
        default:
          break;
      }
      FP.setPen(pen);
    }
    const LBrush& lb = FDC.Brush.B;
    if (!Fill || lb.Style == BS_NULL) {
      FP.setBrush(Qt::NoBrush);
    } else if (lb.Style == BS_HATCHED) {
      static const Qt::BrushStyle hatch[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                             Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
      FP.setBrush(QBrush(FromColorRef(lb.Color), lb.Hatch < 6 ? hatch[lb.Hatch] : Qt::SolidPattern));
    } else {
      FP.setBrush(FromColorRef(lb.Color));
    }
  }

  QPainter& FP;
  DCState FDC;
  std::vector<DCState> FSaved;
};

// A DIB (header, colours, bits) as an image; a null image when it is not one this reads.
QImage ReadDib(const Reader& R, size_t HeaderAt, size_t HeaderLen, size_t BitsAt, size_t BitsLen) {
  if (HeaderLen < 40 || !R.Has(HeaderAt, HeaderLen) || !R.Has(BitsAt, BitsLen)) return QImage();
  const int32_t w = R.I32(HeaderAt + 4), hRaw = R.I32(HeaderAt + 8);
  const uint16_t bits = R.U16(HeaderAt + 14);
  const uint32_t compression = R.U32(HeaderAt + 16);
  uint32_t colors = R.U32(HeaderAt + 32);
  if (w <= 0 || hRaw == 0 || hRaw == INT32_MIN || w > 30000 || std::abs(hRaw) > 30000 || compression != 0)
    return QImage();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return QImage();
  const int h = std::abs(hRaw);
  const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
  if (stride * static_cast<size_t>(h) > BitsLen) return QImage();
  if (bits <= 8 && colors == 0) colors = 1u << bits;
  const size_t paletteAt = HeaderAt + R.U32(HeaderAt);
  std::vector<QRgb> palette;
  if (bits <= 8) {
    if (colors > 256 || !R.Has(paletteAt, colors * 4) || paletteAt + colors * 4 > HeaderAt + HeaderLen) return QImage();
    for (uint32_t i = 0; i < colors; ++i)
      palette.push_back(qRgb(R.U8(paletteAt + 4 * i + 2), R.U8(paletteAt + 4 * i + 1), R.U8(paletteAt + 4 * i)));
  }
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = R.P + BitsAt + stride * static_cast<size_t>(hRaw > 0 ? h - 1 - y : y);
    QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) {
      switch (bits) {
        case 24:
          out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
          break;
        case 32:
          out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
          break;
        default: {
          const int perByte = 8 / bits;
          const int v = (row[x / perByte] >> ((perByte - 1 - x % perByte) * bits)) & ((1 << bits) - 1);
          out[x] = static_cast<size_t>(v) < palette.size() ? palette[v] : qRgb(0, 0, 0);
        }
      }
    }
  }
  return img;
}

LPen PenFrom(uint32_t Style, int Width, uint32_t Color) { return LPen{Style, Width, Color}; }

void PlayEmf(const Reader& R, Player& Pl, size_t HeaderSize) {
  std::map<uint32_t, GObj> objects;
  auto stock = [](uint32_t Ix) {
    GObj o;
    switch (Ix & 0x7FFFFFFF) {
      case 0:
        o.K = GObj::Brush;
        o.B = {BS_SOLID, 0xFFFFFF, 0};
        break;
      case 1:
        o.K = GObj::Brush;
        o.B = {BS_SOLID, 0xC0C0C0, 0};
        break;
      case 2:
        o.K = GObj::Brush;
        o.B = {BS_SOLID, 0x808080, 0};
        break;
      case 3:
        o.K = GObj::Brush;
        o.B = {BS_SOLID, 0x404040, 0};
        break;
      case 4:
        o.K = GObj::Brush;
        o.B = {BS_SOLID, 0, 0};
        break;
      case 5:
        o.K = GObj::Brush;
        o.B = {BS_NULL, 0, 0};
        break;
      case 6:
        o.K = GObj::Pen;
        o.P = {PS_SOLID, 1, 0xFFFFFF};
        break;
      case 7:
        o.K = GObj::Pen;
        o.P = {PS_SOLID, 1, 0};
        break;
      case 8:
        o.K = GObj::Pen;
        o.P = {PS_NULL, 1, 0};
        break;
      default:
        o.K = GObj::Font;
        o.F.Height = -12;
        o.F.Face = QStringLiteral("Sans Serif");
        break;
    }
    return o;
  };
  auto points = [&](size_t At, uint32_t Count, bool Small, size_t End) {
    const size_t each = Small ? 4 : 8;
    if (Count > (End - std::min(End, At)) / each) Invalid();
    QPolygonF poly;
    poly.reserve(Count);
    for (uint32_t i = 0; i < Count; ++i) {
      size_t p = At + i * each;
      double x = Small ? R.I16(p) : R.I32(p), y = Small ? R.I16(p + 2) : R.I32(p + 4);
      poly << Pl.Map(x, y);
    }
    return poly;
  };

  size_t off = HeaderSize;
  while (true) {
    if (!R.Has(off, 8)) Invalid();  // no end record
    const uint32_t type = R.U32(off), size = R.U32(off + 4);
    if (size < 8 || size % 4 || !R.Has(off, size)) Invalid();
    const size_t end = off + size;
    const size_t d = off + 8;  // the record's data
    DCState& dc = Pl.DC();
    switch (type) {
      case EMR_EOF:
        return;
      case EMR_POLYGON:
      case EMR_POLYGON16:
      case EMR_POLYLINE:
      case EMR_POLYLINE16: {
        const bool small = type == EMR_POLYGON16 || type == EMR_POLYLINE16;
        QPolygonF p = points(d + 20, R.U32(d + 16), small, end);
        if (type == EMR_POLYGON || type == EMR_POLYGON16)
          Pl.Polygon(p);
        else
          Pl.Polyline(p);
        break;
      }
      case EMR_POLYPOLYGON:
      case EMR_POLYPOLYGON16:
      case EMR_POLYPOLYLINE:
      case EMR_POLYPOLYLINE16: {
        const bool small = type == EMR_POLYPOLYGON16 || type == EMR_POLYPOLYLINE16;
        const uint32_t n = R.U32(d + 16);
        if (n > (size - 32) / 4) Invalid();
        size_t at = d + 24 + 4 * static_cast<size_t>(n);
        std::vector<QPolygonF> polys;
        for (uint32_t i = 0; i < n; ++i) {
          const uint32_t c = R.U32(d + 24 + 4 * i);
          polys.push_back(points(at, c, small, end));
          at += c * (small ? 4 : 8);
        }
        if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16) {
          Pl.PolyPolygon(polys);
        } else {
          for (const QPolygonF& p : polys) Pl.Polyline(p);
        }
        break;
      }
      case EMR_RECTANGLE:
        Pl.Rectangle(R.I32(d), R.I32(d + 4), R.I32(d + 8), R.I32(d + 12));
        break;
      case EMR_ELLIPSE:
        Pl.Ellipse(R.I32(d), R.I32(d + 4), R.I32(d + 8), R.I32(d + 12));
        break;
      case EMR_ARC:
      case EMR_ARCTO:
      case EMR_PIE:
      case EMR_CHORD: {
        const TCurveCall::TKind kind = type == EMR_PIE     ? TCurveCall::Pie
                                       : type == EMR_CHORD ? TCurveCall::Chord
                                       : type == EMR_ARCTO ? TCurveCall::ArcTo
                                                           : TCurveCall::Arc;
        Pl.Curve(kind, R.I32(d), R.I32(d + 4), R.I32(d + 8), R.I32(d + 12), R.I32(d + 16), R.I32(d + 20), R.I32(d + 24),
                 R.I32(d + 28));
        break;
      }
      case EMR_ROUNDRECT:
        Pl.Curve(TCurveCall::RoundRect, R.I32(d), R.I32(d + 4), R.I32(d + 8), R.I32(d + 12), R.I32(d + 16),
                 R.I32(d + 20));
        break;
      case EMR_SETARCDIRECTION:
        dc.ArcDirection = R.U32(d);
        break;
      case EMR_SETPIXELV:
        Pl.Pixel(R.I32(d), R.I32(d + 4), R.U32(d + 8));
        break;
      case EMR_MOVETOEX:
        dc.Cur = QPointF(R.I32(d), R.I32(d + 4));
        break;
      case EMR_LINETO:
        Pl.LineTo(R.I32(d), R.I32(d + 4));
        break;
      case EMR_SETMAPMODE:
        dc.MapMode = static_cast<int>(R.U32(d));
        break;
      case EMR_SETWINDOWEXTEX:
        dc.WinExt = QPointF(R.I32(d), R.I32(d + 4));
        break;
      case EMR_SETWINDOWORGEX:
        dc.WinOrg = QPointF(R.I32(d), R.I32(d + 4));
        break;
      case EMR_SETVIEWPORTEXTEX:
        dc.VpExt = QPointF(R.I32(d), R.I32(d + 4));
        break;
      case EMR_SETVIEWPORTORGEX:
        dc.VpOrg = QPointF(R.I32(d), R.I32(d + 4));
        break;
      case EMR_SETTEXTCOLOR:
        dc.TextColor = FromColorRef(R.U32(d));
        break;
      case EMR_SETTEXTALIGN:
        dc.Align = R.U32(d);
        break;
      case EMR_SETPOLYFILLMODE:
        dc.Fill = R.U32(d) == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
      case EMR_SAVEDC:
        Pl.Save();
        break;
      case EMR_RESTOREDC:
        Pl.Restore(R.I32(d));
        break;
      case EMR_INTERSECTCLIPRECT:
        Pl.IntersectClip(R.I32(d), R.I32(d + 4), R.I32(d + 8), R.I32(d + 12));
        break;
      case EMR_EXCLUDECLIPRECT:
        Pl.ExcludeClip(R.I32(d), R.I32(d + 4), R.I32(d + 8), R.I32(d + 12));
        break;
      case EMR_EXTSELECTCLIPRGN: {
        const uint32_t len = R.U32(d), mode = R.U32(d + 4);
        if (len == 0) {
          Pl.SelectClip(std::nullopt, mode);
          break;
        }
        if (len < 32 || len > size - 16) Invalid();
        const uint32_t n = R.U32(d + 16);
        if (n > (len - 32) / 16) Invalid();
        QRegion rgn;
        for (uint32_t i = 0; i < n; ++i) {
          size_t p = d + 8 + 32 + 16 * i;
          auto within = [](int32_t V) { return std::clamp(V, -10000000, 10000000); };  // device units
          rgn += QRect(QPoint(within(R.I32(p)), within(R.I32(p + 4))),
                       QPoint(within(R.I32(p + 8)) - 1, within(R.I32(p + 12)) - 1));
        }
        Pl.SelectClip(rgn, mode);
        break;
      }
      case EMR_CREATEPEN: {
        GObj o;
        o.K = GObj::Pen;
        o.P = PenFrom(R.U32(d + 4), R.I32(d + 8), R.U32(d + 16));
        objects[R.U32(d)] = o;
        break;
      }
      case EMR_EXTCREATEPEN: {
        GObj o;
        o.K = GObj::Pen;
        o.P = PenFrom(R.U32(d + 20), static_cast<int>(R.U32(d + 24)), R.U32(d + 32));
        if (R.U32(d + 28) == BS_NULL) o.P.Style = PS_NULL;
        objects[R.U32(d)] = o;
        break;
      }
      case EMR_CREATEBRUSHINDIRECT: {
        GObj o;
        o.K = GObj::Brush;
        o.B = LBrush{R.U32(d + 4), R.U32(d + 8), R.U32(d + 12)};
        objects[R.U32(d)] = o;
        break;
      }
      case EMR_EXTCREATEFONTINDIRECTW: {
        GObj o;
        o.K = GObj::Font;
        const size_t lf = d + 4;
        o.F.Height = R.I32(lf);
        o.F.Escapement = R.I32(lf + 8);
        o.F.Weight = R.I32(lf + 16);
        o.F.Italic = R.U8(lf + 20);
        o.F.Underline = R.U8(lf + 21);
        o.F.StrikeOut = R.U8(lf + 22);
        o.F.CharSet = R.U8(lf + 23);
        for (int i = 0; i < 32; ++i) {
          uint16_t c = R.U16(lf + 28 + 2 * i);
          if (!c) break;
          o.F.Face += QChar(c);
        }
        objects[R.U32(d)] = o;
        break;
      }
      case EMR_SELECTOBJECT: {
        const uint32_t ix = R.U32(d);
        if (ix & 0x80000000) {
          Pl.Select(stock(ix));
        } else if (auto it = objects.find(ix); it != objects.end()) {
          Pl.Select(it->second);
        }
        break;
      }
      case EMR_DELETEOBJECT:
        objects.erase(R.U32(d));
        break;
      case EMR_EXTTEXTOUTW: {
        const size_t t = d + 28;  // the text block
        const double x = R.I32(t), y = R.I32(t + 4);
        const uint32_t n = R.U32(t + 8), offString = R.U32(t + 12), offDx = R.U32(t + 36);
        if (n > size / 2 || !R.Has(off + offString, 2 * static_cast<size_t>(n)) || off + offString + 2 * n > end)
          Invalid();
        QString s;
        for (uint32_t i = 0; i < n; ++i) s += QChar(R.U16(off + offString + 2 * i));
        std::vector<int> dx;
        if (offDx && off + offDx + 4 * static_cast<size_t>(n) <= end)
          for (uint32_t i = 0; i < n; ++i) dx.push_back(R.I32(off + offDx + 4 * i));
        Pl.Text(x, y, s, dx);
        break;
      }
      case EMR_STRETCHDIBITS: {
        const int32_t xd = R.I32(d + 16), yd = R.I32(d + 20), xs = R.I32(d + 24), ys = R.I32(d + 28);
        const int32_t cxs = R.I32(d + 32), cys = R.I32(d + 36);
        const uint32_t offBmi = R.U32(d + 40), cbBmi = R.U32(d + 44), offBits = R.U32(d + 48), cbBits = R.U32(d + 52);
        const int32_t cxd = R.I32(d + 64), cyd = R.I32(d + 68);
        if (offBmi > size || cbBmi > size - offBmi || offBits > size || cbBits > size - offBits) Invalid();
        QImage img = ReadDib(R, off + offBmi, cbBmi, off + offBits, cbBits);
        // Source rows count from the bottom.
        const int64_t top = static_cast<int64_t>(img.height()) - ys - cys;
        if (std::abs(top) > 10000000 || std::abs(static_cast<int64_t>(xs)) > 10000000 ||
            std::abs(static_cast<int64_t>(cxs)) > 10000000 || std::abs(static_cast<int64_t>(cys)) > 10000000)
          break;
        QRect src = QRect(xs, static_cast<int>(top), cxs, cys);
        Pl.Image(QRectF(Pl.Map(xd, yd), Pl.Map(static_cast<double>(xd) + cxd, static_cast<double>(yd) + cyd)), img,
                 src);
        break;
      }
      default:
        break;  // not drawn by this reader
    }
    off = end;
  }
}

void PlayWmf(const Reader& R, Player& Pl, size_t At) {
  std::vector<std::optional<GObj>> objects;
  auto add = [&](const GObj& O) {
    size_t slot = 0;
    while (slot < objects.size() && objects[slot]) ++slot;
    if (slot == objects.size()) {
      if (objects.size() >= 65535) Invalid();
      objects.emplace_back();
    }
    objects[slot] = O;
  };
  auto points = [&](size_t P, int Count, size_t End) {
    if (Count < 0 || static_cast<size_t>(Count) > (End - std::min(End, P)) / 4) Invalid();
    QPolygonF poly;
    for (int i = 0; i < Count; ++i) poly << Pl.Map(R.I16(P + 4 * i), R.I16(P + 4 * i + 2));
    return poly;
  };

  size_t off = At;
  while (true) {
    if (!R.Has(off, 6)) Invalid();
    const uint32_t words = R.U32(off);
    const uint16_t fn = R.U16(off + 4);
    if (words < 3 || words > (R.N - off) / 2) Invalid();
    const size_t end = off + 2 * static_cast<size_t>(words);
    const size_t d = off + 6;
    DCState& dc = Pl.DC();
    auto box = [&](auto Fn) { Fn(R.I16(d + 6), R.I16(d + 4), R.I16(d + 2), R.I16(d)); };
    switch (fn) {
      case META_EOF:
        return;
      case META_SETWINDOWORG:
        dc.WinOrg = QPointF(R.I16(d + 2), R.I16(d));
        break;
      case META_SETWINDOWEXT:
        dc.WinExt = QPointF(R.I16(d + 2), R.I16(d));
        break;
      case META_SETTEXTCOLOR:
        dc.TextColor = FromColorRef(R.U32(d));
        break;
      case META_SETTEXTALIGN:
        dc.Align = R.U16(d);
        break;
      case META_SETPOLYFILLMODE:
        dc.Fill = R.U16(d) == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
      case META_SAVEDC:
        Pl.Save();
        break;
      case META_RESTOREDC:
        Pl.Restore(R.I16(d));
        break;
      case META_INTERSECTCLIPRECT:
        box([&](int L, int T, int Rt, int B) { Pl.IntersectClip(L, T, Rt, B); });
        break;
      case META_EXCLUDECLIPRECT:
        box([&](int L, int T, int Rt, int B) { Pl.ExcludeClip(L, T, Rt, B); });
        break;
      case META_CREATEPENINDIRECT: {
        GObj o;
        o.K = GObj::Pen;
        o.P = PenFrom(R.U16(d), R.I16(d + 2), R.U32(d + 6));
        add(o);
        break;
      }
      case META_CREATEBRUSHINDIRECT: {
        GObj o;
        o.K = GObj::Brush;
        o.B = LBrush{R.U16(d), R.U32(d + 2), R.U16(d + 6)};
        add(o);
        break;
      }
      case META_CREATEFONTINDIRECT: {
        GObj o;
        o.K = GObj::Font;
        o.F.Height = R.I16(d);
        o.F.Escapement = R.I16(d + 4);
        o.F.Weight = R.I16(d + 8);
        o.F.Italic = R.U8(d + 10);
        o.F.Underline = R.U8(d + 11);
        o.F.StrikeOut = R.U8(d + 12);
        o.F.CharSet = R.U8(d + 13);
        for (size_t i = 0; i < 32 && d + 18 + i < end; ++i) {
          char c = static_cast<char>(R.U8(d + 18 + i));
          if (!c) break;
          o.F.Face += QChar::fromLatin1(c);
        }
        add(o);
        break;
      }
      case META_CREATEPALETTE:
      case META_CREATEPATTERNBRUSH:
      case META_DIBCREATEPATTERNBRUSH:
      case META_CREATEREGION:
        add(GObj{});  // takes a slot all the same
        break;
      case META_SELECTOBJECT: {
        const uint16_t ix = R.U16(d);
        if (ix < objects.size() && objects[ix]) Pl.Select(*objects[ix]);
        break;
      }
      case META_DELETEOBJECT: {
        const uint16_t ix = R.U16(d);
        if (ix < objects.size()) objects[ix].reset();
        break;
      }
      case META_POLYGON:
        Pl.Polygon(points(d + 2, R.I16(d), end));
        break;
      case META_POLYLINE:
        Pl.Polyline(points(d + 2, R.I16(d), end));
        break;
      case META_POLYPOLYGON: {
        const int n = R.I16(d);
        if (n < 0 || static_cast<size_t>(n) > (end - d) / 2) Invalid();
        size_t at = d + 2 + 2 * static_cast<size_t>(n);
        std::vector<QPolygonF> polys;
        for (int i = 0; i < n; ++i) {
          const int c = R.I16(d + 2 + 2 * i);
          polys.push_back(points(at, c, end));
          at += 4 * static_cast<size_t>(c);
        }
        Pl.PolyPolygon(polys);
        break;
      }
      case META_RECTANGLE:
        box([&](int L, int T, int Rt, int B) { Pl.Rectangle(L, T, Rt, B); });
        break;
      case META_ELLIPSE:
        box([&](int L, int T, int Rt, int B) { Pl.Ellipse(L, T, Rt, B); });
        break;
      case META_ARC:
      case META_PIE:
      case META_CHORD: {
        const TCurveCall::TKind kind = fn == META_PIE     ? TCurveCall::Pie
                                       : fn == META_CHORD ? TCurveCall::Chord
                                                          : TCurveCall::Arc;
        Pl.Curve(kind, R.I16(d + 14), R.I16(d + 12), R.I16(d + 10), R.I16(d + 8), R.I16(d + 6), R.I16(d + 4),
                 R.I16(d + 2), R.I16(d));
        break;
      }
      case META_ROUNDRECT:
        Pl.Curve(TCurveCall::RoundRect, R.I16(d + 10), R.I16(d + 8), R.I16(d + 6), R.I16(d + 4), R.I16(d + 2),
                 R.I16(d));
        break;
      case META_SETPIXEL:
        Pl.Pixel(R.I16(d + 6), R.I16(d + 4), R.U32(d));
        break;
      case META_MOVETO:
        dc.Cur = QPointF(R.I16(d + 2), R.I16(d));
        break;
      case META_LINETO:
        Pl.LineTo(R.I16(d + 2), R.I16(d));
        break;
      case META_EXTTEXTOUT:
      case META_TEXTOUT: {
        int x, y, n;
        size_t s;
        if (fn == META_TEXTOUT) {
          n = R.I16(d);
          s = d + 2;
          const size_t after = s + ((static_cast<size_t>(std::max(0, n)) + 1) & ~size_t{1});
          y = R.I16(after);
          x = R.I16(after + 2);
        } else {
          y = R.I16(d);
          x = R.I16(d + 2);
          n = R.I16(d + 4);
          const uint16_t opts = R.U16(d + 6);
          s = d + 8 + ((opts & 0x0006) ? 8 : 0);  // a clipping or opaque rectangle first
        }
        if (n < 0 || !R.Has(s, static_cast<size_t>(n)) || s + n > end) Invalid();
        std::string bytes(reinterpret_cast<const char*>(R.P + s), static_cast<size_t>(n));
        QString text =
            Pl.DC().Font.F.CharSet == RUSSIAN_CHARSET ? ToQ(Cp1251ToUtf8(bytes)) : QString::fromLatin1(bytes.data(), n);
        std::vector<int> dx;
        const size_t dxAt = s + ((static_cast<size_t>(n) + 1) & ~size_t{1});
        if (fn == META_EXTTEXTOUT && dxAt + 2 * static_cast<size_t>(n) <= end && text.size() == n)
          for (int i = 0; i < n; ++i) dx.push_back(R.I16(dxAt + 2 * i));
        Pl.Text(x, y, text, dx);
        break;
      }
      case META_STRETCHDIB: {
        const int ys = R.I16(d + 10), xs = R.I16(d + 12), hs = R.I16(d + 6), ws = R.I16(d + 8);
        const int hd = R.I16(d + 14), wd = R.I16(d + 16), yd = R.I16(d + 18), xd = R.I16(d + 20);
        const size_t dib = d + 22;
        if (dib + 40 > end) Invalid();
        const uint32_t headerLen = R.U32(dib);
        const uint16_t bits = R.U16(dib + 14);
        uint32_t colors = R.U32(dib + 32);
        if (bits <= 8 && colors == 0) colors = 1u << bits;
        const size_t paletteLen = bits <= 8 ? 4 * static_cast<size_t>(std::min<uint32_t>(colors, 256)) : 0;
        if (headerLen < 40 || headerLen > end - dib || paletteLen > end - dib - headerLen) Invalid();
        const size_t bitsAt = dib + headerLen + paletteLen;
        QImage img = ReadDib(R, dib, headerLen + paletteLen, bitsAt, end - bitsAt);
        QRect src(xs, img.height() - ys - hs, ws, hs);
        Pl.Image(QRectF(Pl.Map(xd, yd), Pl.Map(xd + wd, yd + hd)), img, src);
        break;
      }
      default:
        break;
    }
    off = end;
  }
}

}  // namespace

std::string EncodeEnhancedMetafile(const QPicture* Pic, int W, int H, const std::string& CreatedBy,
                                   const std::string& Description, const TCurveCalls& Curves) {
  EmfOut out(std::max(1, W), std::max(1, H), CreatedBy, Description);
  return Encode(out, Pic, std::max(1, W), std::max(1, H), Curves);
}

std::string EncodeWindowsMetafile(const QPicture* Pic, int W, int H, const TCurveCalls& Curves) {
  WmfOut out(std::clamp(W, 1, 32767), std::clamp(H, 1, 32767));
  return Encode(out, Pic, std::clamp(W, 1, 32767), std::clamp(H, 1, 32767), Curves);
}

TGdiMetafileKind GdiMetafileKind(const std::string& Bytes) {
  Reader r{reinterpret_cast<const unsigned char*>(Bytes.data()), Bytes.size()};
  if (r.Has(0, 44) && r.U32(0) == EMR_HEADER && r.U32(40) == kEmfSignature) return TGdiMetafileKind::Enhanced;
  if (r.Has(0, 4) && r.U32(0) == kPlaceableKey) return TGdiMetafileKind::Windows;
  if (r.Has(0, 18) && (r.U16(0) == 1 || r.U16(0) == 2) && r.U16(2) == 9 && (r.U16(4) == 0x0300 || r.U16(4) == 0x0100))
    return TGdiMetafileKind::Windows;
  return TGdiMetafileKind::None;
}

TGdiMetafile DecodeGdiMetafile(const std::string& Bytes) {
  EnsureApp();
  Reader r{reinterpret_cast<const unsigned char*>(Bytes.data()), Bytes.size()};
  TGdiMetafile out;
  const TGdiMetafileKind kind = GdiMetafileKind(Bytes);
  if (kind == TGdiMetafileKind::None) Invalid();
  out.Enhanced = kind == TGdiMetafileKind::Enhanced;
  if (out.Enhanced) {
    const uint32_t headerSize = r.U32(4);
    if (headerSize < 88 || !r.Has(0, headerSize) || headerSize % 4) Invalid();
    const int32_t fl = r.I32(24), ft = r.I32(28), fr = r.I32(32), fb = r.I32(36);
    const int32_t devW = r.I32(72), devH = r.I32(76), mmW = r.I32(80), mmH = r.I32(84);
    // Device pixels per inch of the reference device.
    const double dpiX = devW > 0 && mmW > 0 ? devW * 25.4 / mmW : kDpi;
    const double dpiY = devH > 0 && mmH > 0 ? devH * 25.4 / mmH : kDpi;
    double w = (static_cast<double>(fr) - fl) * kDpi / 2540.0, h = (static_cast<double>(fb) - ft) * kDpi / 2540.0;
    if (!(w >= 1 && h >= 1 && w <= 100000 && h <= 100000)) {  // no usable frame: the bounds
      w = static_cast<double>(r.I32(16)) - r.I32(8) + 1;
      h = static_cast<double>(r.I32(20)) - r.I32(12) + 1;
      if (!(w >= 1 && h >= 1 && w <= 100000 && h <= 100000)) Invalid();
    }
    out.W = static_cast<int>(std::lround(w));
    out.H = static_cast<int>(std::lround(h));
    out.Pic.setBoundingRect(QRect(0, 0, out.W, out.H));
    QPainter p(&out.Pic);
    p.scale(kDpi / dpiX, kDpi / dpiY);
    p.translate(-static_cast<double>(fl) * dpiX / 2540.0, -static_cast<double>(ft) * dpiY / 2540.0);
    Player pl(p);
    PlayEmf(r, pl, headerSize);
    out.Drawn = pl.Drawn;
    out.Curves = std::move(pl.Curves);
  } else {
    size_t at = 0;
    int left = 0, top = 0, right = 0, bottom = 0, inch = 0;
    if (r.U32(0) == kPlaceableKey) {
      left = r.I16(6);
      top = r.I16(8);
      right = r.I16(10);
      bottom = r.I16(12);
      inch = r.U16(14);
      at = 22;
    }
    if (!r.Has(at, 18) || r.U16(at + 2) != 9) Invalid();
    at += 18;
    QPainter* painter = nullptr;
    std::optional<QPainter> p;
    // Without the placeable header the size is the window's extent, which the records set:
    // read them once for it.
    if (!inch || right == left || bottom == top) {
      inch = kDpi;
      left = top = 0;
      right = bottom = 0;
      for (size_t off = at; r.Has(off, 6);) {
        const uint32_t words = r.U32(off);
        const uint16_t fn = r.U16(off + 4);
        if (words < 3 || fn == META_EOF) break;
        if (fn == META_SETWINDOWEXT && r.Has(off + 6, 4)) {
          bottom = r.I16(off + 6);
          right = r.I16(off + 8);
        }
        if (fn == META_SETWINDOWORG && r.Has(off + 6, 4)) {
          top = r.I16(off + 6);
          left = r.I16(off + 8);
        }
        off += 2 * static_cast<size_t>(words);
      }
      if (right == 0 || bottom == 0) Invalid();
      right += left;
      bottom += top;
    }
    out.W = static_cast<int>(std::lround(std::abs(right - left) * static_cast<double>(kDpi) / inch));
    out.H = static_cast<int>(std::lround(std::abs(bottom - top) * static_cast<double>(kDpi) / inch));
    if (out.W < 1 || out.H < 1) Invalid();
    out.Pic.setBoundingRect(QRect(0, 0, out.W, out.H));
    p.emplace(&out.Pic);
    painter = &*p;
    Player pl(*painter);
    DCState& dc = pl.DC();
    dc.MapMode = MM_ANISOTROPIC;
    dc.WinOrg = QPointF(left, top);
    dc.WinExt = QPointF(right - left, bottom - top);
    dc.VpExt = QPointF(out.W, out.H);
    PlayWmf(r, pl, at);
    out.Drawn = pl.Drawn;
    out.Curves = std::move(pl.Curves);
  }
  return out;
}

}  // namespace vmqt
