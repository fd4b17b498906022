// TMTFile: the scan and the records of the block file, and saving an edit.
#include "mtdata/site_file.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "mtdata/info_block.h"
#include "mtdata/mt_block_file.h"
#include "platform/exceptions.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

namespace {

template <std::size_t N>
std::string FieldText(const std::array<char, N>& Field) {
  std::size_t n = 0;
  while (n < N && Field[n] != '\0') ++n;
  return std::string(Field.data(), n);
}

bool TitleHas(const TRecordTag& Tag, int From, std::string_view Text) {
  return std::memcmp(Tag.data() + From - 1, Text.data(), Text.size()) == 0;
}

// Columns 1..C of a record are stored; a count outside 0..7 cannot be read.
int CheckedChannelCount(int16_t C) {
  if (C < 0 || C > MaxChannel) RaiseRangeError();
  return C;
}

// The common part of an estimate record and an edit record: title, identification, channels, the
// matrices of every frequency and the two weight rows, read into M, W2 and W1.
void ReadMatrixRecord(TMTFile& F, TMtBlockReader& R, TFreqMatrices& M, TFreqValues& W2, TFreqValues& W1) {
  ClearRecordTag(F.RecordTags[0].data());
  R.ReadText(F.RecordTags[0].data(), RecordTagSize);
  R.ReadText(F.XprIdText.data(), 8);
  R.ReadText(F.XprDescText.data(), 16);
  F.ChannelCount = R.ReadSmallint();
  const int C = CheckedChannelCount(F.ChannelCount);
  for (int s = 1; s <= MaxChannel; ++s) R.ReadText(F.ChannelNames[s].data(), 4);
  for (int f = 1; f <= F.FreqCount; ++f) {
    TMatrix7& m = M[f];
    for (int row = 1; row <= 7; ++row)
      for (int col = 1; col <= C; ++col) m[row][col] = R.ReadDouble();
  }
  for (int f = 1; f <= F.FreqCount; ++f) W2[f] = R.ReadDouble();
  for (int f = 1; f <= F.FreqCount; ++f) W1[f] = R.ReadDouble();
}

// True when the part of a block at the end of a file of Size bytes (Blocks whole blocks) is the
// start of an edit pair that a save did not finish: a result or mask record, published or not,
// after a header and at least one more whole block. Any other cut file is no MT-file.
bool UnfinishedEditTail(TStream& Stream, int Blocks, int64_t Size) {
  if (Blocks < 2) return false;
  uint8_t head[13] = {};
  const int64_t n = std::min<int64_t>(Size - static_cast<int64_t>(Blocks) * MtBlockSize, 13);
  Stream.SetPosition(static_cast<int64_t>(Blocks) * MtBlockSize);
  Stream.ReadBuffer(head, n);
  if (head[0] != 0 && head[0] != MtTagText) return false;
  if (n < 13) return true;
  // Estimate records are titled "XPWR-S#..", the mask record of an edit "XPWR-EDIT:".
  return std::memcmp(head + 3, "PLOT", 4) == 0 || std::memcmp(head + 3, "XPWR-EDIT:", 10) == 0;
}

std::string TodayText() {
  static const char* const Months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return Format("%2.2d%s%2.2d", {tm.tm_year % 100, Months[tm.tm_mon], tm.tm_mday});
}

}  // namespace

std::string (*TMTFile::EditDateText)() = TodayText;

