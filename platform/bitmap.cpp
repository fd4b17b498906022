#include "platform/bitmap.h"

#include <QBuffer>
#include <QImageReader>

#include <QFile>

#include <cmath>
#include <cstring>
#include <map>

#include "platform/exceptions.h"
#include "platform/qt_graphics.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TBitmap)

namespace {

QImage::Format QtFormat(TPixelFormat F) {
  switch (F) {
    case pf1bit:
      return QImage::Format_Mono;
    case pf4bit:
    case pf8bit:
      return QImage::Format_Indexed8;
    case pf15bit:
      return QImage::Format_RGB555;
    case pf16bit:
      return QImage::Format_RGB16;
    case pf24bit:
      return QImage::Format_BGR888;
    default:
      return QImage::Format_RGB32;
  }
}

bool Paintable(QImage::Format F) { return F != QImage::Format_Mono && F != QImage::Format_Indexed8; }

// The sixteen colours of a 4-bit bitmap's default palette.
QList<QRgb> Palette16() {
  return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
          qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
          qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
          qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// The 6x6x6 colour cube plus greys: a fixed 8-bit palette.
QList<QRgb> Palette256() {
  QList<QRgb> t;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) t.push_back(qRgb(r * 51, g * 51, b * 51));
  for (int i = 0; t.size() < 256; ++i) t.push_back(qRgb(8 + i * 6, 8 + i * 6, 8 + i * 6));
  return t;
}

QImage Convert(const QImage& Src, TPixelFormat F, const QList<QRgb>& Palette = {}) {
  QImage::Format qf = QtFormat(F);
  if (qf == QImage::Format_Indexed8 || qf == QImage::Format_Mono) {
    QList<QRgb> pal = Palette;
    if (pal.isEmpty())
      pal = qf == QImage::Format_Mono ? QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}
            : F == pf4bit             ? Palette16()
                                      : Palette256();
    if (Src.format() == qf && Src.colorTable() == pal) return Src;
    QImage rgb = Src.convertToFormat(QImage::Format_RGB32);
    return rgb.convertToFormat(qf, pal, Qt::ThresholdDither | Qt::AvoidDither);
  }
  return Src.format() == qf ? Src : Src.convertToFormat(qf);
}

}  // namespace

struct TBitmap::Impl : public vmqt::TCanvasTarget {
  explicit Impl(TBitmap* O) : Owner(O) {}
  TBitmap* Owner;
  QImage Img;
  std::unique_ptr<QImage> Work;  // RGB32 copy drawn on when Img cannot be painted on directly
  std::unique_ptr<TCanvas> Canvas;
  // The size asked for while Img is null (one side 0): a later SetWidth or SetHeight keeps it.
  int32_t EmptyW = 0, EmptyH = 0;
  qreal Ratio = 1;  // device pixels per logical pixel
  int32_t Logical(int Device) const { return Ratio == 1 ? Device : static_cast<int32_t>(std::lround(Device / Ratio)); }

  QPaintDevice* Device() override {
    if (Img.isNull()) return nullptr;
    if (Paintable(Img.format())) return &Img;
    if (!Work) Work = std::make_unique<QImage>(Img.convertToFormat(QImage::Format_RGB32));
    return Work.get();
  }
  QImage* Image() override {
    if (Img.isNull()) return nullptr;
    return Work ? Work.get() : &Img;
  }
  void PainterEnded() override {
    if (Work) {
      Img = Convert(*Work, Owner->FPixelFormat, Img.colorTable());
      Work.reset();
    }
  }
  void Drawn() override {}
  void SetFormatRaw(TPixelFormat F) { Owner->FPixelFormat = F; }

  // Finishes pending drawing, so that Img holds every pixel.
  void Sync() {
    if (Canvas) vmqt::CanvasFlush(Canvas.get());
    if (Work) PainterEnded();
  }
};

TBitmap::TBitmap() : FImpl(std::make_unique<Impl>(this)) {}

