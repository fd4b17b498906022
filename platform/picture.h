// Graphics that load, save and draw themselves, and the picture that holds one of them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/component.h"
#include "platform/graphics.h"

class TCanvas;
class TStream;
class TBitmap;
class TMetafile;

// The base of bitmaps, metafiles and codecs.
class TGraphic : public TPersistent {
  VM_CLASS(TGraphic, TPersistent)
public:
  TGraphic();
  ~TGraphic() override;

  virtual bool Empty() const = 0;
  virtual int32_t Width() const = 0;
  virtual void SetWidth(int32_t Value) = 0;
  virtual int32_t Height() const = 0;
  virtual void SetHeight(int32_t Value) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);

  // A foreign or damaged stream raises EInvalidGraphic.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  virtual void LoadFromFile(const std::string& FileName);
  virtual void SaveToFile(const std::string& FileName);
  // True when both save to the same bytes.
  virtual bool Equals(TGraphic* Graphic);
  // A new graphic of the same class holding a copy of this one.
  virtual TGraphic* Clone() const = 0;
  // Palettes are not used: always null.
  void* Palette() const { return nullptr; }

  TNotifyEvent OnChange;

  // The stored form used by pictures in component streams.
  virtual void ReadData(TStream& Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream& Stream) { SaveToStream(Stream); }
  // A graphic published as a sub-object (a glyph) keeps its bytes in the binary property "Data",
  // written only when it holds a picture.
  void DefineProperties(TFiler* Filer) override;

protected:
  friend class TCanvas;
  // Draws the graphic scaled into Rect.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void Changed(TObject* Sender);

private:
  bool FTransparent = false;
  bool FModified = false;
};

using TGraphicFactory = std::function<TGraphic*()>;

// Holds one graphic of any registered kind.
class TPicture : public TPersistent {
  VM_CLASS(TPicture, TPersistent)
public:
  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // A copy of Value is kept; nullptr clears the picture.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap: any other graphic is replaced by a new empty bitmap.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  TMetafile* Metafile();
  int32_t Width() const;
  int32_t Height() const;

  // The graphic class comes from the file's extension; an unknown one raises EInvalidGraphic
  // "Unknown picture file extension (.ext)". A failed load leaves the picture unchanged.
  void LoadFromFile(const std::string& FileName);
  // Raises EInvalidGraphicOperation "Cannot save an empty picture" when there is no graphic.
  void SaveToFile(const std::string& FileName);
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;

  // Registry of graphic classes by file extension (without dot, letter case ignored).
  static void RegisterFileFormat(const std::string& Extension, const std::string& Description, TGraphicFactory Factory);
  static void UnregisterFileFormat(const std::string& Extension);
  // nullptr when the extension is not registered.
  static TGraphic* CreateForExtension(const std::string& Extension);
  // "All (*.bmp;*.jpg)|*.bmp;*.jpg|Bitmaps (*.bmp)|*.bmp|..." for open and save dialogs.
  static std::string GraphicFilter();
  static std::string GraphicFileMask();
  static std::vector<std::string> RegisteredExtensions();

protected:
  void AssignTo(TPersistent* Dest) override;
  virtual void Changed(TObject* Sender);

private:
  void TakeGraphic(TGraphic* Value);
  std::unique_ptr<TGraphic> FGraphic;
};
