#include "platform/canvas.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <QApplication>
#include <QFontMetrics>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <array>
#include <cmath>
#include <cwchar>
#include <deque>
#include <utility>

#include "platform/bitmap.h"
#include "platform/picture.h"
#include "platform/qt_graphics.h"

VM_DEFINE_CLASS(TCanvas)

// ---------------------------------------------------------------------------------------------
// Regions

struct TRegion::Impl {
  QRegion R;
};

TRegion::TRegion() : FImpl(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRegion& Other) : FImpl(std::make_unique<Impl>(*Other.FImpl)) {}
TRegion& TRegion::operator=(const TRegion& Other) {
  *FImpl = *Other.FImpl;
  return *this;
}
TRegion::~TRegion() = default;

namespace {
enum class ArcKind { Arc, Pie, Chord };

// An image's area in logical pixels (its device pixels over its device pixel ratio).
QRect LogicalRect(const QImage& I) {
  const qreal r = I.devicePixelRatio();
  if (r == 1) return I.rect();
  return QRect(0, 0, static_cast<int>(I.width() / r), static_cast<int>(I.height() / r));
}

// The device pixel at the middle of a logical one.
QPoint DevicePixel(const QImage& I, const QPoint& P) {
  const qreal r = I.devicePixelRatio();
  if (r == 1) return P;
  return QPoint(static_cast<int>((P.x() + 0.5) * r), static_cast<int>((P.y() + 0.5) * r));
}

QRect NormRect(int32_t L, int32_t T, int32_t R, int32_t B) {
  if (R < L) std::swap(L, R);
  if (B < T) std::swap(T, B);
  return QRect(L, T, R - L, B - T);
}

// Paints with Mode until the end of the scope, then puts the painter's previous mode back.
class CompositionScope {
public:
  CompositionScope(QPainter* P, QPainter::CompositionMode Mode) : p(P), old(P->compositionMode()) {
    p->setCompositionMode(Mode);
  }
  ~CompositionScope() { p->setCompositionMode(old); }
  CompositionScope(const CompositionScope&) = delete;
  CompositionScope& operator=(const CompositionScope&) = delete;

private:
  QPainter* p;
  QPainter::CompositionMode old;
};
}  // namespace

TRegion TRegion::CreateRectRgn(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  TRegion r;
  r.FImpl->R = QRegion(NormRect(Left, Top, Right, Bottom));
  return r;
}

TRegion TRegion::CreateRoundRectRgn(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom, int32_t CornerW,
                                    int32_t CornerH) {
  TRegion r;
  QRect q = NormRect(Left, Top, Right, Bottom);
  QPainterPath path;
  path.addRoundedRect(QRectF(q), std::abs(CornerW) / 2.0, std::abs(CornerH) / 2.0);
  r.FImpl->R = QRegion(path.toFillPolygon().toPolygon());
  return r;
}

TRegion TRegion::CreateEllipticRgn(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  TRegion r;
  r.FImpl->R = QRegion(NormRect(Left, Top, Right, Bottom), QRegion::Ellipse);
  return r;
}

TRegion TRegion::CreatePolygonRgn(const TPoint* Points, int Count, int FillMode) {
  TRegion r;
  if (Points && Count > 2) {
    QPolygon poly(Count);
    for (int i = 0; i < Count; ++i) poly.setPoint(i, Points[i].X, Points[i].Y);
    r.FImpl->R = QRegion(poly, FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  }
  return r;
}

int TRegion::CombineRgn(TRegion& Dest, const TRegion& A, const TRegion& B, int Mode) {
  QRegion res;
  switch (Mode) {
    case RGN_AND:
      res = A.FImpl->R.intersected(B.FImpl->R);
      break;
    case RGN_OR:
      res = A.FImpl->R.united(B.FImpl->R);
      break;
    case RGN_XOR:
      res = A.FImpl->R.xored(B.FImpl->R);
      break;
    case RGN_DIFF:
      res = A.FImpl->R.subtracted(B.FImpl->R);
      break;
    case RGN_COPY:
      res = A.FImpl->R;
      break;
    default:
      return RGN_ERROR;
  }
  Dest.FImpl->R = res;
  return Dest.Kind();
}

bool TRegion::IsEmpty() const { return FImpl->R.isEmpty(); }
bool TRegion::PtInRegion(int32_t X, int32_t Y) const { return FImpl->R.contains(QPoint(X, Y)); }
TRect TRegion::Box() const { return vmqt::FromQRect(FImpl->R.boundingRect()); }
void TRegion::Offset(int32_t DX, int32_t DY) { FImpl->R.translate(DX, DY); }
bool TRegion::Equals(const TRegion& Other) const { return FImpl->R == Other.FImpl->R; }
int TRegion::Kind() const {
  int n = FImpl->R.rectCount();
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}
int TRegion::RectCount() const { return FImpl->R.rectCount(); }

QRegion vmqt::RegionPixels(const TRegion& Region) { return Region.GetImpl()->R; }
TRegion vmqt::MakeRegion(const QRegion& Pixels) {
  TRegion r;
  r.GetImpl()->R = Pixels;
  return r;
}

// ---------------------------------------------------------------------------------------------
// Canvas state on the Qt side

namespace {

QPainter::CompositionMode PenModeComposition(int Mode, bool& Nop) {
  Nop = false;
  switch (Mode) {
    case pmBlack:
      return QPainter::RasterOp_ClearDestination;
    case pmWhite:
      return QPainter::RasterOp_SetDestination;
    case pmNop:
      Nop = true;
      return QPainter::CompositionMode_SourceOver;
    case pmNot:
      return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
      return QPainter::RasterOp_NotSource;
    case pmMergePenNot:
      return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
      return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
      return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
      return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
      return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
      return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
      return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
      return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
      return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
      return QPainter::RasterOp_NotSourceXorDestination;
    default:
      return QPainter::CompositionMode_SourceOver;
  }
}

double Deg(double Rad) { return Rad * 180.0 / M_PI; }
void RasterEllipse(int L, int T, int R, int B, QPolygon* Outline, std::vector<QRect>* Inside);

}  // namespace

QPainter::CompositionMode vmqt::CopyModeToComposition(TCopyMode Mode, bool& Handled) {
  Handled = true;
  switch (Mode) {
    case cmSrcCopy:
      return QPainter::CompositionMode_Source;
    case cmSrcAnd:
      return QPainter::RasterOp_SourceAndDestination;
    case cmSrcPaint:
      return QPainter::RasterOp_SourceOrDestination;
    case cmSrcInvert:
      return QPainter::RasterOp_SourceXorDestination;
    case cmNotSrcCopy:
      return QPainter::RasterOp_NotSource;
    case cmSrcErase:
      return QPainter::RasterOp_SourceAndNotDestination;
    case cmNotSrcErase:
      return QPainter::RasterOp_NotSourceAndNotDestination;
    case cmMergePaint:
      return QPainter::RasterOp_NotSourceOrDestination;
    default:
      Handled = false;
      return QPainter::CompositionMode_Source;
  }
}

QFont vmqt::MakeQFont(const TFont& F, int CharExtra) {
  EnsureApp();
  QFont f(ToQ(F.Name()));
  int h = F.Height();
  if (h < 0) {
    f.setPixelSize(-h);
  } else if (h > 0) {
    // A positive height is the cell height: scale the em size to it.
    QFont t(f);
    t.setPixelSize(100);
    QFontMetricsF m(t);
    double cell = m.ascent() + m.descent();
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(h * 100.0 / (cell > 0 ? cell : 100)))));
  } else {
    f.setPixelSize(13);
  }
  TFontStyles s = F.Style();
  f.setBold(s.Contains(fsBold));
  f.setItalic(s.Contains(fsItalic));
  f.setUnderline(s.Contains(fsUnderline));
  f.setStrikeOut(s.Contains(fsStrikeOut));
  if (F.Pitch() == fpFixed) {
    f.setFixedPitch(true);
    f.setStyleHint(QFont::Monospace);
  }
  f.setKerning(false);
  switch (F.Quality()) {
    case fqNonAntialiased:
      f.setStyleStrategy(QFont::NoAntialias);
      break;
    case fqAntialiased:
    case fqClearType:
      f.setStyleStrategy(QFont::PreferAntialias);
      break;
    default:
      break;
  }
  if (CharExtra != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, CharExtra);
  return f;
}

namespace {
bool DirectRaster = true;
}  // namespace

struct TCanvas::Impl {
  explicit Impl(TCanvas* O) : Owner(O) {}
  ~Impl() { Flush(); }

  TCanvas* Owner;
  vmqt::TCanvasTarget* Target = nullptr;
  QPainter OwnPainter;
  QPainter* P = nullptr;
  bool External = false;

  // Versions of pen, brush and font realized in the device state and applied to the painter.
  // PenDirty and BrushDirty: the painter's pen or brush was changed behind the canvas' back.
  uint32_t PenRealized = 0, BrushRealized = 0, FontRealized = 0;
  uint32_t PenApplied = 0, BrushApplied = 0;
  bool PenDirty = true, BrushDirty = true;

  // What the painter's pen and brush were made from: a new version with the same values (a pen
  // assigned again) keeps them, so drawing that switches between a few pens stays cheap.
  struct PenKey {
    TColor Color = clNone;
    int32_t Width = -1;
    TPenStyle Style = psSolid;
    TPenEndCap Cap = pecRound;
    TPenJoin Join = pjRound;
    int Rop2 = -1;
    bool Ident = false;
    std::vector<uint32_t> User;
    bool operator==(const PenKey&) const = default;
  };
  struct BrushKey {
    TColor Color = clNone;
    TBrushStyle Style = bsSolid;
    int BkMode = -1;
    TColor BkColor = clNone;
    const TBitmap* Bitmap = nullptr;  // a pattern brush is never taken for the plain one after it
    bool operator==(const BrushKey&) const = default;
  };
  PenKey AppliedPen;
  BrushKey AppliedBrush;
  PenKey CurrentPenKey() const {
    const TPen* pen = Owner->FPen.get();
    PenKey k{pen->Color(), pen->Width(), pen->Style(), pen->EndCap(), pen->Join(), Rop2, IdentityMapping(), {}};
    if (pen->Style() == psUserStyle) k.User = pen->UserStyle();
    return k;
  }
  BrushKey CurrentBrushKey() const {
    const TBrush* b = Owner->FBrush.get();
    return BrushKey{b->Color(), b->Style(), BkMode, BkColor, b->Bitmap()};
  }

  // Device state.
  int Rop2 = pmCopy;
  bool Nop = false;
  bool PenNull = false;
  bool Cosmetic = true;
  // The Qt pen draws one pixel along the line on the pixel centres (Segment's rule).
  bool PixelPen = true;
  int PenWidth = 1;
  // Device pixels per logical pixel of the device painted on (a retained surface on a scaled
  // screen): other than 1, the pixel-exact shortcuts give way to the engine.
  double Dpr = 1;
  bool InsideFrame = false;
  QPen QtPen;
  QPainter::CompositionMode Comp = QPainter::CompositionMode_SourceOver;
  int BkMode = OPAQUE;
  TColor BkColor = clWhite;
  TColor TextColor = clBlack;
  int TextAlign = 0;

  bool HasClip = false;
  QRegion Clip;
  // How far a styled one-pixel pen's dashes have run since the last MoveTo: joined lines go on
  // with the pattern where the previous one stopped.
  double DashAlong = 0;

  bool InPath = false;
  bool PathOpen = false;
  QPainterPath Path;

  QFont QtFont;
  uint32_t QtFontVer = 0;
  int QtFontExtra = 0;
  std::unique_ptr<QFontMetrics> FM;

  // ---- painter lifecycle
  bool Begin() {
    ++DirectGen;
    if (!Target) return false;
    if (QPainter* ext = Target->ExternalPainter()) {
      P = ext;
      External = true;
    } else {
      QPaintDevice* d = Target->Device();
      if (!d) return false;
      vmqt::EnsureApp();
      if (!OwnPainter.begin(d)) return false;
      P = &OwnPainter;
      External = false;
    }
    Dpr = P->device() ? P->device()->devicePixelRatio() : 1.0;
    P->setRenderHint(QPainter::Antialiasing, false);
    P->setRenderHint(QPainter::TextAntialiasing, true);
    P->setRenderHint(QPainter::SmoothPixmapTransform, false);
    ApplyTransform();
    ApplyClip();
    PenDirty = BrushDirty = true;
    return true;
  }

  void Flush() {
    ++DirectGen;
    if (!P) return;
    if (!External) {
      OwnPainter.end();
      P = nullptr;
      if (Target) Target->PainterEnded();
    } else {
      P = nullptr;
    }
  }

  // ---- realization of pen, brush and font into the device state
  void RealizePen() {
    TPen* pen = Owner->FPen.get();
    if (pen->Version() != PenRealized) {
      PenRealized = pen->Version();
      Rop2 = pen->Mode();
    }
  }
  void RealizeBrush() {
    TBrush* b = Owner->FBrush.get();
    if (b->Version() != BrushRealized) {
      BrushRealized = b->Version();
      TColor c = ColorToRGB(b->Color());
      if (b->Style() == bsSolid) {
        BkColor = c;
        BkMode = OPAQUE;
      } else {
        BkColor = static_cast<TColor>(~static_cast<uint32_t>(c) & 0xFFFFFF);
        BkMode = TRANSPARENT;
      }
    }
  }
  void RealizeFont() {
    TFont* f = Owner->FFont.get();
    if (f->Version() != FontRealized) {
      FontRealized = f->Version();
      TextColor = f->Color();
    }
  }

  bool IdentityMapping() const { return Owner->FMapMode == MM_TEXT && Owner->FWindowOrg == Owner->FViewportOrg; }

