#include "platform/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/exceptions.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// TStream

TStream::~TStream() = default;

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  int64_t Result = Count;
  constexpr int64_t MaxBufSize = 0xF000;
  std::vector<char> Buf(static_cast<size_t>(std::min(Count, MaxBufSize)) + 1);
  while (Count > 0) {
    int64_t N = std::min(Count, MaxBufSize);
    Source.ReadBuffer(Buf.data(), N);
    WriteBuffer(Buf.data(), N);
    Count -= N;
  }
  return Result;
}

int64_t TStream::Size() {
  int64_t Pos = Seek(0, soCurrent);
  int64_t Result = Seek(0, soEnd);
  Seek(Pos, soBeginning);
  return Result;
}

void TStream::SetSize(int64_t /*NewSize*/) {}

std::string TStream::ReadString(int64_t Count) {
  std::string S(static_cast<size_t>(std::max<int64_t>(Count, 0)), '\0');
  int64_t N = Count > 0 ? Read(S.data(), Count) : 0;
  S.resize(static_cast<size_t>(std::max<int64_t>(N, 0)));
  return S;
}

std::string TStream::ReadAll() {
  std::string R;
  char Buf[65536];
  while (true) {
    int64_t N = Read(Buf, sizeof Buf);
    if (N <= 0) break;
    R.append(Buf, static_cast<size_t>(N));
  }
  return R;
}

// ---------------------------------------------------------------------------------------------
// Share modes between the file streams of this process.

