// Private to platform/*.cpp: metafiles in the file formats of other programs. A recording (a
// QPicture) is written as an Enhanced Metafile or as a placeable Windows Metafile, and files of
// both kinds are replayed into a recording.
#pragma once

#include <QPicture>

#include <string>
#include <vector>

#include "platform/qt_graphics.h"

namespace vmqt {

// The recording W x H pixels at 96 per inch as an Enhanced Metafile: device units are those
// pixels, the frame is the same size in hundredths of a millimetre. Description is stored in
// the header ("created by" and "description", each ended by a null character) when not empty.
// Curves are the calls that drew paths of the recording, in the order drawn: a path that is
// one of them is written as the format's own arc, pie, chord or round rectangle record.
using TCurveCalls = std::vector<TCurveCall>;
std::string EncodeEnhancedMetafile(const QPicture* Pic, int W, int H, const std::string& CreatedBy,
                                   const std::string& Description, const TCurveCalls& Curves = {});
// The same as a placeable Windows Metafile: 96 units per inch, bounding box 0, 0, W, H.
std::string EncodeWindowsMetafile(const QPicture* Pic, int W, int H, const TCurveCalls& Curves = {});

enum class TGdiMetafileKind { None, Enhanced, Windows };
// Which kind the bytes claim to be (from their first bytes; nothing else is checked).
TGdiMetafileKind GdiMetafileKind(const std::string& Bytes);

struct TGdiMetafile {
  QPicture Pic;
  int W = 0, H = 0;  // pixels at 96 per inch
  bool Enhanced = true;
  bool Drawn = false;  // some drawing record was met
  TCurveCalls Curves;  // its arcs, pies, chords and round rectangles, to write them again
};
// Replays an Enhanced or Windows Metafile into a recording. Damaged or foreign bytes raise
// EInvalidGraphic "Metafile is not valid"; records it does not know are skipped.
TGdiMetafile DecodeGdiMetafile(const std::string& Bytes);

}  // namespace vmqt
