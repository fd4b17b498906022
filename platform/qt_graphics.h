// Private to platform/*.cpp: the Qt side of colours, fonts, canvases and bitmaps.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QRegion>
#include <QString>

#include <string>

#include "platform/canvas.h"
#include "platform/graphics.h"

class TBitmap;

namespace vmqt {

// Makes sure a QApplication exists (graphics need fonts, controls need widgets).
void EnsureApp();
// What EnsureApp makes when it is first needed. Forms register theirs when they are linked in;
// a plain QApplication is made otherwise.
using TAppFactory = void (*)(int& Argc, char** Argv);
void SetAppFactory(TAppFactory Factory);

inline QString ToQ(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }
inline std::string FromQ(const QString& S) { return S.toUtf8().toStdString(); }

// clNone becomes transparent; system colours are resolved.
inline QColor ToQColor(TColor C) {
  if (C == clNone) return QColor(0, 0, 0, 0);
  TColor c = ColorToRGB(C);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline QRgb ToQRgb(TColor C) {
  TColor c = ColorToRGB(C);
  return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline TColor FromQRgb(QRgb C) { return RGB(qRed(C), qGreen(C), qBlue(C)); }

inline QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }
inline TRect FromQRect(const QRect& R) { return TRect(R.left(), R.top(), R.left() + R.width(), R.top() + R.height()); }

QFont MakeQFont(const TFont& F, int CharExtra = 0);

// A curve the canvas drew as a path, told to its surface as the call that made it: a metafile
// writes it as its file format's own record, which readers draw smooth at any size.
struct TCurveCall {
  enum TKind { Arc, ArcTo, Pie, Chord, RoundRect } Kind = Arc;
  QPainterPath Path;  // what the painter was given, in its coordinates
  QRectF Box;         // the call's box (its right column and bottom row left out)
  // The points on the rays from the box's centre, the curve going counter-clockwise from A to
  // B; the round rectangle's corner width and height in A.
  QPointF A, B;
  QPointF From;  // ArcTo: where the line to the arc starts
};

// The path of a pie or chord whose straight edges end on whole coordinates (the pixels GDI
// takes); Start and Sweep in degrees, counter-clockwise from three o'clock.
QPainterPath ClosedArcPath(bool Pie, const QRectF& Box, double Start, double Sweep);

// The surface a canvas draws on.
class TCanvasTarget {
public:
  virtual ~TCanvasTarget() = default;
  // The device to start a painter on; null when nothing can be drawn now.
  virtual QPaintDevice* Device() = 0;
  // A painter managed by the target (a print job); the canvas then never ends it.
  virtual QPainter* ExternalPainter() { return nullptr; }
  // The raster image behind the device, when there is one (pixels, raster operations).
  virtual QImage* Image() { return nullptr; }
  // After the canvas ended its painter on Device().
  virtual void PainterEnded() {}
  // Something was drawn (retained surfaces schedule a repaint).
  virtual void Drawn() {}
  virtual int Technology() { return DT_RASDISPLAY; }
  // Before the path of a curve is drawn (only surfaces of DT_METAFILE are told).
  virtual void Curve(const TCurveCall&) {}
  // Physical size in millimetres when it differs from what the device reports.
  virtual QSizeF SizeMM() { return QSizeF(); }
};

// Binds Canvas to Target (not owned); nullptr unbinds. The previous painter is ended.
void CanvasSetTarget(TCanvas* Canvas, TCanvasTarget* Target);
TCanvasTarget* CanvasTarget(TCanvas* Canvas);
// Ends the canvas' painter (it starts again on the next call); drawing state is kept.
void CanvasFlush(TCanvas* Canvas);
// The painter with pen, brush, clip and mapping applied; null without a surface.
QPainter* CanvasPainter(TCanvas* Canvas);
// The raster image of a canvas (after finishing pending drawing on it), or null.
QImage* CanvasImage(TCanvas* Canvas);

// The image of a bitmap, its canvas' pending drawing finished.
const QImage& BitmapImage(TBitmap* Bitmap);
// Replaces a bitmap's image (keeps the pixel format of the image given).
void SetBitmapImage(TBitmap* Bitmap, const QImage& Image);
// The image to draw a bitmap with, transparency applied.
QImage BitmapDrawImage(TBitmap* Bitmap);

QPainter::CompositionMode CopyModeToComposition(TCopyMode Mode, bool& Handled);

// The pixels of a region, and a region of pixels.
QRegion RegionPixels(const TRegion& Region);
TRegion MakeRegion(const QRegion& Pixels);

}  // namespace vmqt
