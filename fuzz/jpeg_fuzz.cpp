// Fuzz target of the JPEG reader: the header and, when it is read, the decoded picture.
#include <cstddef>
#include <cstdint>

#include "platform/exceptions.h"
#include "platform/jpeg.h"
#include "platform/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream in;
  in.WriteBuffer(Data, static_cast<int64_t>(Size));
  in.SetPosition(0);
  TJPEGImage jpeg;
  try {
    jpeg.LoadFromStream(in);
    jpeg.DIBNeeded();
  } catch (const Exception&) {}
  return 0;
}
