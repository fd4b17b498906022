#include "platform/inifiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/strings.h"

namespace {

namespace fs = std::filesystem;

class IniFilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("vm_profile_" + std::to_string(::getpid()));
    fs::remove_all(Dir);
    SetProfileFolder(Dir.string());
  }
  void TearDown() override {
    SetProfileFolder("");
    fs::remove_all(Dir);
  }
  static std::string Raw(const fs::path& P) {
    std::ifstream In(P, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  }
  static std::vector<std::string> Lines(const TStrings& S) { return S.ToVector(); }
  fs::path Dir;
};

// What the settings routines do before writing to an INI file.
std::string WrapQuoted(const std::string& V) {
  bool Quoted = V.size() >= 2 && ((V.front() == '"' && V.back() == '"') || (V.front() == '\'' && V.back() == '\''));
  return Quoted ? "\"" + V + "\"" : V;
}

TEST_F(IniFilesTest, QuoteRuleRoundTrips) {
  TIniFile Ini("varomark.INI");
  const std::vector<std::string> Values = {"\"abc\"", "'abc'", "\"", "''", "\"a\" and \"b\"", "plain", "", "'mixed\""};
  for (size_t I = 0; I < Values.size(); ++I) Ini.WriteString("Quotes", "V" + std::to_string(I), WrapQuoted(Values[I]));
  for (size_t I = 0; I < Values.size(); ++I)
    EXPECT_EQ(Ini.ReadString("Quotes", "V" + std::to_string(I), "?"), Values[I]) << Values[I];
  // Without the extra pair, reading strips one pair of enclosing quotes and the blanks around.
  Ini.WriteString("Quotes", "Bare", "  \"x\"  ");
  EXPECT_EQ(Ini.ReadString("Quotes", "Bare", ""), "x");
}

TEST_F(IniFilesTest, StringListSectionAndWriteThrough) {
  const std::vector<std::string> Memo = {"Total recs=12", "",
                                         "Illegal\xC2\xA0number\xC2\xA0"
                                         "abc",
                                         "last"};
  {
    TIniFile Ini("varomark.INI");
    Ini.WriteString("TSTermWin1", "Left", "10");
    // Writing a string list: clear its section, then "Count" and "Item%d".
    Ini.EraseSection("TSTermWin1.Memo1_Lines");
    Ini.WriteString("TSTermWin1.Memo1_Lines", "Count", std::to_string(Memo.size()));
    for (size_t I = 0; I < Memo.size(); ++I)
      Ini.WriteString("TSTermWin1.Memo1_Lines", "Item" + std::to_string(I), Memo[I]);
    Ini.WriteString("tstermwin1", "TOP", "20");  // names ignore case: same section, same key kind
  }
  fs::path File = Dir / "varomark.INI";
  EXPECT_EQ(Raw(File),
            "[TSTermWin1]\r\nLeft=10\r\nTOP=20\r\n\r\n"
            "[TSTermWin1.Memo1_Lines]\r\nCount=4\r\nItem0=Total recs=12\r\nItem1=\r\n"
            "Item2=Illegal\xC2\xA0number\xC2\xA0"
            "abc\r\nItem3=last\r\n");

  TIniFile Reader("varomark.INI");
  int Count = Reader.ReadInteger("TSTermWin1.Memo1_Lines", "Count", 0);
  std::vector<std::string> Back;
  for (int I = 0; I < Count; ++I)
    Back.push_back(Reader.ReadString("TSTermWin1.Memo1_Lines", "Item" + std::to_string(I), ""));
  EXPECT_EQ(Back, Memo);

  // Each write reaches the disk at once: another object sees it without any flush.
  TIniFile Writer(File.string());
  Writer.WriteString("tstermwin1.memo1_lines", "count", "0");
  EXPECT_EQ(Reader.ReadInteger("TSTermWin1.Memo1_Lines", "Count", -1), 0);
  TStringList Sections, Keys, Values;
  Reader.ReadSections(Sections);
  EXPECT_EQ(Lines(Sections), (std::vector<std::string>{"TSTermWin1", "TSTermWin1.Memo1_Lines"}));
  Reader.ReadSection("TSTermWin1", Keys);
  EXPECT_EQ(Lines(Keys), (std::vector<std::string>{"Left", "TOP"}));
  Reader.DeleteKey("TSTermWin1", "left");
  Reader.ReadSectionValues("TSTermWin1", Values);
  EXPECT_EQ(Lines(Values), (std::vector<std::string>{"TOP=20"}));
  EXPECT_TRUE(Reader.SectionExists("tstermwin1"));
  EXPECT_FALSE(Reader.ValueExists("TSTermWin1", "Left"));
}

