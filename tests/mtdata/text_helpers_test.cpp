#include "mtdata/text_helpers.h"
#include "platform/typinfo.h"

#include "platform/strings.h"

#include "log_fixture.h"
#include "platform/logdevice.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using mtdata_test::StartLog;
using mtdata_test::StopLog;

// Runs f and returns what it logged.
template <typename F>
std::string Logged(F f) {
  StartLog();
  f();
  return StopLog();
}

TEST(TextHelpers, LenientFloatParser) {
  struct Case {
    const char* text;
    double value;
    const char* log;
  } cases[] = {
      {" 1,5O mV", 1.5, ""},
      {"12_3", 1203, ""},
      {"-2.5e3", -2500, ""},
      {"  42  ", 42, ""},
      {"", 0, ""},
      {"   ", 0, ""},
      {"abc", 0, "Illegal number abc\n"},
      {"1.2.3", 0, "Illegal number 1.2.3\n"},
      {"1e999", 0, "Illegal number 1e999\n"},
      {"nan", 0, "Illegal number nan\n"},
      // A token no file holds is quoted by its start only.
      {"x123456789012345678901234567890123456789012345", 0,
       "Illegal number x123456789012345678901234567890123456789...\n"},
  };
  for (const Case& c : cases) {
    double v = -1;
    EXPECT_EQ(Logged([&] { v = ParseFloatLenient(c.text); }), c.log) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
}

TEST(TextHelpers, LenientIntegerParser) {
  struct Case {
    const char* text;
    int value;
    const char* log;
  } cases[] = {
      {"O7", 7, ""},
      {" 1_0 rest", 100, ""},
      {"-12", -12, ""},
      {"", 0, ""},
      {"7.5", 0, "Illegal number 7.5\n"},
      {"99999999999", 0, "Illegal number 99999999999\n"},
  };
  for (const Case& c : cases) {
    int v = -1;
    EXPECT_EQ(Logged([&] { v = ParseIntLenient(c.text); }), c.log) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
}

TEST(TextHelpers, ValueAfterKeyAndStartsWithKey) {
  const std::pair<const char*, const char*> values[] = {
      {"AREA= North", "North"},      {"SITE 12", "12"},  {"A: b: c", "b: c"},
      {"  JOB:   A1234  ", "A1234"}, {"nokey", "nokey"}, {"", ""},
  };
  for (const auto& [line, expected] : values) {
    std::string v = "stale";
    ValueAfterKey(line, v);
    EXPECT_EQ(v, expected) << line;
  }
  EXPECT_TRUE(StartsWithKey("  ex pot resist: 12", "Ex Pot Resist:"));
  EXPECT_TRUE(StartsWithKey("Hx 3 ...", "Hx"));
  EXPECT_FALSE(StartsWithKey("Ex", "Ex Pot Resist:"));
  EXPECT_FALSE(StartsWithKey("SURVEY CO: X", "SURVEY:"));
}

TEST(TextHelpers, SplitFieldsCollapsesBlanksAndLimitsTheCount) {
  TSplitFields f;
  int n = -1;
  SplitFields("a  b   c", ' ', f, n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(f[1], "a");
  EXPECT_EQ(f[3], "c");
  EXPECT_EQ(f[4], "");

  SplitFields(" x ;; y ", ';', f, n);  // consecutive delimiters give an empty field
  ASSERT_EQ(n, 3);
  EXPECT_EQ(f[1], "x");
  EXPECT_EQ(f[2], "");
  EXPECT_EQ(f[3], "y");

  SplitFields("   ", ' ', f, n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(f[1], "");

  std::string twenty, twentyOne;
  for (int i = 0; i < 20; ++i) twenty += "x ";
  SplitFields(twenty, ' ', f, n);
  EXPECT_EQ(n, 20);
  EXPECT_THROW(SplitFields(twenty + "y", ' ', f, n), ERangeError);
}

TEST(TextHelpers, QuotedFieldSplitter) {
  TCSVStringInfo csv;
  EXPECT_TRUE(csv.Error()) << "after creation";
  csv.SetDelimiter(",");
  struct Case {
    std::string text;
    std::vector<std::string> fields;
  } cases[] = {
      {"a,\"b,c\",d", {"a", "b,c", "d"}},
      {"a,,b", {"a", "", "b"}},
      {"\"x\"", {"x"}},
      {"\"say \"\"hi\"\"\",z", {"say \"\"hi\"\"", "z"}},  // doubled quotes stay
      {"\"open,end", {"open,end"}},                       // no closing quote
      {"a,", {"a"}},
  };
  for (const Case& c : cases) {
    csv.SetSourceString(c.text);
    EXPECT_FALSE(csv.Error()) << c.text;
    std::vector<std::string> got;
    for (int i = 0; i < csv.FieldList().Count(); ++i) got.push_back(csv.FieldList()[i]);
    EXPECT_EQ(got, c.fields) << c.text;
  }
  csv.SetSourceString("");
  EXPECT_TRUE(csv.Error());
  EXPECT_EQ(csv.FieldList().Count(), 0);
}

// The splitter is a component: its owner frees it, and its properties work by name.
TEST(TextHelpers, QuotedFieldSplitterIsAComponent) {
  TComponent owner(nullptr);
  auto* csv = new TCSVStringInfo(&owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  SetStrProp(csv, "Delimiter", ";");
  SetStrProp(csv, "SourceString", "a;b");
  EXPECT_EQ(GetOrdProp(csv, "Error"), 0);
  const TPropInfo* list = GetPropInfo(csv, "FieldList");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(GetStringsProp(csv, list), &csv->FieldList());
  EXPECT_EQ(csv->FieldList().Count(), 2);
  EXPECT_THROW(SetOrdProp(csv, "Error", 1), EPropertyError);
}

TEST(TextHelpers, KeyedValues) {
  std::string v;
  TextAfterKey("LAT=61:30:00 LONG=33:15:00", "LAT=", v);
  EXPECT_EQ(v, "61:30:00");
  TextAfterKey("DATAID=\"site 12\" X", "DATAID=", v);
  EXPECT_EQ(v, "\"site 12");
  TextAfterKey("DATAID=\"unclosed", "DATAID=", v);
  EXPECT_EQ(v, "");
  TextAfterKey("", "A=", v);
  EXPECT_EQ(v, "");
  TextAfterKey("B=1", "A=", v);
  EXPECT_EQ(v, "");

  EXPECT_DOUBLE_EQ(FloatAfterKey(">HMEAS ID=1 AZM=12.5 X", "AZM="), 12.5);
  EXPECT_DOUBLE_EQ(FloatAfterKey("FREQ=1O0", "FREQ="), 100);
  EXPECT_DOUBLE_EQ(FloatAfterKey("FREQ=", "FREQ="), 0);
  EXPECT_DOUBLE_EQ(FloatAfterKey("nothing here", "FREQ="), 0);
  EXPECT_THROW(FloatAfterKey("FREQ=abc", "FREQ="), EConvertError);
}

TEST(TextHelpers, HexToWord) {
  uint16_t v = 1;
  int code = 1;
  HexToWord("1aG2", v, code);
  EXPECT_EQ(v, 26);
  EXPECT_EQ(code, 0);
  HexToWord("FFFF", v, code);
  EXPECT_EQ(v, 0xFFFF);
  HexToWord("", v, code);
  EXPECT_EQ(v, 0);
  EXPECT_THROW(HexToWord("10000", v, code), ERangeError);
}

TEST(TextHelpers, CompactDateAndTimeNumbers) {
  const TDateTime may14 = 37755;  // 14 May 2003
  EXPECT_EQ(DateToYymmdd(may14), 30514);
  EXPECT_EQ(DateToYymmdd(0), 991230);  // 30 December 1899
  EXPECT_EQ(TimeToHhmmss(may14 + (9 * 3600 + 5 * 60 + 7) / 86400.0), 90507);
  EXPECT_EQ(TimeToHhmmss(0.99999999), 235959);
}

TEST(TextHelpers, ShortExponentKeepsWidthAndValue) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1234.5, "1.2345E+3"},    {0.0123456, "1.2346E-2"},
      {0.0, "0.0000E+0"},       {1.23456e12, "1.235E+12"},  // a two-digit exponent takes a mantissa digit
      {-1234.56, "-1.235E+3"},                              // so does the sign
      {9.99996e9, "1.000E+10"},                             // rounding may lengthen the exponent
  };
  for (const Case& c : cases) {
    std::string t;
    FloatToShortExp(10, t, c.value);
    EXPECT_EQ(t, c.text) << c.value;
    EXPECT_EQ(t.size(), 9u);
  }
  std::string t;
  FloatToFixed(8, 2, t, -3.14159);
  EXPECT_EQ(t, "   -3.14");
}

TEST(TextHelpers, FixedCharactersPaddingAndCodePage) {
  std::array<char, 5> chars;
  chars.fill('x');
  StringToCharArray("abcdefg", chars);
  EXPECT_EQ(std::string(chars.data(), 5), std::string("abcd\0", 5));
  std::string s;
  CharArrayToString(chars, s);
  EXPECT_EQ(s, "abcd");
  const std::array<char, 3> full{'x', 'y', 'z'};
  CharArrayToString(full, s);
  EXPECT_EQ(s, "xyz");

  PadRight("ab", 4, s);
  EXPECT_EQ(s, "ab  ");
  PadRight("abcdef", 4, s);
  EXPECT_EQ(s, "abcdef");
  CollapseBlanks("a    b  c", s);
  EXPECT_EQ(s, "a b c");
  s = "1 2 ";
  BlanksToZeros(s);
  EXPECT_EQ(s, "1020");

  // 1251 capital A, small pe, small er, small ya, Yo; then ASCII.
  Cp1251ToCp866("\xC0\xEF\xF0\xFF\xA8z", s);
  EXPECT_EQ(s, "\x80\xAF\xE0\xEF\xA8z");
}

TEST(TextHelpers, VersionValues) {
  std::string v = "unchanged";
  GetVersionValue("NoSuchValue", v);
  EXPECT_EQ(v, "unchanged");
  SetVersionValue("ProductName", " Varomark ");
  GetVersionValue("ProductName", v);
  EXPECT_EQ(v, "Varomark");
}

}  // namespace
