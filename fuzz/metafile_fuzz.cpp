// Fuzz target of the metafile reader (Enhanced and Windows Metafiles, and the program's own
// recording): any input ends in a picture or in EInvalidGraphic, never in a crash; a picture
// that loaded draws and saves again in both file kinds.
#include <cstddef>
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/metafile.h"
#include "platform/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream in;
  in.WriteBuffer(Data, static_cast<int64_t>(Size));
  in.SetPosition(0);
  TMetafile m;
  try {
    m.LoadFromStream(in);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  TBitmap b(64, 48);
  b.Canvas()->StretchDraw(Rect(0, 0, 64, 48), &m);
  for (bool enhanced : {true, false}) {
    m.SetEnhanced(enhanced);
    TMemoryStream out;
    m.SaveToStream(out);
  }
  return 0;
}
