#include "platform/streams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "platform/exceptions.h"

namespace {

namespace fs = std::filesystem;

class StreamsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("vm_streams_" + std::to_string(::getpid()));
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string Path(const char* Name) const { return (Dir / Name).string(); }
  fs::path Dir;
};

TEST_F(StreamsTest, FileStreamReadsWritesSeeksAndTruncatesOnCreate) {
  std::string F = Path("data.bin");
  {
    TFileStream S(F, fmCreate);
    S.WriteString("hello world");
    EXPECT_EQ(S.Size(), 11);
    S.SetPosition(6);
    S.WriteString("W");
    S.SetSize(8);
    EXPECT_EQ(S.Position(), 7);
  }
  {
    TFileStream S(F, fmOpenRead);
    EXPECT_EQ(S.ReadAll(), "hello Wo");
    char Buf[4];
    S.SetPosition(6);
    EXPECT_EQ(S.Read(Buf, 4), 2);
    S.SetPosition(6);
    EXPECT_THROW(S.ReadBuffer(Buf, 4), EReadError);
    EXPECT_EQ(S.Write("x", 1), 0) << "a read-only stream writes nothing";
    EXPECT_THROW(S.WriteBuffer("x", 1), EWriteError);
  }
  {
    TFileStream S(F, fmCreate);  // replaces the old contents
    EXPECT_EQ(S.Size(), 0);
  }
}

TEST_F(StreamsTest, OpenFailuresNameTheFileAndTheReason) {
  struct Case {
    std::string Name;
    uint16_t Mode;
    std::string Message;
    bool Create;
  };
  const std::vector<Case> Cases = {
      {Path("missing.bin"), fmOpenRead, "Cannot open file \"" + Path("missing.bin") + "\". No such file or directory",
       false},
      {Dir.string(), fmOpenRead, "Cannot open file \"" + Dir.string() + "\". Is a directory", false},
      {Path("no/such/dir.bin"), fmCreate,
       "Cannot create file \"" + Path("no/such/dir.bin") + "\". No such file or directory", true},
  };
  for (const auto& C : Cases) {
    try {
      TFileStream S(C.Name, C.Mode);
      ADD_FAILURE() << C.Name;
    } catch (const EFCreateError& E) {
      EXPECT_TRUE(C.Create);
      EXPECT_EQ(E.Message(), C.Message);
    } catch (const EFOpenError& E) {
      EXPECT_FALSE(C.Create);
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
}

TEST_F(StreamsTest, ShareModesBetweenStreams) {
  std::string F = Path("shared.bin");
  {
    TFileStream S(F, fmCreate);
    S.WriteString("keep");
  }
  const std::string Busy = "The process cannot access the file because it is being used by another process";
  struct Case {
    uint16_t First, Second;
    bool Allowed;
  };
  const std::vector<Case> Cases = {
      {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, true},
      {fmOpenRead | fmShareDenyWrite, fmOpenReadWrite | fmShareDenyNone, false},
      {fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
      {fmOpenReadWrite | fmShareDenyNone, fmOpenRead | fmShareDenyWrite, false},
      {fmOpenWrite | fmShareDenyRead, fmOpenWrite | fmShareDenyNone, true},
      {fmOpenWrite | fmShareDenyRead, fmOpenRead | fmShareDenyNone, false},
      {fmOpenRead, fmOpenReadWrite, true},
  };
  for (const auto& C : Cases) {
    TFileStream A(F, C.First);
    if (C.Allowed) {
      EXPECT_NO_THROW(TFileStream(F, C.Second)) << C.First << " then " << C.Second;
    } else {
      try {
        TFileStream B(F, C.Second);
        ADD_FAILURE() << C.First << " then " << C.Second;
      } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message(), "Cannot open file \"" + F + "\". " + Busy);
      }
    }
  }
  {
    // A refused create leaves the file as it was.
    TFileStream A(F, fmOpenRead | fmShareExclusive);
    EXPECT_THROW(TFileStream(F, fmCreate), EFCreateError);
  }
  TFileStream After(F, fmOpenRead | fmShareExclusive);  // every earlier stream released its share
  EXPECT_EQ(After.ReadAll(), "keep");
}

TEST_F(StreamsTest, MemoryAndStringStreams) {
  TMemoryStream M;
  M.SetPosition(4);
  M.WriteString("ab");  // writing past the end fills the gap with zeros
  EXPECT_EQ(M.Size(), 6);
  M.SetPosition(0);
  EXPECT_EQ(M.ReadAll(), std::string("\0\0\0\0ab", 6));
  M.SetPosition(5);
  M.WriteString("XY");  // over the last byte and beyond it
  M.SetPosition(0);
  EXPECT_EQ(M.ReadAll(), std::string("\0\0\0\0aXY", 7));
  M.SetCapacity(1000);
  EXPECT_GE(M.Capacity(), 1000);
  EXPECT_EQ(M.Size(), 7);
  M.SetSize(2);
  EXPECT_EQ(M.Position(), 2);
  EXPECT_EQ(M.Seek(-10, soCurrent), 0);

  TStringStream Src("0123456789");
  TMemoryStream Dst;
  EXPECT_EQ(Dst.CopyFrom(Src, 0), 10);  // 0 copies the whole source from its start
  Src.SetPosition(2);
  Dst.CopyFrom(Src, 3);
  std::string F = Path("mem.bin");
  Dst.SaveToFile(F);
  TMemoryStream Back;
  Back.LoadFromFile(F);
  EXPECT_EQ(std::string(static_cast<const char*>(Back.Memory()), Back.Size()), "0123456789234");
  Src.SetPosition(8);
  EXPECT_THROW(Dst.CopyFrom(Src, 5), EReadError);
  EXPECT_EQ(TStringStream("xyz").DataString(), "xyz");
}

}  // namespace