TEST_F(IniFilesTest, ReadingNeverCreatesAndBadNumbersReadAsDefault) {
  TIniFile Ini("absent.INI");
  EXPECT_EQ(Ini.FileName(), (Dir / "absent.INI").string());
  EXPECT_EQ(Ini.ReadString("S", "K", "def"), "def");
  EXPECT_EQ(Ini.ReadInteger("S", "K", 7), 7);
  EXPECT_FALSE(fs::exists(Dir / "absent.INI"));
  EXPECT_FALSE(fs::exists(Dir));

  // A file written by hand: comments, blanks around names, LF line ends, a key outside sections.
  fs::create_directories(Dir);
  std::ofstream(Dir / "hand.ini", std::ios::binary)
      << "orphan=1\n; comment\n[ Opts ]\n  Width = 12 \nHex=0x1F\nDollar=$10\nBad=12abc\nBool=True\n"
         "Float=2.5\nBadFloat=2,5\nEmpty=\n";
  TIniFile Hand("hand.ini");
  EXPECT_EQ(Hand.ReadInteger("opts", "width", 0), 12);
  EXPECT_EQ(Hand.ReadInteger("Opts", "Hex", 0), 31);
  EXPECT_EQ(Hand.ReadInteger("Opts", "Dollar", 0), 16);
  EXPECT_EQ(Hand.ReadInteger("Opts", "Bad", -1), -1);
  EXPECT_EQ(Hand.ReadBool("Opts", "Bool", false), false) << "only numbers count as Booleans";
  EXPECT_EQ(Hand.ReadFloat("Opts", "Float", 0), 2.5);
  EXPECT_EQ(Hand.ReadFloat("Opts", "BadFloat", -1), -1);
  EXPECT_EQ(Hand.ReadString("Opts", "Empty", "def"), "") << "a present empty value is not the default";
  EXPECT_EQ(Hand.ReadString("", "orphan", "none"), "none");
  Hand.WriteBool("Opts", "Flag", true);
  Hand.WriteFloat("Opts", "Ratio", 0.1);
  EXPECT_EQ(Raw(Dir / "hand.ini"),
            "orphan=1\r\n; comment\r\n[ Opts ]\r\n  Width = 12 \r\nHex=0x1F\r\nDollar=$10\r\nBad=12abc\r\n"
            "Bool=True\r\nFloat=2.5\r\nBadFloat=2,5\r\nEmpty=\r\nFlag=1\r\nRatio=0.1\r\n");
}

TEST_F(IniFilesTest, FailedWritesRaiseAndLineBreaksStayInOneLine) {
  fs::create_directories(Dir);
  std::ofstream(Dir / "blocker") << "a file, not a folder";
  std::string Bad = (Dir / "blocker" / "x.ini").string();
  TIniFile Ini(Bad);
  try {
    Ini.WriteString("S", "K", "V");
    ADD_FAILURE();
  } catch (const EIniFileException& E) {
    EXPECT_EQ(E.Message(), "Unable to write to " + Bad);
  }
  TIniFile Good("good.ini");
  Good.WriteString("S", "K", "two\r\nlines");
  Good.WriteString("S", "Next", "1");
  EXPECT_EQ(Good.ReadString("S", "K", ""), "two  lines");
  EXPECT_EQ(Good.ReadString("S", "Next", ""), "1");
}