void TMTFile::TestFile() {
  RequireStream();
  MtLog("TestFile");
  OplogRecordCount = 0;
  FPairSaved = false;
  const int64_t size = Stream->Size();
  const int blocks = static_cast<int>(size / MtBlockSize);
  if (size <= 0 || (size % MtBlockSize != 0 && !UnfinishedEditTail(*Stream, blocks, size)))
    throw Exception("Illegal file length");
  if (size % MtBlockSize != 0)
    // The part of an edit that an interrupted save left at the end holds nothing whole.
    MtLog(Format("%s ends with %d bytes of an unfinished edit (a save was cut short): they are ignored",
                 {FileName, static_cast<int64_t>(size % MtBlockSize)}));
  // Blocks that hold nothing a reader takes: unfinished or torn edits and blocks of zeros. Those
  // at the end are where the next edit is appended.
  std::vector<bool> unused(static_cast<size_t>(blocks), false);
  int resultRecords = 0;
  for (int b = 0; b < blocks; ++b) {
    Stream->SetPosition(static_cast<int64_t>(b) * MtBlockSize);
    uint8_t head[20] = {};
    Stream->ReadBuffer(head, 20);
    if (b == 0 && std::memcmp(head + 3, "HEAD-INFO:", 10) != 0) throw Exception("Missing head-info");
    Stream->SetPosition(static_cast<int64_t>(b) * MtBlockSize);
    if (head[0] == 0 && b > 0) {
      unused[static_cast<size_t>(b)] = true;
      if (std::memcmp(head + 3, "PLOT", 4) == 0) {
        // A result record never published: the save of its pair did not finish.
        MtLog(Format("%s: the edit at block %d was not finished when its save stopped: it is ignored",
                     {FileName, b + 1}));
        if (b + 1 < blocks) unused[static_cast<size_t>(b) + 1] = true;
      }
      continue;
    }
    TRecordTag& tag = RecordTags[0];
    ClearRecordTag(tag.data());
    int n = -1;
    try {
      n = ReadTaggedItem(*Stream, tag.data(), RecordTagSize);
    } catch (const Exception&) {
      n = -1;
    }
    if (n == 0) {
      // A block whose first item is an empty text ends the scan. An edit appended at the end
      // of the file lies behind it and could never be found again: saving is refused.
      FReadOnly = true;
      MtLog(
          Format("The record scan of %s stops at block %d of %d (an empty title): the file is "
                 "opened read-only, edits cannot be saved into it",
                 {FileName, b + 1, blocks}));
      break;
    }
    if (n < 0) continue;
    if (TitleHas(tag, 6, "S#")) {
      ++XprRecordCount;
      XprBlocks[XprRecordCount] = b;
    } else if (TitleHas(tag, 1, "OPLG")) {
      ++OplogRecordCount;
      OplogBlocks[OplogRecordCount] = b;
    } else if (TitleHas(tag, 1, "PLOT")) {
      const TRecordTag title = tag;
      int copyOf = 0;
      if (!ResultPairWhole(b, blocks, copyOf)) {
        unused[static_cast<size_t>(b)] = true;
        if (b + 1 < blocks) unused[static_cast<size_t>(b) + 1] = true;
        continue;
      }
      // A whole copy beyond the end stands for the pair its save was replacing when it stopped:
      // that pair, old or rewritten, is left out.
      for (int k = 1; copyOf > 0 && k <= PlotRecordCount; ++k) {
        if (PlotBlocks[k] != copyOf + 1) continue;
        MtLog(Format("%s: the save of the edit at block %d stopped; its copy at block %d is used instead",
                     {FileName, copyOf + 1, b + 1}));
        if (EditBlocks[k] != 0) --EditRecordCount;
        for (int j = k; j < PlotRecordCount; ++j) {
          PlotBlocks[j] = PlotBlocks[j + 1];
          EditBlocks[j] = EditBlocks[j + 1];
          RecordTags[j] = RecordTags[j + 1];
        }
        --PlotRecordCount;
        --resultRecords;
        unused[static_cast<size_t>(copyOf)] = true;
        unused[static_cast<size_t>(copyOf) + 1] = true;
        break;
      }
      CurrentEditBlock = b + 1;
      ++resultRecords;
      if (PlotRecordCount == MaxResultRecords) {
        // More result records than the index holds: the oldest makes room for the newest.
        for (int k = 1; k < MaxResultRecords; ++k) {
          PlotBlocks[k] = PlotBlocks[k + 1];
          EditBlocks[k] = EditBlocks[k + 1];
          RecordTags[k] = RecordTags[k + 1];
        }
        --PlotRecordCount;
      }
      ++PlotRecordCount;
      PlotBlocks[PlotRecordCount] = b + 1;
      EditBlocks[PlotRecordCount] = 0;
      RecordTags[PlotRecordCount] = title;
      if (TitleHas(title, 6, "EDIT")) {
        ++EditRecordCount;
        EditBlocks[PlotRecordCount] = b + 1;
      }
    }
  }
  FResultRecordTotal = resultRecords;
  if (resultRecords > MaxResultRecords) {
    EditRecordCount = 0;
    for (int k = 1; k <= PlotRecordCount; ++k)
      if (EditBlocks[k] != 0) ++EditRecordCount;
    MtLog(Format("%s holds %d result records; the newest %d of them are used",
                 {FileName, resultRecords, MaxResultRecords}));
  }
  BlockCount = blocks;
  FAppendBlock = blocks;
  while (FAppendBlock > 1 && unused[static_cast<size_t>(FAppendBlock) - 1]) --FAppendBlock;
  std::string line = Format("Total recs=%d(HEAD-INFO:1, XPWR-S#01", {BlockCount});
  if (XprRecordCount > 1) line += Format("-#%2.2d", {XprRecordCount});
  line += Format(", OPLG-TIME:%d, Plots:%d, Edits:%d)", {OplogRecordCount, PlotRecordCount, EditRecordCount});
  MtLog(line);
}

