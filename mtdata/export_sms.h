// The profile grid of single-precision values (".sms" impedance amplitudes and phases, ".dms"
// their errors) with its ".par" text of grid parameters, and the ".cat" catalogue files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mtdata/mt_types.h"
#include "platform/component.h"

class TMTFile;
class TStringList;

constexpr int MaxEkrStations = 128;
constexpr int MaxEkrPeriods = 128;

// A grid of soundings (stations) by periods with nine values per cell. Value 1 of a cell is not
// stored per cell: rows 1..4 carry StationY, AzimuthEx, StationNumber and AzimuthEy of the
// station, later rows StationNumber; values 2..9 are Values[2..9][station][period].
class TEkrDataObject : public TPersistent {
  VM_CLASS(TEkrDataObject, TPersistent)
public:
  TEkrDataObject();
  ~TEkrDataObject() override;

  std::vector<float> Data;  // the cell buffer, in file order
  std::string FileName;     // set by LoadFromFile
  TStaticArray<TShortString<80>, 1, 3> Titles;
  TStaticArray<int32_t, 1, 8> Params{};
  int32_t StationCount = 0;
  int32_t PeriodCount = 0;
  TStaticArray<float, 1, MaxEkrPeriods> Periods{};  // seconds
  TDynArray<float, TBounds<2, 9>, TBounds<1, MaxEkrStations>, TBounds<1, MaxEkrPeriods>> Values;
  TStaticArray<float, 1, MaxEkrStations> StationY{};
  TStaticArray<float, 1, MaxEkrStations> AzimuthEx{};
  TStaticArray<float, 1, MaxEkrStations> StationNumber{};
  TStaticArray<float, 1, MaxEkrStations> AzimuthEy{};
  TStringList& ValueNames() { return *FValueNames; }
  const TStringList& ValueNames() const { return *FValueNames; }

  // Stores both counts and allocates a zeroed cell buffer of that size.
  void SetDimensions(int AStationCount, int APeriodCount);
  // A one-station grid from the rows of Table with a non-zero xy amplitude (variant 3):
  // amplitudes and phases when Summed, their errors otherwise. More than 128 such rows raise
  // ERangeError before anything changes.
  void LoadFromTotalRezZ(const TTapeLabel& Header, const TRezZTable& Table, bool Summed);
  // The reverse copy of station 1 into Table (all three variants) and Header.
  void SaveToTotalRezZ(TTapeLabel& Header, TRezZTable& Table, bool Summed) const;
  // Writes the ".par" file (AFileName with the extension ".par") and the grid file AFileName.
  void SaveToFile(const std::string& AFileName);
  // Reads both back. A parameter file that does not convert raises EConvertError, counts
  // outside 1..128 ERangeError, a grid file too short for them EReadError.
  void LoadFromFile(const std::string& AFileName);
  // The readable ".aaa" text (AFileName with the extension ".aaa"); Unused is not read.
  void SaveToTextFile(const std::string& AFileName, int Unused = 0) const;

  // The ".par" text in code page 1251 (CRLF line ends; the last period line is not ended
  // unless it holds four periods).
  std::string ParameterFileText() const;
  // The grid: for each period row, for each value 1..9, for each station, one little-endian
  // Single.
  std::string GridFileBytes() const;
  // Cell value V (1..9) of period row F and station S.
  float CellValue(int F, int V, int S) const;

private:
  std::unique_ptr<TStringList> FValueNames;
};

// Writes the grids of the site to FileName with the extensions ".sms" and ".dms", their
// ".par" file, the ".cat" line and "Header.cat" in the folder of FileName. The header written
// is rebuilt from the site's information block (the site itself is not changed); a site
// without impedance values, or with more than 128 of them, raises Exception before any file
// is written; so does a file that cannot be written (EInOutError), leaving none of the files.
void ExportSms(const std::string& FileName, const TMTFile& Site);

// "Header.cat" in the folder of FileName and FileName with the extension ".cat".
void WriteCatalogueFiles(const std::string& FileName, const TTapeLabel& Header, int FreqCount);
