#include "mtdata/export_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "mtdata/mt_params.h"
#include "mtdata/mt_types.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

namespace {

constexpr const char* CRLF = "\r\n";

[[noreturn]] void FailFile(const std::string& FileName, int Err) {
  std::string msg = Format("Cannot create file \"%s\"", {FileName});
  if (Err != 0) msg += ". " + SysErrorMessage(Err);
  throw EInOutError(msg);
}

// Writes Bytes into a new file beside Target; returns its name.
std::string WriteTemporary(const std::string& Target, const std::string& Bytes) {
  static unsigned counter = 0;
  std::string name;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    name = Target + ".~" + IntToStr(getpid()) + "_" + IntToStr(++counter);
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) FailFile(Target, errno);
  }
  if (fd < 0) FailFile(Target, EEXIST);
  // An existing target keeps its permissions.
  struct stat st;
  if (::stat(Target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
  const char* p = Bytes.data();
  std::size_t left = Bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int err = n < 0 ? errno : EIO;
      ::close(fd);
      ::unlink(name.c_str());
      FailFile(Target, err);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // Durable before it is renamed over the target: a crash after the renaming never leaves an
  // empty or partial file in the target's place.
  if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    int err = errno;
    ::close(fd);
    ::unlink(name.c_str());
    FailFile(Target, err);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(name.c_str());
    FailFile(Target, err);
  }
  return name;
}

bool PositiveFrequency(const TMTFile& Site, int F) { return Site.Plots[F][pcfhz] > 0; }

void RequireFrequencyRows(const TMTFile& Site) {
  RequireImpedanceValues(Site);
  for (int f = 1; f <= Site.FreqCount; ++f)
    if (PositiveFrequency(Site, f)) return;
  throw Exception("No frequency of the site has computed parameters: nothing to export");
}

// Deals Count entries over five lines, (Count + 4) div 5 to a line; Entry(i) is the text of
// entry i (1-based). Lines left without entries are empty.
template <typename EntryFn>
void FiveLines(std::string& Out, int Count, EntryFn Entry) {
  const int perLine = (Count + 4) / 5;
  int next = 1;
  for (int line = 1; line <= 5; ++line) {
    for (int j = 1; j <= perLine && next <= Count; ++j, ++next) Out += Entry(next);
    Out += CRLF;
  }
}

// The frequency in 8 characters with as many decimals as fit.
std::string FrequencyEntry(double F) {
  int decimals;
  if (F < 10)
    decimals = 6;
  else if (F < 100)
    decimals = 5;
  else if (F < 1000)
    decimals = 4;
  else if (F < 10000)
    decimals = 3;
  else if (F < 100000)
    decimals = 2;
  else if (F < 1000000)
    decimals = 1;
  else
    decimals = 0;
  return " " + StrWD(F, 8, decimals);
}