namespace {

struct TShareEntry {
  dev_t Dev = 0;
  ino_t Ino = 0;
  bool Read = false, Write = false;  // access the stream has
  bool DenyRead = false, DenyWrite = false;
  bool Used = false;
};

// Streams may be closed by objects destroyed at the program's end (an open site held by a
// global), after function-local statics are gone: the table and its lock are never destroyed.
std::mutex& ShareLock() {
  static std::mutex* Lock = new std::mutex;
  return *Lock;
}
std::vector<TShareEntry>& ShareTable() {
  static std::vector<TShareEntry>* Table = new std::vector<TShareEntry>;
  return *Table;
}

// Registers the open; -1 when an open stream's share mode forbids it (or this one's forbids it).
int AcquireShare(const struct stat& St, uint16_t Access, uint16_t Share) {
  TShareEntry E;
  E.Dev = St.st_dev;
  E.Ino = St.st_ino;
  E.Read = Access == fmOpenRead || Access == fmOpenReadWrite;
  E.Write = Access == fmOpenWrite || Access == fmOpenReadWrite;
  E.DenyRead = Share == fmShareExclusive || Share == fmShareDenyRead;
  E.DenyWrite = Share == fmShareExclusive || Share == fmShareDenyWrite;
  E.Used = true;
  std::lock_guard<std::mutex> Lock(ShareLock());
  auto& Table = ShareTable();
  for (const TShareEntry& O : Table) {
    if (!O.Used || O.Dev != E.Dev || O.Ino != E.Ino) continue;
    if ((E.Read && O.DenyRead) || (E.Write && O.DenyWrite) || (O.Read && E.DenyRead) || (O.Write && E.DenyWrite))
      return -1;
  }
  for (size_t I = 0; I < Table.size(); ++I)
    if (!Table[I].Used) {
      Table[I] = E;
      return static_cast<int>(I);
    }
  Table.push_back(E);
  return static_cast<int>(Table.size() - 1);
}

void ReleaseShare(int Slot) {
  if (Slot < 0) return;
  std::lock_guard<std::mutex> Lock(ShareLock());
  ShareTable()[Slot].Used = false;
}

constexpr const char* SSharingViolation =
    "The process cannot access the file because it is being used by another process";

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFileStream

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName) {
  bool Create = (Mode & 0xFF00) == fmCreate;
  uint16_t Access = Create ? fmOpenReadWrite : static_cast<uint16_t>(Mode & 0x0003);
  uint16_t Share = static_cast<uint16_t>(Mode & 0x00F0);
  auto Fail = [&](int Err) {
    std::string Reason = Err == 0 ? SSharingViolation : SysErrorMessage(Err);
    if (Create) throw EFCreateError(Format("Cannot create file \"%s\". %s", {FileName, Reason}));
    throw EFOpenError(Format("Cannot open file \"%s\". %s", {FileName, Reason}));
  };
  if (FileName.empty()) Fail(ENOENT);
  int Flags = O_CLOEXEC;
  if (Create)
    Flags |= O_RDWR | O_CREAT;
  else if (Access == fmOpenWrite)
    Flags |= O_WRONLY;
  else if (Access == fmOpenReadWrite)
    Flags |= O_RDWR;
  else
    Flags |= O_RDONLY;
  int Fd = ::open(FileName.c_str(), Flags, 0666);
  if (Fd < 0) Fail(errno);
  struct stat St;
  if (::fstat(Fd, &St) != 0) {
    int Err = errno;
    ::close(Fd);
    Fail(Err);
  }
  if (S_ISDIR(St.st_mode)) {
    ::close(Fd);
    Fail(EISDIR);
  }
  int Slot = AcquireShare(St, Access, Share);
  if (Slot < 0) {
    ::close(Fd);
    Fail(0);
  }
  // Only now, with the share granted, is an existing file emptied.
  if (Create && ::ftruncate(Fd, 0) != 0) {
    int Err = errno;
    ReleaseShare(Slot);
    ::close(Fd);
    Fail(Err);
  }
  FHandle = Fd;
  FShareSlot = Slot;
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
  ReleaseShare(FShareSlot);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  int64_t Done = 0;
  char* P = static_cast<char*>(Buffer);
  while (Done < Count) {
    ssize_t N = ::read(FHandle, P + Done, static_cast<size_t>(Count - Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  int64_t Done = 0;
  const char* P = static_cast<const char*>(Buffer);
  while (Done < Count) {
    ssize_t N = ::write(FHandle, P + Done, static_cast<size_t>(Count - Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int Whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t R = ::lseek(FHandle, static_cast<off_t>(Offset), Whence);
  return static_cast<int64_t>(R);
}

void TFileStream::SetSize(int64_t NewSize) {
  int64_t Pos = Position();
  if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EWriteError("Stream write error: " + SysErrorMessage(errno));
  if (Pos > NewSize) SetPosition(NewSize);
}

void TFileStream::WriteAt(int64_t Offset, const void* Buffer, int64_t Count) {
  int64_t Done = 0;
  const char* P = static_cast<const char*>(Buffer);
  while (Done < Count) {
    ssize_t N = ::pwrite(FHandle, P + Done, static_cast<size_t>(Count - Done), static_cast<off_t>(Offset + Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) {
      // A write that stops without an error leaves no reason: the disk took no more.
      const int Err = N < 0 ? errno : ENOSPC;
      throw EWriteError("Stream write error: " + SysErrorMessage(Err));
    }
    Done += N;
  }
}

void TFileStream::FlushToDisk() {
  int R;
  do {
    R = ::fdatasync(FHandle);
  } while (R != 0 && errno == EINTR);
  // A file system that keeps no data of its own (a pipe, some devices) has nothing to flush.
  if (R != 0 && errno != EINVAL && errno != EROFS) throw EWriteError("Stream write error: " + SysErrorMessage(errno));
}

// ---------------------------------------------------------------------------------------------
// TMemoryStream

TMemoryStream::~TMemoryStream() = default;

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  int64_t Size = static_cast<int64_t>(FData.size());
  if (Count <= 0 || FPosition >= Size) return 0;
  int64_t N = std::min(Count, Size - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(N));
  FPosition += N;
  return N;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  int64_t End = FPosition + Count;
  const auto* Bytes = static_cast<const uint8_t*>(Buffer);
  if (End > static_cast<int64_t>(FData.size())) {
    // Writing at the end appends without filling the new room with zeros first; many small
    // writes (a stream built value by value) grow the storage geometrically.
    if (static_cast<size_t>(End) > FData.capacity())
      FData.reserve(std::max(static_cast<size_t>(End), FData.capacity() * 2));
    if (FPosition > static_cast<int64_t>(FData.size())) FData.resize(static_cast<size_t>(FPosition), 0);
    const size_t Inside = FData.size() - static_cast<size_t>(FPosition);
    if (Inside > 0) std::memcpy(FData.data() + FPosition, Bytes, Inside);
    FData.insert(FData.end(), Bytes + Inside, Bytes + Count);
    FPosition = End;
    return Count;
  }
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = End;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t Base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
  FPosition = std::max<int64_t>(Base + Offset, 0);
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  FData.resize(static_cast<size_t>(std::max<int64_t>(NewSize, 0)), 0);
  if (FPosition > NewSize) FPosition = std::max<int64_t>(NewSize, 0);
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  int64_t Count = Stream.Size();
  SetSize(Count);
  if (Count != 0) Stream.ReadBuffer(FData.data(), Count);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream);
}

void TMemoryStream::SaveToStream(TStream& Stream) {
  if (!FData.empty()) Stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream);
}

// ---------------------------------------------------------------------------------------------
// TStringStream

TStringStream::TStringStream(std::string_view AString) {
  if (!AString.empty()) WriteString(AString);
  SetPosition(0);
}

std::string TStringStream::DataString() const {
  const char* P = static_cast<const char*>(Memory());
  return std::string(P, P + const_cast<TStringStream*>(this)->Size());
}
