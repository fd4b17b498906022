#include "controls/gif_image.h"

#include <algorithm>
#include <cstring>

#include "controls/gif_colors.h"
#include "controls/vx_utils.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TExtension)
VM_DEFINE_CLASS(TGIFFrame)
VM_DEFINE_CLASS(TGIFImage)

bool GIFLoadCorrupted = true;
const char* const CF_GIF_NAME = "GIF Image";

namespace {

const char* const kUnknownVersion = "Неизвестная версия изображения GIF";
const char* const kEncodeError = "Ошибка кодировки данных в формат GIF";
const char* const kBadColorCount = "Неверное число цветов; должно быть степенью числа 2";
const char* const kUnknownExtension = "Неопределенное расширение GIF: %.2x";
const char* const kNoData = "Нет данных для записи в формате GIF";
const char* const kCannotResize = "Невозможно изменить размер изображения GIF";
const char* const kReadError = "Stream read error";
const char* const kTooLarge = "Изображение GIF слишком велико";

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

void Put8(TStream& S, uint8_t V) { S.WriteBuffer(&V, 1); }
void Put16(TStream& S, uint16_t V) {
  uint8_t b[2] = {static_cast<uint8_t>(V & 0xFF), static_cast<uint8_t>(V >> 8)};
  S.WriteBuffer(b, 2);
}
void Put32(TStream& S, uint32_t V) {
  uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>((V >> (8 * i)) & 0xFF);
  S.WriteBuffer(b, 4);
}
uint16_t Clamp16(int64_t V) { return static_cast<uint16_t>(std::clamp<int64_t>(V, 0, 65535)); }
uint32_t Get32(const uint8_t* P) { return P[0] | (P[1] << 8) | (P[2] << 16) | (static_cast<uint32_t>(P[3]) << 24); }

// One string per data sub-block, each cut to 255 bytes, empty strings left out, then the terminator.
void WriteSubBlocks(TStream& S, const TStrings& Lines) {
  for (int i = 0; i < Lines.Count(); ++i) {
    std::string line = Lines.Strings(i);
    if (line.empty()) continue;
    if (line.size() > 255) line.resize(255);
    Put8(S, static_cast<uint8_t>(line.size()));
    S.WriteBuffer(line.data(), static_cast<int64_t>(line.size()));
  }
  Put8(S, 0);
}

void WriteTable(TStream& S, const TGIFColorTable& T, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) {
    uint8_t rgb[3] = {0, 0, 0};
    if (i < T.Count) std::memcpy(rgb, T.Colors[i], 3);
    S.WriteBuffer(rgb, 3);
  }
}

