#include "platform/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/streams.h"

VM_DEFINE_CLASS(TJPEGImage)

namespace {

struct ErrorMgr {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

extern "C" void VmJpegErrorExit(j_common_ptr Info) {
  ErrorMgr* e = reinterpret_cast<ErrorMgr*>(Info->err);
  (*Info->err->format_message)(Info, e->Message);
  std::longjmp(e->Jump, 1);
}

extern "C" void VmJpegOutput(j_common_ptr) {}

// Memory source.
extern "C" void SrcInit(j_decompress_ptr) {}
extern "C" boolean SrcFill(j_decompress_ptr Info) {
  // Past the end: feed an end-of-image marker, as the library expects.
  static const JOCTET eoi[2] = {0xFF, JPEG_EOI};
  Info->src->next_input_byte = eoi;
  Info->src->bytes_in_buffer = 2;
  return TRUE;
}
extern "C" void SrcSkip(j_decompress_ptr Info, long N) {
  if (N <= 0) return;
  while (N > static_cast<long>(Info->src->bytes_in_buffer)) {
    N -= static_cast<long>(Info->src->bytes_in_buffer);
    SrcFill(Info);
  }
  Info->src->next_input_byte += N;
  Info->src->bytes_in_buffer -= static_cast<size_t>(N);
}
extern "C" void SrcTerm(j_decompress_ptr) {}

// Memory destination.
struct DestMgr {
  jpeg_destination_mgr Pub;
  std::vector<JOCTET>* Out;
  JOCTET Buffer[4096];
};
extern "C" void DestInit(j_compress_ptr Info) {
  DestMgr* d = reinterpret_cast<DestMgr*>(Info->dest);
  d->Pub.next_output_byte = d->Buffer;
  d->Pub.free_in_buffer = sizeof d->Buffer;
}
extern "C" boolean DestEmpty(j_compress_ptr Info) {
  DestMgr* d = reinterpret_cast<DestMgr*>(Info->dest);
  d->Out->insert(d->Out->end(), d->Buffer, d->Buffer + sizeof d->Buffer);
  d->Pub.next_output_byte = d->Buffer;
  d->Pub.free_in_buffer = sizeof d->Buffer;
  return TRUE;
}
extern "C" void DestTerm(j_compress_ptr Info) {
  DestMgr* d = reinterpret_cast<DestMgr*>(Info->dest);
  d->Out->insert(d->Out->end(), d->Buffer, d->Buffer + (sizeof d->Buffer - d->Pub.free_in_buffer));
}

struct Decoded {
  int W = 0, H = 0;
  std::vector<uint8_t> Rows;  // BGR, 3 bytes per pixel, unpadded
  std::vector<uint8_t> Line;  // one decoded row (kept out of the frame that may be jumped out of)
};

// Returns false with Msg set on a damaged stream. HeaderOnly fills W and H alone.
bool Decode(const std::string& Data, bool HeaderOnly, int ScaleDenom, bool Fast, Decoded& Out, std::string& Msg) {
  jpeg_decompress_struct info;
  ErrorMgr err;
  jpeg_source_mgr src;
  std::memset(&info, 0, sizeof info);
  info.err = jpeg_std_error(&err.Pub);
  err.Pub.error_exit = VmJpegErrorExit;
  err.Pub.output_message = VmJpegOutput;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&info);
    Msg = err.Message;
    return false;
  }
  jpeg_create_decompress(&info);
  src.init_source = SrcInit;
  src.fill_input_buffer = SrcFill;
  src.skip_input_data = SrcSkip;
  src.resync_to_restart = jpeg_resync_to_restart;
  src.term_source = SrcTerm;
  src.next_input_byte = reinterpret_cast<const JOCTET*>(Data.data());
  src.bytes_in_buffer = Data.size();
  info.src = &src;
  jpeg_read_header(&info, TRUE);
  // The header's claim is checked before anything the size of the picture is allocated.
  if (static_cast<int64_t>(info.image_width) * info.image_height > JPEGMaxPixels) {
    Msg = "Picture too large (" + std::to_string(info.image_width) + " x " + std::to_string(info.image_height) +
          " pixels)";
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(ScaleDenom);
  info.out_color_space = JCS_RGB;
  if (Fast) {
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
  }
  jpeg_calc_output_dimensions(&info);
  Out.W = static_cast<int>(info.output_width);
  Out.H = static_cast<int>(info.output_height);
  if (HeaderOnly) {
    jpeg_destroy_decompress(&info);
    return true;
  }
  jpeg_start_decompress(&info);
  Out.Rows.resize(static_cast<size_t>(Out.W) * Out.H * 3);
  std::vector<uint8_t>& line = Out.Line;
  line.resize(static_cast<size_t>(Out.W) * info.output_components);
  JSAMPROW row = line.data();
  while (info.output_scanline < info.output_height) {
    int y = static_cast<int>(info.output_scanline);
    jpeg_read_scanlines(&info, &row, 1);
    uint8_t* dst = Out.Rows.data() + static_cast<size_t>(y) * Out.W * 3;
    for (int x = 0; x < Out.W; ++x) {
      if (info.output_components == 1) {
        dst[x * 3] = dst[x * 3 + 1] = dst[x * 3 + 2] = line[x];
      } else {
        dst[x * 3] = line[x * 3 + 2];
        dst[x * 3 + 1] = line[x * 3 + 1];
        dst[x * 3 + 2] = line[x * 3];
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool Encode(const std::vector<uint8_t>& Rgb, int W, int H, int Quality, bool Gray, bool Progressive,
            std::vector<JOCTET>& Out, std::string& Msg) {
  jpeg_compress_struct info;
  ErrorMgr err;
  DestMgr dest;
  std::memset(&info, 0, sizeof info);
  info.err = jpeg_std_error(&err.Pub);
  err.Pub.error_exit = VmJpegErrorExit;
  err.Pub.output_message = VmJpegOutput;
  std::vector<uint8_t> line(static_cast<size_t>(W) * 3);
  if (setjmp(err.Jump)) {
    jpeg_destroy_compress(&info);
    Msg = err.Message;
    return false;
  }
  jpeg_create_compress(&info);
  dest.Pub.init_destination = DestInit;
  dest.Pub.empty_output_buffer = DestEmpty;
  dest.Pub.term_destination = DestTerm;
  dest.Out = &Out;
  info.dest = &dest.Pub;
  info.image_width = static_cast<JDIMENSION>(W);
  info.image_height = static_cast<JDIMENSION>(H);
  info.input_components = Gray ? 1 : 3;
  info.in_color_space = Gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
  if (Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const uint8_t* src = Rgb.data() + static_cast<size_t>(info.next_scanline) * W * 3;
    for (int x = 0; x < W; ++x) {
      if (Gray) {
        line[x] = static_cast<uint8_t>((src[x * 3] * 299 + src[x * 3 + 1] * 587 + src[x * 3 + 2] * 114) / 1000);
      } else {
        line[x * 3] = src[x * 3];
        line[x * 3 + 1] = src[x * 3 + 1];
        line[x * 3 + 2] = src[x * 3 + 2];
      }
    }
    JSAMPROW row = line.data();
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const { return FData.empty() && (!FBitmap || FBitmap->Empty()); }
int32_t TJPEGImage::Width() const { return FBitmap ? FBitmap->Width() : FWidth; }
int32_t TJPEGImage::Height() const { return FBitmap ? FBitmap->Height() : FHeight; }
void TJPEGImage::SetWidth(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetCompressionQuality(int32_t Value) {
  Value = std::clamp(Value, 1, 100);
  if (Value != FQuality) {
    FQuality = Value;
    Changed(this);
  }
}
void TJPEGImage::SetGrayscale(bool Value) {
  if (Value != FGrayscale) {
    FGrayscale = Value;
    Changed(this);
  }
}
void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value == FScale) return;
  FScale = Value;
  if (!FData.empty()) {
    FBitmap.reset();
    ReadHeader();
  }
  Changed(this);
}
void TJPEGImage::SetPerformance(TJPEGPerformance Value) {
  if (Value == FPerformance) return;
  FPerformance = Value;
  if (!FData.empty()) FBitmap.reset();
  Changed(this);
}

void TJPEGImage::ReadHeader() {
  Decoded d;
  std::string msg;
  if (!Decode(FData, true, 1 << FScale, FPerformance == jpBestSpeed, d, msg))
    throw EInvalidGraphic("JPEG error #" + msg);
  FWidth = d.W;
  FHeight = d.H;
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.empty()) return;
  Decoded d;
  std::string msg;
  if (!Decode(FData, false, 1 << FScale, FPerformance == jpBestSpeed, d, msg))
    throw EInvalidGraphic("JPEG error #" + msg);
  auto bm = std::make_unique<TBitmap>(d.W, d.H, pf24bit);
  for (int y = 0; y < d.H; ++y)
    std::memcpy(bm->ScanLine(y), d.Rows.data() + static_cast<size_t>(y) * d.W * 3, static_cast<size_t>(d.W) * 3);
  FBitmap = std::move(bm);
}

void TJPEGImage::Compress() {
  if (!FBitmap || FBitmap->Empty()) return;
  TBitmap tmp;
  tmp.Assign(FBitmap.get());
  tmp.SetPixelFormat(pf24bit);
  int w = tmp.Width(), h = tmp.Height();
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = static_cast<const uint8_t*>(tmp.ScanLine(y));
    uint8_t* dst = rgb.data() + static_cast<size_t>(y) * w * 3;
    for (int x = 0; x < w; ++x) {
      dst[x * 3] = src[x * 3 + 2];
      dst[x * 3 + 1] = src[x * 3 + 1];
      dst[x * 3 + 2] = src[x * 3];
    }
  }
  std::vector<JOCTET> out;
  std::string msg;
  if (!Encode(rgb, w, h, FQuality, FGrayscale, FProgressive, out, msg)) throw EInvalidGraphic("JPEG error #" + msg);
  FData.assign(reinterpret_cast<const char*>(out.data()), out.size());
  FWidth = w;
  FHeight = h;
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
    if (j == this) return;
    FData = j->FData;
    FBitmap.reset();
    if (j->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(j->FBitmap.get());
    }
    FWidth = j->FWidth;
    FHeight = j->FHeight;
    FQuality = j->FQuality;
    FGrayscale = j->FGrayscale;
    FProgressive = j->FProgressive;
    FScale = j->FScale;
    FPerformance = j->FPerformance;
    FSmoothing = j->FSmoothing;
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    FData.clear();
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->Assign(b);
    FWidth = b->Width();
    FHeight = b->Height();
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    DIBNeeded();
    if (FBitmap)
      b->Assign(FBitmap.get());
    else
      b->Assign(nullptr);
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
  std::string data = Stream.ReadAll();
  if (data.size() < 4 || static_cast<uint8_t>(data[0]) != 0xFF || static_cast<uint8_t>(data[1]) != 0xD8)
    throw EInvalidGraphic("JPEG error #Not a JPEG file");
  std::string old;
  old.swap(FData);
  FData = data;
  {
    TScopeFail restoreData([&] { FData.swap(old); });
    ReadHeader();
  }
  FBitmap.reset();
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream& Stream) {
  JPEGNeeded();
  if (!FData.empty()) Stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

TGraphic* TJPEGImage::Clone() const {
  auto* j = new TJPEGImage();
  j->Assign(const_cast<TJPEGImage*>(this));
  return j;
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DIBNeeded();
  if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap.get());
}
