// TMTFile: one MT site in memory: a site file of the block format, an EDI image taken over, or
// the sum of several site files. It holds the header, the record index of its file, every
// cross-power estimate with its weights and mask word, the stacks, the computed parameters of
// the stacks and of every single estimate, and the reference and rotation state.
//
// Indices: f = frequency 1..140, x = XPR number 1..100, slots 1..7. The object is large (about
// 1 MB of fixed arrays besides the dynamic ones): create it on the heap.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mtdata/mt_params.h"
#include "mtdata/mt_types.h"

class TEdiFileObject;
class TStream;
class TStrings;

// A fixed-width text field of a record (8-bit characters, no terminator).
template <std::size_t N>
using TCharField = std::array<char, N>;

using TRecordTag = TCharField<80>;
using TChannelName = TCharField<4>;

// Per-frequency, per-estimate Double values, [f 1..140][x 1..100].
using TXprValues = TFixedArray<double, TBounds<1, MaxFreq>, TBounds<1, MaxXpr>>;
// Per-frequency Double values, [f 1..140].
using TFreqValues = TStaticArray<double, 1, MaxFreq>;

// The display reference of a file reference type: 2 for remote E and H, 1 for local H, else 0.
int ReferenceToDisplayIndex(int ReferenceType);

// The most result records an MT-file holds (the index of the file keeps this many).
constexpr int MaxResultRecords = 10;

// Sum of all elements (the automatic editor counts used estimates with it).
int32_t SumSmallintArray(const int16_t* Values, int Count);

class TMTFile {
public:
  TMTFile();
  ~TMTFile();
  TMTFile(const TMTFile&) = delete;
  TMTFile& operator=(const TMTFile&) = delete;

  // ---- File and stream
  std::string FileName;
  int32_t IsMtKind = 1;  // 1 MT file, 0 AMT file (extension beginning ".AM")

  // ---- Header
  TTapeLabel Header;
  TMtRobstParam RobustParams;
  TInfoLines InfoLines{};
  TCharField<8> XprIdText{};
  TCharField<16> XprDescText{};
  TCharField<4> HeaderValue{};
  int16_t HeaderWord = 0;
  int16_t ChannelCount = 0;
  TStaticArray<TChannelName, 1, MaxChannel> ChannelNames{};
  TChannelOrder ChannelOrder{};
  TChannelOrder StoredChannelOrder{};
  int16_t WeightingType = 0;
  double Cutoff = 0;
  int16_t CurrentReference = 0;  // file numbering; written as "REF=" into edits
  int16_t ReferenceType = 0;     // file numbering: the site's own reference

  // ---- Record index (filled by TestFile)
  int32_t BlockCount = 0;
  int32_t XprRecordCount = 0;
  int32_t OplogRecordCount = 0;
  int32_t PlotRecordCount = 0;
  int32_t EditRecordCount = 0;
  TStaticArray<int32_t, 1, MaxXpr> XprBlocks{};
  TStaticArray<int32_t, 1, 10> OplogBlocks{};
  TStaticArray<int32_t, 1, 10> PlotBlocks{};     // block index + 1 of each result record
  TStaticArray<int32_t, 1, 10> EditBlocks{};     // block index + 1 when that record is an edit
  TStaticArray<TRecordTag, 0, 10> RecordTags{};  // 0: title read last; 1..10: result titles
  int32_t CurrentEditBlock = 0;                  // block index + 1 of the result record in use (0 none)
  int32_t EditWriteBlock = 0;                    // block where the last save wrote

  // ---- Frequency grid
  int32_t FreqCount = 0;
  int32_t ValidFreqCount = 0;
  TFrequencyGrid Frequencies{};
  // The last row of the grid that has a frequency (at least ValidFreqCount). Loops over the rows
  // with data and the default range end here, not at the count: a row whose estimates were all
  // removed by an edit has no results but keeps its frequency and its estimates.
  int LastGridFreq() const;
  int32_t FromFreq = 0;
  int32_t ToFreq = 0;

  // ---- XPR estimates
  TStaticArray<int32_t, 1, MaxFreq> XprCount{};
  TTempFile XprMatrices;
  TXprValues Weight1{};
  TXprValues Weight2{};
  TMask Mask;
  TFreqMatrices RecordMatrixBuffer{};
  TFreqValues RecordWeight1{};
  TFreqValues RecordWeight2{};
  TStaticArray<int16_t, 1, MaxXpr> XprFlags{};

  // ---- Stack and results
  TFreqMatrices StackedMatrix{};
  TFreqValues WeightSum1{};
  TFreqValues WeightSum2{};
  TPlots Plots;
  TPartial_plot PartialPlots;

  // ---- Reference and rotation
  int16_t DisplayReference = 0;
  int32_t ReferenceCount = 0;
  TStaticArray<std::string, 1, 3> ReferenceNames{};
  TStaticArray<int32_t, 1, 3> ReferenceTypes{};
  int32_t RotationMode = 0;  // 0 fixed angle, 1 principal axes
  double RotationAngle = 0;  // degrees
  int32_t RotationFlag = 0;
  TFreqValues FreqRotationAngle{};

