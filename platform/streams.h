// Streams: TStream, TFileStream, TMemoryStream, TStringStream.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr TSeekOrigin soFromBeginning = soBeginning;
constexpr TSeekOrigin soFromCurrent = soCurrent;
constexpr TSeekOrigin soFromEnd = soEnd;

// File open modes: one access mode or'ed with one share mode, or fmCreate.
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TStream {
public:
  virtual ~TStream();

  // Return the number of bytes actually moved.
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  // Raise EReadError "Stream read error" / EWriteError "Stream write error" when short.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source (all of it from its start when Count is 0).
  int64_t CopyFrom(TStream& Source, int64_t Count);

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  // Convenience: raw bytes of a string; the rest of the stream as a string.
  void WriteString(std::string_view S) { WriteBuffer(S.data(), static_cast<int64_t>(S.size())); }
  std::string ReadString(int64_t Count);
  std::string ReadAll();
};

// A file on disk. Failures raise EFCreateError "Cannot create file \"%s\". %s" or
// EFOpenError "Cannot open file \"%s\". %s" (the second %s being the system's reason).
// Share modes are honoured between the streams of this process.
class TFileStream : public TStream {
public:
  TFileStream(const std::string& FileName, uint16_t Mode);
  ~TFileStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  const std::string& FileName() const { return FFileName; }
  int Handle() const { return FHandle; }

  // Writes Count bytes at Offset, leaving the position as it was. A short write raises
  // EWriteError "Stream write error: " followed by the system's reason (a full disk, a file
  // too large).
  void WriteAt(int64_t Offset, const void* Buffer, int64_t Count);
  // Makes the data written so far durable on the disk; a failure raises EWriteError with the
  // system's reason.
  void FlushToDisk();

private:
  std::string FFileName;
  int FHandle = -1;
  int FShareSlot = -1;
};

// A growable block of memory.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t NewSize) override;

  void Clear();
  // Room reserved for writing without growing; never below the size.
  int64_t Capacity() const { return static_cast<int64_t>(FData.capacity()); }
  void SetCapacity(int64_t Value) {
    if (Value > Capacity()) FData.reserve(static_cast<size_t>(Value));
  }
  void* Memory() { return FData.data(); }
  const void* Memory() const { return FData.data(); }
  void LoadFromStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToStream(TStream& Stream);
  void SaveToFile(const std::string& FileName);

private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// A stream over a string held in memory.
class TStringStream : public TMemoryStream {
public:
  explicit TStringStream(std::string_view AString = {});
  std::string DataString() const;
};