TBitmap::TBitmap(int32_t AWidth, int32_t AHeight, TPixelFormat Format) : TBitmap() {
  FPixelFormat = Format;
  SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap() {
  if (FImpl->Canvas) vmqt::CanvasSetTarget(FImpl->Canvas.get(), nullptr);
}

TCanvas* TBitmap::Canvas() {
  if (!FImpl->Canvas) {
    FImpl->Canvas = std::make_unique<TCanvas>();
    vmqt::CanvasSetTarget(FImpl->Canvas.get(), FImpl.get());
    FImpl->Canvas->OnChange = [this](TObject*) { Changed(this); };
  }
  return FImpl->Canvas.get();
}

bool TBitmap::Empty() const { return FImpl->Img.isNull() || FImpl->Img.width() == 0 || FImpl->Img.height() == 0; }
int32_t TBitmap::Width() const { return FImpl->Img.isNull() ? FImpl->EmptyW : FImpl->Logical(FImpl->Img.width()); }
int32_t TBitmap::Height() const { return FImpl->Img.isNull() ? FImpl->EmptyH : FImpl->Logical(FImpl->Img.height()); }

double TBitmap::PixelRatio() const { return FImpl->Ratio; }

void TBitmap::SetPixelRatio(double Value) {
  if (Value <= 0 || Value == FImpl->Ratio) return;
  const int32_t w = Width(), h = Height();
  FImpl->Sync();
  FImpl->Ratio = Value;
  FImpl->Img = QImage();
  SetSize(w, h);
}
void TBitmap::SetWidth(int32_t Value) { SetSize(Value, Height()); }
void TBitmap::SetHeight(int32_t Value) { SetSize(Width(), Value); }

void TBitmap::SetSize(int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  if (AWidth == Width() && AHeight == Height() && !FImpl->Img.isNull()) return;
  FImpl->Sync();
  FImpl->EmptyW = FImpl->EmptyH = 0;
  if (AWidth == 0 || AHeight == 0) {
    FImpl->Img = QImage();
    FImpl->EmptyW = AWidth;
    FImpl->EmptyH = AHeight;
  } else {
    const qreal r = FImpl->Ratio;
    QImage n(static_cast<int>(std::ceil(AWidth * r)), static_cast<int>(std::ceil(AHeight * r)), QImage::Format_RGB32);
    n.setDevicePixelRatio(r);
    n.fill(Qt::white);
    if (!FImpl->Img.isNull()) {
      QPainter p(&n);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(0, 0, FImpl->Img.convertToFormat(QImage::Format_RGB32));
    }
    n.setDotsPerMeterX(3780);
    n.setDotsPerMeterY(3780);
    FImpl->Img = Convert(n, FPixelFormat, FImpl->Img.colorTable());
    FImpl->Img.setDevicePixelRatio(r);
  }
  if (FImpl->Canvas) vmqt::CanvasSetTarget(FImpl->Canvas.get(), FImpl.get());
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pfCustom) Value = pfDevice;
  if (Value == FPixelFormat) return;
  FImpl->Sync();
  FPixelFormat = Value;
  if (!FImpl->Img.isNull()) FImpl->Img = Convert(FImpl->Img, Value);
  Changed(this);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value)
    SetPixelFormat(pf1bit);
  else if (FPixelFormat == pf1bit)
    SetPixelFormat(pfDevice);
}

std::vector<TColor> TBitmap::PaletteColors() const {
  std::vector<TColor> r;
  for (QRgb c : FImpl->Img.colorTable()) r.push_back(vmqt::FromQRgb(c));
  return r;
}

void TBitmap::SetPaletteColors(const std::vector<TColor>& Colors) {
  if (FPixelFormat != pf1bit && FPixelFormat != pf4bit && FPixelFormat != pf8bit) return;
  FImpl->Sync();
  QList<QRgb> t;
  for (TColor c : Colors) t.push_back(vmqt::ToQRgb(c));
  size_t max = FPixelFormat == pf1bit ? 2 : FPixelFormat == pf4bit ? 16 : 256;
  while (static_cast<size_t>(t.size()) > max) t.pop_back();
  if (!FImpl->Img.isNull()) FImpl->Img.setColorTable(t);
  Changed(this);
}