  // ---- Stored edit choice and operation log
  int32_t StartEdit = 0;
  bool StartFromStoredEdit = false;
  TStaticArray<std::string, 0, 50> OplogLines{};
  int16_t OplogLineCount = 0;
  // True while the object holds a complete site: set when a stored edit, an EDI image or the
  // sum of a set has been loaded; the shell clears it while it edits automatically or clears
  // the mask, and sets it again afterwards.
  bool Loaded = false;

  // ---- Loading
  void Reset();
  // Opens and indexes a site file, reads its header and newest results.
  void OpenMtFile(const std::string& Name);
  // Loads the stored edit at CurrentEditBlock and all XPR records.
  void LoadEdit();
  void RebuildFrequencyGrid(bool Print);
  void PrintFrequencyGrid();
  void ReadOplog();
  void ListOplog(TStrings& List);
  void BuildReferenceList();

  // ---- Records of the block file
  // The scan. An edit pair that a save did not finish (a cut end, a result record never
  // published, or one whose check does not match its pair) is ignored with a log line; the
  // next save takes the place of such blocks at the end of the file.
  void TestFile();
  void ReadHeader();
  void ReadPlot();
  void ReadPlotEditRecord();
  void ReadXprRecord(int X);
  void WriteXprRecord(int X);
  void ReadEditRecord();
  void WritePlotEditRecord(int Block);
  void WriteEditRecord(int Block);
  void ClearResults();

  // ---- Stacking and recomputation
  // The one entry of an edit: the mask of frequency F (1..FreqCount) changed. Re-stacks F and
  // computes it again, then the frequencies whose computation reads row F (the Bostick
  // neighbourhood F - 2..F + 2; in principal-axes mode also the strike fold, up to F + 5).
  void MaskChanged(int F);
  void RestackFrequency(int F);
  void CalcFrequency(int F);
  void CalcFrequencyParams(int F);
  void RestackAll();
  void CalcPartialPlots();
  void SetReference(int V);

  // ---- Saving
  // Mode 0 writes at CurrentEditBlock, mode 1 appends after the last block found when opened.
  // An append that would give the file more than MaxResultRecords result records is refused
  // (EWriteError naming the file and the limit); a failed append cuts the file back to its old
  // length and raises EWriteError. Either way the site keeps its edits.
  //
  // A save that is cut short (the program killed, the power lost) leaves the file as it was
  // before or as after the save: the pair is written with its result record unpublished (its
  // first byte 0, so no reader takes it), made durable, and then published by writing that one
  // byte. A pair that replaces a published one is first written and published beyond the end
  // of the file, so the newest edit is whole at every moment; the copy is cut off at the end.
  void SaveEdit(int Mode);
  // Called by the shell before saving; does nothing.
  void PrepareSave(TMTFile* Current);
  // True when the file could be opened for reading only, or its records end before its last
  // block: saving into it is refused.
  bool ReadOnly() const { return FReadOnly; }
  // Today's date for the mask record of an edit ("yymmmdd"); tests may fix it.
  static std::string (*EditDateText)();

  // ---- Spectra rotation (rewrites every XPR record of the file in place)
  void RotateXprSpectra(double Angle);

  // ---- Impedance table
  void FillImpedanceTable(TRezZTable& Table);

  // ---- EDI files (defined with the EDI reader)
  // Reads an EDI file through an image and takes it over (see ::LoadFromEdi).
  void LoadFromEdi(const std::string& Name);
  // Takes an EDI image over and computes every frequency (see ::AssignEdi).
  void AssignEdi(const TEdiFileObject& Edi);

private:
  // The two records of an edit, built in memory (both refuse to outgrow their blocks). The
  // result record ends with the check of the pair it forms with MaskBlock; a copy written
  // beyond the end while the pair at block CopyOf is replaced names that block in its check.
  std::vector<uint8_t> BuildPlotEditRecord(const std::vector<uint8_t>& MaskBlock, int CopyOf = 0);
  std::vector<uint8_t> BuildEditRecord();
  // Writes an edit pair (result block, then mask block) at Block as SaveEdit describes; Copy is
  // the same pair as the copy of Block.
  void WriteEditPair(int Block, std::vector<uint8_t> Pair, std::vector<uint8_t> Copy);
  // True when the result record at block B has its mask block and, written with a check,
  // matches it; otherwise logs why the pair is ignored. CopyOf is the block whose pair a whole
  // copy stands for (0 for any other pair).
  bool ResultPairWhole(int B, int Blocks, int& CopyOf);
  void WriteBlocks(int Block, const std::vector<uint8_t>& Data);
  void RequireStream() const;
  void StackFrequency(int F, int Count);
  void WarnUnstoredMasks();

  // The open site file (null before OpenMtFile and for a site not read from a block file).
  std::unique_ptr<TStream> Stream;
  bool FReadComplete = false;  // OpenMtFile read the whole index and header
  int FAppendBlock = 0;        // where an appended edit goes: after the last block in use
  bool FPairSaved = false;     // a save of this object published its pair at FAppendBlock
  int FResultRecordTotal = 0;  // result records the scan found (the index keeps the newest 10)
  bool FReadOnly = false;      // the file could be opened for reading only
  TMatrix7 FWorkRe{}, FWorkIm{};
};