bool SameText(const uint8_t* P, const char* Text, size_t N) {
  for (size_t i = 0; i < N; ++i) {
    char a = static_cast<char>(P[i]), b = Text[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

// Reads a GIF held in memory; every short read raises the read error.
class TGIFReader {
public:
  TGIFReader(const uint8_t* Data, size_t Size) : FData(Data), FSize(Size) {}

  bool AtEnd() const { return FPos >= FSize; }
  size_t Remaining() const { return FSize - FPos; }
  const uint8_t* Here() const { return FData + FPos; }
  void Skip(size_t N) {
    Need(N);
    FPos += N;
  }
  void SeekEnd() { FPos = FSize; }
  uint8_t Byte() {
    Need(1);
    return FData[FPos++];
  }
  uint16_t Word() {
    Need(2);
    uint16_t v = static_cast<uint16_t>(FData[FPos] | (FData[FPos + 1] << 8));
    FPos += 2;
    return v;
  }
  void Read(void* Dest, size_t N) {
    Need(N);
    std::memcpy(Dest, FData + FPos, N);
    FPos += N;
  }
  // The next byte that is not zero; -1 at the end of the data.
  int NextNonZero() {
    while (FPos < FSize && FData[FPos] == 0) ++FPos;
    return FPos < FSize ? FData[FPos++] : -1;
  }
  void ReadTable(TGIFColorTable& T, int Bits) {
    T.Count = 1 << Bits;
    Read(T.Colors, static_cast<size_t>(T.Count) * 3);
  }
  // Data sub-blocks up to the terminator, one string each (Lines may be null).
  void ReadSubBlocks(TStrings* Lines) {
    for (;;) {
      uint8_t n = Byte();
      if (n == 0) return;
      Need(n);
      if (Lines) Lines->Add(std::string(reinterpret_cast<const char*>(FData + FPos), n));
      FPos += n;
    }
  }

private:
  void Need(size_t N) const {
    if (N > FSize - FPos) throw EInvalidGraphicOperation(kReadError);
  }
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};

// ---------------------------------------------------------------------------------------------
// Colour tables and shared data

TColor TGIFColorTable::Color(int Index) const {
  if (Index < 0 || Index >= Count) return clNone;
  return RGB(Colors[Index][0], Colors[Index][1], Colors[Index][2]);
}

int TGIFColorTable::IndexOf(TColor AColor) const {
  if (AColor == clNone || AColor == clDefault) return -1;
  const TColor c = ColorToRGB(AColor);
  for (int i = 0; i < Count; ++i)
    if (Color(i) == c) return i;
  return -1;
}

int GIFColorBits(int32_t Count) {
  int n = 1;
  while (n < 8 && (1 << n) < Count) ++n;
  return n;
}

TGIFData::TGIFData() : Comment(std::make_unique<TStringList>()) {}
TGIFData::~TGIFData() = default;
void TGIFData::FreeHandle() { Comment->Clear(); }

TGIFItem::TGIFItem() = default;
TGIFItem::~TGIFItem() = default;
bool TGIFItem::HasData() const { return ZipData && ZipData->Size() > 0; }
void TGIFItem::FreeHandle() {
  if (ZipData) ZipData->Clear();
}

// ---------------------------------------------------------------------------------------------
// TExtension

TExtension::TExtension() : Data(std::make_unique<TStringList>()) {}
TExtension::~TExtension() = default;

void TExtension::Assign(TPersistent* Source) {
  if (auto* e = dynamic_cast<TExtension*>(Source)) {
    ExtType = e->ExtType;
    std::memcpy(Fixed, e->Fixed, sizeof(Fixed));
    Data->Assign(*e->Data);
    return;
  }
  TPersistent::Assign(Source);
}

int TExtension::FixedSize(TGIFExtensionType Kind) {
  switch (Kind) {
    case etGraphic:
      return 6;
    case etPlainText:
      return 13;
    case etApplication:
      return 12;
    default:
      return 0;
  }
}

uint8_t TExtension::Label(TGIFExtensionType Kind) {
  switch (Kind) {
    case etGraphic:
      return 0xF9;
    case etPlainText:
      return 0x01;
    case etApplication:
      return 0xFF;
    default:
      return 0xFE;
  }
}

// ---------------------------------------------------------------------------------------------
// TGIFFrame

TGIFFrame::TGIFFrame(TGIFImage* AOwner) : FOwner(AOwner), FItem(std::make_shared<TGIFItem>()) {}
TGIFFrame::~TGIFFrame() = default;

void TGIFFrame::NewItem() {
  FItem = std::make_shared<TGIFItem>();
  FCorrupted = false;
}

bool TGIFFrame::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

TBitmap* TGIFFrame::Bitmap() {
  if (HasBitmap()) return FBitmap.get();
  auto bmp = std::make_unique<TBitmap>();
  if (FItem->HasData()) {
    std::unique_ptr<TMemoryStream> dib = DecodeToDibStream();
    if (dib) {
      bmp->LoadFromStream(*dib);
      if (!bmp->Monochrome()) bmp->SetPixelFormat(pfDevice);
    }
  }
  FBitmap = std::move(bmp);
  return FBitmap.get();
}

int32_t TGIFFrame::Width() {
  if (HasBitmap()) return FBitmap->Width();
  return FItem->HasData() ? FItem->Width : 0;
}

int32_t TGIFFrame::Height() {
  if (HasBitmap()) return FBitmap->Height();
  return FItem->HasData() ? FItem->Height : 0;
}

TStrings* TGIFFrame::Comment() {
  for (auto it = FExtensions.rbegin(); it != FExtensions.rend(); ++it)
    if ((*it)->ExtType == etComment) return (*it)->Data.get();
  auto e = std::make_unique<TExtension>();
  e->ExtType = etComment;
  FExtensions.push_back(std::move(e));
  return FExtensions.back()->Data.get();
}

void TGIFFrame::Progress(TProgressStage Stage, int Percent, const std::string& Msg) {
  if (FOwner) FOwner->DoProgress(Stage, Percent, Msg);
}

void TGIFFrame::LoadFromStream(TGIFReader& Reader) {
  const uint16_t left = Reader.Word(), top = Reader.Word();
  const uint16_t width = Reader.Word(), height = Reader.Word();
  const uint8_t flags = Reader.Byte();
  FInterlaced = (flags & 0x40) != 0;
  if (flags & 0x80) {
    FItem->BitsPerPixel = (flags & 7) + 1;
    FOwnTable = true;
    Reader.ReadTable(FItem->ColorTable, FItem->BitsPerPixel);
  } else {
    FItem->ColorTable = TGIFColorTable();
  }

  auto zip = std::make_unique<TMemoryStream>();
  bool damaged = false;
  if (Reader.AtEnd()) {
    damaged = true;
  } else {
    Put8(*zip, Reader.Byte());
    while (!Reader.AtEnd()) {
      const uint8_t n = *Reader.Here();
      if (n == 0) {
        Put8(*zip, Reader.Byte());
        break;
      }
      if (static_cast<size_t>(n) + 1 > Reader.Remaining()) {
        damaged = true;
        Reader.SeekEnd();
        break;
      }
      zip->WriteBuffer(Reader.Here(), n + 1);
      Reader.Skip(n + 1u);
    }
  }
  FItem->ZipData = std::move(zip);
  if (damaged) {
    FCorrupted = true;
    if (!GIFLoadCorrupted) throw EInvalidGraphicOperation(kReadError);
  }

  FItem->Width = width ? width : (FOwner ? FOwner->FScreenWidth : 0);
  FItem->Height = height ? height : (FOwner ? FOwner->FScreenHeight : 0);
  FOrigin = Point(left, top);
  if (!(flags & 0x80) && FOwner) FItem->ColorTable = FOwner->FData->ColorTable;

  for (const auto& e : FExtensions) {
    if (e->ExtType != etGraphic) continue;
    const uint8_t gflags = e->Fixed[1];
    const int delay = e->Fixed[2] | (e->Fixed[3] << 8);
    const int index = e->Fixed[4];
    if (gflags & 1) {
      if (index < FItem->ColorTable.Count) FTransparentColor = FItem->ColorTable.Color(index);
    } else {
      FTransparentColor = clNone;
    }
    FAnimateInterval = std::max(FAnimateInterval, 10 * delay);
    FDisposal = static_cast<uint8_t>((gflags >> 2) & 7);
  }
}

std::unique_ptr<TMemoryStream> TGIFFrame::DecodeToDibStream() {
  const int bpp = FItem->BitsPerPixel;
  int depth;
  if (bpp == 1)
    depth = 1;
  else if (bpp >= 2 && bpp <= 4)
    depth = 4;
  else if (bpp >= 5 && bpp <= 8)
    depth = 8;
  else
    throw EInvalidGraphicOperation(kBadColorCount);
  const int32_t w = FItem->Width, h = FItem->Height;
  if (w <= 0 || h <= 0) return nullptr;
  if (static_cast<int64_t>(w) * h > GIFMaxFramePixels) throw EInvalidGraphicOperation(kTooLarge);

  const int64_t rowSize = DibRowSize(w, depth);
  const uint32_t imageSize = static_cast<uint32_t>(rowSize * h);
  const int colors = 1 << depth;
  const uint32_t bitsOffset = 54 + 4 * colors;
  std::vector<uint8_t> bits(imageSize, 0);
  bool damaged = false;
  DecodeLzw(
      *FItem->ZipData, w, h, depth, FInterlaced,
      [this](TProgressStage S, int P, const std::string& M) { Progress(S, P, M); }, damaged, bits.data(), bits.size(),
      bpp, GIFLoadCorrupted);
  if (damaged) FCorrupted = true;

  auto s = std::make_unique<TMemoryStream>();
  s->SetSize(bitsOffset + imageSize);
  s->SetPosition(0);
  s->WriteBuffer("BM", 2);
  Put32(*s, bitsOffset + imageSize);
  Put32(*s, 0);
  Put32(*s, bitsOffset);
  Put32(*s, 40);
  Put32(*s, static_cast<uint32_t>(w));
  Put32(*s, static_cast<uint32_t>(h));
  Put16(*s, 1);
  Put16(*s, static_cast<uint16_t>(depth));
  Put32(*s, 0);
  Put32(*s, imageSize);
  Put32(*s, 0);
  Put32(*s, 0);
  Put32(*s, 0);
  Put32(*s, 0);
  for (int i = 0; i < colors; ++i) {
    uint8_t quad[4] = {128, 128, 128, 128};
    if (i < FItem->ColorTable.Count) {
      quad[0] = FItem->ColorTable.Colors[i][2];
      quad[1] = FItem->ColorTable.Colors[i][1];
      quad[2] = FItem->ColorTable.Colors[i][0];
      quad[3] = 0;
    }
    s->WriteBuffer(quad, 4);
  }
  s->WriteBuffer(bits.data(), imageSize);
  s->SetPosition(0);
  return s;
}

void TGIFFrame::EncodeFromBitmap() {
  if (!HasBitmap()) throw EInvalidGraphicOperation(kNoData);
  std::unique_ptr<TMemoryStream> file;
  const TPixelFormat pf = FBitmap->PixelFormat();
  if (pf == pf1bit || pf == pf4bit || pf == pf8bit) {
    file = std::make_unique<TMemoryStream>();
    FBitmap->SaveToStream(*file);
  } else {
    const TColorReduction method = FGrayScale ? crGray : DefaultColorReduction;
    file = ReduceToBitmapStream(FBitmap.get(), 8, method);
    if (method == crGray) FGrayScale = true;
  }

  const auto* d = static_cast<const uint8_t*>(file->Memory());
  const size_t size = static_cast<size_t>(file->Size());
  if (size < 54) throw EInvalidGraphicOperation(kEncodeError);
  const uint32_t bitsOffset = Get32(d + 10), headerSize = Get32(d + 14);
  const int32_t w = static_cast<int32_t>(Get32(d + 18)), h = static_cast<int32_t>(Get32(d + 22));
  const int depth = d[28] | (d[29] << 8);
  if ((depth != 1 && depth != 4 && depth != 8) || Get32(d + 30) != 0 || w <= 0 || h <= 0)
    throw EInvalidGraphicOperation(kEncodeError);
  const int64_t rowSize = DibRowSize(w, depth);
  if (bitsOffset > size || static_cast<uint64_t>(rowSize) * h > size - bitsOffset)
    throw EInvalidGraphicOperation(kEncodeError);
  TGIFColorTable table;
  table.Count = 1 << depth;
  for (int i = 0; i < table.Count; ++i) {
    const size_t at = 14 + static_cast<size_t>(headerSize) + 4 * static_cast<size_t>(i);
    if (at + 4 > bitsOffset) break;
    table.Colors[i][0] = d[at + 2];
    table.Colors[i][1] = d[at + 1];
    table.Colors[i][2] = d[at];
  }
  FInterlaced = false;

  if (!FItem->ZipData) FItem->ZipData = std::make_unique<TMemoryStream>();
  FItem->ZipData->Clear();
  try {
    EncodeLzw(
        *FItem->ZipData, w, h, depth, false,
        [this](TProgressStage S, int P, const std::string& M) { Progress(S, P, M); }, d + bitsOffset,
        size - bitsOffset);
  } catch (const EAbort&) {
    NewItem();
    throw;
  }
  FItem->BitsPerPixel = GIFColorBits(table.Count);
  FItem->ColorTable = table;
  FItem->Width = w;
  FItem->Height = h;
  if (FOwner && FOwner->FData->ColorTable.Count == 0) {
    FOwner->FData->ColorTable = table;
    FOwner->FData->BitsPerPixel = FItem->BitsPerPixel;
    FOwnTable = false;
  } else {
    FOwnTable = true;
  }
  if (FOwner) {
    FOwner->FScreenWidth = std::max<int32_t>(FOwner->FScreenWidth, FOrigin.X + w);
    FOwner->FScreenHeight = std::max<int32_t>(FOwner->FScreenHeight, FOrigin.Y + h);
  }
}

void TGIFFrame::SyncControlExtension() {
  TExtension* control = nullptr;
  for (const auto& e : FExtensions)
    if (e->ExtType == etGraphic) control = e.get();
  if (!control && (FAnimateInterval != 0 || FTransparentColor != clNone || FDisposal != 0)) {
    auto e = std::make_unique<TExtension>();
    e->ExtType = etGraphic;
    e->Fixed[0] = 4;
    control = e.get();
    FExtensions.push_back(std::move(e));
  }
  if (control) {
    const uint16_t delay = Clamp16(FAnimateInterval / 10);
    control->Fixed[2] = static_cast<uint8_t>(delay & 0xFF);
    control->Fixed[3] = static_cast<uint8_t>(delay >> 8);
    const int index = FItem->ColorTable.IndexOf(FTransparentColor);
    if (index >= 0) {
      control->Fixed[4] = static_cast<uint8_t>(index);
      control->Fixed[1] |= 1;
    } else {
      control->Fixed[1] &= static_cast<uint8_t>(~1);
    }
    control->Fixed[1] = static_cast<uint8_t>((control->Fixed[1] & ~0x1C) | ((FDisposal & 7) << 2));
  }
  FExtensions.erase(std::remove_if(FExtensions.begin(), FExtensions.end(),
                                   [](const std::unique_ptr<TExtension>& e) {
                                     return e->ExtType == etComment && e->Data->Count() == 0;
                                   }),
                    FExtensions.end());
  if (!FExtensions.empty() && FOwner) FOwner->FVersion = 2;
}

void TGIFFrame::Assign(TPersistent* Source) {
  if (!Source) {
    NewItem();
    FBitmap.reset();
  } else if (auto* f = dynamic_cast<TGIFFrame*>(Source)) {
    if (f == this) return;
    FItem = f->FItem;
    FOwnTable = FOwner && FOwner == f->FOwner ? f->FOwnTable : true;
    FOrigin = f->FOrigin;
    FInterlaced = f->FInterlaced;
    if (f->FBitmap) {
      auto b = std::make_unique<TBitmap>();
      b->Assign(f->FBitmap.get());
      FBitmap = std::move(b);
    } else {
      FBitmap.reset();
    }
    FTransparentColor = f->FTransparentColor;
    FAnimateInterval = f->FAnimateInterval;
    FDisposal = f->FDisposal;
    FGrayScale = f->FGrayScale;
    FCorrupted = f->FCorrupted;
    for (auto it = f->FExtensions.rbegin(); it != f->FExtensions.rend(); ++it)
      if ((*it)->ExtType == etComment) {
        if ((*it)->Data->Count() > 0) Comment()->Assign(*(*it)->Data);
        break;
      }
  } else if (auto* g = dynamic_cast<TGIFImage*>(Source)) {
    if (g->Count() == 0) return;
    Assign(g->Frames(g->FrameIndex() >= 0 ? g->FrameIndex() : 0));
    return;
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    if (graphic->Empty()) return;
    auto bmp = std::make_unique<TBitmap>();
    bool drawn = false;
    try {
      bmp->Assign(graphic);
    } catch (const EConvertError&) {
      const TColor brush = RGB(255, 0, 255);
      bmp->SetSize(graphic->Width(), graphic->Height());
      bmp->Canvas()->Brush()->SetColor(brush);
      bmp->Canvas()->FillRect(Rect(0, 0, bmp->Width(), bmp->Height()));
      bmp->Canvas()->Draw(0, 0, graphic);
      drawn = true;
    }
    NewItem();
    if (graphic->Transparent()) {
      auto* asBitmap = dynamic_cast<TBitmap*>(graphic);
      FTransparentColor = asBitmap && !drawn ? ColorToRGB(asBitmap->TransparentColor()) : RGB(255, 0, 255);
    }
    FBitmap = std::move(bmp);
  } else {
    TPersistent::Assign(Source);
    return;
  }
  if (FOwner) FOwner->RecomputeLogicalSize();
}

void TGIFFrame::AssignTo(TPersistent* Dest) {
  if (dynamic_cast<TGIFFrame*>(Dest) || dynamic_cast<TGIFImage*>(Dest)) {
    Dest->Assign(this);
  } else if (auto* g = dynamic_cast<TGraphic*>(Dest)) {
    g->Assign(Bitmap());
    if (auto* b = dynamic_cast<TBitmap*>(g); b && FTransparentColor != clNone) {
      b->SetTransparentColor(ColorToRGB(FTransparentColor));
      b->SetTransparent(true);
    }
  } else {
    TPersistent::AssignTo(Dest);
  }
}

// ---------------------------------------------------------------------------------------------
// TGIFImage

TGIFImage::TGIFImage() {
  Reset();
  SetTransparent(true);
}

TGIFImage::~TGIFImage() {
  OnChange = nullptr;
  FFrames.clear();
}

void TGIFImage::Reset() {
  FData = std::make_shared<TGIFData>();
  FFrames.clear();
  FFrameIndex = -1;
  FScreenWidth = FScreenHeight = 0;
  FBackgroundColor = clNone;
  FRepeatCount = 1;
  FLooping = false;
  FVersion = 0;
}

TGIFFrame* TGIFImage::Frames(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FFrames[static_cast<size_t>(Index)].get();
}

void TGIFImage::DeleteFrame(int Index) {
  Frames(Index);
  FFrames.erase(FFrames.begin() + Index);
  if (FFrameIndex >= Count()) FFrameIndex = Count() - 1;
  Changed(this);
}

void TGIFImage::SetFrameIndex(int Value) {
  if (Value < -1 || Value >= Count()) throw EListError(Format("List index out of bounds (%d)", {Value}));
  if (Value != FFrameIndex) {
    FFrameIndex = Value;
    Changed(this);
  }
}

TBitmap* TGIFImage::Bitmap() {
  if (FFrames.empty()) return nullptr;
  return Frames(FFrameIndex >= 0 ? FFrameIndex : 0)->Bitmap();
}

TStrings* TGIFImage::Comment() const { return FData->Comment.get(); }
const TGIFColorTable& TGIFImage::ColorTable() const { return FData->ColorTable; }
int TGIFImage::BitsPerPixel() const { return FData->BitsPerPixel; }
int TGIFImage::ColorResolution() const { return FData->ColorResBits; }
uint8_t TGIFImage::AspectRatio() const { return FData->AspectRatio; }

bool TGIFImage::Empty() const {
  if (FFrames.empty()) return true;
  const TGIFFrame* f = FFrames[static_cast<size_t>(FFrameIndex >= 0 ? FFrameIndex : 0)].get();
  return !f->HasBitmap() && !f->FItem->HasData();
}

int32_t TGIFImage::Width() const {
  if (Empty() || FFrameIndex < 0) return 0;
  return FFrames[static_cast<size_t>(FFrameIndex)]->Width();
}

int32_t TGIFImage::Height() const {
  if (Empty() || FFrameIndex < 0) return 0;
  return FFrames[static_cast<size_t>(FFrameIndex)]->Height();
}

void TGIFImage::SetWidth(int32_t) { throw EInvalidGraphicOperation(kCannotResize); }
void TGIFImage::SetHeight(int32_t) { throw EInvalidGraphicOperation(kCannotResize); }

bool TGIFImage::Transparent() const {
  if (!TGraphic::Transparent()) return false;
  return std::any_of(FFrames.begin(), FFrames.end(),
                     [](const std::unique_ptr<TGIFFrame>& f) { return f->FTransparentColor != clNone; });
}

void TGIFImage::DoProgress(TProgressStage Stage, int Percent, const std::string& Msg) {
  if (OnProgress) OnProgress(this, Stage, static_cast<uint8_t>(std::clamp(Percent, 0, 100)), false, TRect(), Msg);
}

void TGIFImage::RecomputeLogicalSize() {
  int32_t w = 0, h = 0;
  for (const auto& f : FFrames) {
    w = std::max(w, f->FOrigin.X + f->Width());
    h = std::max(h, f->FOrigin.Y + f->Height());
  }
  FScreenWidth = w;
  FScreenHeight = h;
}

int TGIFImage::AppendFrame(TGraphic* Graphic) {
  FFrames.push_back(std::make_unique<TGIFFrame>(this));
  const int index = Count() - 1;
  const int oldIndex = FFrameIndex;
  FFrameIndex = index;
  {
    TScopeFail undo([&] {
      FFrames.pop_back();
      FFrameIndex = oldIndex;
    });
    FFrames.back()->Assign(Graphic);
  }
  if (FVersion == 0) FVersion = 1;
  if (Count() > 1) FVersion = 2;
  return index;
}

void TGIFImage::Assign(TPersistent* Source) {
  if (!Source) {
    Reset();
    Changed(this);
  } else if (auto* g = dynamic_cast<TGIFImage*>(Source)) {
    if (g == this) return;
    FData = g->FData;
    FVersion = g->FVersion;
    FBackgroundColor = g->FBackgroundColor;
    FLooping = g->FLooping;
    FRepeatCount = g->FRepeatCount;
    std::vector<std::unique_ptr<TGIFFrame>> frames;
    for (const auto& src : g->FFrames) {
      auto f = std::make_unique<TGIFFrame>(this);
      f->Assign(src.get());
      f->FOwnTable = src->FOwnTable;
      frames.push_back(std::move(f));
    }
    FFrames = std::move(frames);
    FScreenWidth = g->FScreenWidth;
    FScreenHeight = g->FScreenHeight;
    FFrameIndex = g->FFrameIndex;
    Changed(this);
  } else if (auto* f = dynamic_cast<TGIFFrame*>(Source)) {
    std::shared_ptr<TGIFData> sourceData = f->FOwner ? f->FOwner->FData : nullptr;
    Reset();
    if (sourceData) {
      FData->ColorTable = sourceData->ColorTable;
      FData->BitsPerPixel = sourceData->BitsPerPixel;
      FData->ColorResBits = sourceData->ColorResBits;
      FData->AspectRatio = sourceData->AspectRatio;
    }
    FFrames.push_back(std::make_unique<TGIFFrame>(this));
    FFrameIndex = 0;
    {
      TScopeFail undo([&] {
        FFrames.clear();
        FFrameIndex = -1;
      });
      FFrames.back()->Assign(f);
    }
    if (FVersion == 0) FVersion = 1;
    Changed(this);
  } else if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    Reset();
    AppendFrame(b);
    Changed(this);
  } else {
    TGraphic::Assign(Source);
  }
}

void TGIFImage::AssignTo(TPersistent* Dest) {
  if (dynamic_cast<TGIFImage*>(Dest)) {
    Dest->Assign(this);
  } else if (dynamic_cast<TGraphic*>(Dest)) {
    if (Empty()) return;
    if (FFrameIndex >= 0)
      FFrames[static_cast<size_t>(FFrameIndex)]->AssignTo(Dest);
    else
      Dest->Assign(FFrames[0]->Bitmap());
  } else {
    TGraphic::AssignTo(Dest);
  }
}

bool TGIFImage::Equals(TGraphic* Graphic) {
  auto* g = dynamic_cast<TGIFImage*>(Graphic);
  return g && g->FData == FData;
}

TGraphic* TGIFImage::Clone() const {
  auto* g = new TGIFImage();
  g->Assign(const_cast<TGIFImage*>(this));
  return g;
}

void TGIFImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FFrameIndex < 0 || FFrameIndex >= Count()) return;
  TGIFFrame* f = FFrames[static_cast<size_t>(FFrameIndex)].get();
  TBitmap* bmp = f->Bitmap();
  if (bmp->Empty()) return;
  if (TGraphic::Transparent() && f->FTransparentColor != clNone) {
    DrawColorKeyedRect(ACanvas, bmp, ColorToRGB(f->FTransparentColor), Rect, ::Rect(0, 0, bmp->Width(), bmp->Height()));
  } else {
    ACanvas->StretchDraw(Rect, bmp);
  }
}