  void ApplyPen() {
    TPen* pen = Owner->FPen.get();
    bool nop = false;
    Comp = PenModeComposition(Rop2, nop);
    Nop = nop;
    PenNull = pen->Style() == psClear;
    PenWidth = std::max(1, pen->Width());
    InsideFrame = pen->Style() == psInsideFrame && PenWidth > 1;
    Cosmetic = pen->Width() <= 1;
    QPen qp;
    if (PenNull) {
      qp = QPen(Qt::NoPen);
    } else {
      qp.setColor(vmqt::ToQColor(pen->Color()));
      if (Cosmetic) {
        // One pixel on the device when unscaled; a scaled mapping widens it as a one-unit pen.
        // On a device of several pixels per logical one, one logical pixel: a one-unit pen (a
        // zero-width pen on a scaled mapping keeps one logical pixel's width of device pixels).
        if (Dpr == 1) {
          qp.setWidth(pen->Width() == 0 || IdentityMapping() ? 0 : 1);
        } else if (IdentityMapping() || pen->Width() != 0) {
          qp.setWidth(1);
        } else {
          qp.setWidthF(Dpr);
          qp.setCosmetic(true);
        }
        qp.setCapStyle(Qt::FlatCap);
        qp.setJoinStyle(Qt::MiterJoin);
      } else {
        qp.setWidth(pen->Width());
        qp.setCapStyle(pen->EndCap() == pecRound    ? Qt::RoundCap
                       : pen->EndCap() == pecSquare ? Qt::SquareCap
                                                    : Qt::FlatCap);
        qp.setJoinStyle(pen->Join() == pjRound   ? Qt::RoundJoin
                        : pen->Join() == pjBevel ? Qt::BevelJoin
                                                 : Qt::MiterJoin);
      }
      QList<qreal> dashes;
      switch (pen->Style()) {
        case psDash:
          dashes = Cosmetic ? QList<qreal>{18, 6} : QList<qreal>{3, 1};
          break;
        case psDot:
          dashes = Cosmetic ? QList<qreal>{3, 3} : QList<qreal>{1, 1};
          break;
        case psDashDot:
          dashes = Cosmetic ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1};
          break;
        case psDashDotDot:
          dashes = Cosmetic ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1};
          break;
        case psAlternate:
          dashes = {1, 1};
          break;
        case psUserStyle: {
          const auto& us = pen->UserStyle();
          double unit = Cosmetic ? 1.0 : pen->Width();
          for (size_t i = 0; i < us.size(); ++i) {
            double v = us[i] / unit;
            // A zero dash is a single dot.
            if (i % 2 == 0 && v <= 0) v = Cosmetic ? 1.0 : 0.01;
            dashes.push_back(v);
          }
          if (dashes.size() % 2) dashes.push_back(dashes.back());
          break;
        }
        default:
          break;
      }
      if (!dashes.isEmpty()) qp.setDashPattern(dashes);
    }
    QtPen = qp;
    PixelPen = Cosmetic && (qp.widthF() == 0 || (Dpr != 1 && (IdentityMapping() || pen->Width() == 0)));
    P->setPen(qp);
    P->setCompositionMode(Comp);
    AppliedPen = CurrentPenKey();
    PenApplied = pen->Version();
    PenDirty = false;
    DashAlong = 0;
  }

  QBrush MakeBrush() {
    TBrush* b = Owner->FBrush.get();
    if (TBitmap* bm = b->Bitmap()) {
      QImage img = vmqt::BitmapImage(bm);
      if (img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB) {
        img = img.convertToFormat(QImage::Format_Mono);
        img.setColorTable({vmqt::ToQRgb(TextColor), vmqt::ToQRgb(BkColor)});
      }
      if (!img.isNull()) return QBrush(img);
    }
    QColor c = vmqt::ToQColor(b->Color());
    switch (b->Style()) {
      case bsSolid:
        return QBrush(c, Qt::SolidPattern);
      case bsClear:
        return QBrush(Qt::NoBrush);
      case bsHorizontal:
        return QBrush(c, Qt::HorPattern);
      case bsVertical:
        return QBrush(c, Qt::VerPattern);
      case bsFDiagonal:
        return QBrush(c, Qt::FDiagPattern);
      case bsBDiagonal:
        return QBrush(c, Qt::BDiagPattern);
      case bsCross:
        return QBrush(c, Qt::CrossPattern);
      case bsDiagCross:
        return QBrush(c, Qt::DiagCrossPattern);
    }
    return QBrush(c);
  }

  void ApplyBrush() {
    P->setBrush(MakeBrush());
    P->setBackgroundMode(BkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    P->setBackground(QBrush(vmqt::ToQColor(BkColor)));
    AppliedBrush = CurrentBrushKey();
    BrushApplied = Owner->FBrush->Version();
    BrushDirty = false;
  }

  QPainter* Ready() {
    if (!P && !Begin()) return nullptr;
    RealizePen();
    RealizeBrush();
    if (PenDirty) {
      ApplyPen();
    } else if (PenApplied != Owner->FPen->Version()) {
      if (CurrentPenKey() == AppliedPen)
        PenApplied = Owner->FPen->Version();
      else
        ApplyPen();
    }
    if (BrushDirty || Owner->FBrush->Bitmap()) {
      ApplyBrush();
    } else if (BrushApplied != Owner->FBrush->Version()) {
      if (CurrentBrushKey() == AppliedBrush)
        BrushApplied = Owner->FBrush->Version();
      else
        ApplyBrush();
    }
    return P;
  }

  QTransform Mapping() const {
    const TCanvas* o = Owner;
    double sx = 1, sy = 1;
    if (o->FMapMode != MM_TEXT && o->FWindowExt.cx != 0 && o->FWindowExt.cy != 0) {
      sx = static_cast<double>(o->FViewportExt.cx) / o->FWindowExt.cx;
      sy = static_cast<double>(o->FViewportExt.cy) / o->FWindowExt.cy;
    }
    return QTransform(sx, 0, 0, sy, o->FViewportOrg.X - o->FWindowOrg.X * sx, o->FViewportOrg.Y - o->FWindowOrg.Y * sy);
  }

  void ApplyTransform() {
    ++DirectGen;
    if (!P) return;
    P->setWorldTransform(Mapping());
    PenDirty = true;
  }

  void ApplyClip() {
    ++DirectGen;
    if (!P) return;
    QTransform t = P->worldTransform();
    P->resetTransform();
    if (HasClip)
      P->setClipRegion(Clip);
    else
      P->setClipping(false);
    P->setWorldTransform(t);
  }

  QRect DeviceRect() {
    if (!Target) return QRect();
    if (QImage* img = Target->Image()) return LogicalRect(*img);
    QPaintDevice* d = P && P->device() ? P->device() : Target->Device();
    if (d)
      return QRect(0, 0, static_cast<int>(d->width() / d->devicePixelRatio()),
                   static_cast<int>(d->height() / d->devicePixelRatio()));
    return QRect();
  }

  void SetClip(const QRegion& R, int Mode) {
    QRegion cur = HasClip ? Clip : QRegion(DeviceRect());
    switch (Mode) {
      case RGN_AND:
        Clip = cur.intersected(R);
        break;
      case RGN_OR:
        Clip = cur.united(R);
        break;
      case RGN_XOR:
        Clip = cur.xored(R);
        break;
      case RGN_DIFF:
        Clip = cur.subtracted(R);
        break;
      default:
        Clip = R;
        break;
    }
    HasClip = true;
    ApplyClip();
  }

  // ---- fonts
  void EnsureFont() {
    RealizeFont();
    TFont* f = Owner->FFont.get();
    if (!FM || QtFontVer != f->Version() || QtFontExtra != Owner->FCharExtra) {
      QtFont = vmqt::MakeQFont(*f, Owner->FCharExtra);
      QtFontVer = f->Version();
      QtFontExtra = Owner->FCharExtra;
      FM = std::make_unique<QFontMetrics>(QtFont);
    }
  }

  int TextWidthQ(const QString& s) { return FM->horizontalAdvance(s); }

  // At a device pixel ratio other than 1 a pen of odd width is centred on its pixels' middle, as
  // the raster engine does by itself for one device pixel: outlines move half a unit right and
  // down for the scope (the fill they enclose stays under the pen).
  struct StrokeShift {
    StrokeShift(Impl* D, QPainter* P)
        : p(P), s(D->Dpr != 1 && !D->PenNull && (D->PenWidth & 1) && D->IdentityMapping() ? 0.5 : 0) {
      if (s != 0) p->translate(s, s);
    }
    ~StrokeShift() {
      if (s != 0) p->translate(-s, -s);
    }
    StrokeShift(const StrokeShift&) = delete;
    StrokeShift& operator=(const StrokeShift&) = delete;
    QPainter* p;
    double s;
  };

  // ---- drawing helpers
  // A one-pixel line from (X0, Y0) that leaves out (X1, Y1), in every direction. The raster
  // engine puts whole coordinates on pixel corners and keeps the pixels whose centre column (or
  // row) lies after the line's first end up to its second, whichever way it runs; rows of lines
  // that fall are taken half a column early. So the line is moved half a pixel onto the pixel
  // centres and slid along itself by half a step to take exactly the first end, and a falling
  // line is raised by half its slope: the pixels are those nearest to the line, one per step.
  void Segment(QPainter* p, int X0, int Y0, int X1, int Y1) {
    int dx = X1 - X0, dy = Y1 - Y0;
    if (dx == 0 && dy == 0) return;
    if (!PixelPen) {
      StrokeShift shift(this, p);
      p->drawLine(X0, Y0, X1, Y1);  // a scaled mapping: a one-unit pen, left to the engine
      return;
    }
    if (QtPen.style() == Qt::SolidLine && LongStraight(X0, Y0, X1, Y1)) {
      StraightPieces(p, X0, Y0, X1, Y1, false);
      return;
    }
    p->drawLine(OnePixelLine(X0, Y0, X1, Y1));
  }

  // The engine hands a line to its fill routines in one batch of pixel runs, and a batch of more
  // than about a hundred runs (a long line: every pixel is a run of its own) is shared out among
  // the worker threads of the application, which costs far more than the drawing when it happens
  // for each grid line. Long horizontal and vertical one-pixel lines are therefore drawn in pieces
  // of at most this many pixels, each its own batch: the same pixels, dashes going on from piece
  // to piece. Only for lines that lie wholly inside the surface and the clip: the engine shortens
  // a line that crosses the edge and does not then keep its dashes exactly in step with the
  // pieces. Off with the direct-raster setting (tests compare against the whole line).
  static constexpr int kStraightPiece = 64;
  bool LongStraight(int X0, int Y0, int X1, int Y1) {
    const int dx = X1 - X0, dy = Y1 - Y0;
    if (!DirectRaster || (dx != 0 && dy != 0) || std::max(std::abs(dx), std::abs(dy)) <= kStraightPiece ||
        !IdentityMapping())
      return false;
    QRect area = DeviceRect();
    if (HasClip) area &= Clip.boundingRect();
    const QRect box = QRect(QPoint(std::min(X0, X1), std::min(Y0, Y1)), QPoint(std::max(X0, X1), std::max(Y0, Y1)));
    return area.adjusted(1, 1, -1, -1).contains(box);
  }
  void StraightPieces(QPainter* p, int X0, int Y0, int X1, int Y1, bool Dashed) {
    const int sx = (X1 > X0) - (X1 < X0), sy = (Y1 > Y0) - (Y1 < Y0);
    const int len = std::max(std::abs(X1 - X0), std::abs(Y1 - Y0));
    for (int done = 0; done < len; done += kStraightPiece) {
      const int n = std::min(kStraightPiece, len - done);
      if (Dashed) {
        QPen pen = QtPen;
        pen.setDashOffset(DashAlong);
        p->setPen(pen);
        DashAlong += n;
      }
      p->drawLine(OnePixelLine(X0 + sx * done, Y0 + sy * done, X0 + sx * (done + n), Y0 + sy * (done + n)));
    }
    if (Dashed) p->setPen(QtPen);
  }

  // The line Segment draws for a one-pixel pen on an unscaled mapping (not for a point).
  static QLineF OnePixelLine(int X0, int Y0, int X1, int Y1) {
    int dx = X1 - X0, dy = Y1 - Y0;
    double ox, oy;
    if (std::abs(dx) >= std::abs(dy)) {
      double t = dx > 0 ? -0.5 : 0.5, slope = static_cast<double>(dy) / dx;
      ox = 0.5 + t;
      oy = 0.5 + t * slope + (slope < 0 ? slope / 2 : 0);
    } else {
      double t = dy > 0 ? -0.5 : 0.5, slope = static_cast<double>(dx) / dy;
      oy = 0.5 + t;
      ox = 0.5 + t * slope + (slope < 0 ? slope / 2 : 0);
    }
    return QLineF(X0 + ox, Y0 + oy, X1 + ox, Y1 + oy);
  }

  // Segment, with a styled one-pixel pen's dashes going on from where the last line left them.
  void StyledSegment(QPainter* p, int X0, int Y0, int X1, int Y1) {
    if (!Cosmetic || QtPen.style() != Qt::CustomDashLine) {
      Segment(p, X0, Y0, X1, Y1);
      return;
    }
    if (QtPen.widthF() == 0 && LongStraight(X0, Y0, X1, Y1)) {
      StraightPieces(p, X0, Y0, X1, Y1, true);
      return;
    }
    QPen pen = QtPen;
    pen.setDashOffset(DashAlong);
    p->setPen(pen);
    Segment(p, X0, Y0, X1, Y1);
    p->setPen(QtPen);
    DashAlong += std::max(std::abs(X1 - X0), std::abs(Y1 - Y0));
  }

  // Closed curves keep their right and bottom pixel only with square ends on a one-pixel pen.
  struct CurvePen {
    CurvePen(Impl* D, QPainter* P) : d(D), p(P) {
      if (d->Cosmetic && !d->PenNull) {
        QPen q = d->QtPen;
        q.setCapStyle(Qt::SquareCap);
        p->setPen(q);
      }
    }
    ~CurvePen() {
      if (d->Cosmetic && !d->PenNull) p->setPen(d->QtPen);
    }
    Impl* d;
    QPainter* p;
  };

  void Done() {
    if (Target) Target->Drawn();
  }

  // The pixels of an ellipse in a box at the origin (the rasterization does not depend on where
  // the box is), kept for the last sixteen sizes: marker ellipses repeat a few sizes many times
  // (bubbles of a handful of radii in turn).
  struct EllipseStamp {
    int W = 0, H = 0;
    bool Outline = false, Fill = false;
    QPolygon Points;
    std::vector<QRect> Inside;
  };
  std::deque<EllipseStamp> Stamps;
  const EllipseStamp& Stamp(int W, int H, bool Outline, bool Fill) {
    for (const EllipseStamp& e : Stamps)
      if (e.W == W && e.H == H && e.Outline == Outline && e.Fill == Fill) return e;
    if (Stamps.size() >= 16) Stamps.pop_back();
    EllipseStamp e{W, H, Outline, Fill, {}, {}};
    RasterEllipse(0, 0, W, H, Outline ? &e.Points : nullptr, Fill ? &e.Inside : nullptr);
    Stamps.push_front(std::move(e));
    return Stamps.front();
  }

  // The raster image the painter draws on, when pixels may be set into it directly with the
  // current pen and brush: copy mode, identity mapping, a solid one-pixel pen or none, a solid
  // brush or none, opaque colours, at most one clip rectangle. Clip gets the writable area.
  // The image and area found last, while the painter, its target, mapping and clip stay.
  uint32_t DirectGen = 0, DirectCachedGen = UINT32_MAX;
  QImage* DirectCachedImage = nullptr;
  QRect DirectCachedArea;
  QImage* DirectImage(QRect& ClipArea) {
    if (!DirectRaster || !Target || External || Rop2 != pmCopy || !IdentityMapping()) return nullptr;
    if (P && DirectCachedGen == DirectGen) {
      if (!DirectCachedImage || !DirectCachedImage->isDetached()) return nullptr;
      ClipArea = DirectCachedArea;
      return DirectCachedImage;
    }
    QImage* img = FindDirectImage(ClipArea);
    if (P) {
      DirectCachedGen = DirectGen;
      DirectCachedImage = img;
      DirectCachedArea = ClipArea;
    }
    return img && img->isDetached() ? img : nullptr;
  }
  QImage* FindDirectImage(QRect& ClipArea) {
    if (!P && !Begin()) return nullptr;
    QImage* img = Target->Image();
    if (!img || P->device() != img || img->devicePixelRatio() != 1) return nullptr;
    const QImage::Format f = img->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied &&
        f != QImage::Format_BGR888)
      return nullptr;
    if (P->worldTransform().type() != QTransform::TxNone) return nullptr;
    ClipArea = img->rect();
    if (HasClip) {
      if (Clip.rectCount() > 1) return nullptr;
      ClipArea &= Clip.boundingRect();
    }
    return img;
  }

  // A pen or brush colour as the painter would set it, when it is opaque (the last two colours
  // asked for are kept: drawing switches between a line and a marker colour).
  struct RgbMemo {
    TColor Color;
    QRgb Rgb;
    bool Opaque;
  };
  RgbMemo RgbMemos[2] = {{clNone, 0, false}, {clNone, 0, false}};  // clNone is never plain
  bool OpaqueRgb(TColor C, QRgb& Out) {
    const bool plain = (static_cast<uint32_t>(C) & 0xFF000000u) == 0;  // not a system colour
    for (const RgbMemo& m : RgbMemos)
      if (plain && m.Color == C) {
        Out = m.Rgb;
        return m.Opaque;
      }
    const QColor q = vmqt::ToQColor(C);
    if (plain) {
      RgbMemos[1] = RgbMemos[0];
      RgbMemos[0] = RgbMemo{C, q.rgba(), q.alpha() == 255};
    }
    Out = q.rgba();
    return q.alpha() == 255;
  }

  // A horizontal or vertical one-pixel line (its end pixel left out) set straight into the
  // image; false when it cannot be (the caller then draws it through the painter).
  bool DirectLine(int X0, int Y0, int X1, int Y1) {
    if ((X0 != X1) == (Y0 != Y1)) return false;  // slanted, or no length
    RealizePen();
    const TPen* pen = Owner->FPen.get();
    if (pen->Width() > 1 || (pen->Style() != psSolid && pen->Style() != psInsideFrame)) return false;
    QRgb rgb = 0;
    if (!OpaqueRgb(pen->Color(), rgb)) return false;
    QRect area;
    QImage* img = DirectImage(area);
    if (!img || img->depth() != 32) return false;
    uchar* bits = const_cast<uchar*>(img->constBits());  // the painter's own buffer, not detached
    const qsizetype bpl = img->bytesPerLine();
    if (X0 == X1) {
      if (X0 < area.left() || X0 > area.right()) return true;
      int top = Y1 > Y0 ? Y0 : Y1 + 1, bottom = Y1 > Y0 ? Y1 - 1 : Y0;
      top = std::max(top, area.top());
      bottom = std::min(bottom, area.bottom());
      for (int y = top; y <= bottom; ++y) reinterpret_cast<QRgb*>(bits + y * bpl)[X0] = rgb;
    } else {
      if (Y0 < area.top() || Y0 > area.bottom()) return true;
      int left = X1 > X0 ? X0 : X1 + 1, right = X1 > X0 ? X1 - 1 : X0;
      left = std::max(left, area.left());
      right = std::min(right, area.right());
      if (left <= right) {
        QRgb* line = reinterpret_cast<QRgb*>(bits + Y0 * bpl);
        std::fill(line + left, line + right + 1, rgb);
      }
    }
    return true;
  }

  // Fills a rectangle straight into the image with the brush: an opaque solid colour, or a
  // pattern bitmap of opaque pixels tiled from the device origin as the painter tiles it. False
  // when it cannot (the caller then fills through the painter).
  bool DirectFill(const QRect& R) {
    if (R.isEmpty()) return false;
    RealizeBrush();
    const TBrush* brush = Owner->FBrush.get();
    QRgb rgb = 0;
    const QImage* tex = nullptr;
    if (TBitmap* bm = brush->Bitmap()) {
      const QImage& t = vmqt::BitmapImage(bm);
      if (t.isNull() || t.format() != QImage::Format_RGB32) return false;
      tex = &t;
    } else if (brush->Style() != bsSolid || !OpaqueRgb(brush->Color(), rgb)) {
      return false;
    }
    QRect area;
    QImage* img = DirectImage(area);
    if (!img || img->depth() != 32) return false;
    const QRect r = R & area;
    if (r.isEmpty()) return true;
    uchar* bits = const_cast<uchar*>(img->constBits());  // the painter's own buffer, not detached
    const qsizetype bpl = img->bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y) {
      QRgb* line = reinterpret_cast<QRgb*>(bits + y * bpl);
      if (!tex) {
        // The C library's wide-character fill is the vectorised one (its characters are pixels here).
        static_assert(sizeof(wchar_t) == sizeof(QRgb));
        std::wmemset(reinterpret_cast<wchar_t*>(line + r.left()), static_cast<wchar_t>(rgb), r.width());
        continue;
      }
      const int tw = tex->width(), th = tex->height();
      const QRgb* src = reinterpret_cast<const QRgb*>(tex->constScanLine(((y % th) + th) % th));
      int tx = ((r.left() % tw) + tw) % tw;
      for (int x = r.left(); x <= r.right(); ++x) {
        line[x] = src[tx] | 0xFF000000u;
        if (++tx == tw) tx = 0;
      }
    }
    return true;
  }

  // Sets the pixels of an ellipse straight into the image; false when it cannot (the caller
  // then draws it through the painter).
  bool DirectEllipse(const QRect& R) {
    RealizePen();
    RealizeBrush();
    const TPen* pen = Owner->FPen.get();
    const TBrush* brush = Owner->FBrush.get();
    const bool penNull = pen->Style() == psClear;
    if (!penNull && (pen->Width() > 1 || (pen->Style() != psSolid && pen->Style() != psInsideFrame))) return false;
    if (brush->Bitmap() || (brush->Style() != bsSolid && brush->Style() != bsClear)) return false;
    const bool fill = brush->Style() == bsSolid;
    QRgb penRgb = 0, brushRgb = 0;
    if (!penNull && !OpaqueRgb(pen->Color(), penRgb)) return false;
    if (fill && !OpaqueRgb(brush->Color(), brushRgb)) return false;
    QRect area;
    QImage* img = DirectImage(area);
    if (!img) return false;
    const EllipseStamp& e =
        penNull ? Stamp(R.width() - 1, R.height() - 1, false, fill) : Stamp(R.width(), R.height(), true, fill);
    const int dx = R.left(), dy = R.top();
    const int bpl = static_cast<int>(img->bytesPerLine());
    uchar* bits = const_cast<uchar*>(img->constBits());  // the painter's own buffer, not detached
    if (img->depth() == 24) {
      // Three bytes a pixel, blue first.
      const auto put = [](uchar* p, QRgb c) {
        p[0] = static_cast<uchar>(qBlue(c));
        p[1] = static_cast<uchar>(qGreen(c));
        p[2] = static_cast<uchar>(qRed(c));
      };
      const auto at = [&](int x, int y) { return bits + static_cast<qsizetype>(y) * bpl + 3 * x; };
      if (fill) {
        for (const QRect& span : e.Inside) {
          const int y = span.top() + dy;
          if (y < area.top() || y > area.bottom()) continue;
          const int x0 = std::max(span.left() + dx, area.left()), x1 = std::min(span.right() + dx, area.right());
          for (uchar* p = at(x0, y); p <= at(x1, y); p += 3) put(p, brushRgb);
        }
      }
      if (!penNull)
        for (const QPoint& q : e.Points) {
          const int x = q.x() + dx, y = q.y() + dy;
          if (area.contains(x, y)) put(at(x, y), penRgb);
        }
      return true;
    }
    auto row = [&](int y) { return reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y) * bpl); };
    if (area.contains(QRect(dx, dy, e.W, e.H))) {
      // All inside: no pixel needs its own test.
      if (fill)
        for (const QRect& span : e.Inside) {
          QRgb* line = row(span.top() + dy) + dx;
          std::fill(line + span.left(), line + span.right() + 1, brushRgb);
        }
      if (!penNull)
        for (const QPoint& q : e.Points) row(q.y() + dy)[q.x() + dx] = penRgb;
      return true;
    }
    if (fill) {
      for (const QRect& span : e.Inside) {
        const int y = span.top() + dy;
        if (y < area.top() || y > area.bottom()) continue;
        const int x0 = std::max(span.left() + dx, area.left()), x1 = std::min(span.right() + dx, area.right());
        if (x0 > x1) continue;
        QRgb* line = row(y);
        std::fill(line + x0, line + x1 + 1, brushRgb);
      }
    }
    if (!penNull) {
      for (const QPoint& q : e.Points) {
        const int x = q.x() + dx, y = q.y() + dy;
        if (area.contains(x, y)) row(y)[x] = penRgb;
      }
    }
    return true;
  }

  // Ellipses, arcs, pies and chords are set pixel by pixel for a one-pixel solid pen (or none)
  // on an unscaled mapping; wider, dashed or scaled pens are left to the engine.
  // A real printer gets the engine's curves: its pages are not pixels the program reads back.
  // An inside-frame pen draws within the box: the box shrinks by half the pen's width.
  void InsetForFrame(QRect& r) const {
    if (!InsideFrame) return;
    int h = PenWidth / 2;
    r.adjust(h, h, -h, -h);
  }

  // Pie or chord: added to the open path, or filled with the brush and outlined with the pen.
  void ClosedArc(ArcKind Kind, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
                 int32_t Y4);

  // A metafile keeps curves as curves: it is replayed at any size.
  bool CurveCalls() const { return Target && Target->Technology() == DT_METAFILE; }
  void TellCurve(vmqt::TCurveCall::TKind Kind, const QPainterPath& Path, const QRect& Box, QPointF A, QPointF B,
                 QPointF From = {}) {
    if (!CurveCalls()) return;
    if (Kind != vmqt::TCurveCall::RoundRect && Owner->FArcDirection == AD_CLOCKWISE) std::swap(A, B);
    Target->Curve(vmqt::TCurveCall{Kind, Path, QRectF(Box.left(), Box.top(), Box.width(), Box.height()), A, B, From});
  }

  bool ExactCurves() const {
    TPenStyle st = Owner->FPen->Style();
    if (Target && Target->Technology() == DT_RASPRINTER && !Target->Image()) return false;
    if (CurveCalls()) return false;
    return Dpr == 1 && IdentityMapping() && (PenNull || (Cosmetic && (st == psSolid || st == psInsideFrame)));
  }

  // Draws a closed shape: the brush fills the box without its right column and bottom row, the
  // pen outlines it.
  template <class FillFn, class StrokeFn>
  void Shape(QPainter* p, FillFn fill, StrokeFn stroke) {
    if (Nop) return;
    if (PenNull || p->brush().style() == Qt::NoBrush) {
      if (PenNull) {
        fill();
      } else {
        stroke();
      }
      return;
    }
    fill();
    stroke();
  }
};