void* TBitmap::ScanLine(int32_t Row) {
  if (Row < 0 || Row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  FImpl->Sync();
  Changed(this);
  return FImpl->Img.scanLine(Row);
}

int32_t TBitmap::BytesPerScanLine() const {
  return FImpl->Img.isNull() ? 0 : static_cast<int32_t>(FImpl->Img.bytesPerLine());
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  FImpl->Sync();
  return vmqt::FromQRgb(FImpl->Img.pixel(0, Height() - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmAuto)
    FTransparentColor = clDefault;
  else
    FTransparentColor = TransparentColor();
  FTransparentMode = Value;
  Changed(this);
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    FImpl->Sync();
    FImpl->Img = QImage();
    FImpl->EmptyW = FImpl->EmptyH = 0;
    if (FImpl->Canvas) vmqt::CanvasSetTarget(FImpl->Canvas.get(), FImpl.get());
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    b->FImpl->Sync();
    FImpl->Sync();
    FImpl->Img = b->FImpl->Img.copy();
    FImpl->EmptyW = b->FImpl->EmptyW;
    FImpl->EmptyH = b->FImpl->EmptyH;
    FPixelFormat = b->FPixelFormat;
    FTransparentMode = b->FTransparentMode;
    FTransparentColor = b->FTransparentColor;
    SetTransparent(b->Transparent());
    if (FImpl->Canvas) vmqt::CanvasSetTarget(FImpl->Canvas.get(), FImpl.get());
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

TGraphic* TBitmap::Clone() const {
  auto* b = new TBitmap();
  b->Assign(const_cast<TBitmap*>(this));
  return b;
}

void TBitmap::LoadFromStream(TStream& Stream) {
  std::string data = Stream.ReadAll();
  if (data.size() < 30 || data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
  uint16_t bits = static_cast<uint8_t>(data[28]) | (static_cast<uint8_t>(data[29]) << 8);
  QImage img;
  if (!img.loadFromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()), "BMP"))
    throw EInvalidGraphic("Bitmap image is not valid");
  TPixelFormat f = bits == 1    ? pf1bit
                   : bits == 4  ? pf4bit
                   : bits == 8  ? pf8bit
                   : bits == 16 ? pf16bit
                   : bits == 24 ? pf24bit
                                : pf32bit;
  if (bits == 16) {
    // 16-bit files without bit fields are 5-5-5.
    uint32_t compression = static_cast<uint8_t>(data[30]) | (static_cast<uint8_t>(data[31]) << 8);
    if (compression == 0) f = pf15bit;
  }
  FImpl->Sync();
  FPixelFormat = f;
  FImpl->Img = (f == pf1bit || f == pf4bit || f == pf8bit) && img.format() == QtFormat(f) ? img : Convert(img, f);
  FImpl->Img.setDotsPerMeterX(3780);
  FImpl->Img.setDotsPerMeterY(3780);
  if (FImpl->Canvas) vmqt::CanvasSetTarget(FImpl->Canvas.get(), FImpl.get());
  Changed(this);
}

// ---------------------------------------------------------------------------------------------
// Named bitmap resources

namespace {

std::map<std::string, QImage>& BitmapResources() {
  static std::map<std::string, QImage> m;
  return m;
}

void StoreResource(const std::string& Name, const QImage& Img) {
  if (Img.isNull())
    BitmapResources().erase(UpperCase(Name));
  else
    BitmapResources()[UpperCase(Name)] = Img;
}

QImage DecodeResource(const void* Data, size_t Size) {
  QImage img;
  if (!Data || Size == 0 || !img.loadFromData(static_cast<const uchar*>(Data), static_cast<int>(Size)))
    throw EInvalidGraphic("Bitmap image is not valid");
  return img;
}

}  // namespace

void RegisterBitmapResource(const std::string& Name, TBitmap* Image) {
  StoreResource(Name, Image && !Image->Empty() ? vmqt::BitmapImage(Image).copy() : QImage());
}

void RegisterBitmapResourceFile(const std::string& Name, const std::string& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  std::string data = s.ReadAll();
  StoreResource(Name, DecodeResource(data.data(), data.size()));
}

void RegisterBitmapResourceData(const std::string& Name, const void* Data, size_t Size) {
  StoreResource(Name, DecodeResource(Data, Size));
}

void UnregisterBitmapResource(const std::string& Name) { BitmapResources().erase(UpperCase(Name)); }

bool FindBitmapResource(const std::string& Name, TBitmap* Bitmap) {
  if (Name.empty()) return false;
  QImage img;
  auto it = BitmapResources().find(UpperCase(Name));
  if (it != BitmapResources().end()) {
    img = it->second;
  } else {
    for (const char* ext : {".bmp", ".png", ".BMP", ".PNG"}) {
      QString path = ":/bitmaps/" + vmqt::ToQ(Name) + ext;
      if (QFile::exists(path) && img.load(path)) break;
    }
    if (img.isNull()) return false;
  }
  if (Bitmap) {
    vmqt::SetBitmapImage(Bitmap, img);
    Bitmap->Changed(Bitmap);
  }
  return true;
}

void TBitmap::LoadFromResourceName(const std::string& ResName) {
  if (!FindBitmapResource(ResName, this)) throw EResNotFound("Resource " + ResName + " not found");
}

namespace {
void Put16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
}  // namespace

void TBitmap::SaveToStream(TStream& Stream) {
  FImpl->Sync();
  const QImage& img = FImpl->Img;
  int w = Width(), h = Height();
  int bits = 32;
  switch (FPixelFormat) {
    case pf1bit:
      bits = 1;
      break;
    case pf4bit:
      bits = 4;
      break;
    case pf8bit:
      bits = 8;
      break;
    case pf15bit:
    case pf16bit:
      bits = 16;
      break;
    case pf24bit:
      bits = 24;
      break;
    default:
      bits = 32;
      break;
  }
  int rowBytes = ((w * bits + 31) / 32) * 4;
  QList<QRgb> pal = img.colorTable();
  int palCount = bits <= 8 ? (1 << bits) : 0;
  bool fields = FPixelFormat == pf16bit;
  uint32_t headerSize = 14 + 40 + (fields ? 12 : 0) + palCount * 4;
  std::string s;
  s += "BM";
  Put32(s, headerSize + static_cast<uint32_t>(rowBytes) * h);
  Put32(s, 0);
  Put32(s, headerSize);
  Put32(s, 40);
  Put32(s, static_cast<uint32_t>(w));
  Put32(s, static_cast<uint32_t>(h));
  Put16(s, 1);
  Put16(s, static_cast<uint16_t>(bits));
  Put32(s, fields ? 3 : 0);
  Put32(s, static_cast<uint32_t>(rowBytes) * h);
  Put32(s, 3780);
  Put32(s, 3780);
  Put32(s, 0);
  Put32(s, 0);
  if (fields) {
    Put32(s, 0xF800);
    Put32(s, 0x07E0);
    Put32(s, 0x001F);
  }
  for (int i = 0; i < palCount; ++i) {
    QRgb c = i < pal.size() ? pal[i] : 0;
    s.push_back(static_cast<char>(qBlue(c)));
    s.push_back(static_cast<char>(qGreen(c)));
    s.push_back(static_cast<char>(qRed(c)));
    s.push_back(0);
  }
  std::string row(rowBytes, '\0');
  for (int y = h - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), '\0');
    const uchar* src = img.constScanLine(y);
    if (bits == 4) {
      for (int x = 0; x < w; ++x) {
        uint8_t v = src[x] & 0x0F;
        row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? v << 4 : v));
      }
    } else {
      std::memcpy(row.data(), src, std::min<size_t>(rowBytes, img.bytesPerLine()));
      if (bits == 32)
        for (int x = 0; x < w; ++x) row[x * 4 + 3] = 0;
    }
    s += row;
  }
  Stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  QPainter* p = vmqt::CanvasPainter(ACanvas);
  if (!p || Empty()) return;
  QImage img = vmqt::BitmapDrawImage(this);
  auto comp = p->compositionMode();
  bool handled = false;
  QPainter::CompositionMode mode = vmqt::CopyModeToComposition(ACanvas->CopyMode(), handled);
  if (Transparent() || !handled) mode = QPainter::CompositionMode_SourceOver;
  p->setCompositionMode(mode);
  QRect r(std::min(Rect.Left, Rect.Right), std::min(Rect.Top, Rect.Bottom), std::abs(Rect.Width()),
          std::abs(Rect.Height()));
  if (Rect.Width() < 0 || Rect.Height() < 0) img = img.mirrored(Rect.Width() < 0, Rect.Height() < 0);
  p->drawImage(r, img);
  p->setCompositionMode(comp);
}

