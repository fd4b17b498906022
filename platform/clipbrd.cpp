#include "platform/clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <mutex>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/picture.h"
#include "platform/qt_graphics.h"

VM_DEFINE_CLASS(TClipboard)

namespace {

constexpr TClipboardFormat kFirstRegistered = 0xC000;

std::vector<std::string>& FormatNames() {
  static std::vector<std::string> names;
  return names;
}
std::mutex& FormatLock() {
  static std::mutex m;
  return m;
}

// Named formats travel under the MIME type the window system uses for named formats.
QString MimeOf(TClipboardFormat Format) {
  switch (Format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
      return QStringLiteral("text/plain");
    case CF_BITMAP:
    case CF_DIB:
      return QStringLiteral("application/x-qt-image");
    case CF_ENHMETAFILE:
      return QStringLiteral("image/emf");
    case CF_METAFILEPICT:
      return QStringLiteral("image/wmf");
    default:
      break;
  }
  std::string name = GetClipboardFormatName(Format);
  if (name.empty()) return QString();
  return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(vmqt::ToQ(name));
}

QClipboard* Board() {
  vmqt::EnsureApp();
  return QGuiApplication::clipboard();
}

}  // namespace

TClipboardFormat RegisterClipboardFormat(const std::string& Name) {
  if (Name.empty()) return 0;
  std::lock_guard<std::mutex> g(FormatLock());
  auto& names = FormatNames();
  QString q = vmqt::ToQ(Name);
  for (size_t i = 0; i < names.size(); ++i)
    if (vmqt::ToQ(names[i]).compare(q, Qt::CaseInsensitive) == 0)
      return kFirstRegistered + static_cast<TClipboardFormat>(i);
  names.push_back(Name);
  return kFirstRegistered + static_cast<TClipboardFormat>(names.size() - 1);
}

std::string GetClipboardFormatName(TClipboardFormat Format) {
  std::lock_guard<std::mutex> g(FormatLock());
  auto& names = FormatNames();
  if (Format < kFirstRegistered || Format - kFirstRegistered >= names.size()) return {};
  return names[Format - kFirstRegistered];
}

struct TClipboard::Impl {
  int OpenCount = 0;
  QMimeData* Pending = nullptr;  // built while open, handed to the clipboard on the last Close
  // The data to write into: the pending batch, or a fresh one set at once.
  template <class F>
  void Write(F Fn) {
    if (OpenCount > 0) {
      if (!Pending) Pending = new QMimeData;
      Fn(Pending);
      return;
    }
    auto* d = new QMimeData;
    Fn(d);
    Board()->setMimeData(d);
  }
};

TClipboard::TClipboard() : FImpl(std::make_unique<Impl>()) {}
TClipboard::~TClipboard() { delete FImpl->Pending; }

void TClipboard::Open() {
  if (FImpl->OpenCount++ == 0) {
    delete FImpl->Pending;
    FImpl->Pending = nullptr;
  }
}

void TClipboard::Close() {
  if (FImpl->OpenCount == 0) return;
  if (--FImpl->OpenCount > 0) return;
  if (FImpl->Pending) {
    Board()->setMimeData(FImpl->Pending);  // the clipboard takes it
    FImpl->Pending = nullptr;
  }
}

void TClipboard::Clear() {
  if (FImpl->OpenCount > 0) {
    delete FImpl->Pending;
    FImpl->Pending = new QMimeData;
    return;
  }
  Board()->clear();
}

std::string TClipboard::AsText() const { return vmqt::FromQ(Board()->text()); }

void TClipboard::SetAsText(const std::string& Value) {
  FImpl->Write([&](QMimeData* d) { d->setText(vmqt::ToQ(Value)); });
}

bool TClipboard::HasFormat(TClipboardFormat Format) const {
  const QMimeData* d = Board()->mimeData();
  if (!d) return false;
  if (Format == CF_TEXT || Format == CF_UNICODETEXT) return d->hasText();
  if (Format == CF_BITMAP || Format == CF_DIB) return d->hasImage();
  QString mime = MimeOf(Format);
  return !mime.isEmpty() && d->hasFormat(mime);
}

int TClipboard::FormatCount() const {
  int n = 0;
  for (TClipboardFormat f : {CF_TEXT, CF_BITMAP})
    if (HasFormat(f)) ++n;
  const QMimeData* d = Board()->mimeData();
  if (d)
    for (const QString& m : d->formats())
      if (m.startsWith(QStringLiteral("application/x-qt-windows-mime;value=\""))) ++n;
  return n;
}

TClipboardFormat TClipboard::Formats(int Index) const {
  std::vector<TClipboardFormat> list;
  for (TClipboardFormat f : {CF_TEXT, CF_BITMAP})
    if (HasFormat(f)) list.push_back(f);
  if (const QMimeData* d = Board()->mimeData()) {
    const QString prefix = QStringLiteral("application/x-qt-windows-mime;value=\"");
    for (const QString& m : d->formats())
      if (m.startsWith(prefix)) list.push_back(RegisterClipboardFormat(vmqt::FromQ(m.mid(prefix.size()).chopped(1))));
  }
  if (Index < 0 || Index >= static_cast<int>(list.size()))
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return list[Index];
}

void TClipboard::SetAsHandle(TClipboardFormat Format, const std::string& Data) {
  if (Format == CF_TEXT || Format == CF_UNICODETEXT) {
    SetAsText(Data);
    return;
  }
  QString mime = MimeOf(Format);
  if (mime.isEmpty() || Format == CF_BITMAP || Format == CF_DIB)
    throw EConvertError("Cannot put a block of bytes on the clipboard under format " + std::to_string(Format));
  FImpl->Write([&](QMimeData* d) { d->setData(mime, QByteArray(Data.data(), static_cast<qsizetype>(Data.size()))); });
}

std::string TClipboard::GetAsHandle(TClipboardFormat Format) const {
  if (Format == CF_TEXT || Format == CF_UNICODETEXT) return AsText();
  const QMimeData* d = Board()->mimeData();
  QString mime = MimeOf(Format);
  if (!d || mime.isEmpty() || !d->hasFormat(mime)) return {};
  QByteArray b = d->data(mime);
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

void TClipboard::Assign(TPersistent* Source) {
  TBitmap* bmp = dynamic_cast<TBitmap*>(Source);
  if (auto* pic = dynamic_cast<TPicture*>(Source)) bmp = dynamic_cast<TBitmap*>(pic->Graphic());
  if (!bmp) {
    TPersistent::Assign(Source);  // raises the cannot-assign error
    return;
  }
  QImage img = vmqt::BitmapImage(bmp).convertToFormat(QImage::Format_RGB32);
  FImpl->Write([&](QMimeData* d) { d->setImageData(img); });
}

void TClipboard::AssignTo(TPersistent* Dest) {
  auto* bmp = dynamic_cast<TBitmap*>(Dest);
  auto* pic = dynamic_cast<TPicture*>(Dest);
  if (!bmp && !pic) {
    TPersistent::AssignTo(Dest);
    return;
  }
  QImage img = Board()->image();
  if (img.isNull()) throw EInvalidGraphic("The clipboard holds no picture");
  if (bmp) {
    vmqt::SetBitmapImage(bmp, img.convertToFormat(QImage::Format_RGB32));
  } else {
    TBitmap b;
    vmqt::SetBitmapImage(&b, img.convertToFormat(QImage::Format_RGB32));
    pic->SetBitmap(&b);
  }
}

TClipboard* Clipboard() {
  static TClipboard* clipboard = new TClipboard;
  return clipboard;
}
