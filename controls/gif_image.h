// GIF pictures (versions 87a and 89a) of one or more frames: reading, writing, conversion to and
// from bitmaps, registered with the picture framework for the extension "gif".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/gif_lzw.h"
#include "platform/graphics.h"
#include "platform/picture.h"

class TBitmap;
class TMemoryStream;
class TStream;
class TStringList;
class TStrings;
class TGIFImage;

// Loading of truncated or broken frame data is allowed (process-wide, read at each use).
extern bool GIFLoadCorrupted;

// Frames larger than this many pixels are refused instead of being decoded.
constexpr int64_t GIFMaxFramePixels = int64_t(1) << 26;

// The name of the private clipboard format of GIF pictures.
extern const char* const CF_GIF_NAME;

// A colour table: Count entries (0 = none, else a power of 2 up to 256) of red, green, blue.
struct TGIFColorTable {
  int32_t Count = 0;
  uint8_t Colors[256][3] = {};

  TColor Color(int Index) const;
  // The first entry of that colour (compared as RGB); -1 when there is none.
  int IndexOf(TColor Color) const;
};

// The smallest n >= 1 with 2^n >= Count.
int GIFColorBits(int32_t Count);

// Data of a picture, shared by the pictures assigned from one another.
class TGIFData {
public:
  TGIFData();
  ~TGIFData();
  TGIFData(const TGIFData&) = delete;
  TGIFData& operator=(const TGIFData&) = delete;

  std::unique_ptr<TStringList> Comment;
  uint8_t AspectRatio = 0;
  int BitsPerPixel = 8;  // global bits per pixel, 1..8
  int ColorResBits = 8;  // read, not written back
  TGIFColorTable ColorTable;

  void FreeHandle();
};

// Data of a frame, shared by the frames assigned from one another.
class TGIFItem {
public:
  TGIFItem();
  ~TGIFItem();
  TGIFItem(const TGIFItem&) = delete;
  TGIFItem& operator=(const TGIFItem&) = delete;

  // The code size byte, the data sub-blocks and the terminator, as in the file.
  std::unique_ptr<TMemoryStream> ZipData;
  int32_t Width = 0, Height = 0;
  int BitsPerPixel = 0;  // 1..8; 0 when no colour table is known
  TGIFColorTable ColorTable;

  bool HasData() const;
  void FreeHandle();
};

enum TGIFExtensionType { etGraphic, etPlainText, etApplication, etComment };

// An extension block that came before a frame.
class TExtension : public TPersistent {
  VM_CLASS(TExtension, TPersistent)
public:
  TExtension();
  ~TExtension() override;

  TGIFExtensionType ExtType = etComment;
  // One string per data sub-block.
  std::unique_ptr<TStringList> Data;
  // The fixed part of the block after the label, as in the file.
  uint8_t Fixed[13] = {};

  void Assign(TPersistent* Source) override;
  // Bytes of the fixed part: 6, 13, 12 or 0 by kind.
  static int FixedSize(TGIFExtensionType Kind);
  static uint8_t Label(TGIFExtensionType Kind);
};

// One frame of a GIF picture.
class TGIFFrame : public TPersistent {
  VM_CLASS(TGIFFrame, TPersistent)
public:
  explicit TGIFFrame(TGIFImage* AOwner = nullptr);
  ~TGIFFrame() override;

  TGIFImage* Owner() const { return FOwner; }
  // The frame as a bitmap, decoded from the compressed data on first use.
  TBitmap* Bitmap();
  bool HasBitmap() const;
  int32_t Width();
  int32_t Height();
  // The lines of the frame's last comment extension (created when missing).
  TStrings* Comment();