bool TMTFile::ResultPairWhole(int B, int Blocks, int& CopyOf) {
  CopyOf = 0;
  if (B + 1 >= Blocks) {
    MtLog(
        Format("%s: the result record at block %d has no mask block after it (the file was cut inside its "
               "newest edit): it is ignored",
               {FileName, B + 1}));
    return false;
  }
  std::vector<uint8_t> pair(2 * static_cast<size_t>(MtBlockSize));
  Stream->SetPosition(static_cast<int64_t>(B) * MtBlockSize);
  Stream->ReadBuffer(pair.data(), static_cast<int64_t>(pair.size()));
  // The items of a result record, then the check when this system wrote it.
  TMtBlockReader r;
  r.Assign(pair.data(), MtBlockSize, B);
  std::string check;
  int items = 0;
  try {
    r.ReadString();
    for (int k = 0; k < FreqCount * (StoredParamCount + 1); ++k) r.ReadDouble();
    for (int s = 1; s <= MaxChannel; ++s) r.ReadSmallint();
    items = r.Position();
    if (pair[static_cast<size_t>(items)] != MtTagText) return true;
    check = r.ReadString();
  } catch (const Exception&) {
    return true;  // not a layout this check knows: read as it always was
  }
  if (check.compare(0, MtPairCheckKey.size(), MtPairCheckKey) != 0) return true;
  const std::string sum = MtPairCheckText(pair.data(), items, pair.data() + MtBlockSize);
  if (check == sum) return true;
  const std::string copy = sum + " COPY-OF=";
  if (check.compare(0, copy.size(), copy) == 0) {
    const int of = StrToIntDef(check.substr(copy.size()), 0);
    if (of >= 1 && of < B) CopyOf = of;
    return true;
  }
  MtLog(Format("%s: the edit at block %d does not match its check (its save was cut short): it is ignored",
               {FileName, B + 1}));
  return false;
}

