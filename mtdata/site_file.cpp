// TMTFile: construction, opening a site file, header, results, grid, stored edit, operation log.
#include "mtdata/site_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "mtdata/info_block.h"
#include "mtdata/mt_block_file.h"
#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

namespace {

template <std::size_t N>
std::string FieldText(const std::array<char, N>& Field) {
  std::size_t n = 0;
  while (n < N && Field[n] != '\0') ++n;
  return std::string(Field.data(), n);
}

}  // namespace

int ReferenceToDisplayIndex(int ReferenceType) {
  switch (ReferenceType) {
    case frtRemoteE:
    case frtRemoteH:
      return drRemote;
    case frtLocalH:
      return drLocalH;
    default:
      return drLocalE;
  }
}

int32_t SumSmallintArray(const int16_t* Values, int Count) {
  int32_t sum = 0;
  for (int i = 0; i < Count; ++i) sum += Values[i];
  return sum;
}

TMTFile::TMTFile() { Reset(); }

TMTFile::~TMTFile() = default;

void TMTFile::Reset() {
  Loaded = false;
  RotationMode = 0;
  RotationAngle = 0;
  XprRecordCount = 0;
  XprCount.Fill(0);
  StartFromStoredEdit = false;
  PlotRecordCount = 0;
  EditRecordCount = 0;
  CurrentEditBlock = 0;
  Mask.Allocate();
  PartialPlots.Allocate();
  // Matrices of frequencies 1..140 and XPRs 1..100, parameters 1..135; row and column 0 stay 0.
  XprMatrices.Clear();
  Plots.Clear();
}

void TMTFile::RequireStream() const {
  if (!Stream) throw EInOutError("MT-file is not open: " + FileName);
}

void TMTFile::OpenMtFile(const std::string& Name) {
  Reset();
  if (UpperCase(ExtractFileExt(Name)).rfind(".AM", 0) == 0) {
    IsMtKind = 0;
    FreqCount = 28;
  } else {
    IsMtKind = 1;
    FreqCount = 40;
  }
  FReadComplete = false;
  FileName = Name;
  MtLog("");
  MtLog("Read MT-File -- " + Name);
  Stream.reset();
  FReadOnly = false;
  try {
    Stream = std::make_unique<TFileStream>(Name, fmOpenReadWrite | fmShareDenyNone);
  } catch (const EFOpenError&) {
    // A file the user may read but not write (a read-only folder or medium) still opens for
    // viewing, editing and export; only saving into it is refused.
    Stream = std::make_unique<TFileStream>(Name, fmOpenRead | fmShareDenyNone);
    FReadOnly = true;
    MtLog("Read-only MT-file: edits cannot be saved into it");
  }
  TestFile();
  ReadHeader();
  ReadPlot();
  ClearResults();
  FReadComplete = true;
}

void TMTFile::BuildReferenceList() {
  if (ReferenceType < 1 || ReferenceType > 4) RaiseRangeError();
  int n = 1;
  ReferenceNames[n] = std::string(ReferenceShortNames[ReferenceType]);
  ReferenceTypes[n] = ReferenceType;
  if (ReferenceType != frtLocalE) {
    ++n;
    ReferenceNames[n] = "le";
    ReferenceTypes[n] = frtLocalE;
  }
  if (ReferenceType != frtLocalH && n < 3) {
    ++n;
    ReferenceNames[n] = "lh";
    ReferenceTypes[n] = frtLocalH;
  }
}

void TMTFile::ClearResults() {
  for (int f = 1; f <= MaxFreq; ++f) {
    for (int p = 1; p <= StoredParamCount; ++p) Plots[f][p] = 0;
    StackedMatrix[f] = TMatrix7{};
  }
  WeightSum1.Fill(0);
  WeightSum2.Fill(0);
}

void TMTFile::RebuildFrequencyGrid(bool Print) {
  ValidFreqCount = 0;
  for (int f = 1; f <= FreqCount; ++f) {
    const bool valid = Plots[f][pcRhoxyOhmm] != 0;
    // A row saved after an edit removed all its estimates has no results, but its stored
    // log10 f still names its frequency; without it the row would come back at 0 Hz and could
    // never be computed again.
    if (!valid && Plots[f][pcLog10FrqHz] == 0) continue;
    const long double L = Plots[f][pcLog10FrqHz];
    const long double c = std::pow(10.0L, static_cast<long double>(2 - Round(L)));
    Frequencies[f] = static_cast<double>(static_cast<long double>(Round(std::pow(10.0L, L) * c)) / c);
    if (valid) ++ValidFreqCount;
  }
  for (int f = 1; f <= FreqCount; ++f) Plots[f][pcfhz] = Frequencies[f];
  if (Print) {
    MtLog(Format("Frequency grid, Hz:, Number=%d(%d) %s", {FreqCount, ValidFreqCount, FileName}));
    PrintFrequencyGrid();
  }
  ToFreq = LastGridFreq();
}