void TGIFImage::LoadFromStream(TStream& Stream) { ReadGifStream(Stream.Size() - Stream.Position(), Stream, true); }

void TGIFImage::SaveToStream(TStream& Stream) { WriteGifStream(Stream, false); }

void TGIFImage::ReadData(TStream& Stream) {
  uint32_t size = 0;
  Stream.ReadBuffer(&size, 4);
  ReadGifStream(size, Stream, true);
}

void TGIFImage::WriteData(TStream& Stream) { WriteGifStream(Stream, true); }

void TGIFImage::ReadGifStream(int64_t Size, TStream& Stream, bool DecodeFirst) {
  Reset();
  if (Size <= 0) return;
  if (Size > Stream.Size() - Stream.Position()) throw EReadError(kReadError);
  std::vector<uint8_t> buffer(static_cast<size_t>(Size));
  Stream.ReadBuffer(buffer.data(), Size);
  TGIFReader r(buffer.data(), buffer.size());

  uint8_t header[6];
  r.Read(header, 6);
  if (!SameText(header, "GIF", 3)) throw EInvalidGraphicOperation(kUnknownVersion);
  if (SameText(header + 3, "87a", 3))
    FVersion = 1;
  else if (SameText(header + 3, "89a", 3))
    FVersion = 2;
  else
    throw EInvalidGraphicOperation(kUnknownVersion);

  FScreenWidth = r.Word();
  FScreenHeight = r.Word();
  const uint8_t flags = r.Byte();
  const uint8_t backdrop = r.Byte();
  FData->AspectRatio = r.Byte();
  FData->BitsPerPixel = (flags & 7) + 1;
  FData->ColorResBits = ((flags >> 4) & 7) + 1;
  if (flags & 0x80) {
    r.ReadTable(FData->ColorTable, FData->BitsPerPixel);
    if (backdrop < FData->ColorTable.Count) FBackgroundColor = FData->ColorTable.Color(backdrop);
  }

  int b = r.NextNonZero();
  while (b >= 0 && b != kTrailer) {
    std::vector<std::unique_ptr<TExtension>> run;
    while (b == kExtensionIntroducer) {
      const uint8_t label = r.Byte();
      auto e = std::make_unique<TExtension>();
      switch (label) {
        case 0xF9:
          e->ExtType = etGraphic;
          r.Read(e->Fixed, 6);
          run.push_back(std::move(e));
          break;
        case 0x01:
          r.Read(e->Fixed, 13);
          r.ReadSubBlocks(nullptr);
          run.clear();
          break;
        case 0xFF: {
          r.Read(e->Fixed, 12);
          TStringList data;
          r.ReadSubBlocks(&data);
          if ((SameText(e->Fixed + 1, "NETSCAPE2.0", 11) || SameText(e->Fixed + 1, "ANIMEXTS1.0", 11)) &&
              data.Count() > 0) {
            const std::string first = data.Strings(0);
            if (first.size() >= 3 && first[0] == 1) {
              FLooping = true;
              const int count = static_cast<uint8_t>(first[1]) | (static_cast<uint8_t>(first[2]) << 8);
              FRepeatCount = static_cast<uint16_t>(std::min(count, 30000));
            }
          }
          break;
        }
        case 0xFE:
          e->ExtType = etComment;
          r.ReadSubBlocks(e->Data.get());
          run.push_back(std::move(e));
          break;
        default:
          throw EInvalidGraphicOperation(Format(kUnknownExtension, {static_cast<int>(label)}));
      }
      b = r.NextNonZero();
    }

    if (b == kImageSeparator) {
      auto f = std::make_unique<TGIFFrame>(this);
      if (FData->ColorTable.Count > 0) f->FItem->BitsPerPixel = FData->BitsPerPixel;
      f->FExtensions = std::move(run);
      f->LoadFromStream(r);
      FFrames.push_back(std::move(f));
      b = r.NextNonZero();
      if (b != kExtensionIntroducer && b != kImageSeparator) break;
    } else if (FData->Comment->Count() == 0 && !run.empty()) {
      bool firstComment = true;
      for (const auto& e : run) {
        if (e->ExtType != etComment) continue;
        if (!firstComment) FData->Comment->Add("\r\n\r\n");
        FData->Comment->AddStrings(*e->Data);
        firstComment = false;
      }
    } else if (b >= 0 && b != kTrailer) {
      throw EInvalidGraphicOperation(kReadError);
    }
  }

  if (!FFrames.empty()) {
    FFrameIndex = 0;
    if (DecodeFirst) {
      TScopeFail undo([&] {
        FFrames.erase(FFrames.begin());
        FFrameIndex = FFrames.empty() ? -1 : 0;
      });
      FFrames[0]->Bitmap();
    }
  }
  Changed(this);
}