// A field of the CSV header: quoted when it holds the delimiter, so the columns stay aligned.
std::string CsvName(std::string_view Name, const std::string& Delimiter) {
  if (Name.find(Delimiter) == std::string_view::npos) return std::string(Name);
  return "\"" + std::string(Name) + "\"";
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void TExportFiles::Add(const std::string& FileName, std::string Bytes) {
  FFiles.emplace_back(FileName, std::move(Bytes));
}

void TExportFiles::Commit() {
  // A folder in the place of a target would fail only at the renaming, after others were
  // replaced: refuse it first.
  for (const auto& file : FFiles) {
    struct stat st;
    if (::stat(file.first.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      const std::string name = file.first;  // the list is cleared before raising
      FFiles.clear();
      FailFile(name, EISDIR);
    }
  }
  std::vector<std::string> temps;
  TScopeExit clearFiles([this] { FFiles.clear(); });
  // Temporaries not yet renamed go when a write or a rename fails.
  TScopeFail removeTemps([&] {
    for (const auto& t : temps)
      if (!t.empty()) ::unlink(t.c_str());
  });
  for (const auto& [name, bytes] : FFiles) temps.push_back(WriteTemporary(name, bytes));
  for (std::size_t i = 0; i < FFiles.size(); ++i) {
    if (std::rename(temps[i].c_str(), FFiles[i].first.c_str()) != 0) FailFile(FFiles[i].first, errno);
    temps[i].clear();
  }
}

void WriteExportFile(const std::string& FileName, std::string Bytes) {
  TExportFiles files;
  files.Add(FileName, std::move(Bytes));
  files.Commit();
}

void RequireComputedSite(const TMTFile& Site) {
  if (Site.FreqCount <= 0 || Site.FreqCount > MaxFreq || !Site.Plots.Assigned())
    throw Exception("The site has no computed parameters: nothing to export");
}

void RequireImpedanceValues(const TMTFile& Site) {
  RequireComputedSite(Site);
  for (int f = 1; f <= Site.FreqCount; ++f)
    if (Site.Plots[f][pcRhoxyOhmm] > 0 || Site.Plots[f][pcRhoyxOhmm] > 0) return;
  // A site whose values could not be computed (an EDI file of impedances only) would give rows
  // of zeros.
  throw Exception("The site has no impedance values: nothing to export");
}

// ---------------------------------------------------------------------------------------------

void ExportMtg(const std::string& FileName, const TMTFile& Site) {
  RequireFrequencyRows(Site);
  std::string out;
  for (int f = 1; f <= Site.FreqCount; ++f) {
    if (!PositiveFrequency(Site, f)) continue;
    const auto& p = Site.Plots[f];
    out += StrWD(p[pcfhz], 12, 5) + StrWD(p[pcRhoxyOhmm], 12, 2) + StrWD(p[pcRhoyxOhmm], 12, 2) +
           StrWD(p[pcPHASExyDeg], 9, 2) + StrWD(p[pcPHASEyxDeg] + 180, 9, 2) + CRLF;
  }
  WriteExportFile(ChangeFileExt(FileName, ".mtg"), std::move(out));
}

void ExportMtd(const std::string& FileName, const TMTFile& Site) {
  RequireFrequencyRows(Site);
  const std::string stem = ChangeFileExt(FileName, "");
  TExportFiles files;
  for (int i = 1; i <= 2; ++i) {
    std::string out;
    for (int f = 1; f <= Site.FreqCount; ++f) {
      if (!PositiveFrequency(Site, f)) continue;
      const auto& p = Site.Plots[f];
      const double s = std::sqrt(std::fabs(p[pcVarLogRhoxy - 1 + i]));
      // The relative error of rho in percent: a standard deviation s of log10 rho spans a factor
      // of 10^s.
      const double rhoError = std::min(100 * (std::pow(10.0, s) - 1), 99.9);
      const double phaseError = std::min(std::sqrt(std::fabs(p[pcVarPHASExy - 1 + i])), 99.9);
      out += StrWD(p[pcfhz], 12, 5) + StrWD(p[pcRhoxyOhmm - 1 + i], 12, 2) + StrWD(p[pcPHASExyDeg - 1 + i], 12, 2) +
             StrWD(rhoError, 9, 2) + StrWD(phaseError, 9, 2) + CRLF;
    }
    files.Add(stem + (i == 1 ? "x" : "y") + ".mtd", std::move(out));
  }
  files.Commit();
}

std::string Pt1LayoutText(const TMTFile& Site) {
  RequireImpedanceValues(Site);
  const int n = Site.FreqCount;
  std::string out = std::string("STACKS:") + CRLF;
  FiveLines(out, n, [&](int f) { return " " + StrWD(Site.WeightSum2[f], 8, 0); });
  out += std::string("FREQS:") + CRLF;
  FiveLines(out, n, [&](int f) { return FrequencyEntry(Site.Plots[f][pcfhz]); });
  for (int k = 1; k <= StoredParamCount; ++k) {
    out += "PARAMETER# " + IntToStr(k) + " - " + std::string(ParameterNames[k]) + CRLF;
    FiveLines(out, n, [&](int f) {
      const double v = Site.Plots[f][k];
      return std::string(v >= 0 ? " +" : " -") + FormatFloat("0.0000000E+00", std::fabs(v));
    });
  }
  return out;
}

void ExportPt1(const std::string& FileName, const TMTFile& Site) {
  WriteExportFile(ChangeFileExt(FileName, ".pt1"), Pt1LayoutText(Site));
}

void ExportXprPlot(const std::string& FileName, const TMTFile& Site, int Mode) {
  if (Mode != 1 && Mode != 2) throw ERangeError("Unknown XPR plot export mode " + IntToStr(Mode));
  // Mode 2 writes the file the user named.
  WriteExportFile(Mode == 1 ? ChangeFileExt(FileName, ".pt1") : FileName, Pt1LayoutText(Site));
}

void ExportCsv(const std::string& FileName, const TMTFile& Site) {
  const std::string d(CsvDelimiters[CsvDelimiterIndex]);
  RequireFrequencyRows(Site);
  std::string names = CsvName(ParameterNames[pcfhz], d) + d;
  std::string numbers = IntToStr(pcfhz) + d;
  for (int p = 1; p <= MaxParam; ++p) {
    if (p == pcfhz) continue;
    names += CsvName(ParameterNames[p], d) + d;
    numbers += IntToStr(p) + d;
  }
  std::string out = names + CRLF + numbers + CRLF;
  for (int f = 1; f <= Site.FreqCount; ++f) {
    if (!PositiveFrequency(Site, f)) continue;
    const auto& row = Site.Plots[f];
    out += StrWD(row[pcfhz], 12, 6) + d;
    for (int p = 1; p <= MaxParam; ++p)
      if (p != pcfhz) out += FormatFloat("0.00000E+00", row[p]) + d;
    out += CRLF;
  }
  WriteExportFile(ChangeFileExt(FileName, ".csv"), std::move(out));
}