void TMTFile::ReadHeader() {
  RequireStream();
  MtLog("ReadHeader:");
  TMtBlockReader r;
  r.Load(*Stream, 0);
  ClearRecordTag(RecordTags[0].data());
  r.ReadText(RecordTags[0].data(), RecordTagSize);
  r.ReadText(XprIdText.data(), 8);
  r.ReadText(XprDescText.data(), 16);
  r.ReadItem(HeaderValue.data(), 4);
  ChannelCount = r.ReadSmallint();
  for (int s = 1; s <= MaxChannel; ++s) r.ReadText(ChannelNames[s].data(), 4);
  for (int s = 1; s <= MaxChannel; ++s) ChannelOrder[s] = r.ReadSmallint();
  WeightingType = r.ReadSmallint();
  Cutoff = r.ReadDouble();
  CurrentReference = r.ReadSmallint();
  ReferenceType = CurrentReference;
  HeaderWord = r.ReadSmallint();
  ReferenceCount = (ReferenceType == frtRemoteE || ReferenceType == frtRemoteH) ? 3 : 2;
  BuildReferenceList();
  for (int i = 1; i <= InfoLineCount; ++i) r.ReadText(InfoLines[i].data(), InfoLineLength);
  for (int k = 0; k < 2 * FreqCount * 7 * 2; ++k) r.ReadDouble();
  ClearTapeLabel(Header);
  ParseInfoBlock(InfoLines, Header, RobustParams);
  Header.FullPath = UpperCase(FileName);
  Header.FileName = UpperCase(ExtractFileName(FileName));
}

void TMTFile::ReadPlotEditRecord() {
  if (CurrentEditBlock == 0) {
    // No result record: nothing to read; the results stay as they are.
    MtLog("PLOT-COMP Missing");
    return;
  }
  RequireStream();
  TMtBlockReader r;
  r.Load(*Stream, CurrentEditBlock - 1);
  ClearRecordTag(RecordTags[0].data());
  r.ReadText(RecordTags[0].data(), RecordTagSize);
  for (int f = 1; f <= FreqCount; ++f)
    for (int p = 1; p <= StoredParamCount; ++p) Plots[f][p] = r.ReadDouble();
  for (int f = 1; f <= FreqCount; ++f) Weight2[f][1] = r.ReadDouble();
  for (int s = 1; s <= MaxChannel; ++s) StoredChannelOrder[s] = r.ReadSmallint();
}

void TMTFile::ReadPlot() {
  ReadPlotEditRecord();
  for (int f = 1; f <= FreqCount; ++f) FreqRotationAngle[f] = Plots[f][pcZSTRIKEDeg];
}

void TMTFile::ReadXprRecord(int X) {
  RequireStream();
  TMtBlockReader r;
  r.Load(*Stream, XprBlocks[X]);
  ReadMatrixRecord(*this, r, RecordMatrixBuffer, RecordWeight2, RecordWeight1);
}

void TMTFile::WriteXprRecord(int X) {
  RequireStream();
  const int C = CheckedChannelCount(ChannelCount);
  TMtRecordWriter w;
  w.TextFixed(RecordTags[0].data(), RecordTagSize);
  w.TextFixed(XprIdText.data(), 8);
  w.TextFixed(XprDescText.data(), 16);
  w.Smallint(ChannelCount);
  for (int s = 1; s <= MaxChannel; ++s) w.TextFixed(ChannelNames[s].data(), 4);
  for (int f = 1; f <= FreqCount; ++f) {
    const TMatrix7& m = RecordMatrixBuffer[f];
    for (int row = 1; row <= 7; ++row)
      for (int col = 1; col <= C; ++col) w.Double(m[row][col]);
  }
  for (int f = 1; f <= FreqCount; ++f) w.Double(RecordWeight2[f]);
  for (int f = 1; f <= FreqCount; ++f) w.Double(RecordWeight1[f]);
  WriteBlocks(XprBlocks[X], w.Block());
}

void TMTFile::ReadEditRecord() {
  if (CurrentEditBlock == 0) return;
  RequireStream();
  TMtBlockReader r;
  r.Load(*Stream, CurrentEditBlock);
  ReadMatrixRecord(*this, r, StackedMatrix, WeightSum2, WeightSum1);
  for (int f = 1; f <= FreqCount; ++f)
    for (int x = 1; x <= StoredMaskCount; ++x) Mask[f][x] = r.ReadSmallint();
}

