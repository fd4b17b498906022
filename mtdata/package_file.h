// The package file (".mpk"): the member files of a site, their start edits and frequency
// ranges, the rotation angle, and the frequency grid with every mask word. Text with CR LF
// line ends; numbers with '.' as decimal point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A package as read.
struct TPackageData {
  std::vector<std::string> Members;  // full paths, in site order
  std::vector<int> StartEdits;       // per member
  std::vector<int> FromFreqs;        // per member; a stored 0 reads as 1
  std::vector<int> ToFreqs;          // per member; a stored 0 reads as 40
  bool HasAngle = false;
  double RotationAngle = 0;  // 0 when the line of settings ends without it
  int FreqCount = 0;
  std::vector<double> Frequencies;          // [0..FreqCount-1], Hz
  std::vector<std::vector<int16_t>> Masks;  // per frequency its mask words 1..k
};

// The most a package holds: far beyond the member paths of a set and 140 lines of 100 mask
// words. A larger file or a longer line is refused before it is read.
constexpr int64_t PackageMaxFileSize = 4 << 20;
constexpr std::size_t PackageMaxLineLength = 65536;

// Reads a package. A file that cannot be opened raises EFOpenError; a text that is no package
// raises EConvertError or ERangeError naming the file and the line.
void ReadPackage(const std::string& FileName, TPackageData& Package);

// Writes the open site (SiteFiles and CurrentSite) as a package, beside the target first and
// renamed over it when complete. No open site raises EInvalidOperation; a file that cannot be
// written raises EFCreateError and leaves an existing package as it was.
void SavePackage(const std::string& FileName);