namespace vmqt {

const QImage& BitmapImage(TBitmap* Bitmap) {
  Bitmap->GetImpl()->Sync();
  return Bitmap->GetImpl()->Img;
}

void SetBitmapImage(TBitmap* Bitmap, const QImage& Image) {
  TBitmap::Impl* d = Bitmap->GetImpl();
  d->Sync();
  QImage img = Image;
  TPixelFormat f;
  switch (img.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      f = pf1bit;
      img = img.convertToFormat(QImage::Format_Mono);
      break;
    case QImage::Format_Indexed8:
      f = pf8bit;
      break;
    case QImage::Format_RGB555:
      f = pf15bit;
      break;
    case QImage::Format_RGB16:
      f = pf16bit;
      break;
    case QImage::Format_BGR888:
      f = pf24bit;
      break;
    case QImage::Format_RGB888:
      f = pf24bit;
      img = img.convertToFormat(QImage::Format_BGR888);
      break;
    case QImage::Format_RGB32:
      f = pfDevice;
      break;
    default:
      f = pf32bit;
      img = img.convertToFormat(QImage::Format_RGB32);
      break;
  }
  d->Img = img;
  d->EmptyW = d->EmptyH = 0;
  d->SetFormatRaw(f);
  if (d->Canvas) CanvasSetTarget(d->Canvas.get(), d);
}

QImage BitmapDrawImage(TBitmap* Bitmap) {
  const QImage& img = BitmapImage(Bitmap);
  if (!Bitmap->Transparent()) return img;
  QRgb key = ToQRgb(Bitmap->TransparentColor()) & 0xFFFFFF;
  QImage a = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < a.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(a.scanLine(y));
    for (int x = 0; x < a.width(); ++x)
      if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
  }
  return a;
}

}  // namespace vmqt