void TGIFImage::WriteGifStream(TStream& Stream, bool WithLength) {
  if (FFrames.empty()) throw EInvalidGraphicOperation(kNoData);
  for (const auto& f : FFrames)
    if (!f->FItem->HasData()) f->EncodeFromBitmap();
  for (const auto& f : FFrames) f->SyncControlExtension();
  if (FData->Comment->Count() > 0) FVersion = 2;

  TMemoryStream s;
  s.WriteString("GIF");
  s.WriteString(FVersion == 2 ? "89a" : "87a");
  RecomputeLogicalSize();
  Put16(s, Clamp16(FScreenWidth));
  Put16(s, Clamp16(FScreenHeight));
  const TGIFColorTable& global = FData->ColorTable;
  uint8_t flags = 0;
  if (global.Count > 0) {
    const int bits = GIFColorBits(global.Count);
    if ((1 << bits) != global.Count) throw EInvalidGraphicOperation(kBadColorCount);
    flags = static_cast<uint8_t>(0x80 + (bits - 1) * 16 + ((FData->BitsPerPixel - 1) & 7));
  }
  Put8(s, flags);
  Put8(s, static_cast<uint8_t>(std::max(0, global.IndexOf(FBackgroundColor))));
  Put8(s, FData->AspectRatio);
  if (global.Count > 0) WriteTable(s, global, global.Count);

  if (FLooping && Count() > 1) {
    Put8(s, kExtensionIntroducer);
    Put8(s, 0xFF);
    Put8(s, 11);
    s.WriteString("NETSCAPE2.0");
    Put8(s, 3);
    Put8(s, 1);
    Put16(s, FRepeatCount);
    Put8(s, 0);
  }

  for (const auto& f : FFrames) {
    for (const auto& e : f->FExtensions) {
      Put8(s, kExtensionIntroducer);
      Put8(s, TExtension::Label(e->ExtType));
      s.WriteBuffer(e->Fixed, TExtension::FixedSize(e->ExtType));
      if (e->ExtType != etGraphic) WriteSubBlocks(s, *e->Data);
    }
    const TGIFItem& item = *f->FItem;
    Put8(s, kImageSeparator);
    Put16(s, Clamp16(f->FOrigin.X));
    Put16(s, Clamp16(f->FOrigin.Y));
    Put16(s, Clamp16(item.Width));
    Put16(s, Clamp16(item.Height));
    uint8_t imageFlags = f->FInterlaced ? 0x40 : 0;
    const int bits = GIFColorBits(item.ColorTable.Count);
    if (f->FOwnTable) imageFlags = static_cast<uint8_t>(imageFlags | 0x80 | (bits - 1));
    Put8(s, imageFlags);
    if (f->FOwnTable) WriteTable(s, item.ColorTable, 1 << bits);
    // Data cut short when read gets its terminator back, so the file stays readable.
    const auto* z = static_cast<const uint8_t*>(item.ZipData->Memory());
    const size_t zsize = static_cast<size_t>(item.ZipData->Size());
    s.WriteBuffer(z, static_cast<int64_t>(zsize));
    size_t pos = 1;
    bool terminated = false;
    while (pos < zsize) {
      if (z[pos] == 0) {
        terminated = true;
        break;
      }
      pos += z[pos] + 1u;
    }
    if (!terminated) Put8(s, 0);
  }

  if (FData->Comment->Count() > 0) {
    Put8(s, kExtensionIntroducer);
    Put8(s, 0xFE);
    WriteSubBlocks(s, *FData->Comment);
  }
  Put8(s, kTrailer);

  if (WithLength) Put32(Stream, static_cast<uint32_t>(s.Size()));
  Stream.WriteBuffer(s.Memory(), s.Size());
}

