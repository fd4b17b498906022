#include "tools/mt_generator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "mtdata/mt_block_file.h"
#include "platform/exceptions.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

namespace {

using cplx = std::complex<double>;

constexpr double Mu0 = 4e-7 * std::numbers::pi;

// Slots of the generated files: Hx, Hy, Hz, Ex, Ey, Rx, Ry.
constexpr std::array<const char*, 7> SlotNames = {"Hx  ", "Hy  ", "Hz  ", "Ex  ", "Ey  ", "Rx  ", "Ry  "};
enum { sHx = 0, sHy, sHz, sEx, sEy, sRx, sRy };

// Deterministic normal numbers (Box-Muller on the standard's fully specified engine).
class TGauss {
public:
  explicit TGauss(uint64_t Seed) : FEngine(Seed) {}
  double Next() {
    if (FHave) {
      FHave = false;
      return FSpare;
    }
    double u1, u2;
    do u1 = Uniform();
    while (u1 <= 0);
    u2 = Uniform();
    const double r = std::sqrt(-2 * std::log(u1));
    FSpare = r * std::sin(2 * std::numbers::pi * u2);
    FHave = true;
    return r * std::cos(2 * std::numbers::pi * u2);
  }
  // Complex normal with E|z|^2 = 1.
  cplx NextComplex() { return {Next() * std::numbers::sqrt2 / 2, Next() * std::numbers::sqrt2 / 2}; }
  double Uniform() { return static_cast<double>(FEngine() >> 11) * (1.0 / 9007199254740992.0); }
  uint64_t Raw() { return FEngine(); }

private:
  std::mt19937_64 FEngine;
  bool FHave = false;
  double FSpare = 0;
};

using TPacked = std::array<double, 49>;

void AddOuter(TPacked& P, const std::array<cplx, 7>& v) {
  for (int r = 0; r < 7; ++r)
    for (int c = r; c < 7; ++c) {
      const cplx s = v[static_cast<size_t>(r)] * std::conj(v[static_cast<size_t>(c)]);
      P[static_cast<size_t>(r * 7 + c)] += s.real();
      if (c > r) P[static_cast<size_t>(c * 7 + r)] += s.imag();
    }
}

std::string Fixed(std::string s, size_t Width) {
  s.resize(Width, ' ');
  return s;
}

// A sensor line: the channel name, the slot digit at character 7, the azimuth at 21..27.
std::string SensorLine(const std::string& Name, int Slot, double Azimuth) {
  std::string line(32, ' ');
  line.replace(0, Name.size(), Name);
  line[6] = static_cast<char>('0' + Slot);
  const std::string az = Format("%7.1f", {Azimuth});
  line.replace(20, 7, az);
  return line;
}

std::vector<std::string> InfoLines(const TMtGenModel& M) {
  static const char* RefLong[5] = {"", "Local E - Ref.", "Remote E - Ref.", "Local H - Ref.", "Remote H - Ref."};
  static const char* WgtNames[4] = {"", "NO Weighting.", "RHO Variance.", "Ordinary COH."};
  std::vector<std::string> l;
  l.push_back("RUN INFORMATION");
  l.push_back("SURVEY ID: " + M.Project);
  l.push_back("SURVEY CO: VAROMARK GEO");
  l.push_back("CLIENT CO: SYNTHETIC");
  l.push_back("AREA: TEST AREA");
  l.push_back("JOB: " + M.Job);
  l.push_back("HARDWARE: MTU-5 SYNTH");
  l.push_back("OPERATOR: GENERATOR");
  l.push_back("DATE: 2020/05/14 " + M.ProcessingDate);
  l.push_back("TIME: 12:30:00   14:20:00");
  l.push_back("FILE: SYNTH.TS");
  l.push_back("RUN DESC: 1234A05C");
  l.push_back("REFERENCE FIELD: " + std::string(RefLong[std::clamp(M.ReferenceType, 1, 4)]));
  l.push_back("XPR WEIGHTING: " + std::string(WgtNames[std::clamp(M.WeightingType, 1, 3)]));
  l.push_back("CUTOFF VALUE: " + Format("%4.2f", {M.Cutoff}));
  l.push_back("ROTATION= NONE");
  l.push_back("STATION 1");
  l.push_back("STN Number: " + M.StnNumber);
  l.push_back("RQU-Box Serial Number: SN" + M.Station);
  l.push_back("Site Desc: " + M.SiteDesc);
  l.push_back("Lat 61:30:1234N Long 33:15:0000E");
  l.push_back("Elevation: 125.0");
  l.push_back("Site Permitted by: OWNER");
  l.push_back("Site Layout by: CREW");
  l.push_back("Ex Pot Resist: 1.250");
  l.push_back("Ey Pot Resist: 1.375");
  l.push_back(SensorLine("Ex", 4, 0));
  l.push_back(SensorLine("Ey", 5, 90));
  l.push_back(SensorLine("Hx", 1, 0));
  l.push_back(SensorLine("Hy", 2, 90));
  if (M.WithTipper) l.push_back(SensorLine("Hz", 3, 0));
  l.push_back(SensorLine("Rx", 6, 0));
  l.push_back(SensorLine("Ry", 7, 90));
  for (auto& s : l) s = Fixed(s, 32);
  l.resize(55, std::string(32, '\0'));
  return l;
}

std::string MaskTitle(const char* Head) {
  std::string t = Head;
  for (auto* n : SlotNames) t += std::string(" ") + n;
  return t;
}

void Refuse(const std::string& Why) { throw Exception("Model refused: " + Why); }

}  // namespace