TEST_F(IniFilesTest, MemIniFileWritesOnlyOnUpdate) {
  {
    TMemIniFile Mem("mem.ini");
    Mem.WriteString("A", "K", "\"quoted\"");
    EXPECT_EQ(Mem.ReadString("A", "K", ""), "\"quoted\"");
    EXPECT_FALSE(fs::exists(Dir / "mem.ini"));
    Mem.UpdateFile();
    Mem.WriteString("A", "Lost", "1");
  }
  TIniFile Ini("mem.ini");
  EXPECT_EQ(Ini.ReadString("A", "K", ""), "quoted");
  EXPECT_EQ(Ini.ReadString("A", "Lost", "none"), "none");
}

TEST_F(IniFilesTest, RegistryStandIn) {
  {
    TRegistry Reg;
    EXPECT_FALSE(Reg.OpenKey("Software\\Varomark\\Editor", false));
    ASSERT_TRUE(Reg.OpenKey("Software\\Varomark\\Editor", true));
    Reg.WriteString("Language", "Русский");
    Reg.WriteString("", "default value");
    Reg.WriteString("a=b;[c]", "line one\nline two\\ ");
    Reg.WriteInteger("Width", 414);
    Reg.WriteBool("Gallery", true);
    Reg.WriteFloat("Ratio", 0.1);
    const unsigned char Bytes[] = {0, 1, 0xFE, 0xFF};
    Reg.WriteBinaryData("Placement", Bytes, sizeof Bytes);
  }
  EXPECT_TRUE(fs::exists(Dir / "registry.ini"));
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKeyReadOnly("\\Software\\varomark\\editor"));
  EXPECT_EQ(Reg.ReadString("language"), "Русский");
  EXPECT_EQ(Reg.ReadString(""), "default value");
  EXPECT_EQ(Reg.ReadString("a=b;[c]"), "line one\nline two\\ ");
  EXPECT_EQ(Reg.ReadInteger("Width"), 414);
  EXPECT_TRUE(Reg.ReadBool("Gallery"));
  EXPECT_EQ(Reg.ReadFloat("Ratio"), 0.1);
  unsigned char Buf[8] = {};
  EXPECT_EQ(Reg.ReadBinaryData("Placement", Buf, sizeof Buf), 4);
  EXPECT_EQ(Buf[2], 0xFE);
  EXPECT_EQ(Reg.GetDataType("Width"), rdInteger);
  EXPECT_EQ(Reg.GetDataSize("Missing"), -1);
  EXPECT_EQ(Reg.ReadString("Missing"), "");
  struct Case {
    std::function<void()> Op;
    const char* Message;
  };
  const std::vector<Case> Errors = {
      {[&] { Reg.ReadInteger("Language"); }, "Invalid data type for 'Language'"},
      {[&] { Reg.ReadString("Width"); }, "Invalid data type for 'Width'"},
      {[&] { Reg.ReadInteger("Missing"); }, "Failed to get data for 'Missing'"},
      {[&] { Reg.ReadBinaryData("Placement", Buf, 2); }, "Failed to get data for 'Placement'"},
      {[&] { Reg.WriteString("X", "read-only key"); }, "Failed to set data for 'X'"},
  };
  for (const auto& C : Errors) {
    try {
      C.Op();
      ADD_FAILURE() << C.Message;
    } catch (const ERegistryException& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }

  TRegIniFile RegIni("Software\\Varomark");
  RegIni.WriteInteger("Chart", "Gallery", 3);
  EXPECT_EQ(RegIni.ReadInteger("Chart", "Gallery", 0), 3);
  EXPECT_EQ(RegIni.ReadString("Editor", "Language", ""), "Русский");
  EXPECT_EQ(RegIni.ReadInteger("Editor", "Width", 0), 414);
  EXPECT_EQ(RegIni.ReadString("None", "X", "def"), "def");
  TStringList Keys;
  RegIni.ReadSections(Keys);
  EXPECT_EQ(Lines(Keys), (std::vector<std::string>{"Chart", "Editor"}));
  RegIni.EraseSection("Editor");
  EXPECT_FALSE(RegIni.KeyExists("\\Software\\Varomark\\Editor"));
  EXPECT_TRUE(RegIni.KeyExists("\\Software"));

  // The machine root is a file of its own.
  TRegistry Machine;
  Machine.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(Machine.KeyExists("Software\\Varomark"));
}

}  // namespace
