// GIF codec: LZW coding of 8-bit rows, colour reduction and writing a true-colour picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/gif_colors.h"
#include "controls/gif_image.h"
#include "controls/gif_lzw.h"
#include "platform/bitmap.h"
#include "platform/streams.h"

namespace {

constexpr int kW = 640, kH = 480;

// Smooth bands with a little texture, like a rendered chart or map.
std::vector<uint8_t> Rows8() {
  const int64_t row = DibRowSize(kW, 8);
  std::vector<uint8_t> bits(static_cast<size_t>(row * kH));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      bits[static_cast<size_t>(y * row + x)] = static_cast<uint8_t>((x / 9 + y / 7 + (x * y) % 3) & 0xFF);
  return bits;
}

std::unique_ptr<TBitmap> TrueColour() {
  auto b = std::make_unique<TBitmap>(kW, kH, pf24bit);
  for (int y = 0; y < kH; ++y) {
    auto* line = static_cast<uint8_t*>(b->ScanLine(y));
    for (int x = 0; x < kW; ++x) {
      line[x * 3] = static_cast<uint8_t>(x * 255 / kW);
      line[x * 3 + 1] = static_cast<uint8_t>(y * 255 / kH);
      line[x * 3 + 2] = static_cast<uint8_t>((x + y) & 0xF0);
    }
  }
  return b;
}

void BM_EncodeLzw(benchmark::State& State) {
  std::vector<uint8_t> bits = Rows8();
  for (auto _ : State) {
    TMemoryStream s;
    EncodeLzw(s, kW, kH, 8, false, nullptr, bits.data(), bits.size());
    benchmark::DoNotOptimize(s.Size());
  }
  State.SetItemsProcessed(State.iterations() * kW * kH);
}
BENCHMARK(BM_EncodeLzw);

void BM_DecodeLzw(benchmark::State& State) {
  std::vector<uint8_t> bits = Rows8();
  TMemoryStream s;
  EncodeLzw(s, kW, kH, 8, false, nullptr, bits.data(), bits.size());
  std::vector<uint8_t> out(bits.size());
  for (auto _ : State) {
    bool damaged = false;
    DecodeLzw(s, kW, kH, 8, false, nullptr, damaged, out.data(), out.size(), 8, true);
    benchmark::DoNotOptimize(out.data());
  }
  State.SetItemsProcessed(State.iterations() * kW * kH);
}
BENCHMARK(BM_DecodeLzw);

void BM_Reduce(benchmark::State& State) {
  auto b = TrueColour();
  const auto method = static_cast<TColorReduction>(State.range(0));
  for (auto _ : State) benchmark::DoNotOptimize(ReduceToBitmapStream(b.get(), 8, method));
  State.SetItemsProcessed(State.iterations() * kW * kH);
}
BENCHMARK(BM_Reduce)->Arg(crHistogram)->Arg(crMedianCut)->Arg(crLevels666)->Arg(crGray);

void BM_WriteTrueColourPicture(benchmark::State& State) {
  auto b = TrueColour();
  for (auto _ : State) {
    TGIFImage g;
    g.Assign(b.get());
    TMemoryStream s;
    g.SaveToStream(s);
    benchmark::DoNotOptimize(s.Size());
  }
}
BENCHMARK(BM_WriteTrueColourPicture);

}  // namespace
