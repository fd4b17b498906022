// mtgen: writes a synthetic MT block file from a layered-earth model.
//
//   mtgen [options] FILE
//     -l RHO[:THICK],...   layers, e.g. -l 100:500,10:2000,1000 (default one half-space of 100)
//     -n N                 estimates per frequency, 1..100 (default 20)
//     -r TYPE              reference type 1 LE, 2 RE, 3 LH, 4 RH (default 1)
//     -t                   with a tipper (Hz channel)
//     -e NOISE             relative noise (default 0.03)
//     -o K                 outliers per frequency (default 2)
//     -s SEED              random seed (default 1)
//     -E ANGLE|pax         append a stored edit with that rotation (repeatable)
//     -S SITE -j JOB       site description and job texts
// 40 frequencies are written, or 28 when the extension begins ".AM".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/exceptions.h"
#include "platform/sysutils.h"
#include "tools/mt_generator.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: mtgen [-l RHO[:THICK],...] [-n N] [-r 1..4] [-t] [-e NOISE] [-o K] [-s SEED]\n"
               "             [-E ANGLE|pax]... [-S SITE] [-j JOB] FILE\n");
  return 2;
}

std::vector<TMtGenLayer> ParseLayers(const std::string& Text) {
  std::vector<TMtGenLayer> layers;
  size_t start = 0;
  while (start <= Text.size()) {
    const size_t comma = Text.find(',', start);
    const std::string item = Text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const size_t colon = item.find(':');
    TMtGenLayer L;
    L.Resistivity = StrToFloat(item.substr(0, colon));
    if (colon != std::string::npos) L.Thickness = StrToFloat(item.substr(colon + 1));
    layers.push_back(L);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return layers;
}

}  // namespace

int main(int argc, char** argv) {
  TMtGenModel m;
  std::string file;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      auto next = [&]() -> std::string {
        if (i + 1 >= argc) throw Exception("missing value after " + a);
        return argv[++i];
      };
      if (a == "-l")
        m.Layers = ParseLayers(next());
      else if (a == "-n")
        m.EstimateCount = StrToInt(next());
      else if (a == "-r")
        m.ReferenceType = StrToInt(next());
      else if (a == "-t")
        m.WithTipper = true;
      else if (a == "-e")
        m.Noise = StrToFloat(next());
      else if (a == "-o")
        m.OutliersPerFrequency = StrToInt(next());
      else if (a == "-s")
        m.Seed = static_cast<uint64_t>(StrToInt64(next()));
      else if (a == "-S")
        m.SiteDesc = next();
      else if (a == "-j")
        m.Job = next();
      else if (a == "-E") {
        const std::string v = next();
        TMtGenEdit e;
        if (SameText(v, "pax"))
          e.RotationMode = 1;
        else
          e.RotationAngle = StrToFloat(v);
        m.Edits.push_back(e);
      } else if (!a.empty() && a[0] == '-')
        return Usage();
      else
        file = a;
    }
    if (file.empty()) return Usage();
    TMtGenInfo info;
    MtGenWrite(m, file, &info);
    std::printf("%s: %d frequencies, %d estimates, %d blocks\n%s\n", file.c_str(), info.FreqCount, m.EstimateCount,
                info.BlockCount, info.ScanLine.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mtgen: %s\n", e.what());
    return 1;
  }
}