namespace vmqt {

void CanvasSetTarget(TCanvas* Canvas, TCanvasTarget* Target) {
  TCanvas::Impl* d = Canvas->GetImpl();
  d->Flush();
  d->Target = Target;
  ++d->DirectGen;
  d->PenDirty = d->BrushDirty = true;
  d->HasClip = false;
  d->Clip = QRegion();
  d->InPath = false;
  d->Path = QPainterPath();
}

TCanvasTarget* CanvasTarget(TCanvas* Canvas) { return Canvas->GetImpl()->Target; }

void CanvasFlush(TCanvas* Canvas) { Canvas->GetImpl()->Flush(); }

QPainter* CanvasPainter(TCanvas* Canvas) { return Canvas->GetImpl()->Ready(); }

QImage* CanvasImage(TCanvas* Canvas) {
  TCanvas::Impl* d = Canvas->GetImpl();
  return d->Target ? d->Target->Image() : nullptr;
}

}  // namespace vmqt

// ---------------------------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas()
    : FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()),
      FFont(std::make_unique<TFont>()),
      FImpl(std::make_unique<Impl>(this)) {}

TCanvas::~TCanvas() { FImpl.reset(); }

bool TCanvas::HandleAllocated() const { return FImpl->Target != nullptr; }

void TCanvas::Refresh() {
  FImpl->PenRealized = FImpl->BrushRealized = FImpl->FontRealized = 0;
  FImpl->PenDirty = FImpl->BrushDirty = true;
  FImpl->FM.reset();
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  FImpl->Done();
  if (OnChange) OnChange(this);
}

