// Fuzz target of the GIF reader: the picture loaded and, when it loads, its first frame drawn
// into a bitmap and written again.
#include <cstddef>
#include <cstdint>

#include "controls/gif_image.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream in;
  in.WriteBuffer(Data, static_cast<int64_t>(Size));
  in.SetPosition(0);
  TGIFImage gif;
  try {
    gif.LoadFromStream(in);
    TBitmap bitmap;
    bitmap.Assign(&gif);
    TMemoryStream out;
    gif.SaveToStream(out);
  } catch (const Exception&) {}
  return 0;
}
