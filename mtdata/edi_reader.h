// EDI files (">KEYWORD" sections of text): the in-memory image of one file and its
// take-over into a site file object.
#pragma once

#include "mtdata/mt_types.h"

#include <string>

class TMTFile;

// Matrix slot of each channel of a spectra block in its standard order Hx, Hy, Hz, Ex, Ey,
// Rx, Ry; the slots then read Ex 1, Ey 2, Hx 3, Hy 4, Hz 5, Rx 6, Ry 7.
inline constexpr TStaticArray<int, 1, MaxChannel> EdiChannelOrder{{3, 4, 5, 1, 2, 6, 7}};

// The mark of a missing value in EDI data; any value this large counts as missing.
constexpr double EdiEmptyValue = 1.0E32;
constexpr double EdiEmptyLimit = 1.0E30;

// The most an EDI file holds: far beyond 140 frequencies of 100 single estimates each, and of
// the longest line a writer puts a block of values or a comment on. A larger file or a longer
// line is refused before it is read.
constexpr int64_t EdiMaxFileSize = 32 << 20;
constexpr std::size_t EdiMaxLineLength = 65536;

// The image of one EDI file.
//
// A spectra block holds n x n values (n the channel count of the spectra section), wrapped over
// lines as the writer likes. A block that falls short of them, or holds a value that is cut or
// no number, or marks a gap with the empty frequency, is skipped with a log line naming the
// file, the line and the frequency.
//
// Spectra blocks hold a channel matrix row by row: on and below the diagonal the real part of
// the cross-power of row and column channel, above it the imaginary part of the element
// mirrored below. The reader converts each block into the packed layout of the site file
// (slots as EdiChannelOrder, or as the channel definitions of the file name them).
class TEdiFileObject {
public:
  TEdiFileObject();
  TEdiFileObject(const TEdiFileObject&) = delete;
  TEdiFileObject& operator=(const TEdiFileObject&) = delete;

  // Sizes XprMatrices (141 x 101) and Plots (141 x 136) and zeroes parameters 1..135.
  void ClearVariables();
  // Reads the file. It fails (EInOutError, EConvertError, ERangeError) with a message naming
  // the file and the line when it cannot be opened or a number it needs cannot be read;
  // sections and values it cannot use are skipped with a log line.
  void LoadFromFile(const std::string& AFileName);
  // Writes head, measurement definitions and the MT section of this image, then ">END".
  void SaveToFile(const std::string& AFileName);

  std::string FileName;
  TTapeLabel Header;
  TMtRobstParam RobustParams;
  TRezZTable ImpedanceTable;
  TInfoLines InfoLines{};
  // Packed matrices [f][estimate]; only estimate 1 is filled.
  TTempFile XprMatrices;
  TPlots Plots;
  TStaticArray<double, 1, MaxFreq> Frequencies;  // Hz, one per spectra block
  TStaticArray<double, 1, MaxFreq> AvgT;         // "AVGT=" of each spectra block

  // Number of spectra blocks read.
  int SpectraCount = 0;
  // The largest number of channels (rows) of a spectra block.
  int SpectraChannels = 0;
};

// Reads an EDI file into Site through an image (the image is freed afterwards). Site's file
// name becomes the path. A file without any frequency (no spectra block read and no positive
// frequency in a FREQ block) is refused with EInOutError.
void LoadFromEdi(TMTFile& Site, const std::string& FileName);

// Takes the image over into Site: header, information block, reference, frequency grid, one
// estimate per frequency and its weights; then computes every frequency.
void AssignEdi(TMTFile& Site, const TEdiFileObject& Edi);

// The file reference type (1 LE, 2 RE, 3 LH, 4 RH) of a processing reference type
// (1 LE, 2 LH, 3 RE, 4 RH); 0 stays 0.
int ProcessingToFileReference(int ProcessingType);