TColor TCanvas::Pixels(int32_t X, int32_t Y) {
  QImage* img = FImpl->Target ? FImpl->Target->Image() : nullptr;
  if (!img) return CLR_INVALID;
  QPoint d = FImpl->Mapping().map(QPoint(X, Y));
  if (!LogicalRect(*img).contains(d)) return CLR_INVALID;
  if (FImpl->HasClip && !FImpl->Clip.contains(d)) return CLR_INVALID;
  return vmqt::FromQRgb(img->pixel(DevicePixel(*img, d)));
}

void TCanvas::SetPixels(int32_t X, int32_t Y, TColor Color) {
  // Straight into a plain image when nothing maps or combines the pixel (a dotted line is a pixel
  // at a time: the painter's state saved and restored for each was most of its cost).
  QRect area;
  if (QImage* img = FImpl->DirectImage(area); img && img->depth() == 32) {
    QRgb rgb = 0;
    FImpl->OpaqueRgb(ColorToRGB(Color), rgb);
    Changing();
    if (area.contains(X, Y)) {
      uchar* bits = const_cast<uchar*>(img->constBits());  // the painter's own buffer, not detached
      reinterpret_cast<QRgb*>(bits + Y * img->bytesPerLine())[X] = rgb | 0xFF000000u;
    }
    Changed();
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  QPoint d = FImpl->Mapping().map(QPoint(X, Y));
  QTransform t = p->worldTransform();
  p->resetTransform();
  {
    CompositionScope cs(p, QPainter::CompositionMode_Source);
    p->fillRect(QRect(d.x(), d.y(), 1, 1), vmqt::ToQColor(ColorToRGB(Color)));
  }
  p->setWorldTransform(t);
  Changed();
}

bool SetCanvasDirectRaster(bool On) { return std::exchange(DirectRaster, On); }

void TCanvas::MoveTo(int32_t X, int32_t Y) {
  FPenPos = TPoint(X, Y);
  FImpl->DashAlong = 0;
  if (FImpl->InPath) FImpl->Path.moveTo(X, Y);
}

void TCanvas::LineTo(int32_t X, int32_t Y) {
  TPoint from = FPenPos;
  FPenPos = TPoint(X, Y);
  if (FImpl->InPath) {
    FImpl->Path.lineTo(X, Y);
    return;
  }
  if (FImpl->DirectLine(from.X, from.Y, X, Y)) {
    Changing();
    Changed();
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop && !FImpl->PenNull) {
    // A one-pixel line of no length draws nothing: its end pixel is left out.
    if (from.X != X || from.Y != Y)
      FImpl->StyledSegment(p, from.X, from.Y, X, Y);
    else if (!FImpl->Cosmetic) {
      Impl::StrokeShift shift(FImpl.get(), p);
      p->drawLine(from.X, from.Y, X, Y);
    }
  }
  Changed();
}

void TCanvas::LineSegments(const TPoint* Points, int Count) {
  if (!Points || Count < 2) return;
  const int n = Count / 2 * 2;
  FPenPos = Points[n - 1];
  if (FImpl->InPath) {
    for (int i = 0; i < n; i += 2) {
      FImpl->Path.moveTo(Points[i].X, Points[i].Y);
      FImpl->Path.lineTo(Points[i + 1].X, Points[i + 1].Y);
    }
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop && !FImpl->PenNull) {
    if (FImpl->Cosmetic && FImpl->QtPen.widthF() == 0 && FImpl->QtPen.style() == Qt::SolidLine) {
      // One pen for every line: straight ones go into the image when they can, the rest reach the
      // engine together. Drawing order within the call does not matter, as each pixel gets the
      // same colour however often it is drawn (or, in the exclusive-or modes, as often as the
      // lines one by one would draw it). The engine's line walker remembers the direction of the
      // line it drew last and, after one of another direction, may set an extra pixel at the
      // start of the next: lines go to it in four batches, one per direction (mostly along X or
      // along Y, forwards or backwards), each drawing exactly what the lines alone draw.
      thread_local std::vector<QLineF> lines[4];
      for (auto& l : lines) l.clear();
      for (int i = 0; i < n; i += 2) {
        const TPoint a = Points[i], b = Points[i + 1];
        if (a.X == b.X && a.Y == b.Y) continue;  // its end pixel left out: nothing
        if (FImpl->DirectLine(a.X, a.Y, b.X, b.Y)) continue;
        const int dx = b.X - a.X, dy = b.Y - a.Y;
        const int direction = std::abs(dx) >= std::abs(dy) ? (dx > 0 ? 0 : 1) : (dy > 0 ? 2 : 3);
        lines[direction].push_back(Impl::OnePixelLine(a.X, a.Y, b.X, b.Y));
      }
      for (const auto& l : lines)
        if (!l.empty()) p->drawLines(l.data(), static_cast<int>(l.size()));
    } else {
      for (int i = 0; i < n; i += 2) {
        const TPoint a = Points[i], b = Points[i + 1];
        FImpl->DashAlong = 0;  // each line starts its dashes afresh, as after a MoveTo
        if (a.X != b.X || a.Y != b.Y)
          FImpl->StyledSegment(p, a.X, a.Y, b.X, b.Y);
        else if (!FImpl->Cosmetic)
          p->drawLine(a.X, a.Y, b.X, b.Y);
      }
    }
  }
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Column-run thinning of one-pixel polylines.

namespace {

// The rows that a walk Y[0..N-1] along one column draws with one-pixel lines whose end pixels are
// left out: every row between the lowest and the highest, except an extreme row that the walk
// never leaves (it reaches it only as the end of a line and stops there). Lo > Hi: nothing.
struct TRows {
  int Lo = 1, Hi = 0;
  bool operator==(const TRows&) const = default;
};

template <class Get>
TRows WalkRows(size_t N, const Get& Y) {
  int lo = Y(0), hi = Y(0);
  for (size_t i = 1; i < N; ++i) {
    lo = std::min(lo, Y(i));
    hi = std::max(hi, Y(i));
  }
  bool loLeft = false, hiLeft = false;
  for (size_t i = 0; i + 1 < N; ++i) {
    if (Y(i) == lo && Y(i + 1) != lo) loLeft = true;
    if (Y(i) == hi && Y(i + 1) != hi) hiLeft = true;
  }
  TRows r{loLeft ? lo : lo + 1, hiLeft ? hi : hi - 1};
  if (r.Lo > r.Hi) r = TRows{};
  return r;
}

}  // namespace

void TColumnThinner::EndColumn() {
  const int x = FX;
  if (FLen <= 4) {
    FOut.push_back(TPoint(x, FY0));
    for (size_t k = 1; k < FLen; ++k) FOut.push_back(TPoint(x, FShort[k]));
    return;
  }
  const int y0 = FY0, yk = FLast;
  const int lo = FLo, hi = FHi;
  TRows want{FLoLeft ? lo : lo + 1, FHiLeft ? hi : hi - 1};
  if (want.Lo > want.Hi) want = TRows{};
  // Shortest walk from y0 to yk over the same rows; the end stays yk so the next line starts
  // where it did.
  const std::array<std::array<int, 4>, 5> candidates{
      {{y0, yk, yk, yk}, {y0, lo, yk, yk}, {y0, hi, yk, yk}, {y0, lo, hi, yk}, {y0, hi, lo, yk}}};
  const std::array<size_t, 5> sizes{2, 3, 3, 4, 4};
  bool done = false;
  for (size_t c = 0; c < candidates.size() && !done; ++c) {
    const auto& w = candidates[c];
    if (WalkRows(sizes[c], [&](size_t k) { return w[k]; }) == want) {
      int last = w[0];
      FOut.push_back(TPoint(x, w[0]));
      for (size_t k = 1; k < sizes[c]; ++k) {
        if (w[k] == last) continue;
        FOut.push_back(TPoint(x, w[k]));
        last = w[k];
      }
      if (FOut.back().Y != yk) FOut.push_back(TPoint(x, yk));
      done = true;
    }
  }
  // One of the walks always matches: a row at an end that the walk never leaves is its last row.
  if (!done) {
    for (int y : {y0, lo, hi, yk}) FOut.push_back(TPoint(x, y));
  }
}

namespace {

// Scans of a long run of one pixel column for TColumnThinner::AddBlock: where the column ends,
// its lowest and highest row, and whether a row is left (a point on it followed by another row).
size_t RunEndPlain(const int32_t* X, size_t N, int32_t V) {
  size_t i = 0;
  while (i < N && X[i] == V) ++i;
  return i;
}
void RunMinMaxPlain(const int32_t* Y, size_t N, int32_t& Lo, int32_t& Hi) {
  int32_t lo = Y[0], hi = Y[0];
  for (size_t i = 1; i < N; ++i) {
    lo = std::min(lo, Y[i]);
    hi = std::max(hi, Y[i]);
  }
  Lo = lo;
  Hi = hi;
}
bool RunLeavesPlain(const int32_t* Y, size_t N, int32_t V) {
  for (size_t i = 0; i + 1 < N; ++i)
    if (Y[i] == V && Y[i + 1] != V) return true;
  return false;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define VM_WIDE_RUNS 1
// The same eight rows at a time on processors with the wide vector unit.
__attribute__((target("avx2"))) size_t RunEndWide(const int32_t* X, size_t N, int32_t V) {
  const __m256i v = _mm256_set1_epi32(V);
  size_t i = 0;
  for (; i + 8 <= N; i += 8) {
    const __m256i eq = _mm256_cmpeq_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(X + i)), v);
    const unsigned mask = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(eq)));
    if (mask != 0xFF) return i + static_cast<size_t>(__builtin_ctz(~mask));
  }
  while (i < N && X[i] == V) ++i;
  return i;
}
__attribute__((target("avx2"))) void RunMinMaxWide(const int32_t* Y, size_t N, int32_t& Lo, int32_t& Hi) {
  __m256i lo = _mm256_set1_epi32(Y[0]), hi = lo;
  size_t i = 0;
  for (; i + 8 <= N; i += 8) {
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Y + i));
    lo = _mm256_min_epi32(lo, y);
    hi = _mm256_max_epi32(hi, y);
  }
  alignas(32) int32_t l[8], h[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(l), lo);
  _mm256_store_si256(reinterpret_cast<__m256i*>(h), hi);
  int32_t a = l[0], b = h[0];
  for (int k = 1; k < 8; ++k) {
    a = std::min(a, l[k]);
    b = std::max(b, h[k]);
  }
  for (; i < N; ++i) {
    a = std::min(a, Y[i]);
    b = std::max(b, Y[i]);
  }
  Lo = a;
  Hi = b;
}
__attribute__((target("avx2"))) bool RunLeavesWide(const int32_t* Y, size_t N, int32_t V) {
  const __m256i v = _mm256_set1_epi32(V);
  size_t i = 0;
  for (; i + 9 <= N; i += 8) {
    const __m256i a = _mm256_cmpeq_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(Y + i)), v);
    const __m256i b = _mm256_cmpeq_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(Y + i + 1)), v);
    if (!_mm256_testz_si256(_mm256_andnot_si256(b, a), _mm256_andnot_si256(b, a))) return true;
  }
  for (; i + 1 < N; ++i)
    if (Y[i] == V && Y[i + 1] != V) return true;
  return false;
}
bool WideRuns() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

size_t RunEnd(const int32_t* X, size_t N, int32_t V) {
#if defined(VM_WIDE_RUNS)
  if (WideRuns()) return RunEndWide(X, N, V);
#endif
  return RunEndPlain(X, N, V);
}
void RunMinMax(const int32_t* Y, size_t N, int32_t& Lo, int32_t& Hi) {
#if defined(VM_WIDE_RUNS)
  if (WideRuns()) return RunMinMaxWide(Y, N, Lo, Hi);
#endif
  RunMinMaxPlain(Y, N, Lo, Hi);
}
bool RunLeaves(const int32_t* Y, size_t N, int32_t V) {
#if defined(VM_WIDE_RUNS)
  if (WideRuns()) return RunLeavesWide(Y, N, V);
#endif
  return RunLeavesPlain(Y, N, V);
}

}  // namespace