int MtGenFrequencyCount(const std::string& FileName) {
  return UpperCase(ExtractFileExt(FileName)).rfind(".AM", 0) == 0 ? 28 : 40;
}

std::vector<double> MtGenFrequencies(int FreqCount) {
  // MT: 320 Hz down over six decades; AMT: 10,400 Hz down over four.
  const double top = FreqCount == 28 ? 4.017 : 2.505;
  const double decades = FreqCount == 28 ? 4.0 : 6.0;
  std::vector<double> f(static_cast<size_t>(FreqCount));
  for (int i = 0; i < FreqCount; ++i) {
    const double L = top - decades * i / (FreqCount - 1);
    const double c = std::pow(10.0, 2 - static_cast<double>(Round(L)));
    f[static_cast<size_t>(i)] = static_cast<double>(Round(std::pow(10.0, L) * c)) / c;
  }
  return f;
}

std::complex<double> MtGenImpedance(const std::vector<TMtGenLayer>& Layers, double Frequency) {
  const double w = 2 * std::numbers::pi * Frequency;
  const cplx iwm(0, w * Mu0);
  const size_t n = Layers.size();
  auto intrinsic = [&](size_t j) { return std::sqrt(iwm * Layers[j].Resistivity); };
  cplx Z = intrinsic(n - 1);
  for (size_t j = n - 1; j-- > 0;) {
    const cplx k = std::sqrt(iwm / Layers[j].Resistivity);
    const cplx Z0 = intrinsic(j);
    const cplx t = std::tanh(k * Layers[j].Thickness);
    Z = Z0 * (Z + Z0 * t) / (Z0 + Z * t);
  }
  return Z / (Mu0 * 1e3);  // ohm to mV/km per nT
}

double MtGenApparentResistivity(const std::vector<TMtGenLayer>& Layers, double Frequency) {
  return 0.2 * std::norm(MtGenImpedance(Layers, Frequency)) / Frequency;
}

double MtGenPhaseDeg(const std::vector<TMtGenLayer>& Layers, double Frequency) {
  return std::arg(MtGenImpedance(Layers, Frequency)) * 180 / std::numbers::pi;
}

