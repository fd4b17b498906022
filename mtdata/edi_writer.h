// The EDI and PLT writer: the current site as EDI text (head, information block, measurement
// definitions, then the spectra section or the MT section).
#pragma once

#include "mtdata/mt_types.h"

#include <iosfwd>
#include <string>
#include <vector>

class TMTFile;

// Texts of the EDI head (each at most 20 characters). DataId is set by every export.
struct TEdiHeaderDefaults {
  TShortString<20> DataId;
  TShortString<20> DataAcquiredBy;
  TShortString<20> FileWrittenBy;
  TShortString<20> CountryOfAcquisition;
  TShortString<20> StateOfAcquisition;
};

// Four switches of the options dialog; the export sets them and its output never depends on them.
struct TEdiSegmentOptions {
  bool SegPfl = false;
  bool SegSxp = true;
  bool SegIxp = false;
  bool FType = false;
};

extern TEdiHeaderDefaults EdiHeaderDefaults;
// Metres added to the y offsets of the remote channels.
extern double RemoteRefDistance;
extern TEdiSegmentOptions EdiSegmentOptions;

// Writer state kept between the steps of one export and after it.
extern TStaticArray<TShortString<10>, 1, MaxChannel> MeasurementIds;
extern TShortString<15> EdiLatitudeText;
extern TShortString<15> EdiLongitudeText;
extern TShortString<15> EdiElevationText;

// Today's date as "mm/dd/yy" for the FILEDATE line; replaceable (tests fix the date).
extern std::string (*EdiFileDateText)();

// Writes Site to FileName: Mode 1 EDI (spectra of the stack), 2 PLT (MT section of the computed
// parameters), 3 EDI with every single estimate as its own segment. The site is not changed.
// The text goes to a file beside the target that replaces it when complete. A file that cannot
// be written raises EFCreateError and leaves the target as it was. An elevation, dipole length
// or azimuth of the information block that is no number is written as missing, with a log line.
void ExportEdi(const std::string& FileName, const TMTFile& Site, int Mode);

// The rows of Site whose parameter 1 is positive (the frequencies the MT section writes).
std::vector<int> EdiValidRows(const TMTFile& Site);

void WriteEdiHead(std::ostream& F, const TMTFile& Site);
void WriteEdiInfo(std::ostream& F, const TMTFile& Site);
void WriteEdiDefineMeas(std::ostream& F, const TMTFile& Site);
// The MT section of the rows Rows (Plots holds the parameters, 57 already set); the dynamic
// defaults name the measurements of the first ChannelCount channels in the EDI order.
void WriteEdiMtSect(std::ostream& F, const TPlots& Plots, const std::vector<int>& Rows,
                    const TStaticArray<int16_t, 1, MaxChannel>& StoredChannelOrder, int ChannelCount = MaxChannel);
// The spectra section of one segment (0: the stack; 1..: single estimates) from the packed
// matrices Stack and their weights.
void WriteEdiSpectraSect(std::ostream& F, const TMTFile& Site, const TFreqMatrices& Stack,
                         const TStaticArray<double, 1, MaxFreq>& Weights, int Segment);
// One data block: the values of Parameter for Rows, seven per line.
void WriteEdiValues(std::ostream& F, const TPlots& Plots, const std::vector<int>& Rows, int Parameter);