void TColumnThinner::AddBlock(const int32_t* X, const int32_t* Y, size_t N) {
  size_t k = 0;
  if (FLen == 0) {
    if (N == 0) return;
    Add(X[0], Y[0]);
    k = 1;
  }
  // Add's state in locals, updated without branches inside a column (the rows of a dense curve
  // go up and down at random).
  int32_t cx = FX, lo = FLo, hi = FHi, last = FLast;
  size_t len = FLen;
  bool loLeft = FLoLeft, hiLeft = FHiLeft;
  auto store = [&] {
    FX = cx;
    FLo = lo;
    FHi = hi;
    FLast = last;
    FLen = len;
    FLoLeft = loLeft;
    FHiLeft = hiLeft;
  };
  for (; k < N; ++k) {
    const int32_t x = X[k], y = Y[k];
    if (x != cx) {
      store();
      EndColumn();
      cx = x;
      FY0 = lo = hi = last = y;
      loLeft = hiLeft = false;
      len = 1;
      continue;
    }
    if (len > 4 && N - k >= 16) {
      // A long stretch of a column that already has more than four points (so its count and
      // first rows no longer matter): its rows are scanned as a whole.
      const size_t n = RunEnd(X + k, N - k, cx);
      if (n >= 16) {
        const int32_t* run = Y + k;
        int32_t m, M;
        RunMinMax(run, n, m, M);
        if (m < lo) {
          loLeft = RunLeaves(run, n, m);
          lo = m;
        } else {
          loLeft = loLeft || (last == lo && run[0] != lo) || (m == lo && RunLeaves(run, n, lo));
        }
        if (M > hi) {
          hiLeft = RunLeaves(run, n, M);
          hi = M;
        } else {
          hiLeft = hiLeft || (last == hi && run[0] != hi) || (M == hi && RunLeaves(run, n, hi));
        }
        last = run[n - 1];
        k += n - 1;
        continue;
      }
    }
    const bool changed = y != last;
    loLeft = (loLeft | (changed & (last == lo))) & !(y < lo);
    hiLeft = (hiLeft | (changed & (last == hi))) & !(y > hi);
    lo = std::min(lo, y);
    hi = std::max(hi, y);
    FShort[len < 4 ? len : 3] = y;  // a repeat writes the row already there, or a slot not used
    len += changed;
    last = y;
  }
  store();
}

void ThinColumnRuns(const TPoint* Points, int Count, std::vector<TPoint>& Out) {
  TColumnThinner thinner(Out);
  for (int i = 0; i < Count; ++i) thinner.Add(Points[i].X, Points[i].Y);
  thinner.Finish();
}

void TCanvas::Polyline(const TPoint* Points, int Count) {
  if (!Points || Count < 1) return;
  if (FImpl->InPath) {
    FImpl->Path.moveTo(Points[0].X, Points[0].Y);
    for (int i = 1; i < Count; ++i) FImpl->Path.lineTo(Points[i].X, Points[i].Y);
    return;
  }
  if (Count < 2) return;
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop && !FImpl->PenNull) {
    if (FImpl->Cosmetic && FImpl->QtPen.style() == Qt::CustomDashLine) {
      // A styled pen's dashes run on along the whole line instead of starting again at each point.
      FImpl->DashAlong = 0;
      for (int i = 1; i < Count; ++i)
        FImpl->StyledSegment(p, Points[i - 1].X, Points[i - 1].Y, Points[i].X, Points[i].Y);
      FImpl->DashAlong = 0;
    } else if (FImpl->Cosmetic && FImpl->Rop2 == pmCopy && FImpl->QtPen.style() == Qt::SolidLine &&
               FImpl->QtPen.widthF() == 0 && Count > 16) {
      // Dense one-pixel curves (many points per column) go through the exact thinning first.
      thread_local std::vector<TPoint> thinned;
      thinned.clear();
      ThinColumnRuns(Points, Count, thinned);
      const int n = static_cast<int>(thinned.size());
      for (int i = 1; i < n; ++i) FImpl->Segment(p, thinned[i - 1].X, thinned[i - 1].Y, thinned[i].X, thinned[i].Y);
    } else if (FImpl->Cosmetic) {
      for (int i = 1; i < Count; ++i) FImpl->Segment(p, Points[i - 1].X, Points[i - 1].Y, Points[i].X, Points[i].Y);
    } else {
      QPolygon poly(Count);
      for (int i = 0; i < Count; ++i) poly.setPoint(i, Points[i].X, Points[i].Y);
      Impl::StrokeShift shift(FImpl.get(), p);
      p->drawPolyline(poly);
    }
  }
  Changed();
}

void TCanvas::Polygon(const TPoint* Points, int Count) {
  if (!Points || Count < 2) return;
  QPolygon poly(Count);
  for (int i = 0; i < Count; ++i) poly.setPoint(i, Points[i].X, Points[i].Y);
  if (FImpl->InPath) {
    FImpl->Path.addPolygon(poly);
    FImpl->Path.closeSubpath();
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop) {
    Impl::StrokeShift shift(FImpl.get(), p);
    p->drawPolygon(poly, FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  }
  Changed();
}

void TCanvas::PolyBezier(const TPoint* Points, int Count) {
  if (!Points || Count < 4 || (Count - 1) % 3 != 0) return;
  QPainterPath path;
  path.moveTo(Points[0].X, Points[0].Y);
  for (int i = 1; i + 2 < Count; i += 3)
    path.cubicTo(Points[i].X, Points[i].Y, Points[i + 1].X, Points[i + 1].Y, Points[i + 2].X, Points[i + 2].Y);
  if (FImpl->InPath) {
    FImpl->Path.addPath(path);
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop && !FImpl->PenNull) {
    Impl::StrokeShift shift(FImpl.get(), p);
    p->strokePath(path, p->pen());
  }
  Changed();
}

void TCanvas::PolyBezierTo(const TPoint* Points, int Count) {
  if (!Points || Count < 3 || Count % 3 != 0) return;
  std::vector<TPoint> all;
  all.reserve(Count + 1);
  all.push_back(FPenPos);
  all.insert(all.end(), Points, Points + Count);
  if (FImpl->InPath) {
    for (int i = 0; i + 2 < Count; i += 3)
      FImpl->Path.cubicTo(Points[i].X, Points[i].Y, Points[i + 1].X, Points[i + 1].Y, Points[i + 2].X, Points[i + 2].Y);
  } else {
    PolyBezier(all.data(), static_cast<int>(all.size()));
  }
  FPenPos = Points[Count - 1];
}

void TCanvas::Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  QRect r = NormRect(X1, Y1, X2, Y2);
  if (FImpl->InPath) {
    FImpl->Path.addRect(QRectF(r));
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  Impl* d = FImpl.get();
  if (!d->Nop && r.width() > 0 && r.height() > 0) {
    d->InsetForFrame(r);
    QRect outline(r.left(), r.top(), r.width() - 1, r.height() - 1);
    bool fill = p->brush().style() != Qt::NoBrush;
    if (d->PenNull) {
      if (fill) {
        p->setPen(Qt::NoPen);
        p->drawRect(outline);  // the fill stops one pixel short of the right and bottom edges
      }
    } else if (d->Cosmetic && d->Comp == QPainter::CompositionMode_SourceOver && r.width() > 1 && r.height() > 1) {
      Impl::StrokeShift shift(d, p);
      p->drawRect(outline);
    } else if (d->Cosmetic) {
      // Fill the inside and outline separately so that no pixel is drawn twice (raster modes).
      if (fill && r.width() > 2 && r.height() > 2) {
        p->setPen(Qt::NoPen);
        p->drawRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, r.height() - 2));
        p->setPen(d->QtPen);
      }
      QBrush b = p->brush();
      p->setBrush(Qt::NoBrush);
      {
        Impl::StrokeShift shift(d, p);
        if (r.width() == 1 || r.height() == 1)
          p->drawLine(r.left(), r.top(), r.right(), r.bottom());
        else
          p->drawRect(outline);
      }
      p->setBrush(b);
    } else {
      Impl::StrokeShift shift(d, p);
      p->drawRect(outline);
    }
    if (d->PenNull) p->setPen(d->QtPen);
  }
  Changed();
}

void TCanvas::RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3) {
  QRect r = NormRect(X1, Y1, X2, Y2);
  QRectF box(r.left(), r.top(), r.width() - 1, r.height() - 1);
  double rx = std::min(std::abs(X3) / 2.0, box.width() / 2), ry = std::min(std::abs(Y3) / 2.0, box.height() / 2);
  if (FImpl->InPath) {
    FImpl->Path.addRoundedRect(box, rx, ry);
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop && r.width() > 0 && r.height() > 0) {
    Impl::CurvePen cp(FImpl.get(), p);
    Impl::StrokeShift shift(FImpl.get(), p);
    if (FImpl->CurveCalls()) {
      QPainterPath path;
      path.addRoundedRect(box, rx, ry);
      FImpl->TellCurve(vmqt::TCurveCall::RoundRect, path, r, QPointF(X3, Y3), {});
      p->drawPath(path);
    } else {
      p->drawRoundedRect(box, rx, ry);
    }
  }
  Changed();
}

void TCanvas::Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  QRect r = NormRect(X1, Y1, X2, Y2);
  if (FImpl->InPath) {
    FImpl->Path.addEllipse(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
    return;
  }
  if (r.width() <= 0 || r.height() <= 0) {
    if (FImpl->Ready()) {
      Changing();
      Changed();
    }
    return;
  }
  if (FImpl->DirectEllipse(r)) {
    Changing();
    Changed();
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop && r.width() > 0 && r.height() > 0) {
    FImpl->InsetForFrame(r);
    bool fill = p->brush().style() != Qt::NoBrush;
    if (FImpl->ExactCurves()) {
      // Exact rasterization (the outline touches the box's left, top, right-1 and bottom-1), from
      // the stamp of this size moved into place.
      const Impl::EllipseStamp& e = FImpl->PenNull ? FImpl->Stamp(r.width() - 1, r.height() - 1, false, fill)
                                                   : FImpl->Stamp(r.width(), r.height(), true, fill);
      if (fill && !e.Inside.empty()) {
        QBrush b = p->brush();
        for (const QRect& span : e.Inside) p->fillRect(span.translated(r.topLeft()), b);
      }
      if (!e.Points.isEmpty()) p->drawPoints(e.Points.translated(r.topLeft()));
    } else {
      Impl::StrokeShift shift(FImpl.get(), p);
      p->drawEllipse(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
    }
  }
  Changed();
}

namespace {

// The outline pixels and the inside row spans of the ellipse in the box [L, R) x [T, B).
void RasterEllipse(int L, int T, int R, int B, QPolygon* Outline, std::vector<QRect>* Inside) {
  double a = (R - 1 - L) / 2.0, b = (B - 1 - T) / 2.0;
  double cx = L + a, cy = T + b;
  int w = R - L, h = B - T;
  std::vector<int> lo(h, INT32_MAX), hi(h, INT32_MIN);  // outline extent per row
  std::vector<uint8_t> mark(static_cast<size_t>(w) * h, 0);
  auto put = [&](int x, int y) {
    if (x < L || x >= R || y < T || y >= B) return;
    uint8_t& m = mark[static_cast<size_t>(y - T) * w + (x - L)];
    if (!m) {
      m = 1;
      if (Outline) Outline->push_back(QPoint(x, y));
    }
  };
  for (int x = L; x < R; ++x) {
    double u = a > 0 ? (x - cx) / a : 0;
    double d = b * std::sqrt(std::max(0.0, 1 - u * u));
    put(x, static_cast<int>(std::ceil(cy - d - 0.5)));
    put(x, static_cast<int>(std::floor(cy + d + 0.5)));
  }
  for (int y = T; y < B; ++y) {
    double v = b > 0 ? (y - cy) / b : 0;
    double d = a * std::sqrt(std::max(0.0, 1 - v * v));
    int xl = static_cast<int>(std::ceil(cx - d - 0.5)), xr = static_cast<int>(std::floor(cx + d + 0.5));
    put(xl, y);
    put(xr, y);
  }
  if (!Inside) return;
  for (int y = T; y < B; ++y) {
    const uint8_t* row = mark.data() + static_cast<size_t>(y - T) * w;
    int first = -1, last = -1;
    for (int i = 0; i < w; ++i)
      if (row[i]) {
        if (first < 0) first = i;
        last = i;
      }
    if (first < 0) continue;
    // Skip the outline runs at both ends; what lies between is inside.
    int i = first;
    while (i <= last && row[i]) ++i;
    int j = last;
    while (j >= i && row[j]) --j;
    if (Outline) {
      if (i <= j) Inside->push_back(QRect(L + i, y, j - i + 1, 1));
    } else {
      Inside->push_back(QRect(L + first, y, last - first + 1, 1));
    }
  }
}

struct ArcGeometry {
  QRectF Box;
  double Start = 0;  // degrees on the ellipse, counter-clockwise from 3 o'clock
  double Sweep = 360;
  bool Valid = false;
};

// The parametric angle of the point where the ray from the centre through (X, Y) meets the ellipse.
double RayAngle(const QRectF& Box, int32_t X, int32_t Y) {
  double cx = Box.center().x(), cy = Box.center().y();
  double rx = Box.width() / 2, ry = Box.height() / 2;
  double dx = X - cx, dy = cy - Y;
  if (dx == 0 && dy == 0) return 0;
  return Deg(std::atan2(dy * rx, dx * ry));
}

ArcGeometry MakeArc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4,
                    int Direction) {
  ArcGeometry g;
  QRect r = NormRect(X1, Y1, X2, Y2);
  if (r.width() <= 0 || r.height() <= 0) return g;
  g.Box = QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1);
  double a1 = RayAngle(g.Box, X3, Y3), a2 = RayAngle(g.Box, X4, Y4);
  double sweep = a2 - a1;
  if (Direction == AD_CLOCKWISE) {
    while (sweep >= 0) sweep -= 360;
  } else {
    while (sweep <= 0) sweep += 360;
  }
  g.Start = a1;
  g.Sweep = sweep;
  g.Valid = true;
  return g;
}

