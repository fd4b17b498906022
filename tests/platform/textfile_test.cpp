#include "platform/textfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/exceptions.h"

namespace {

namespace fs = std::filesystem;

TEST(TextFile, WritesAppendsAndReadsLines) {
  fs::path Dir = fs::temp_directory_path() / ("vm_textfile_" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  std::string Name = (Dir / "report.aaa").string();
  {
    TTextFile F(Name);
    F.Rewrite();
    F.Write("МТЗ=");
    F.WriteLn("   12");
    F.WriteLn();
    F.CloseFile();
    F.Append();
    F.Write("tail");
  }  // the destructor closes and flushes
  std::ifstream In(Name, std::ios::binary);
  std::string Raw((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  EXPECT_EQ(Raw, "МТЗ=   12\r\n\r\ntail");

  std::ofstream(Name, std::ios::binary) << "a\rb\nc\r\n";
  TTextFile F(Name);
  F.Reset();
  std::vector<std::string> Lines;
  while (!F.Eof()) Lines.push_back(F.ReadLn());
  EXPECT_EQ(Lines, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(F.ReadLn(), "") << "reading at the end gives an empty line";
  F.CloseFile();
  fs::remove_all(Dir);
}

TEST(TextFile, FailuresRaiseInOutErrorNamingTheFile) {
  fs::path Dir = fs::temp_directory_path() / ("vm_textfile_err_" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  std::string Missing = (Dir / "missing.txt").string();
  std::string Existing = (Dir / "there.txt").string();
  std::ofstream(Existing) << "x\n";
  struct Case {
    std::function<void()> Op;
    std::string Message;
  };
  TTextFile Closed(Existing);
  TTextFile Reading(Existing);
  Reading.Reset();
  const std::vector<Case> Cases = {
      {[&] {
         TTextFile F(Missing);
         F.Reset();
       },
       "Cannot open file \"" + Missing + "\". No such file or directory"},
      {[&] {
         TTextFile F(Missing);
         F.Append();
       },
       "Cannot open file \"" + Missing + "\". No such file or directory"},
      {[&] {
         TTextFile F(Dir.string());
         F.Rewrite();
       },
       "Cannot create file \"" + Dir.string() + "\". Is a directory"},
      {[&] {
         TTextFile F((Dir / "no" / "x").string());
         F.Rewrite();
       },
       "Cannot create file \"" + (Dir / "no" / "x").string() + "\". No such file or directory"},
      {[&] { Closed.ReadLn(); }, "File not open: \"" + Existing + "\""},
      {[&] { Closed.CloseFile(); }, "File not open: \"" + Existing + "\""},
      {[&] { Reading.WriteLn("x"); }, "File not open for output: \"" + Existing + "\""},
  };
  for (const auto& C : Cases) {
    try {
      C.Op();
      ADD_FAILURE() << C.Message;
    } catch (const EInOutError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
  if (::geteuid() != 0) {
    // Write protection is not enforced for root.
    fs::permissions(Existing, fs::perms::owner_read);
    TTextFile F(Existing);
    EXPECT_THROW(F.Rewrite(), EInOutError);
  }
  if (fs::exists("/dev/full")) {
    TTextFile Full("/dev/full");
    Full.Rewrite();
    EXPECT_THROW(
        {
          Full.WriteLn(std::string(10000, 'x'));
          Full.Flush();
        },
        EInOutError);
  }
  fs::remove_all(Dir);
}

}  // namespace