// ---------------------------------------------------------------------------------------------
// Snapshots

struct TBitmapSnapshot::Impl {
  QImage Img;
};

namespace {
// Two images whose bytes can be copied one onto the other.
bool SameShape(const QImage& A, const QImage& B) {
  return A.size() == B.size() && A.format() == B.format() && A.devicePixelRatio() == B.devicePixelRatio() &&
         A.colorTable() == B.colorTable() && A.bytesPerLine() == B.bytesPerLine();
}
}  // namespace

TBitmapSnapshot::TBitmapSnapshot() : FImpl(std::make_unique<Impl>()) {}

TBitmapSnapshot::~TBitmapSnapshot() = default;

void TBitmapSnapshot::Take(TBitmap* Source) {
  TBitmap::Impl* s = Source->GetImpl();
  s->Sync();
  const QImage& src = s->Img;
  QImage& dst = FImpl->Img;
  // The copy's memory is reused while the picture keeps its shape.
  if (dst.isNull() || !SameShape(dst, src)) {
    dst = src.copy();
    return;
  }
  std::memcpy(dst.bits(), src.constBits(), static_cast<size_t>(src.sizeInBytes()));
}

bool TBitmapSnapshot::RestoreTo(TBitmap* Dest) const {
  const QImage& src = FImpl->Img;
  if (src.isNull()) return false;
  TBitmap::Impl* d = Dest->GetImpl();
  d->Sync();
  QImage& dst = d->Img;
  if (!SameShape(dst, src)) return false;
  std::memcpy(dst.bits(), src.constBits(), static_cast<size_t>(src.sizeInBytes()));
  return true;
}

void TBitmapSnapshot::Clear() { FImpl->Img = QImage(); }

bool TBitmapSnapshot::Empty() const { return FImpl->Img.isNull(); }