int TMTFile::LastGridFreq() const {
  const int count = std::clamp(FreqCount, 0, MaxFreq);
  int last = std::clamp(ValidFreqCount, 0, count);
  for (int f = count; f > last; --f)
    if (Frequencies[f] > 0) return f;
  return last;
}

void TMTFile::PrintFrequencyGrid() {
  std::string line;
  for (int f = 1; f <= FreqCount; ++f) {
    line += StrW(f, 3) + StrWD(Frequencies[f], 13, 7);
    if (f % 5 == 0) {
      MtLog(line);
      line.clear();
    }
  }
  MtLog(line);
}

void TMTFile::LoadEdit() {
  // The rotation of the chosen edit: the title of the result record at CurrentEditBlock, or
  // the title read last when the block is not one of the indexed result records.
  if (StartFromStoredEdit) {
    std::string title = FieldText(RecordTags[0]);
    for (int n = 1; n <= PlotRecordCount && n <= 10; ++n)
      if (PlotBlocks[n] == CurrentEditBlock) title = FieldText(RecordTags[n]);
    const int pax = Pos("P.AXES", title);
    if (pax >= 2) {
      RotationFlag = 1;
      RotationMode = 1;
    } else {
      RotationFlag = 0;
      RotationMode = 0;
      const int rot = Pos("ROT=", title);
      if (rot > 0) {
        // The angle is written "%2.0f", so a one-digit angle follows a blank.
        std::string rest = TrimLeft(title.substr(static_cast<size_t>(rot) + 3));
        const size_t blank = rest.find(' ');
        RotationAngle = StrToFloat(rest.substr(0, blank));
      }
    }
  } else {
    RotationMode = 0;
    RotationAngle = 0;
  }
  ReadPlotEditRecord();
  RebuildFrequencyGrid(false);
  if (DenseEstimates(XprRecordCount)) XprMatrices.AdviseDense();
  for (int i = 1; i <= XprRecordCount; ++i) {
    ReadXprRecord(i);
    for (int f = 1; f <= FreqCount; ++f) {
      XprMatrices[f][i] = RecordMatrixBuffer[f];
      Weight2[f][i] = RecordWeight2[f];
      Weight1[f][i] = RecordWeight1[f];
    }
  }
  for (int f = 1; f <= FreqCount; ++f) XprCount[f] = XprRecordCount;
  ReadEditRecord();
  Loaded = true;
}

void TMTFile::ReadOplog() {
  const std::string name = ExtractFileName(FileName);
  MtLog("");
  MtLog("Read Oplog lines " + name);
  OplogLines[0] = "Oplog lines " + name;
  if (OplogRecordCount < 1) {
    OplogLines[1] = "OPLG Missing";
    OplogLineCount = 0;
    MtLog(OplogLines[1]);
    return;
  }
  RequireStream();
  TMtBlockReader r;
  r.Load(*Stream, OplogBlocks[1]);
  ClearRecordTag(RecordTags[0].data());
  r.ReadText(RecordTags[0].data(), RecordTagSize);
  const std::string title = Trim(FieldText(RecordTags[0]));
  OplogLines[1] = title;
  OplogLineCount = r.ReadSmallint();
  // Lines 2..50 of OplogLines hold at most 49 log lines.
  if (OplogLineCount > 49) RaiseRangeError();
  for (int i = 1; i <= OplogLineCount; ++i) {
    std::string line = r.ReadString();
    if (line.size() > 80) line.resize(80);
    const size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    OplogLines[i + 1] = Trim(line);
  }
  MtLog(title);
}

void TMTFile::ListOplog(TStrings& List) {
  TUpdateLock lock(&List);
  for (int i = 0; i <= OplogLineCount + 1 && i <= 50; ++i) List.Add(OplogLines[i]);
  List.Add("-----------");
}

void TMTFile::PrepareSave(TMTFile*) {}