std::vector<uint8_t> MtGenBuild(const TMtGenModel& M, const std::string& FileName, TMtGenInfo* Info) {
  if (M.EstimateCount < 1 || M.EstimateCount > 100)
    Refuse(Format("%d estimates per frequency (1..100 allowed)", {M.EstimateCount}));
  if (M.Layers.empty()) Refuse("no layers");
  for (const auto& L : M.Layers)
    if (!(L.Resistivity > 0) || L.Thickness < 0) Refuse("a layer needs a positive resistivity");
  if (M.ReferenceType < 1 || M.ReferenceType > 4) Refuse("reference type outside 1..4");
  if (M.WeightingType < 1 || M.WeightingType > 3) Refuse("weighting type outside 1..3");
  if (M.OplogLines < 0 || M.OplogLines > 49) Refuse("more than 49 operation-log lines");
  if (M.Edits.size() > 9) Refuse("more than 10 result records");
  if (M.Segments < 1) Refuse("an estimate needs at least one segment");
  if (M.ProcessingDate.size() != 7) Refuse("processing date must be yymmmdd");

  const int F = MtGenFrequencyCount(FileName);
  const int N = M.EstimateCount;
  const int C = 7;
  if (!M.Frequencies.empty() && static_cast<int>(M.Frequencies.size()) != F)
    Refuse("the frequency grid must have one frequency per slot of the file");
  const std::vector<double> freqs = M.Frequencies.empty() ? MtGenFrequencies(F) : M.Frequencies;
  TGauss rnd(M.Seed);

  // Outliers: distinct XPR numbers among 1..min(N, 20), per frequency.
  const int used = std::min(N, 20);
  std::vector<std::vector<int>> outliers(static_cast<size_t>(F));
  for (auto& o : outliers) {
    const int k = std::clamp(M.OutliersPerFrequency, 0, used);
    while (static_cast<int>(o.size()) < k) {
      const int x = 1 + static_cast<int>(rnd.Raw() % static_cast<uint64_t>(used));
      if (std::find(o.begin(), o.end(), x) == o.end()) o.push_back(x);
    }
    std::sort(o.begin(), o.end());
  }

  // Estimates [f][x] as packed matrices summed over the segments.
  std::vector<std::vector<TPacked>> est(static_cast<size_t>(F), std::vector<TPacked>(static_cast<size_t>(N)));
  for (int f = 0; f < F; ++f) {
    const cplx Z = MtGenImpedance(M.Layers, freqs[static_cast<size_t>(f)]);
    const double zn = std::abs(Z);
    for (int x = 0; x < N; ++x) {
      const auto& o = outliers[static_cast<size_t>(f)];
      const bool bad = std::find(o.begin(), o.end(), x + 1) != o.end();
      const cplx Zu = bad ? Z * M.OutlierFactor : Z;
      TPacked P{};
      for (int s = 0; s < M.Segments; ++s) {
        const cplx hx = rnd.NextComplex(), hy = rnd.NextComplex();
        std::array<cplx, 7> v{};
        v[sHx] = hx + M.Noise * rnd.NextComplex();
        v[sHy] = hy + M.Noise * rnd.NextComplex();
        v[sEx] = Zu * hy + M.Noise * zn * rnd.NextComplex();
        v[sEy] = -Zu * hx + M.Noise * zn * rnd.NextComplex();
        if (M.WithTipper) v[sHz] = M.TipperX * hx + M.TipperY * hy + M.Noise * rnd.NextComplex();
        if (M.ReferenceType == 2) {
          v[sRx] = Z * hy + M.Noise * zn * rnd.NextComplex();
          v[sRy] = -Z * hx + M.Noise * zn * rnd.NextComplex();
        } else {
          v[sRx] = hx + M.Noise * rnd.NextComplex();
          v[sRy] = hy + M.Noise * rnd.NextComplex();
        }
        AddOuter(P, v);
      }
      est[static_cast<size_t>(f)][static_cast<size_t>(x)] = P;
    }
  }
  const double W = M.Segments;

  const int16_t order[7] = {sEx + 1, sEy + 1, sHx + 1, sHy + 1, static_cast<int16_t>(M.WithTipper ? sHz + 1 : 0),
                            sRx + 1, sRy + 1};
  const std::string job = M.Job, site = M.SiteDesc;
  char idText[8], descText[16];
  std::fill(std::begin(idText), std::end(idText), ' ');
  std::fill(std::begin(descText), std::end(descText), ' ');
  std::copy_n(M.ProcessingDate.begin(), 7, idText);
  const std::string desc = " XPOWER SPECTRA ";
  std::copy_n(desc.begin(), 16, descText);

  std::vector<std::vector<uint8_t>> blocks;

  // Header.
  {
    TMtRecordWriter w;
    w.Text("HEAD-INFO: " + M.Project);
    w.TextFixed(idText, 8);
    w.TextFixed(descText, 16);
    w.Smallint(0);  // header value
    w.Smallint(C);
    for (auto* n : SlotNames) w.TextFixed(n, 4);
    for (auto o : order) w.Smallint(o);
    w.Smallint(static_cast<int16_t>(M.WeightingType));
    w.Double(M.Cutoff);
    w.Smallint(static_cast<int16_t>(M.ReferenceType));
    w.Smallint(0);  // header word
    for (const auto& line : InfoLines(M)) w.TextFixed(line.data(), 32);
    for (int pass = 0; pass < 2; ++pass)
      for (int f = 0; f < F; ++f)
        for (int r = 0; r < 7; ++r) {
          w.Double(r == 0 ? freqs[static_cast<size_t>(f)] : 0);
          w.Double(r == 0 && pass == 0 ? W * N : 0);
        }
    blocks.push_back(w.Block());
  }

  // XPR records.
  for (int x = 0; x < N; ++x) {
    TMtRecordWriter w;
    w.Text(Format("XPWR-S#%2.2d %s %s", {x + 1, job, site}));
    w.TextFixed(idText, 8);
    w.TextFixed(descText, 16);
    w.Smallint(C);
    for (auto* n : SlotNames) w.TextFixed(n, 4);
    for (int f = 0; f < F; ++f)
      for (int r = 0; r < 7; ++r)
        for (int c = 0; c < C; ++c)
          w.Double(est[static_cast<size_t>(f)][static_cast<size_t>(x)][static_cast<size_t>(r * 7 + c)]);
    for (int f = 0; f < F; ++f) w.Double(W);  // W2
    for (int f = 0; f < F; ++f) w.Double(W);  // W1
    blocks.push_back(w.Block());
  }

  // Operation log.
  {
    TMtRecordWriter w;
    w.Text("OPLG-TIME: " + M.ProcessingDate + " SYNTHETIC PROCESSING");
    w.Smallint(static_cast<int16_t>(M.OplogLines));
    for (int i = 1; i <= M.OplogLines; ++i)
      w.Text(Fixed(Format("Step %d: synthetic estimate set, %d XPRs", {i, N}), 80));
    blocks.push_back(w.Block());
  }

  // A result record and its mask record, with masks: 0 none, 1 used, 2 removed.
  auto resultPair = [&](const std::string& Title, const char* MaskHead, const char* Desc,
                        const std::vector<std::array<int16_t, 20>>& Masks) {
    TMtRecordWriter p;
    p.Text(Title);
    for (int f = 0; f < F; ++f) {
      const double fr = freqs[static_cast<size_t>(f)];
      const cplx Z = MtGenImpedance(M.Layers, fr);
      std::array<double, 61> v{};
      v[1] = v[2] = 0.2 * std::norm(Z) / fr;
      v[3] = std::arg(Z) * 180 / std::numbers::pi;
      v[4] = std::arg(-Z) * 180 / std::numbers::pi;
      v[7] = 0.0057296;
      v[37] = v[38] = 0.001;
      v[47] = Z.real();
      v[48] = Z.imag();
      v[49] = -Z.real();
      v[50] = -Z.imag();
      v[57] = 1e-5;
      v[60] = std::log10(fr);
      if (M.WithTipper) v[9] = std::sqrt(std::norm(M.TipperX) + std::norm(M.TipperY));
      for (int i = 1; i <= 60; ++i) p.Double(v[static_cast<size_t>(i)]);
    }
    std::vector<double> w1(static_cast<size_t>(F)), w2(static_cast<size_t>(F));
    std::vector<TPacked> stack(static_cast<size_t>(F));
    for (int f = 0; f < F; ++f)
      for (int x = 0; x < used; ++x)
        if (Masks[static_cast<size_t>(f)][static_cast<size_t>(x)] == 1) {
          for (int k = 0; k < 49; ++k)
            stack[static_cast<size_t>(f)][static_cast<size_t>(k)] +=
                est[static_cast<size_t>(f)][static_cast<size_t>(x)][static_cast<size_t>(k)];
          w1[static_cast<size_t>(f)] += W;
          w2[static_cast<size_t>(f)] += W;
        }
    for (int f = 0; f < F; ++f) p.Double(w2[static_cast<size_t>(f)]);
    for (auto o : order) p.Smallint(o);
    blocks.push_back(p.Block());

    TMtRecordWriter m;
    m.Text(MaskTitle(MaskHead));
    m.TextFixed(idText, 7);
    m.Text(Desc);
    m.Smallint(C);
    for (auto* n : SlotNames) m.TextFixed(n, 4);
    for (int f = 0; f < F; ++f)
      for (int r = 0; r < 7; ++r)
        for (int c = 0; c < C; ++c) m.Double(stack[static_cast<size_t>(f)][static_cast<size_t>(r * 7 + c)]);
    for (int f = 0; f < F; ++f) m.Double(w2[static_cast<size_t>(f)]);
    for (int f = 0; f < F; ++f) m.Double(w1[static_cast<size_t>(f)]);
    for (int f = 0; f < F; ++f)
      for (int x = 0; x < 20; ++x) m.Smallint(Masks[static_cast<size_t>(f)][static_cast<size_t>(x)]);
    blocks.push_back(m.Block());
  };

  std::vector<std::array<int16_t, 20>> masks(static_cast<size_t>(F));
  for (auto& row : masks) {
    row.fill(0);
    for (int x = 0; x < used; ++x) row[static_cast<size_t>(x)] = 1;
  }
  resultPair(MtEditTitle("PLOT-COMP:", job, site, M.WeightingType, M.Cutoff, M.ReferenceType, 0, 0),
             "XPWR-COMP:", " COMPUTED XPOWER", masks);
  for (const auto& e : M.Edits) {
    auto em = masks;
    if (e.RemoveOutliers)
      for (int f = 0; f < F; ++f)
        for (int x : outliers[static_cast<size_t>(f)]) em[static_cast<size_t>(f)][static_cast<size_t>(x - 1)] = 2;
    resultPair(MtEditTitle("PLOT-EDIT:", job, site, M.WeightingType, M.Cutoff, M.ReferenceType, e.RotationMode,
                           e.RotationAngle),
               "XPWR-EDIT:", " EDITTED XPOWER ", em);
  }

  std::vector<uint8_t> file;
  file.reserve(blocks.size() * MtBlockSize);
  for (const auto& b : blocks) file.insert(file.end(), b.begin(), b.end());

  if (Info) {
    Info->FreqCount = F;
    Info->Frequencies = freqs;
    Info->Outliers = outliers;
    Info->BlockCount = static_cast<int>(blocks.size());
    std::string line = Format("Total recs=%d(HEAD-INFO:1, XPWR-S#01", {Info->BlockCount});
    if (N > 1) line += Format("-#%2.2d", {N});
    line += Format(", OPLG-TIME:1, Plots:%d, Edits:%d)",
                   {static_cast<int>(M.Edits.size()) + 1, static_cast<int>(M.Edits.size())});
    Info->ScanLine = line;
  }
  return file;
}

void MtGenWrite(const TMtGenModel& Model, const std::string& FileName, TMtGenInfo* Info) {
  const std::vector<uint8_t> data = MtGenBuild(Model, FileName, Info);
  TFileStream s(FileName, fmCreate);
  s.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}