std::string TGIFImage::ClipboardData() {
  if (FFrames.empty()) return {};
  for (const auto& f : FFrames)
    if (!f->FItem->HasData()) return {};
  TMemoryStream s;
  WriteGifStream(s, true);
  return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

void TGIFImage::LoadFromClipboardData(const std::string& Data, TBitmap* ClipBitmap) {
  TStringStream s(Data);
  uint32_t size = 0;
  s.ReadBuffer(&size, 4);
  ReadGifStream(size, s, false);
  if (!FFrames.empty()) {
    FFrameIndex = 0;
    if (ClipBitmap && !ClipBitmap->Empty()) {
      auto b = std::make_unique<TBitmap>();
      b->Assign(ClipBitmap);
      FFrames[0]->FBitmap = std::move(b);
    }
  }
  Changed(this);
}

void RegisterGIFImage() {
  RegisterClasses({TGIFFrame::StaticClass(), TGIFImage::StaticClass()});
  TPicture::RegisterFileFormat("gif", "CompuServe GIF Image", [] { return static_cast<TGraphic*>(new TGIFImage()); });
}

void UnregisterGIFImage() {
  TPicture::UnregisterFileFormat("gif");
  UnRegisterClasses({TGIFImage::StaticClass(), TGIFFrame::StaticClass()});
}

namespace {
[[maybe_unused]] const bool kGIFRegistered = (RegisterGIFImage(), true);
}  // namespace