std::vector<uint8_t> TMTFile::BuildPlotEditRecord(const std::vector<uint8_t>& MaskBlock, int CopyOf) {
  TMtRecordWriter w;
  w.Text(MtEditTitle("PLOT-EDIT:", Header.Job.str(), Header.Point.SiteDesc.str(), WeightingType, Cutoff,
                     CurrentReference, RotationMode, RotationAngle));
  for (int f = 1; f <= FreqCount; ++f)
    for (int p = 1; p <= StoredParamCount; ++p) w.Double(Plots[f][p]);
  for (int f = 1; f <= FreqCount; ++f) w.Double(WeightSum2[f]);
  for (int s = 1; s <= MaxChannel; ++s) w.Smallint(ChannelOrder[s]);
  std::string check = MtPairCheckText(w.Data().data(), w.Size(), MaskBlock.data());
  if (CopyOf > 0) check += " COPY-OF=" + IntToStr(CopyOf);
  w.Text(check);
  return w.Block();
}

std::vector<uint8_t> TMTFile::BuildEditRecord() {
  const int C = CheckedChannelCount(ChannelCount);
  TMtRecordWriter w;
  std::string title = "XPWR-EDIT:";
  for (int s = 1; s <= MaxChannel; ++s) title += " " + std::string(ChannelNames[s].data(), 4);
  w.Text(title);
  w.Text(EditDateText());
  w.Text(" EDITTED XPOWER ");
  w.Smallint(ChannelCount);
  for (int s = 1; s <= MaxChannel; ++s) w.TextFixed(ChannelNames[s].data(), 4);
  for (int f = 1; f <= FreqCount; ++f) {
    const TMatrix7& m = StackedMatrix[f];
    for (int row = 1; row <= 7; ++row)
      for (int col = 1; col <= C; ++col) w.Double(m[row][col]);
  }
  for (int f = 1; f <= FreqCount; ++f) w.Double(WeightSum2[f]);
  for (int f = 1; f <= FreqCount; ++f) w.Double(WeightSum1[f]);
  for (int f = 1; f <= FreqCount; ++f)
    for (int x = 1; x <= StoredMaskCount; ++x) w.Smallint(Mask[f][x]);
  return w.Block();
}

void TMTFile::WriteBlocks(int Block, const std::vector<uint8_t>& Data) {
  // Only a file that opened completely is written to, and never at block 0 (the header).
  if (!FReadComplete) throw EWriteError("Cannot write into " + FileName + ": the file was not read completely");
  if (FReadOnly) throw EWriteError("Cannot write into " + FileName + ": the file is read-only");
  if (Block < 1) throw EWriteError(Format("Refused to write a record at block %d of %s", {Block, FileName}));
  Stream->SetPosition(static_cast<int64_t>(Block) * MtBlockSize);
  Stream->WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
}

void TMTFile::WritePlotEditRecord(int Block) {
  RequireStream();
  WriteBlocks(Block, BuildPlotEditRecord(BuildEditRecord()));
}

void TMTFile::WriteEditRecord(int Block) {
  RequireStream();
  WriteBlocks(Block, BuildEditRecord());
}

void TMTFile::SaveEdit(int Mode) {
  RequireStream();
  // Mode 0 replaces the pair of the result record in use (its result block and the mask block
  // after it); mode 1 appends after the blocks in use when the file was opened.
  const int w = (Mode == 0 && CurrentEditBlock > 0) ? CurrentEditBlock - 1 : FAppendBlock;
  if (!FReadComplete || BlockCount < 1 || w < 1)
    throw EWriteError("Cannot save an edit into " + FileName + ": the file was not read");
  // The reader indexes at most MaxResultRecords result records; a file is never given one more.
  if (w == FAppendBlock && !FPairSaved && FResultRecordTotal >= MaxResultRecords)
    throw EWriteError(
        Format("Cannot save the edit into %s: the file holds %d result records, and an MT-file holds at "
               "most %d. Save the site as a package to keep the edit.",
               {FileName, FResultRecordTotal, MaxResultRecords}));
  // Both records are built before anything is written, so a refusal leaves the file as it was.
  const std::vector<uint8_t> mask = BuildEditRecord();
  std::vector<uint8_t> data = BuildPlotEditRecord(mask);
  data.insert(data.end(), mask.begin(), mask.end());
  std::vector<uint8_t> copy = BuildPlotEditRecord(mask, w);
  copy.insert(copy.end(), mask.begin(), mask.end());
  try {
    WriteEditPair(w, std::move(data), std::move(copy));
  } catch (const Exception& e) {
    throw EWriteError("Cannot save the edit into " + FileName + ": " + e.Message());
  }
  EditWriteBlock = w;
  if (w == FAppendBlock) FPairSaved = true;
  WarnUnstoredMasks();
}

