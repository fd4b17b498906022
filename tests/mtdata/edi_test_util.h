// EDI texts for the tests: spectra blocks written from a known cross-power matrix, and files.
#pragma once

#include "mt_model_fixture.h"
#include "mtdata/edi_reader.h"
#include "platform/sysutils.h"

#include <fstream>
#include <string>

namespace edi_test {

inline void WriteText(const std::string& Path, const std::string& Text) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out << Text;
}

inline std::string ReadText(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One spectra block of the matrix pair (slots Ex 1 .. Ry 7), its channels in the order Slots
// (for instance EdiChannelOrder): on and below the diagonal the real part of S(row, column),
// above it the imaginary part of the element mirrored below.
inline std::string SpectraBlock(double Freq, double AvgT, const TMatrix7& Re, const TMatrix7& Im,
                                const std::vector<int>& Slots) {
  const int n = static_cast<int>(Slots.size());
  std::string s = ">SPECTRA  FREQ=" + Format("%.6e", {Freq}) + " ROTSPEC=0 AVGT=" + Format("%.4e", {AvgT}) + " // " +
                  IntToStr(n * n) + "\n";
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      const int a = Slots[static_cast<std::size_t>(r)], b = Slots[static_cast<std::size_t>(c)];
      double v = r >= c ? Re[a][b] : Im[b][a];
      s += " " + Format("%.12e", {v});
    }
    s += "\n";
  }
  return s;
}

inline std::vector<int> StandardSlots() { return {3, 4, 5, 1, 2, 6, 7}; }

}  // namespace edi_test
