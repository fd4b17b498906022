// The MT block file: fixed 23,040-byte blocks, one record per block, each record a sequence of
// tagged items (text, Smallint, Double), all little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class TStream;

constexpr int MtBlockSize = 23040;

// Tag bytes of the three item kinds.
constexpr uint8_t MtTagText = 0x92;
constexpr uint8_t MtTagSmallint = 0xA2;
constexpr uint8_t MtTagDouble = 0xA8;

// Width of the record-title buffer.
constexpr int RecordTagSize = 80;

// The mask record of an edit keeps the mask words of XPRs 1..StoredMaskCount of every frequency.
constexpr int StoredMaskCount = 20;

// Reads one tagged item from the stream's position into Target (TargetSize bytes). Texts longer
// than the target keep their first TargetSize characters; the rest of the item is skipped.
// Returns the item's data size (the text length, 2 or 8). An unknown tag raises
// "Illegal data %2.2x at offset %8.8x" (the offset just after the tag byte).
int ReadTaggedItem(TStream& Stream, void* Target, int TargetSize);

// Writes the tag byte, for a text its 16-bit length, then Size data bytes.
void WriteTaggedItem(TStream& Stream, uint8_t Tag, const void* Source, int Size);

// Zero-fills a record-title buffer.
void ClearRecordTag(char* Tag);

// The message of an unknown tag byte.
std::string IllegalDataMessage(uint8_t Tag, int64_t Offset);

// One block held in memory, read item by item. Items that would run past the end of the block
// raise an error instead of reading on into the next record.
class TMtBlockReader {
public:
  // Reads block Block of the stream (the whole block; a short read raises EReadError).
  void Load(TStream& Stream, int Block);
  // Uses bytes already in memory as the block (at most MtBlockSize); Block only names offsets.
  void Assign(const void* Data, int Size, int Block);

  // Generic item into a target field, as ReadTaggedItem. Returns the data size.
  int ReadItem(void* Target, int TargetSize);
  // A text item into a fixed field of Width characters: the first Width characters are copied,
  // the rest of the field is left as it was. Returns the text's length.
  int ReadText(char* Field, int Width);
  // A text item as a string (all its characters).
  std::string ReadString();
  int16_t ReadSmallint() {
    // The common case, a two-byte item wholly inside the block, without a call.
    if (FSize - FPos >= 3 && FData[static_cast<size_t>(FPos)] == MtTagSmallint) {
      const uint8_t* b = FData.data() + FPos + 1;
      FPos += 3;
      return static_cast<int16_t>(b[0] | (b[1] << 8));
    }
    return ReadSmallintItem();
  }
  double ReadDouble() {
    if (FSize - FPos >= 9 && FData[static_cast<size_t>(FPos)] == MtTagDouble) {
      double v;
      std::memcpy(&v, FData.data() + FPos + 1, sizeof v);
      FPos += 9;
      return v;
    }
    return ReadDoubleItem();
  }

  int Position() const { return FPos; }
  int64_t FileOffset() const { return static_cast<int64_t>(FBlock) * MtBlockSize + FPos; }

private:
  int16_t ReadSmallintItem();
  double ReadDoubleItem();
  uint8_t ReadTag();
  void Need(int Count);
  // Copies an item's data into Target; returns the data size.
  int TakeData(uint8_t Tag, void* Target, int TargetSize);

  std::vector<uint8_t> FData;
  int FSize = 0;
  int FPos = 0;
  int FBlock = 0;
};

// Builds one record in memory; it refuses to grow past one block.
class TMtRecordWriter {
public:
  TMtRecordWriter();

  // A text of exactly Width characters taken from a fixed field (the writer of XPR records).
  void TextFixed(const char* Field, int Width);
  // A text written with as many characters as it has.
  void Text(std::string_view S);
  void Smallint(int16_t V);
  void Double(double V);

  int Size() const { return static_cast<int>(FData.size()); }
  const std::vector<uint8_t>& Data() const { return FData; }

  // The record padded with zeros to a whole block.
  std::vector<uint8_t> Block() const;

private:
  void Put(const void* P, int N);
  std::vector<uint8_t> FData;
};

// The check of an edit pair written by this system: a text item after the items of its result
// record, MtPairCheckKey and eight hex digits of the CRC-32 of those items (its first byte
// being the text tag) and of the whole mask block after it. A reader that finds the check and
// a different sum has a pair that a save did not finish.
inline constexpr std::string_view MtPairCheckKey = "VAROMARK-CRC32:";
uint32_t MtCrc32(const uint8_t* Data, std::size_t Size, uint32_t Crc = 0);
std::string MtPairCheckText(const uint8_t* Result, int ItemsSize, const uint8_t* MaskBlock);

// The message of a record that would not fit its block.
std::string RecordTooLongMessage(int Size);

// Words of the result-record title of an edit: the weighting type 1..3 and the file
// reference type 1..5 (5 not standard).
inline constexpr const char* EditWeightingWords[3] = {" NO WT", "RHOVAR", "ORDCOH"};
inline constexpr const char* EditReferenceWords[5] = {"LOC E ", "REM E ", "LOC H ", "REM H ", "NOTSTD"};
// The word of a weighting type 1..3 and of a reference 1..5 (ERangeError outside).
const char* EditWeightingWord(int WeightingType);
const char* EditReferenceWord(int Reference);

// The title of a result record: Head ("PLOT-EDIT:" for the records this system writes), the
// first three characters of the job, "-00-", the first four of the site description, then
// ",WGT=", ",CUT=" (%4.2f), ",REF=" and ",ROT=" with "P.AXES." or the angle as "%2.0f DEG.".
std::string MtEditTitle(std::string_view Head, std::string_view Job, std::string_view SiteDesc, int WeightingType,
                        double Cutoff, int Reference, int RotationMode, double RotationAngle);
