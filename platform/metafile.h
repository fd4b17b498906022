// Metafiles: drawing recorded in memory and replayed, scaled, onto any canvas.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/picture.h"

class TMetafile : public TGraphic {
  VM_CLASS(TMetafile, TGraphic)
public:
  TMetafile();
  ~TMetafile() override;

  bool Empty() const override;
  // The frame in pixels at 96 per inch.
  int32_t Width() const override;
  void SetWidth(int32_t Value) override;
  int32_t Height() const override;
  void SetHeight(int32_t Value) override;
  // The frame in hundredths of a millimetre.
  int32_t MMWidth() const;
  void SetMMWidth(int32_t Value);
  int32_t MMHeight() const;
  void SetMMHeight(int32_t Value);
  // Which file SaveToStream writes: an Enhanced Metafile, else a placeable Windows Metafile.
  // Both kinds record the same way.
  bool Enhanced() const { return FEnhanced; }
  void SetEnhanced(bool Value) { FEnhanced = Value; }
  const std::string& CreatedBy() const { return FCreatedBy; }
  const std::string& Description() const { return FDescription; }
  void Clear();

  void Assign(TPersistent* Source) override;
  // Reads an Enhanced Metafile, a Windows Metafile (placeable or not) or this program's own
  // recording; anything else, or damaged records, raise EInvalidGraphic "Metafile is not valid".
  // A file of another program is replayed into a recording: what it draws with records this
  // program does not know is left out.
  void LoadFromStream(TStream& Stream) override;
  // Writes an Enhanced Metafile when Enhanced, else a placeable Windows Metafile (96 units per
  // inch), of Width x Height pixels at 96 per inch.
  void SaveToStream(TStream& Stream) override;
  // Pictures in component streams keep the program's own recording, which loses nothing.
  void WriteData(TStream& Stream) override;
  TGraphic* Clone() const override;

  struct Impl;
  Impl* GetImpl() const { return FImpl.get(); }

protected:
  void AssignTo(TPersistent* Dest) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  friend class TMetafileCanvas;
  std::unique_ptr<Impl> FImpl;
  bool FEnhanced = true;
  std::string FCreatedBy, FDescription;
};

// A canvas that records into a metafile; the recording replaces the metafile's contents when
// the canvas is freed. ReferenceDevice is accepted and not used.
class TMetafileCanvas : public TCanvas {
  VM_CLASS(TMetafileCanvas, TCanvas)
public:
  TMetafileCanvas(TMetafile* AMetafile, void* ReferenceDevice = nullptr);
  TMetafileCanvas(TMetafile* AMetafile, void* ReferenceDevice, const std::string& CreatedBy,
                  const std::string& Description);
  ~TMetafileCanvas() override;

  struct Recorder;

private:
  TMetafile* FMetafile;
  std::unique_ptr<Recorder> FRecorder;
};
