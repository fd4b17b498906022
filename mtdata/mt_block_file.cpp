#include "mtdata/mt_block_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/exceptions.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

namespace {

int DataSizeOf(uint8_t Tag) {
  switch (Tag) {
    case MtTagSmallint:
      return 2;
    case MtTagDouble:
      return 8;
    default:
      return -1;
  }
}

}  // namespace

std::string IllegalDataMessage(uint8_t Tag, int64_t Offset) {
  return Format("Illegal data %2.2x at offset %8.8x", {static_cast<unsigned>(Tag), Offset});
}

uint32_t MtCrc32(const uint8_t* Data, std::size_t Size, uint32_t Crc) {
  static const auto Table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  Crc = ~Crc;
  for (std::size_t i = 0; i < Size; ++i) Crc = Table[(Crc ^ Data[i]) & 0xFF] ^ (Crc >> 8);
  return ~Crc;
}

std::string MtPairCheckText(const uint8_t* Result, int ItemsSize, const uint8_t* MaskBlock) {
  // The sum is taken as if the record were published: its first byte the text tag.
  const uint8_t tag = MtTagText;
  uint32_t crc = MtCrc32(&tag, 1);
  if (ItemsSize > 1) crc = MtCrc32(Result + 1, static_cast<std::size_t>(ItemsSize - 1), crc);
  crc = MtCrc32(MaskBlock, MtBlockSize, crc);
  return std::string(MtPairCheckKey) + Format("%8.8x", {static_cast<int64_t>(crc)});
}

std::string RecordTooLongMessage(int Size) {
  return Format("Record of %d bytes does not fit its block of %d bytes", {Size, MtBlockSize});
}

int ReadTaggedItem(TStream& Stream, void* Target, int TargetSize) {
  uint8_t tag = 0;
  Stream.ReadBuffer(&tag, 1);
  if (tag == MtTagText) {
    uint8_t len[2];
    Stream.ReadBuffer(len, 2);
    const int n = len[0] | (len[1] << 8);
    const int take = std::clamp(TargetSize, 0, n);
    if (take > 0) Stream.ReadBuffer(Target, take);
    if (n > take) {
      std::vector<uint8_t> skip(static_cast<size_t>(n - take));
      Stream.ReadBuffer(skip.data(), n - take);
    }
    return n;
  }
  const int n = DataSizeOf(tag);
  if (n < 0) throw Exception(IllegalDataMessage(tag, Stream.Position()));
  uint8_t data[8] = {};
  Stream.ReadBuffer(data, n);
  std::memcpy(Target, data, static_cast<size_t>(std::clamp(TargetSize, 0, n)));
  return n;
}

void WriteTaggedItem(TStream& Stream, uint8_t Tag, const void* Source, int Size) {
  Stream.WriteBuffer(&Tag, 1);
  if (Tag == MtTagText) {
    const uint8_t len[2] = {static_cast<uint8_t>(Size & 0xFF), static_cast<uint8_t>((Size >> 8) & 0xFF)};
    Stream.WriteBuffer(len, 2);
  }
  if (Size > 0) Stream.WriteBuffer(Source, Size);
}

void ClearRecordTag(char* Tag) { std::memset(Tag, 0, RecordTagSize); }

const char* EditWeightingWord(int WeightingType) {
  if (WeightingType < 1 || WeightingType > 3) throw ERangeError("Range check error");
  return EditWeightingWords[WeightingType - 1];
}

const char* EditReferenceWord(int Reference) {
  if (Reference < 1 || Reference > 5) throw ERangeError("Range check error");
  return EditReferenceWords[Reference - 1];
}

std::string MtEditTitle(std::string_view Head, std::string_view Job, std::string_view SiteDesc, int WeightingType,
                        double Cutoff, int Reference, int RotationMode, double RotationAngle) {
  std::string t(Head);
  t += Job.substr(0, 3);
  t += "-00-";
  t += SiteDesc.substr(0, 4);
  t += ",WGT=";
  t += EditWeightingWord(WeightingType);
  t += ",CUT=" + Format("%4.2f", {Cutoff});
  t += ",REF=";
  t += EditReferenceWord(Reference);
  t += ",";
  if (RotationMode != 0)
    t += "ROT=P.AXES.";
  else
    t += "ROT=" + Format("%2.0f", {RotationAngle}) + " DEG.";
  return t;
}

// ---------------------------------------------------------------------------------------------

