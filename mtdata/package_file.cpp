#include "mtdata/package_file.h"

#include "mtdata/export_text.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "mtdata/text_helpers.h"
#include "platform/sysutils.h"

#include <fstream>
#include <sstream>

namespace {

const char* const CRLF = "\r\n";

// An integer in a field of Width characters; a wider number gets a blank before it so that
// the numbers of a line stay apart.
std::string Field(int64_t Value, int Width) {
  std::string s = IntToStr(Value);
  if (static_cast<int>(s.size()) >= Width) return " " + s;
  return StrW(Value, Width);
}

// Numbers of a text separated by blanks or line ends, read one after the other.
class TTokenReader {
public:
  TTokenReader(const std::string& AFileName, const std::vector<std::string>& ALines, std::size_t FirstLine)
      : FileName(AFileName), Lines(ALines), LineIndex(FirstLine) {}

  std::string Next(const char* What) {
    while (LineIndex < Lines.size()) {
      const std::string& s = Lines[LineIndex];
      while (Col < s.size() && s[Col] == ' ') ++Col;
      if (Col < s.size()) {
        std::size_t end = s.find(' ', Col);
        if (end == std::string::npos) end = s.size();
        std::string t = s.substr(Col, end - Col);
        Col = end;
        LastLine = LineIndex;
        return t;
      }
      ++LineIndex;
      Col = 0;
    }
    Fail<EConvertError>(std::string("unexpected end of file, ") + What + " missing");
  }
  int Int(const char* What) {
    std::string t = Next(What);
    int32_t v;
    if (!TryStrToInt(t, v)) Fail<EConvertError>("'" + ShortQuote(t) + "' is not a valid " + What);
    return v;
  }
  double Float(const char* What) {
    std::string t = Next(What);
    double v;
    if (!TryStrToFloat(t, v)) Fail<EConvertError>("'" + ShortQuote(t) + "' is not a valid " + What);
    return v;
  }
  // True when the line of the last number goes on after it.
  bool LineContinues() const {
    if (LastLine != LineIndex) return false;
    const std::string& s = Lines[LineIndex];
    return s.find_first_not_of(' ', Col) != std::string::npos;
  }
  template <typename E>
  [[noreturn]] void Fail(const std::string& Msg) const {
    throw E("Package " + FileName + ", line " + IntToStr(static_cast<int>(LastLine) + 1) + ": " + Msg);
  }
  void SetLine(std::size_t L) { LastLine = L; }

private:
  const std::string& FileName;
  const std::vector<std::string>& Lines;
  std::size_t LineIndex;
  std::size_t Col = 0;
  std::size_t LastLine = 0;
};

}  // namespace

void ReadPackage(const std::string& FileName, TPackageData& Package) {
  std::vector<std::string> lines =
      ReadTextLines(FileName, "package", PackageMaxFileSize, PackageMaxLineLength, nullptr, true);
  for (std::string& line : lines)
    for (char& c : line)
      if (c == '\t') c = ' ';

  Package = TPackageData{};
  TTokenReader first(FileName, lines, 0);
  int n = first.Int("number of files");
  if (n < 1) first.Fail<ERangeError>("number of files " + IntToStr(n) + " out of range");
  if (lines.size() < static_cast<std::size_t>(n) + 1) {
    first.SetLine(lines.size() - 1);
    first.Fail<EConvertError>("unexpected end of file, file names missing");
  }
  const std::string folder = ExtractFilePath(FileName);
  for (int i = 1; i <= n; ++i) {
    std::string path = Trim(lines[static_cast<std::size_t>(i)]);
    // A package moved together with its files finds them beside it.
    if (!FileExists(path) && !folder.empty() && FileExists(folder + ExtractFileName(path)))
      path = folder + ExtractFileName(path);
    Package.Members.push_back(path);
  }

  TTokenReader r(FileName, lines, static_cast<std::size_t>(n) + 1);
  for (int i = 0; i < n; ++i) Package.StartEdits.push_back(r.Int("start edit"));
  for (int i = 0; i < n; ++i) {
    int from = r.Int("frequency index");
    int to = r.Int("frequency index");
    Package.FromFreqs.push_back(from == 0 ? 1 : from);
    Package.ToFreqs.push_back(to == 0 ? 40 : to);
  }
  if (r.LineContinues()) {
    Package.HasAngle = true;
    Package.RotationAngle = r.Float("rotation angle");
  }
  Package.FreqCount = r.Int("number of frequencies");
  if (Package.FreqCount < 0 || Package.FreqCount > MaxFreq)
    r.Fail<ERangeError>("number of frequencies " + IntToStr(Package.FreqCount) + " out of range");
  for (int f = 1; f <= Package.FreqCount; ++f) {
    Package.Frequencies.push_back(r.Float("frequency"));
    int k = r.Int("number of estimates");
    if (k < 0 || k > MaxXpr) r.Fail<ERangeError>("number of estimates " + IntToStr(k) + " out of range");
    std::vector<int16_t> mask;
    for (int x = 1; x <= k; ++x) {
      int m = r.Int("mask word");
      if (m < 0 || m > 2) r.Fail<ERangeError>("mask word " + IntToStr(m) + " out of range");
      mask.push_back(static_cast<int16_t>(m));
    }
    Package.Masks.push_back(std::move(mask));
  }
}

void SavePackage(const std::string& FileName) {
  if (!CurrentSite || SiteFiles.empty()) throw EInvalidOperation("No site is open");
  const TMTFile& site = *CurrentSite;
  std::ostringstream out;
  out << SiteFiles.size() << CRLF;
  // Each member by its full name: a site opened by names relative to the working folder must
  // open again from anywhere.
  for (const auto& member : SiteFiles) out << ExpandFileName(member->FileName) << CRLF;
  std::string settings;
  for (const auto& member : SiteFiles) settings += Field(member->StartEdit, 3);
  for (const auto& member : SiteFiles) settings += Field(member->FromFreq, 3) + Field(member->ToFreq, 3);
  settings += " " + Format("%4.1f", {site.RotationAngle});
  out << settings << CRLF;
  out << site.FreqCount << CRLF;
  for (int f = 1; f <= site.FreqCount; ++f) {
    std::string line = FormatFloat("0.00000E+00", site.Frequencies[f]);
    const int k = std::min(site.XprCount[f], MaxXpr);
    line += Field(k, 4);
    for (int x = 1; x <= k; ++x) line += Field(site.Mask[f][x], 2);
    out << line << CRLF;
  }

  // Written beside the target and renamed over it when complete: a failed write keeps the old
  // package.
  try {
    WriteExportFile(FileName, out.str());
  } catch (const EInOutError& e) {
    throw EFCreateError(e.Message());
  }
}