// The part of an ellipse between two rays from its centre, counter-clockwise or clockwise from
// the first; rays that coincide take the whole ellipse. Angles are those seen from the centre.
struct Sector {
  double Cx = 0, Cy = 0, A1 = 0, Sweep = 0;
  bool Ccw = true, Full = false;
  static double Angle(double Cx, double Cy, double X, double Y) {
    double a = std::atan2(Cy - Y, X - Cx);
    return a < 0 ? a + 2 * M_PI : a;
  }
  bool Contains(double X, double Y) const {
    if (Full || (X == Cx && Y == Cy)) return true;
    double d = Ccw ? Angle(Cx, Cy, X, Y) - A1 : A1 - Angle(Cx, Cy, X, Y);
    d = std::fmod(d + 4 * M_PI, 2 * M_PI);
    return d <= Sweep + 1e-9 || d >= 2 * M_PI - 1e-9;
  }
};

// The pixels of an arc, pie or chord in the box [L, R) x [T, B): the outline (no pixel twice)
// and the inside row spans that the outline does not cover.
struct ArcRaster {
  QPolygon Outline;
  std::vector<QRect> Inside;
  QPoint Start, End;  // where the rays meet the ellipse
};

void AddLinePixels(QPoint A, QPoint B, std::vector<QPoint>& Out) {
  int dx = B.x() - A.x(), dy = B.y() - A.y(), n = std::max(std::abs(dx), std::abs(dy));
  for (int i = 0; i <= n; ++i)
    Out.emplace_back(A.x() + (n ? static_cast<int>(std::lround(static_cast<double>(i) * dx / n)) : 0),
                     A.y() + (n ? static_cast<int>(std::lround(static_cast<double>(i) * dy / n)) : 0));
}

ArcRaster RasterArc(const QRect& Box, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4, int Direction, ArcKind Kind,
                    bool Outline, bool Fill) {
  const int L = Box.left(), T = Box.top(), R = Box.left() + Box.width(), B = Box.top() + Box.height();
  ArcRaster res;
  Sector sec;
  double a = (R - 1 - L) / 2.0, b = (B - 1 - T) / 2.0;
  sec.Cx = L + a;
  sec.Cy = T + b;
  sec.Ccw = Direction != AD_CLOCKWISE;
  sec.A1 = Sector::Angle(sec.Cx, sec.Cy, X3, Y3);
  double a2 = Sector::Angle(sec.Cx, sec.Cy, X4, Y4);
  sec.Sweep = std::fmod((sec.Ccw ? a2 - sec.A1 : sec.A1 - a2) + 4 * M_PI, 2 * M_PI);
  sec.Full = sec.Sweep < 1e-12;
  auto onEllipse = [&](double Th) {
    double c = std::cos(Th), s = std::sin(Th);
    double den = std::sqrt(b * c * b * c + a * s * a * s);
    double r = den > 0 ? a * b / den : 0;
    int x = static_cast<int>(std::lround(sec.Cx + r * c)), y = static_cast<int>(std::lround(sec.Cy - r * s));
    return QPoint(std::clamp(x, L, R - 1), std::clamp(y, T, B - 1));
  };
  res.Start = onEllipse(sec.A1);
  res.End = onEllipse(a2);
  const QPoint centre(static_cast<int>(std::lround(sec.Cx)), static_cast<int>(std::lround(sec.Cy)));

  const int w = R - L, h = B - T;
  std::vector<uint8_t> mark(static_cast<size_t>(w) * h, 0);
  auto at = [&](int x, int y) -> uint8_t& { return mark[static_cast<size_t>(y - T) * w + (x - L)]; };
  QPolygon ell;
  std::vector<QRect> spans;
  if (Outline)
    RasterEllipse(L, T, R, B, &ell, Fill ? &spans : nullptr);
  else
    RasterEllipse(L, T, R - 1, B - 1, nullptr, Fill ? &spans : nullptr);

  if (Outline) {
    std::vector<QPoint> pts;
    for (const QPoint& q : ell)
      if (sec.Contains(q.x(), q.y())) pts.push_back(q);
    if (!sec.Full && Kind == ArcKind::Pie) {
      AddLinePixels(centre, res.Start, pts);
      AddLinePixels(centre, res.End, pts);
    } else if (!sec.Full && Kind == ArcKind::Chord) {
      AddLinePixels(res.Start, res.End, pts);
    }
    for (const QPoint& q : pts) {
      if (q.x() < L || q.x() >= R || q.y() < T || q.y() >= B) continue;
      uint8_t& m = at(q.x(), q.y());
      if (!m) {
        m = 1;
        res.Outline.push_back(q);
      }
    }
  }
  if (Fill) {
    // The chord keeps the side of its line on which the arc's middle lies.
    const QPoint m = onEllipse(sec.A1 + (sec.Ccw ? 1 : -1) * sec.Sweep / 2);
    const double mx = m.x(), my = m.y();
    auto side = [&](double X, double Y) {
      return (res.End.x() - res.Start.x()) * (Y - res.Start.y()) - (res.End.y() - res.Start.y()) * (X - res.Start.x());
    };
    double arcSide = side(mx, my);
    auto inside = [&](int x, int y) {
      if (at(x, y)) return false;
      if (sec.Full || Kind == ArcKind::Arc) return true;
      if (Kind == ArcKind::Pie) return sec.Contains(x, y);
      double sd = side(x, y);
      return sd == 0 || (sd > 0) == (arcSide > 0);
    };
    for (const QRect& sp : spans) {
      int y = sp.top(), run = -1;
      for (int x = sp.left(); x <= sp.right() + 1; ++x) {
        bool in = x <= sp.right() && inside(x, y);
        if (in && run < 0) run = x;
        if (!in && run >= 0) {
          res.Inside.push_back(QRect(run, y, x - run, 1));
          run = -1;
        }
      }
    }
  }
  return res;
}

// A pie or chord set pixel by pixel: the brush fills the inside, then the pen sets the outline.
void DrawExactArc(TCanvas::Impl* d, QPainter* p, const QRect& Box, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4,
                  int Direction, ArcKind Kind) {
  if (Box.width() <= 0 || Box.height() <= 0) return;
  QRect r = Box;
  d->InsetForFrame(r);
  const bool fill = p->brush().style() != Qt::NoBrush;
  ArcRaster a = RasterArc(r, X3, Y3, X4, Y4, Direction, Kind, !d->PenNull, fill);
  if (fill && !a.Inside.empty()) {
    QBrush b = p->brush();
    for (const QRect& span : a.Inside) p->fillRect(span, b);
  }
  if (!a.Outline.isEmpty()) p->drawPoints(a.Outline);
}

}  // namespace

void TCanvas::Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  ArcGeometry g = MakeArc(X1, Y1, X2, Y2, X3, Y3, X4, Y4, FArcDirection);
  if (!g.Valid) return;
  QPainterPath path;
  path.arcMoveTo(g.Box, g.Start);
  path.arcTo(g.Box, g.Start, g.Sweep);
  if (FImpl->InPath) {
    FImpl->Path.addPath(path);
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!FImpl->Nop && !FImpl->PenNull) {
    if (FImpl->ExactCurves()) {
      ArcRaster a = RasterArc(NormRect(X1, Y1, X2, Y2), X3, Y3, X4, Y4, FArcDirection, ArcKind::Arc, true, false);
      if (!a.Outline.isEmpty()) p->drawPoints(a.Outline);
    } else {
      Impl::StrokeShift shift(FImpl.get(), p);
      FImpl->TellCurve(vmqt::TCurveCall::Arc, path, NormRect(X1, Y1, X2, Y2), QPointF(X3, Y3), QPointF(X4, Y4));
      p->strokePath(path, p->pen());
    }
  }
  Changed();
}

void TCanvas::ArcTo(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  ArcGeometry g = MakeArc(X1, Y1, X2, Y2, X3, Y3, X4, Y4, FArcDirection);
  if (!g.Valid) return;
  QPainterPath path;
  path.moveTo(FPenPos.X, FPenPos.Y);
  QPainterPath arc;
  arc.arcMoveTo(g.Box, g.Start);
  path.lineTo(arc.currentPosition());
  path.arcTo(g.Box, g.Start, g.Sweep);
  QPointF end = path.currentPosition();
  if (FImpl->InPath) {
    FImpl->Path.lineTo(arc.currentPosition());
    FImpl->Path.arcTo(g.Box, g.Start, g.Sweep);
  } else if (QPainter* p = FImpl->Ready()) {
    Changing();
    if (FImpl->ExactCurves()) {
      // The line stops short of the arc's first pixel, which the arc sets.
      ArcRaster a = RasterArc(NormRect(X1, Y1, X2, Y2), X3, Y3, X4, Y4, FArcDirection, ArcKind::Arc, true, false);
      if (!FImpl->Nop && !FImpl->PenNull) {
        FImpl->Segment(p, FPenPos.X, FPenPos.Y, a.Start.x(), a.Start.y());
        if (!a.Outline.isEmpty()) p->drawPoints(a.Outline);
      }
      end = a.End;
    } else if (!FImpl->Nop && !FImpl->PenNull) {
      Impl::StrokeShift shift(FImpl.get(), p);
      FImpl->TellCurve(vmqt::TCurveCall::ArcTo, path, NormRect(X1, Y1, X2, Y2), QPointF(X3, Y3), QPointF(X4, Y4),
                       QPointF(FPenPos.X, FPenPos.Y));
      p->strokePath(path, p->pen());
    }
    Changed();
  }
  FPenPos = TPoint(static_cast<int32_t>(std::lround(end.x())), static_cast<int32_t>(std::lround(end.y())));
}

void TCanvas::Impl::ClosedArc(ArcKind Kind, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                              int32_t X4, int32_t Y4) {
  const int dir = Owner->FArcDirection;
  ArcGeometry g = MakeArc(X1, Y1, X2, Y2, X3, Y3, X4, Y4, dir);
  if (!g.Valid) return;
  QPainterPath path;
  if (CurveCalls()) {
    path = vmqt::ClosedArcPath(Kind == ArcKind::Pie, g.Box, g.Start, g.Sweep);
  } else {
    if (Kind == ArcKind::Pie)
      path.moveTo(g.Box.center());
    else
      path.arcMoveTo(g.Box, g.Start);
    path.arcTo(g.Box, g.Start, g.Sweep);
    path.closeSubpath();
  }
  if (InPath) {
    Path.addPath(path);
    return;
  }
  QPainter* p = Ready();
  if (!p) return;
  Owner->Changing();
  if (!Nop) {
    if (ExactCurves()) {
      DrawExactArc(this, p, NormRect(X1, Y1, X2, Y2), X3, Y3, X4, Y4, dir, Kind);
    } else {
      const auto kind = Kind == ArcKind::Pie ? vmqt::TCurveCall::Pie : vmqt::TCurveCall::Chord;
      TellCurve(kind, path, NormRect(X1, Y1, X2, Y2), QPointF(X3, Y3), QPointF(X4, Y4));
      if (Kind == ArcKind::Pie) {
        CurvePen cp(this, p);
        StrokeShift shift(this, p);
        p->drawPath(path);
      } else {
        StrokeShift shift(this, p);
        p->drawPath(path);
      }
    }
  }
  Owner->Changed();
}

namespace vmqt {

QPainterPath ClosedArcPath(bool Pie, const QRectF& Box, double Start, double Sweep) {
  auto whole = [](const QPointF& P) { return QPointF(std::round(P.x()), std::round(P.y())); };
  QPainterPath arc;
  arc.arcMoveTo(Box, Start);
  const QPointF from = arc.currentPosition();
  arc.arcTo(Box, Start, Sweep);
  const QPointF to = arc.currentPosition();
  QPainterPath path;
  if (Pie) {
    path.moveTo(whole(Box.center()));
    path.lineTo(whole(from));
  } else {
    path.moveTo(whole(from));
  }
  path.connectPath(arc);
  path.lineTo(whole(to));
  path.closeSubpath();
  return path;
}

}  // namespace vmqt

void TCanvas::Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  FImpl->ClosedArc(ArcKind::Pie, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TCanvas::Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  FImpl->ClosedArc(ArcKind::Chord, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TCanvas::FillRect(const TRect& R) {
  QRect r = NormRect(R.Left, R.Top, R.Right, R.Bottom);
  if (FImpl->DirectFill(r)) {
    Changing();
    Changed();
    return;
  }
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  if (!r.isEmpty()) {
    CompositionScope cs(p, QPainter::CompositionMode_SourceOver);
    p->fillRect(r, p->brush());
  }
  Changed();
}

void TCanvas::FrameRect(const TRect& R) {
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  QRect r = NormRect(R.Left, R.Top, R.Right, R.Bottom);
  if (!r.isEmpty()) {
    CompositionScope cs(p, QPainter::CompositionMode_SourceOver);
    QBrush b = p->brush();
    p->fillRect(QRect(r.left(), r.top(), r.width(), 1), b);
    if (r.height() > 1) p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), b);
    if (r.height() > 2) {
      p->fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), b);
      if (r.width() > 1) p->fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), b);
    }
  }
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  QRect r = NormRect(R.Left, R.Top, R.Right, R.Bottom);
  if (r.width() > 0 && r.height() > 0) {
    p->save();
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->setPen(Qt::NoPen);
    // Every other pixel of the frame, each exactly once.
    QList<QRect> dots;
    auto dot = [&](int x, int y) {
      if (((x + y) & 1) == 0) dots.push_back(QRect(x, y, 1, 1));
    };
    for (int x = r.left(); x <= r.right(); ++x) {
      dot(x, r.top());
      if (r.bottom() != r.top()) dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
      dot(r.left(), y);
      if (r.right() != r.left()) dot(r.right(), y);
    }
    for (const QRect& d : dots) p->fillRect(d, Qt::white);
    p->restore();
    FImpl->PenDirty = FImpl->BrushDirty = true;
  }
  Changed();
}