void TMtBlockReader::Load(TStream& Stream, int Block) {
  FData.resize(MtBlockSize);
  Stream.SetPosition(static_cast<int64_t>(Block) * MtBlockSize);
  Stream.ReadBuffer(FData.data(), MtBlockSize);
  FSize = MtBlockSize;
  FPos = 0;
  FBlock = Block;
}

void TMtBlockReader::Assign(const void* Data, int Size, int Block) {
  FSize = std::clamp(Size, 0, MtBlockSize);
  FData.assign(static_cast<const uint8_t*>(Data), static_cast<const uint8_t*>(Data) + FSize);
  FPos = 0;
  FBlock = Block;
}

void TMtBlockReader::Need(int Count) {
  if (Count > FSize - FPos)
    throw EReadError(Format("Record of block %d runs past its block at offset %8.8x", {FBlock, FileOffset()}));
}

uint8_t TMtBlockReader::ReadTag() {
  Need(1);
  return FData[static_cast<size_t>(FPos++)];
}

int TMtBlockReader::TakeData(uint8_t Tag, void* Target, int TargetSize) {
  if (Tag == MtTagText) {
    Need(2);
    const int n = FData[static_cast<size_t>(FPos)] | (FData[static_cast<size_t>(FPos) + 1] << 8);
    FPos += 2;
    Need(n);
    const int take = std::clamp(TargetSize, 0, n);
    if (take > 0) std::memcpy(Target, FData.data() + FPos, static_cast<size_t>(take));
    FPos += n;
    return n;
  }
  const int n = DataSizeOf(Tag);
  if (n < 0) throw Exception(IllegalDataMessage(Tag, FileOffset()));
  Need(n);
  std::memcpy(Target, FData.data() + FPos, static_cast<size_t>(std::clamp(TargetSize, 0, n)));
  FPos += n;
  return n;
}

int TMtBlockReader::ReadItem(void* Target, int TargetSize) {
  const uint8_t tag = ReadTag();
  return TakeData(tag, Target, TargetSize);
}

int TMtBlockReader::ReadText(char* Field, int Width) { return ReadItem(Field, Width); }

std::string TMtBlockReader::ReadString() {
  const uint8_t tag = ReadTag();
  if (tag != MtTagText) {
    char scratch[8];
    TakeData(tag, scratch, sizeof scratch);
    return {};
  }
  Need(2);
  const int n = FData[static_cast<size_t>(FPos)] | (FData[static_cast<size_t>(FPos) + 1] << 8);
  std::string s(static_cast<size_t>(n), '\0');
  TakeData(tag, s.data(), n);
  return s;
}

int16_t TMtBlockReader::ReadSmallintItem() {
  // A field of two bytes: whatever the item, only its first two bytes land in it.
  uint8_t b[2] = {0, 0};
  ReadItem(b, 2);
  return static_cast<int16_t>(b[0] | (b[1] << 8));
}

double TMtBlockReader::ReadDoubleItem() {
  double v = 0;
  ReadItem(&v, sizeof v);
  return v;
}

// ---------------------------------------------------------------------------------------------

TMtRecordWriter::TMtRecordWriter() { FData.reserve(MtBlockSize); }

void TMtRecordWriter::Put(const void* P, int N) {
  if (Size() + N > MtBlockSize) throw Exception(RecordTooLongMessage(Size() + N));
  const auto* b = static_cast<const uint8_t*>(P);
  FData.insert(FData.end(), b, b + N);
}

void TMtRecordWriter::TextFixed(const char* Field, int Width) {
  const uint8_t head[3] = {MtTagText, static_cast<uint8_t>(Width & 0xFF), static_cast<uint8_t>((Width >> 8) & 0xFF)};
  Put(head, 3);
  Put(Field, Width);
}

void TMtRecordWriter::Text(std::string_view S) {
  const int n = static_cast<int>(std::min<size_t>(S.size(), 0xFFFF));
  const uint8_t head[3] = {MtTagText, static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>((n >> 8) & 0xFF)};
  Put(head, 3);
  Put(S.data(), n);
}

void TMtRecordWriter::Smallint(int16_t V) {
  const uint8_t b[3] = {MtTagSmallint, static_cast<uint8_t>(V & 0xFF), static_cast<uint8_t>((V >> 8) & 0xFF)};
  Put(b, 3);
}

void TMtRecordWriter::Double(double V) {
  uint8_t b[9];
  b[0] = MtTagDouble;
  std::memcpy(b + 1, &V, 8);
  Put(b, 9);
}

std::vector<uint8_t> TMtRecordWriter::Block() const {
  std::vector<uint8_t> out(FData);
  out.resize(MtBlockSize, 0);
  return out;
}