  TPoint Origin() const { return FOrigin; }
  void SetOrigin(const TPoint& Value) { FOrigin = Value; }
  bool Interlaced() const { return FInterlaced; }
  void SetInterlaced(bool Value) { FInterlaced = Value; }
  bool Corrupted() const { return FCorrupted; }
  bool GrayScale() const { return FGrayScale; }
  void SetGrayScale(bool Value) { FGrayScale = Value; }
  // clNone when the frame has no transparent colour.
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor Value) { FTransparentColor = Value; }
  // Display time in milliseconds.
  int32_t AnimateInterval() const { return FAnimateInterval; }
  void SetAnimateInterval(int32_t Value) { FAnimateInterval = Value; }
  uint8_t DisposalMethod() const { return FDisposal; }
  void SetDisposalMethod(uint8_t Value) { FDisposal = static_cast<uint8_t>(Value & 7); }
  bool OwnColorTable() const { return FOwnTable; }

  const TGIFItem& Item() const { return *FItem; }
  const std::vector<std::unique_ptr<TExtension>>& Extensions() const { return FExtensions; }

  void Assign(TPersistent* Source) override;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  friend class TGIFImage;
  void NewItem();
  void LoadFromStream(class TGIFReader& Reader);
  std::unique_ptr<TMemoryStream> DecodeToDibStream();
  void EncodeFromBitmap();
  void SyncControlExtension();
  void Progress(TProgressStage Stage, int Percent, const std::string& Msg);

  TGIFImage* FOwner;
  std::unique_ptr<TBitmap> FBitmap;
  std::shared_ptr<TGIFItem> FItem;
  std::vector<std::unique_ptr<TExtension>> FExtensions;
  TPoint FOrigin;
  bool FInterlaced = false;
  bool FCorrupted = false;
  bool FGrayScale = false;
  TColor FTransparentColor = clNone;
  int32_t FAnimateInterval = 0;
  uint8_t FDisposal = 0;
  bool FOwnTable = false;
};

// Stage, percent done, redraw request, area and message of a long operation.
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                                          const TRect& R, const std::string& Msg)>;

class TGIFImage : public TGraphic {
  VM_CLASS(TGIFImage, TGraphic)
public:
  TGIFImage();
  ~TGIFImage() override;

  bool Empty() const override;
  int32_t Width() const override;
  int32_t Height() const override;
  // The size follows the frames: raises EInvalidGraphicOperation.
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;
  bool Transparent() const override;

  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // The form-resource data: a 32-bit length, then the GIF.
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) override;
  bool Equals(TGraphic* Graphic) override;
  TGraphic* Clone() const override;
  void Assign(TPersistent* Source) override;

  // Appends a frame made from Graphic, makes it current and returns its index.
  virtual int AppendFrame(TGraphic* Graphic);
  void Reset();
  // Reads Size bytes from Stream as one GIF; DecodeFirst decodes frame 0 at once.
  void ReadGifStream(int64_t Size, TStream& Stream, bool DecodeFirst);
  void WriteGifStream(TStream& Stream, bool WithLength);
  void RecomputeLogicalSize();

  int Count() const { return static_cast<int>(FFrames.size()); }
  TGIFFrame* Frames(int Index) const;
  void DeleteFrame(int Index);
  int FrameIndex() const { return FFrameIndex; }
  void SetFrameIndex(int Value);
  // The current frame's bitmap; nullptr without frames.
  TBitmap* Bitmap();

  // "87a" (1) or "89a" (2); 0 before anything is read or added.
  int Version() const { return FVersion; }
  TStrings* Comment() const;
  const TGIFColorTable& ColorTable() const;
  int BitsPerPixel() const;
  int ColorResolution() const;
  uint8_t AspectRatio() const;
  int32_t ScreenWidth() const { return FScreenWidth; }
  int32_t ScreenHeight() const { return FScreenHeight; }
  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor Value) { FBackgroundColor = Value; }
  bool Looping() const { return FLooping; }
  void SetLooping(bool Value) { FLooping = Value; }
  uint16_t RepeatCount() const { return FRepeatCount; }
  void SetRepeatCount(uint16_t Value) { FRepeatCount = Value; }
  bool SharesDataWith(const TGIFImage* Other) const { return Other && Other->FData == FData; }

  // The clipboard's "GIF Image" contents: the GIF with its 32-bit length prefix, or nothing when
  // a frame has no compressed data.
  std::string ClipboardData();
  // Loads the "GIF Image" contents (without decoding); a bitmap offered with it becomes frame 0's.
  void LoadFromClipboardData(const std::string& Data, TBitmap* ClipBitmap);

  TProgressEvent OnProgress;

protected:
  void AssignTo(TPersistent* Dest) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  friend class TGIFFrame;
  void DoProgress(TProgressStage Stage, int Percent, const std::string& Msg);

  std::shared_ptr<TGIFData> FData;
  int FVersion = 0;
  std::vector<std::unique_ptr<TGIFFrame>> FFrames;
  int FFrameIndex = -1;
  int32_t FScreenWidth = 0, FScreenHeight = 0;
  TColor FBackgroundColor = clNone;
  bool FLooping = false;
  uint16_t FRepeatCount = 1;
};

// Registers the picture class with the class registry and the picture framework ("gif"); done at
// start-up, harmless when repeated.
void RegisterGIFImage();
void UnregisterGIFImage();