void TMTFile::WriteEditPair(int Block, std::vector<uint8_t> Pair, std::vector<uint8_t> Copy) {
  if (!FReadComplete) throw EWriteError("the file was not read completely");
  if (FReadOnly) throw EWriteError("the file is read-only");
  auto* file = dynamic_cast<TFileStream*>(Stream.get());
  if (!file) throw EWriteError("the file is not open");
  const int64_t oldSize = file->Size();
  const int64_t at = static_cast<int64_t>(Block) * MtBlockSize;
  const int64_t pairSize = 2 * static_cast<int64_t>(MtBlockSize);
  const uint8_t published = MtTagText, unpublished = 0;
  Pair[0] = unpublished;
  Copy[0] = unpublished;
  // A pair goes to Target unpublished and durable, then its first byte publishes it.
  auto put = [&](int64_t Target, const std::vector<uint8_t>& Data) {
    file->WriteAt(Target, Data.data(), pairSize);
    file->FlushToDisk();
    file->WriteAt(Target, &published, 1);
    file->FlushToDisk();
  };
  uint8_t first = 0;
  if (at + pairSize <= oldSize) {
    file->SetPosition(at);
    file->ReadBuffer(&first, 1);
  }
  if (first != published) {
    // Nothing published there: the pair is written in place. A failure cuts off what was added.
    try {
      file->SetSize(at + pairSize);
      put(at, Pair);
    } catch (const Exception& e) {
      std::string restored;
      try {
        file->SetSize(at);
        file->FlushToDisk();
      } catch (const Exception& cut) {
        restored = " It could not be cut back to its old length: " + cut.Message();
      }
      throw EWriteError(e.Message() + restored);
    }
    return;
  }
  // A published pair is replaced: the new pair is first published beyond the end, where it is
  // the newest edit; only then is the old one taken back, rewritten and published again, and
  // the copy cut off.
  const int64_t end = (oldSize + MtBlockSize - 1) / MtBlockSize * MtBlockSize;
  try {
    file->SetSize(end + pairSize);
    put(end, Copy);
  } catch (const Exception&) {
    try {
      file->SetSize(oldSize);
    } catch (const Exception&) {
      // The copy stays unpublished or whole beyond the end: the scan ignores or prefers it.
    }
    throw;
  }
  file->WriteAt(at, &unpublished, 1);
  file->FlushToDisk();
  put(at, Pair);
  file->SetSize(oldSize);
  file->FlushToDisk();
}

void TMTFile::WarnUnstoredMasks() {
  int kept = 0, removed = 0;
  for (int f = 1; f <= FreqCount && f <= MaxFreq; ++f)
    for (int x = StoredMaskCount + 1; x <= XprCount[f] && x <= MaxXpr; ++x) {
      if (Mask[f][x] == 1) ++kept;
      if (Mask[f][x] == 2) ++removed;
    }
  if (kept + removed == 0) return;
  MtLog(
      Format("Warning: the MT-file keeps the masks of XPRs 1..20 only; %d masks of XPRs above 20 "
             "(%d of them removed by editing) are not stored in %s. Save the site as a package "
             "to keep every mask.",
             {kept + removed, removed, ExtractFileName(FileName)}));
}
