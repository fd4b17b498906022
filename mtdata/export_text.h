// Plain text exports of the computed parameters of a site: ".mtg", the two ".mtd" files, the
// ".pt1" layout (also written for the ".xnn" and ".xpn" choices) and ".csv". Each builds its
// whole text first and then writes it, so a site without the data an export needs, or a file
// that cannot be written, leaves no partial file behind. The site is only read.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TMTFile;

// One line per frequency with a positive frequency: f, Rhoxy, Rhoyx, PHASExy, PHASEyx + 180.
void ExportMtg(const std::string& FileName, const TMTFile& Site);
// <stem>x.mtd (xy) and <stem>y.mtd (yx): f, resistivity, phase and their errors.
void ExportMtd(const std::string& FileName, const TMTFile& Site);
// The ".pt1" layout: stack counts, frequencies and parameters 1..60 in five-line sections.
void ExportPt1(const std::string& FileName, const TMTFile& Site);
// Mode 1 writes the ".pt1" layout to FileName with the extension ".pt1"; mode 2 writes it to
// FileName itself. Any other mode raises ERangeError.
void ExportXprPlot(const std::string& FileName, const TMTFile& Site, int Mode);
// Every parameter of every frequency with a positive frequency, delimited by
// CsvDelimiters[CsvDelimiterIndex] (an index outside 0..2 raises ERangeError).
void ExportCsv(const std::string& FileName, const TMTFile& Site);

// The ".pt1" layout as text (lines ended by CRLF).
std::string Pt1LayoutText(const TMTFile& Site);

// ---------------------------------------------------------------------------------------------
// Writing the files of one export as a whole.

// Files to write together: each text goes to a temporary file beside its target first; only
// when all of them are written are they renamed over their targets. A failure removes the
// temporary files, leaves the targets as they were and raises EInOutError naming the target.
class TExportFiles {
public:
  void Add(const std::string& FileName, std::string Bytes);
  void Commit();

private:
  std::vector<std::pair<std::string, std::string>> FFiles;
};

// Writes Bytes as the whole content of FileName (through TExportFiles).
void WriteExportFile(const std::string& FileName, std::string Bytes);

// Raises Exception with a message saying that the site has nothing to export when Site has no
// computed parameters (no frequencies, or parameters never computed).
void RequireComputedSite(const TMTFile& Site);
// RequireComputedSite, and at least one frequency with an apparent resistivity; otherwise
// "The site has no impedance values: nothing to export".
void RequireImpedanceValues(const TMTFile& Site);