void TCanvas::FloodFill(int32_t X, int32_t Y, TColor Color, TFillStyle FillStyle) {
  QImage* img = FImpl->Target ? FImpl->Target->Image() : nullptr;
  QPainter* p = FImpl->Ready();
  if (!img || !p) return;
  QPoint start = FImpl->Mapping().map(QPoint(X, Y));
  if (!LogicalRect(*img).contains(start)) return;
  start = DevicePixel(*img, start);  // the fill runs over device pixels
  Changing();
  QRgb ref = vmqt::ToQRgb(Color) & 0xFFFFFF;
  auto inside = [&](int x, int y) {
    QRgb c = img->pixel(x, y) & 0xFFFFFF;
    return FillStyle == fsSurface ? c == ref : c != ref;
  };
  if (inside(start.x(), start.y())) {
    int w = img->width(), h = img->height();
    std::vector<uint8_t> seen(static_cast<size_t>(w) * h, 0);
    QRegion area;
    std::deque<QPoint> todo{start};
    seen[start.y() * w + start.x()] = 1;
    std::vector<QRect> rects;
    while (!todo.empty()) {
      QPoint q = todo.front();
      todo.pop_front();
      rects.push_back(QRect(q.x(), q.y(), 1, 1));
      const QPoint nb[4] = {{q.x() + 1, q.y()}, {q.x() - 1, q.y()}, {q.x(), q.y() + 1}, {q.x(), q.y() - 1}};
      for (const QPoint& n : nb) {
        if (n.x() < 0 || n.y() < 0 || n.x() >= w || n.y() >= h) continue;
        uint8_t& s = seen[n.y() * w + n.x()];
        if (s || !inside(n.x(), n.y())) continue;
        s = 1;
        todo.push_back(n);
      }
    }
    QTransform t = p->worldTransform();
    const qreal dpr = img->devicePixelRatio();
    p->setWorldTransform(QTransform::fromScale(1 / dpr, 1 / dpr));
    {
      CompositionScope cs(p, QPainter::CompositionMode_SourceOver);
      for (const QRect& r : rects) p->fillRect(r, p->brush());
    }
    p->setWorldTransform(t);
  }
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Text

int32_t TCanvas::TextAscent() {
  FImpl->EnsureFont();
  return FImpl->FM->ascent();
}

int32_t TCanvas::TextDescent() {
  FImpl->EnsureFont();
  return FImpl->FM->descent();
}

TSize TCanvas::TextExtent(const std::string& Text) {
  FImpl->EnsureFont();
  QString s = vmqt::ToQ(Text);
  return TSize(FImpl->TextWidthQ(s), FImpl->FM->ascent() + FImpl->FM->descent());
}

void TCanvas::TextOut(int32_t X, int32_t Y, const std::string& Text) {
  Impl* d = FImpl.get();
  d->EnsureFont();
  d->RealizeBrush();
  QString s = vmqt::ToQ(Text);
  int w = d->TextWidthQ(s);
  int asc = d->FM->ascent(), desc = d->FM->descent();
  int align = d->TextAlign;
  bool updateCP = (align & TA_UPDATECP) != 0;
  if (updateCP) {
    X = FPenPos.X;
    Y = FPenPos.Y;
  }
  int dx = 0;
  if ((align & TA_CENTER) == TA_CENTER)
    dx = -w / 2;
  else if (align & TA_RIGHT)
    dx = -w;
  int base = 0;
  if ((align & TA_BASELINE) == TA_BASELINE)
    base = 0;
  else if (align & TA_BOTTOM)
    base = -desc;
  else
    base = asc;
  double angle = -FFont->Orientation() / 10.0;

  if (d->InPath) {
    QPainterPath tp;
    tp.addText(QPointF(dx, base), d->QtFont, s);
    QTransform t;
    t.translate(X, Y);
    t.rotate(angle);
    d->Path.addPath(t.map(tp));
    return;
  }
  QPainter* p = d->Ready();
  if (!p) return;
  Changing();
  QTransform saved = p->worldTransform();
  auto comp = p->compositionMode();
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  p->translate(X, Y);
  if (angle != 0) p->rotate(angle);
  if (d->BkMode == OPAQUE) p->fillRect(QRect(dx, base - asc, w, asc + desc), vmqt::ToQColor(d->BkColor));
  p->setFont(d->QtFont);
  p->setPen(vmqt::ToQColor(d->TextColor));
  p->setBackgroundMode(Qt::TransparentMode);
  p->drawText(QPointF(dx, base), s);
  p->setWorldTransform(saved);
  p->setCompositionMode(comp);
  d->PenDirty = d->BrushDirty = true;
  if (updateCP) {
    if ((align & TA_CENTER) == TA_CENTER) {
    } else if (align & TA_RIGHT) {
      FPenPos.X -= w;
    } else {
      FPenPos.X += w;
    }
  }
  Changed();
}

void TCanvas::TextRect(const TRect& R, int32_t X, int32_t Y, const std::string& Text) {
  QPainter* p = FImpl->Ready();
  if (!p) return;
  QRect r = NormRect(R.Left, R.Top, R.Right, R.Bottom);
  p->save();
  p->setClipRect(r, Qt::IntersectClip);
  if (FBrush->Style() != bsClear) {
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(r, vmqt::ToQColor(FBrush->Color()));
  }
  int oldMode = FImpl->BkMode;
  FImpl->BkMode = TRANSPARENT;
  TextOut(X, Y, Text);
  FImpl->BkMode = oldMode;
  p->restore();
  FImpl->PenDirty = FImpl->BrushDirty = true;
}

int32_t TCanvas::DrawText(const std::string& Text, TRect& R, uint32_t Flags) {
  Impl* d = FImpl.get();
  d->EnsureFont();
  QString s = vmqt::ToQ(Text);
  int qf = 0;
  if (Flags & DT_CENTER)
    qf |= Qt::AlignHCenter;
  else if (Flags & DT_RIGHT)
    qf |= Qt::AlignRight;
  else
    qf |= Qt::AlignLeft;
  if (Flags & DT_SINGLELINE) {
    qf |= Qt::TextSingleLine;
    if (Flags & DT_VCENTER)
      qf |= Qt::AlignVCenter;
    else if (Flags & DT_BOTTOM)
      qf |= Qt::AlignBottom;
    else
      qf |= Qt::AlignTop;
  } else {
    qf |= Qt::AlignTop;
  }
  if (Flags & DT_WORDBREAK) qf |= Qt::TextWordWrap;
  if (Flags & DT_EXPANDTABS) qf |= Qt::TextExpandTabs;
  if (!(Flags & DT_NOPREFIX)) qf |= Qt::TextShowMnemonic;
  QRect r = NormRect(R.Left, R.Top, R.Right, R.Bottom);
  if (Flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
    Qt::TextElideMode m = (Flags & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
    s = d->FM->elidedText(s, m, r.width(), qf);
  }
  if (Flags & DT_CALCRECT) {
    QRect b = d->FM->boundingRect(QRect(r.left(), r.top(), (Flags & DT_WORDBREAK) ? r.width() : 1 << 20, 1 << 20),
                                  qf & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom), s);
    R.Right = R.Left + b.width();
    R.Bottom = R.Top + b.height();
    return b.height();
  }
  QPainter* p = d->Ready();
  if (!p) return 0;
  Changing();
  p->save();
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (!(Flags & DT_NOCLIP)) p->setClipRect(r, Qt::IntersectClip);
  p->setFont(d->QtFont);
  // An opaque background needs the text's extent before the text; a clear one takes it from the
  // drawing itself, so the text is laid out once (an empty text measures nothing).
  QRect br(r.topLeft(), QSize(0, 0));
  const bool opaque = d->BkMode == OPAQUE;
  if (opaque) {
    br = p->boundingRect(r, qf, s);
    p->fillRect(br.intersected(r), vmqt::ToQColor(d->BkColor));
  }
  p->setPen(vmqt::ToQColor(d->TextColor));
  p->setBackgroundMode(Qt::TransparentMode);
  p->drawText(r, qf, s, opaque ? nullptr : &br);
  p->restore();
  d->PenDirty = d->BrushDirty = true;
  Changed();
  return br.height();
}

// ---------------------------------------------------------------------------------------------
// Graphics and copies

void TCanvas::Draw(int32_t X, int32_t Y, TGraphic* Graphic) {
  if (Graphic) StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  if (!FImpl->Ready()) return;
  Changing();
  Graphic->Draw(this, R);
  FImpl->PenDirty = FImpl->BrushDirty = true;
  Changed();
}

void TCanvas::CopyRect(const TRect& DestRect, TCanvas* Source, const TRect& SrcRect) {
  StretchBlt(DestRect.Left, DestRect.Top, DestRect.Width(), DestRect.Height(), Source, SrcRect.Left, SrcRect.Top,
             SrcRect.Width(), SrcRect.Height(), FCopyMode);
}

double TCanvas::PixelRatio() {
  QImage* img = vmqt::CanvasImage(this);
  return img ? img->devicePixelRatio() : 1.0;
}

void TCanvas::BitBlt(int32_t X, int32_t Y, int32_t W, int32_t H, TCanvas* Source, int32_t SrcX, int32_t SrcY,
                     TCopyMode Rop) {
  StretchBlt(X, Y, W, H, Source, SrcX, SrcY, W, H, Rop);
}

void TCanvas::StretchBlt(int32_t X, int32_t Y, int32_t W, int32_t H, TCanvas* Source, int32_t SrcX, int32_t SrcY,
                         int32_t SrcW, int32_t SrcH, TCopyMode Rop) {
  bool handled = false;
  QPainter::CompositionMode mode = vmqt::CopyModeToComposition(Rop, handled);
  if (!handled) {
    PatBlt(X, Y, W, H, Rop);
    return;
  }
  if (!Source || W == 0 || H == 0 || SrcW == 0 || SrcH == 0) return;
  QImage* src = vmqt::CanvasImage(Source);
  if (!src) return;
  // Source rectangle in the source's device units.
  QTransform sm = Source->FImpl->Mapping();
  QRect sr = sm.mapRect(NormRect(SrcX, SrcY, SrcX + SrcW, SrcY + SrcH));
  if (const qreal r = src->devicePixelRatio(); r != 1)
    sr = QRectF(sr.x() * r, sr.y() * r, sr.width() * r, sr.height() * r).toAlignedRect();
  QImage part = src->copy(sr);  // a copy, so that a canvas may copy onto itself
  bool mirrorX = (W < 0) != (SrcW < 0), mirrorY = (H < 0) != (SrcH < 0);
  if (mirrorX || mirrorY) part = part.mirrored(mirrorX, mirrorY);
  QPainter* p = FImpl->Ready();
  if (!p) return;
  Changing();
  {
    CompositionScope cs(p, mode);
    p->drawImage(NormRect(X, Y, X + W, Y + H), part);
  }
  Changed();
}

void TCanvas::PatBlt(int32_t X, int32_t Y, int32_t W, int32_t H, TCopyMode Rop) {
  QPainter* p = FImpl->Ready();
  if (!p) return;
  QRect r = NormRect(X, Y, X + W, Y + H);
  if (r.isEmpty()) return;
  Changing();
  auto comp = p->compositionMode();
  switch (Rop) {
    case cmBlackness:
      p->setCompositionMode(QPainter::CompositionMode_Source);
      p->fillRect(r, Qt::black);
      break;
    case cmWhiteness:
      p->setCompositionMode(QPainter::CompositionMode_Source);
      p->fillRect(r, Qt::white);
      break;
    case cmDstInvert:
      p->setCompositionMode(QPainter::RasterOp_NotDestination);
      p->fillRect(r, Qt::black);
      break;
    case cmPatInvert:
      p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      p->fillRect(r, p->brush());
      break;
    default:
      p->setCompositionMode(QPainter::CompositionMode_SourceOver);
      p->fillRect(r, p->brush());
      break;
  }
  p->setCompositionMode(comp);
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Device-context state

int TCanvas::GetTextAlign() { return FImpl->TextAlign; }
int TCanvas::SetTextAlign(int Flags) { return std::exchange(FImpl->TextAlign, Flags); }

int TCanvas::GetBkMode() {
  FImpl->RealizeBrush();
  return FImpl->BkMode;
}
int TCanvas::SetBkMode(int Mode) {
  FImpl->RealizeBrush();
  FImpl->BrushDirty = true;
  return std::exchange(FImpl->BkMode, Mode == OPAQUE ? OPAQUE : TRANSPARENT);
}
TColor TCanvas::GetBkColor() {
  FImpl->RealizeBrush();
  return FImpl->BkColor;
}
TColor TCanvas::SetBkColor(TColor Color) {
  FImpl->RealizeBrush();
  FImpl->BrushDirty = true;
  return std::exchange(FImpl->BkColor, ColorToRGB(Color));
}
TColor TCanvas::GetTextColor() {
  FImpl->RealizeFont();
  return FImpl->TextColor;
}
TColor TCanvas::SetTextColor(TColor Color) {
  FImpl->RealizeFont();
  FImpl->BrushDirty = true;
  return std::exchange(FImpl->TextColor, ColorToRGB(Color));
}
int TCanvas::GetROP2() {
  FImpl->RealizePen();
  return FImpl->Rop2;
}
int TCanvas::SetROP2(int Mode) {
  FImpl->RealizePen();
  FImpl->PenDirty = true;
  return std::exchange(FImpl->Rop2, Mode);
}
int TCanvas::SetArcDirection(int Direction) {
  int old = FArcDirection;
  if (Direction == AD_CLOCKWISE || Direction == AD_COUNTERCLOCKWISE) FArcDirection = Direction;
  return old;
}
int TCanvas::SetPolyFillMode(int Mode) { return std::exchange(FPolyFillMode, Mode == WINDING ? WINDING : ALTERNATE); }
int TCanvas::SetTextCharacterExtra(int Extra) { return std::exchange(FCharExtra, Extra); }

// ---------------------------------------------------------------------------------------------
// Paths

void TCanvas::BeginPath() {
  FImpl->InPath = true;
  FImpl->PathOpen = true;
  FImpl->Path = QPainterPath();
  FImpl->Path.moveTo(FPenPos.X, FPenPos.Y);
}
void TCanvas::EndPath() { FImpl->InPath = false; }
void TCanvas::AbortPath() {
  FImpl->InPath = false;
  FImpl->PathOpen = false;
  FImpl->Path = QPainterPath();
}
void TCanvas::CloseFigure() {
  if (FImpl->InPath) FImpl->Path.closeSubpath();
}
bool TCanvas::InPath() const { return FImpl->InPath; }

void TCanvas::StrokePath() {
  QPainter* p = FImpl->Ready();
  if (p && FImpl->PathOpen && !FImpl->InPath) {
    Changing();
    if (!FImpl->Nop && !FImpl->PenNull) {
      Impl::StrokeShift shift(FImpl.get(), p);
      p->strokePath(FImpl->Path, p->pen());
    }
    Changed();
  }
  AbortPath();
}

void TCanvas::FillPath() {
  QPainter* p = FImpl->Ready();
  if (p && FImpl->PathOpen && !FImpl->InPath) {
    Changing();
    FImpl->Path.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (!FImpl->Nop) p->fillPath(FImpl->Path, p->brush());
    Changed();
  }
  AbortPath();
}

void TCanvas::StrokeAndFillPath() {
  QPainter* p = FImpl->Ready();
  if (p && FImpl->PathOpen && !FImpl->InPath) {
    Changing();
    FImpl->Path.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (!FImpl->Nop) {
      p->fillPath(FImpl->Path, p->brush());
      if (!FImpl->PenNull) {
        Impl::StrokeShift shift(FImpl.get(), p);
        p->strokePath(FImpl->Path, p->pen());
      }
    }
    Changed();
  }
  AbortPath();
}

void TCanvas::WidenPath() {
  if (!FImpl->PathOpen || FImpl->InPath) return;
  FImpl->RealizePen();
  QPainterPathStroker st;
  st.setWidth(std::max(1, FPen->Width()));
  st.setCapStyle(FPen->Width() <= 1            ? Qt::FlatCap
                 : FPen->EndCap() == pecRound  ? Qt::RoundCap
                 : FPen->EndCap() == pecSquare ? Qt::SquareCap
                                               : Qt::FlatCap);
  st.setJoinStyle(FPen->Join() == pjRound ? Qt::RoundJoin : FPen->Join() == pjBevel ? Qt::BevelJoin : Qt::MiterJoin);
  FImpl->Path = st.createStroke(FImpl->Path);
}

bool TCanvas::SelectClipPath(int Mode) {
  if (!FImpl->PathOpen || FImpl->InPath) return false;
  QPainterPath dp = FImpl->Mapping().map(FImpl->Path);
  dp.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  QRegion r(dp.toFillPolygon().toPolygon(), dp.fillRule());
  // A path made of several figures: unite them figure by figure for the odd-even rule.
  if (dp.toSubpathPolygons().size() > 1) {
    r = QRegion();
    for (const QPolygonF& poly : dp.toFillPolygons()) r = r.xored(QRegion(poly.toPolygon(), dp.fillRule()));
  }
  FImpl->SetClip(r, Mode);
  AbortPath();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Clipping

int TCanvas::GetClipRgn(TRegion& Region) {
  if (!FImpl->HasClip) return 0;
  Region.GetImpl()->R = FImpl->Clip;
  return 1;
}

int TCanvas::SelectClipRgn(const TRegion* Region) {
  if (!Region) {
    FImpl->HasClip = false;
    FImpl->Clip = QRegion();
    FImpl->ApplyClip();
    return SIMPLEREGION;
  }
  FImpl->SetClip(Region->GetImpl()->R, RGN_COPY);
  int n = FImpl->Clip.rectCount();
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int TCanvas::ExtSelectClipRgn(const TRegion* Region, int Mode) {
  if (!Region) {
    if (Mode != RGN_COPY) return RGN_ERROR;
    return SelectClipRgn(nullptr);
  }
  FImpl->SetClip(Region->GetImpl()->R, Mode);
  int n = FImpl->Clip.rectCount();
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int TCanvas::IntersectClipRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  QRect dr = FImpl->Mapping().mapRect(NormRect(Left, Top, Right, Bottom));
  FImpl->SetClip(QRegion(dr), RGN_AND);
  int n = FImpl->Clip.rectCount();
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int TCanvas::ExcludeClipRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  QRect dr = FImpl->Mapping().mapRect(NormRect(Left, Top, Right, Bottom));
  FImpl->SetClip(QRegion(dr), RGN_DIFF);
  int n = FImpl->Clip.rectCount();
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TRect TCanvas::ClipRect() {
  QRect r = FImpl->HasClip ? FImpl->Clip.boundingRect() : FImpl->DeviceRect();
  bool ok = false;
  QTransform inv = FImpl->Mapping().inverted(&ok);
  if (ok) r = inv.mapRect(r);
  return vmqt::FromQRect(r);
}

// ---------------------------------------------------------------------------------------------
// Mapping

int TCanvas::SetMapMode(int Mode) {
  int old = FMapMode;
  FMapMode = (Mode == MM_ANISOTROPIC || Mode == MM_ISOTROPIC) ? Mode : MM_TEXT;
  FImpl->ApplyTransform();
  return old;
}
void TCanvas::SetWindowOrgEx(int32_t X, int32_t Y, TPoint* Old) {
  if (Old) *Old = FWindowOrg;
  FWindowOrg = TPoint(X, Y);
  FImpl->ApplyTransform();
}
void TCanvas::SetWindowExtEx(int32_t X, int32_t Y, TSize* Old) {
  if (Old) *Old = FWindowExt;
  if (FMapMode == MM_TEXT) return;
  FWindowExt = TSize(X, Y);
  FImpl->ApplyTransform();
}
void TCanvas::SetViewportOrgEx(int32_t X, int32_t Y, TPoint* Old) {
  if (Old) *Old = FViewportOrg;
  FViewportOrg = TPoint(X, Y);
  FImpl->ApplyTransform();
}
void TCanvas::SetViewportExtEx(int32_t X, int32_t Y, TSize* Old) {
  if (Old) *Old = FViewportExt;
  if (FMapMode == MM_TEXT) return;
  FViewportExt = TSize(X, Y);
  FImpl->ApplyTransform();
}
void TCanvas::LPtoDP(TPoint* Points, int Count) const {
  QTransform t = FImpl->Mapping();
  for (int i = 0; i < Count; ++i) {
    QPointF q = t.map(QPointF(Points[i].X, Points[i].Y));
    Points[i] = TPoint(static_cast<int32_t>(std::lround(q.x())), static_cast<int32_t>(std::lround(q.y())));
  }
}
void TCanvas::DPtoLP(TPoint* Points, int Count) const {
  bool ok = false;
  QTransform t = FImpl->Mapping().inverted(&ok);
  if (!ok) return;
  for (int i = 0; i < Count; ++i) {
    QPointF q = t.map(QPointF(Points[i].X, Points[i].Y));
    Points[i] = TPoint(static_cast<int32_t>(std::lround(q.x())), static_cast<int32_t>(std::lround(q.y())));
  }
}

int TCanvas::GetDeviceCaps(int Index) {
  vmqt::TCanvasTarget* t = FImpl->Target;
  QPaintDevice* d = t ? (FImpl->P ? FImpl->P->device() : t->Device()) : nullptr;
  if (!d) {
    switch (Index) {
      case LOGPIXELSX:
      case LOGPIXELSY:
        return 96;
      default:
        return 0;
    }
  }
  QSizeF mm = t->SizeMM();
  switch (Index) {
    case TECHNOLOGY:
      return t->Technology();
    case HORZSIZE:
      return mm.isValid() ? static_cast<int>(std::lround(mm.width())) : d->widthMM();
    case VERTSIZE:
      return mm.isValid() ? static_cast<int>(std::lround(mm.height())) : d->heightMM();
    // In logical pixels: a surface at a screen's pixel ratio holds more device pixels.
    case HORZRES:
    case PHYSICALWIDTH:
      return static_cast<int>(d->width() / d->devicePixelRatio());
    case VERTRES:
    case PHYSICALHEIGHT:
      return static_cast<int>(d->height() / d->devicePixelRatio());
    case BITSPIXEL:
      return d->depth() > 0 ? d->depth() : 32;
    case PLANES:
      return 1;
    case LOGPIXELSX:
      return d->logicalDpiX();
    case LOGPIXELSY:
      return d->logicalDpiY();
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY:
      return 0;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------------------------

// ---------------------------------------------------------------------------------------------
// Frame controls

bool DrawFrameControl(TCanvas* Canvas, const TRect& R, uint32_t Type, uint32_t State) {
  if (!Canvas || Type != DFC_BUTTON) return false;
  constexpr int kSize = 13;
  const bool radio = (State & 0x000F) == DFCS_BUTTONRADIO;
  const bool flat = State & (DFCS_FLAT | DFCS_MONO);
  const int x = R.Left, y = R.Top;
  TPen savedPen;
  TBrush savedBrush;
  savedPen.Assign(Canvas->Pen());
  savedBrush.Assign(Canvas->Brush());
  TRegion savedClip;
  const bool hadClip = Canvas->GetClipRgn(savedClip) == 1;
  Canvas->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);

  TPen* pen = Canvas->Pen();
  TBrush* brush = Canvas->Brush();
  pen->SetStyle(psSolid);
  pen->SetWidth(1);
  pen->SetMode(pmCopy);
  const TColor inside = State & (DFCS_PUSHED | DFCS_INACTIVE) ? clBtnFace : clWindow;
  const TColor mark = State & DFCS_INACTIVE ? clGrayText : clWindowText;
  const TColor frame = State & DFCS_MONO ? clBlack : clBtnShadow;
  if (radio) {
    brush->SetStyle(bsSolid);
    brush->SetColor(inside);
    pen->SetColor(flat ? frame : clBtnShadow);
    Canvas->Ellipse(x, y, x + kSize, y + kSize);
    if (!flat) {
      // Upper left half dark, lower right half light; the inner ring one pixel in.
      auto ring = [&](int d, TColor upper, TColor lower) {
        const int l = x + d, t = y + d, r = x + kSize - d, b = y + kSize - d;
        pen->SetColor(upper);
        Canvas->Arc(l, t, r, b, r, t, l, b);
        pen->SetColor(lower);
        Canvas->Arc(l, t, r, b, l, b, r, t);
      };
      ring(0, clBtnShadow, clBtnHighlight);
      ring(1, cl3DDkShadow, cl3DLight);
    }
    if (State & DFCS_CHECKED) {
      pen->SetColor(mark);
      brush->SetColor(mark);
      Canvas->Ellipse(x + 4, y + 4, x + 9, y + 9);
    }
  } else {
    brush->SetStyle(bsSolid);
    brush->SetColor(inside);
    if (flat) {
      pen->SetColor(frame);
      Canvas->Rectangle(x, y, x + kSize, y + kSize);
    } else {
      Canvas->FillRect(Rect(x + 2, y + 2, x + kSize - 2, y + kSize - 2));
      auto edge = [&](int d, TColor upper, TColor lower) {
        const int l = x + d, t = y + d, r = x + kSize - 1 - d, b = y + kSize - 1 - d;
        pen->SetColor(upper);
        Canvas->MoveTo(l, b - 1);
        Canvas->LineTo(l, t);
        Canvas->LineTo(r, t);
        pen->SetColor(lower);
        Canvas->MoveTo(l, b);
        Canvas->LineTo(r, b);
        Canvas->LineTo(r, t - 1);
      };
      edge(0, clBtnShadow, clBtnHighlight);
      edge(1, cl3DDkShadow, clBtnFace);
    }
    if (State & DFCS_CHECKED) {
      // The classic seven by seven tick.
      static const char* const kTick[7] = {"......x", ".....xx", "x...xxx", "xx.xxx.", "xxxxx..", ".xxx...", "..x...."};
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
          if (kTick[row][col] == 'x') Canvas->SetPixels(x + 3 + col, y + 3 + row, mark);
    }
  }
  Canvas->SelectClipRgn(hadClip ? &savedClip : nullptr);
  pen->Assign(&savedPen);
  brush->Assign(&savedBrush);
  return true;
}

namespace CanvasReference {

void DrawLines(TBitmap* Target, const std::vector<TPoint>& Points, TColor Color) {
  QImage img = vmqt::BitmapImage(Target);
  {
    QPainter p(&img);
    p.setPen(QPen(vmqt::ToQColor(Color), 0, Qt::SolidLine, Qt::FlatCap));
    for (size_t i = 1; i < Points.size(); ++i) p.drawLine(Points[i - 1].X, Points[i - 1].Y, Points[i].X, Points[i].Y);
  }
  vmqt::SetBitmapImage(Target, img);
}

void DrawMarkers(TBitmap* Target, const std::vector<TPoint>& Points, int Size, TColor Pen, TColor Fill) {
  QImage img = vmqt::BitmapImage(Target);
  {
    QPainter p(&img);
    p.setPen(QPen(vmqt::ToQColor(Pen), 0, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(vmqt::ToQColor(Fill));
    for (const TPoint& pt : Points) p.drawRect(pt.X - Size / 2, pt.Y - Size / 2, Size - 1, Size - 1);
  }
  vmqt::SetBitmapImage(Target, img);
}

}  // namespace CanvasReference
