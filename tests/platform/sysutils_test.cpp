#include "platform/sysutils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

struct FormatCase {
  const char* Fmt;
  std::vector<TVarRec> Args;
  const char* Expected;
};

// Every format string the program's modules use, with halves, negatives and zero.
TEST(SysUtilsFormat, TableOfProgramFormats) {
  const std::vector<FormatCase> Cases = {
      {"Illegal data %2.2x at offset %8.8x", {0x5A, 0x1F4}, "Illegal data 5A at offset 000001F4"},
      {"Illegal data %2.2x at offset %8.8x", {0x0, 0x0}, "Illegal data 00 at offset 00000000"},
      {"%2.2d", {3}, "03"},
      {"%2.2d", {123}, "123"},
      {"%2.2d", {-3}, "-03"},
      {"%4.2f", {0.125}, "0.12"},  // an exact half goes to even
      {"%4.2f", {0.375}, "0.38"},
      {"%4.2f", {-1.5}, "-1.50"},
      {"%4.2f", {0.0}, "0.00"},
      {"%2.0f", {30.0}, "30"},
      {"%2.0f", {-30.0}, "-30"},
      {"%2.0f", {2.5}, " 2"},
      {"%2.0f", {3.5}, " 4"},
      {"%1x%2.2d", {5, 14}, "514"},
      {"%1x%2.2d", {12, 3}, "C03"},
      {"%2.2d/%2.2d/%2.2d", {5, 14, 3}, "05/14/03"},
      {"%1.0f", {1234.5}, "1234"},
      {"%1.0f", {-1235.5}, "-1236"},
      {"%1.0f", {-0.4}, "0"},
      {"МТЗ=%5.0f Y=%7.2f AEx=%7.1f AEy=%7.1f",
       {12.0, 3.456, -10.25, 0.0},
       "МТЗ=   12 Y=   3.46 AEx=  -10.2 AEy=    0.0"},
      {"%5.2f%7.2f", {1.0, -0.005}, " 1.00  -0.01"},
      {"        РАЙОН РАБОТ-%3s ;  ПИКЕТ-%6s;  ЦЭС-%4s;  ПОЛЕВАЯ МЛ-%10s",
       {"ЮГ", "ПК12", "7", "Т-1"},
       "        РАЙОН РАБОТ- ЮГ ;  ПИКЕТ-  ПК12;  ЦЭС-   7;  ПОЛЕВАЯ МЛ-       Т-1"},
      {"        ВРЕМЯ ЗАПИСИ-%6.6d%6.6d ;  КООРДИНАТЫ X, Y- %7.2f %8.2f",
       {30514, 90507, 5.125, -12.0},
       "        ВРЕМЯ ЗАПИСИ-030514090507 ;  КООРДИНАТЫ X, Y-    5.12   -12.00"},
      {"АЗИМУТЫ EX, EY, HX, HY- %6.1n%6.1n%6.1n%6.1n",
       {12.25, -1234.56, 0.0, 45},
       "АЗИМУТЫ EX, EY, HX, HY-   12.2-1,234.6   0.0  45.0"},
      {"%12.12s %12.12s %4.4s%1x%2.2d%1s %10.10s %10s  %10s%11.6f%11.6f %9.2f",
       {"Survey-Project-X", "site01a.mtA", "12345", 5, 14, "a", "101A", "55:10:00N", "37:30:00E", 55.1666666, 37.5,
        -12.345},
       "Survey-Proje  site01a.mtA 1234514a       101A  55:10:00N   37:30:00E  55.166667  37.500000    -12.35"},
      {"3D effect percent must be between %d and %d", {1, 100}, "3D effect percent must be between 1 and 100"},
      {"Series Delete: ValueIndex %d out of bounds (0 to %d).",
       {5, -1},
       "Series Delete: ValueIndex 5 out of bounds (0 to -1)."},
      {"Zoom: %d %%", {50}, "Zoom: 50 %"},
      {"3D: %d %%", {0}, "3D: 0 %"},
      {"Slice: %d Exploded: %d %%", {2, -15}, "Slice: 2 Exploded: -15 %"},
      {"Rotation: %d° Elevation: %d°", {345, -15}, "Rotation: 345° Elevation: -15°"},
      {"Horiz.Offset: %d Vert.Offset: %d", {-3, 0}, "Horiz.Offset: -3 Vert.Offset: 0"},
      {"Page %d of %d", {1, 12}, "Page 1 of 12"},
      {"%d bytes", {0}, "0 bytes"},
      {"Answer Vector index must be between 1 and %d", {7}, "Answer Vector index must be between 1 and 7"},
      {"Error code: %d downloading Chart from URL: %s",
       {404, "http://x/c.tee"},
       "Error code: 404 downloading Chart from URL: http://x/c.tee"},
      {"Error code: %d downloading Series data from URL: %s",
       {-1, ""},
       "Error code: -1 downloading Series data from URL: "},
      {"No valid DataSource: %s", {"Table1"}, "No valid DataSource: Table1"},
      {"%s of %s", {"25 %", "400"}, "25 % of 400"},
      {"Editing %s", {"Chart1"}, "Editing Chart1"},
      {"%s: Invalid Editor Class: %s", {"Series1", "TFoo"}, "Series1: Invalid Editor Class: TFoo"},
      {"%s: has no Editor Dialog", {""}, ": has no Editor Dialog"},
      {"Delete %s ?", {"Series1"}, "Delete Series1 ?"},
      {"Desired %s Increment", {"Left"}, "Desired Left Increment"},
      {"Incorrect value. Reason: %s",
       {"'x' is not a valid floating point value"},
       "Incorrect value. Reason: 'x' is not a valid floating point value"},
      {"Field %s does not exist", {"X"}, "Field X does not exist"},
      {"Calculate %s every:", {"Average"}, "Calculate Average every:"},
      {"Do you want to save %s?", {"a.tee"}, "Do you want to save a.tee?"},
      {"Cannot find Series editor Form: %s",
       {"TLineSeriesEditor"},
       "Cannot find Series editor Form: TLineSeriesEditor"},
      {"Drag %s to Rotate", {"Left"}, "Drag Left to Rotate"},
      {"Xpr=%d", {17}, "Xpr=17"},
      {"No valid DataSource: %s", {std::string("Ряд")}, "No valid DataSource: Ряд"},
      {"%s\rof %s", {"25 %", "400"}, "25 %\rof 400"},
      {"%d,%d,%d,%d", {-8, -8, 1032, 0}, "-8,-8,1032,0"},
      {"(%dx%d)", {1024, 768}, "(1024x768)"},
      {"%s.%s", {"TSTermWin1", "Memo1_Lines"}, "TSTermWin1.Memo1_Lines"},
      {"Item%d", {0}, "Item0"},
      {"f=%1d", {12}, "f=12"},
      {"%6s Hz", {"0.5"}, "   0.5 Hz"},
      {"%7.5f", {0.001}, "0.00100"},
      {"%7.5f", {1.234567}, "1.23457"},
      {"%7.5f", {-100.0}, "-100.00000"},
      {"AvWgt=%5.3f", {0.0625}, "AvWgt=0.062"},
      {"XprWt=%5.3f", {0.0}, "XprWt=0.000"},
      {"Value must be between %g and %g", {0.5, 1e20}, "Value must be between 0.5 and 1E20"},
      {"%g", {-0.0001}, "-0.0001"},
      {"%g", {0.0}, "0"},
      {"Неопределенное расширение GIF: %.2x", {0x3B}, "Неопределенное расширение GIF: 3B"},
      {"%e", {1.5}, "1.50000000000000E+000"},
      {"%e", {-1.5e-10}, "-1.50000000000000E-010"},
      {"%.3e", {12345}, "1.23E+004"},
      {"%e", {0.0}, "0.00000000000000E+000"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%.0n", {-2.5}, "-2"},
      {"%m", {1234.5}, "$1,234.50"},
      {"%u", {-1}, "4294967295"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {255u}, "FF"},
      {"%1:s %0:s %s", {"a", "b"}, "b a b"},
      {"%-5d|%5s|%-3s|", {12, "ab", "x"}, "12   |   ab|x  |"},
      {"%*d|%.*f|%-*s|", {5, 42, 2, 3.14159, 3, "a"}, "   42|3.14|a  |"},
      {"%p", {static_cast<const void*>(nullptr)}, "0000000000000000"},
      {"%s", {'c'}, "c"},
      {"%.3s|%5.1s", {"Привет", "Ёж"}, "При|    Ё"},
  };
  for (const auto& C : Cases) EXPECT_EQ(Format(C.Fmt, C.Args), C.Expected) << C.Fmt;
}

TEST(SysUtilsFormat, InvalidFormatsRaiseConvertError) {
  struct Bad {
    const char* Fmt;
    std::vector<TVarRec> Args;
    const char* Message;
  };
  const std::vector<Bad> Cases = {
      {"%d", {"abc"}, "Format '%d' invalid or incompatible with argument"},
      {"%s", {1}, "Format '%s' invalid or incompatible with argument"},
      {"%f", {"1.5"}, "Format '%f' invalid or incompatible with argument"},
      {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
      {"abc %", {1}, "Format 'abc %' invalid or incompatible with argument"},
      {"%q", {1}, "Format '%q' invalid or incompatible with argument"},
      {"%d %d", {1}, "No argument for format '%d %d'"},
  };
  for (const auto& C : Cases) {
    try {
      Format(C.Fmt, C.Args);
      ADD_FAILURE() << "no exception for " << C.Fmt;
    } catch (const EConvertError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
}

TEST(SysUtilsFormat, FormatFloatMasks) {
  struct Case {
    const char* Mask;
    long double Value;
    const char* Expected;
  };
  const std::vector<Case> Cases = {
      {"#,##0.###", 1234.5678, "1,234.568"},
      {"#,##0.###", 0, "0"},
      {"#,##0.###", -1234567.25, "-1,234,567.25"},
      {"#,##0.###", 2.0625, "2.062"},  // exact half: to even
      {"#,##0.###", 0.0004, "0"},
      {"#,##0.###", -0.0004, "0"},  // a negative that rounds to zero has no sign
      {"0.000E+00;-0.000E+00", 12345, "1.234E+04"},
      {"0.000E+00;-0.000E+00", -0.00012346, "-1.235E-04"},
      {"0.000E+00;-0.000E+00", 0, "0.000E+00"},
      {"  0.000E+00; -0.000E+00", 1.5, "  1.500E+00"},
      {"  0.000E+00; -0.000E+00", -1.5, " -1.500E+00"},
      {"0.00000E+00", 1234.5, "1.23450E+03"},
      {"0.0000E+00", 0.001, "1.0000E-03"},
      {"0.0000E+00", 9.99995e5, "1.0000E+06"},
      {"0.0000000E+00", 7, "7.0000000E+00"},
      {"0.0000000E+00", -7e-300, "-7.0000000E-300"},
      {"0.0E-00", 1500, "1.5E03"},
      {"0.0E-00", 0.15, "1.5E-01"},
      {"##0.## %", 12.345, "12.35 %"},
      {"##0.## %", 50, "50 %"},
      {"##0.## %", 0, "0 %"},
      {"#,##0.#####", 123456.123456789, "123,456.12346"},
      {"0.########", 0.1, "0.1"},
      {"0.########", 1e-9, "0"},
      {"0.########", -2.5, "-2.5"},
      {"0.00 %", 0.5, "0.50 %"},
      {"0", 2.5, "2"},
      {"0", 3.5, "4"},
      {"0", -2.5, "-2"},
      {"000", 7, "007"},
      {"#.##", 0.5, ".5"},
      {"0.0;;'zero'", 0, "zero"},
      {"0.0;;'zero'", -1, "-1.0"},
      {"0.0;(0.0);'zero'", -1, "(1.0)"},
      {"0.0;(0.0);'zero'", 0.01, "zero"},
      {"0.0 'ms'", 1.5, "1.5 ms"},
      {"#.0 \"x10\" E+0", 1234.5, "1.2 x10 E+3"},  // the exponent mask with quoted text
      {"#.0 \"x10\" E+0", -0.00015, "-1.5 x10 E-4"},
      {"#.0 \"x10\" E+0", 99.96, "1.0 x10 E+2"},
      {"0", 123456789012345678901.0L, "123456789012345679000"},  // 18 significant digits at most
      {"", 0.1, "0.1"},
      {"0.000000000000000000000000000000", 1e-25, "0.000000000000000000000000100000"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(FormatFloat(C.Mask, C.Value), C.Expected) << C.Mask << " of " << static_cast<double>(C.Value);
}

TEST(SysUtilsFormat, FloatToStrAndFloatToStrF) {
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
  EXPECT_EQ(FloatToStr(-123.456), "-123.456");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
  EXPECT_EQ(FloatToStr(0.00001), "1E-5");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(1234567890123456.0), "1.23456789012346E15");
  EXPECT_EQ(FloatToStr(INFINITY), "INF");
  EXPECT_EQ(FloatToStr(NAN), "NAN");

  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 5, 4), "1.2345E+0003");
  EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 15, 2), "1234.57");
  EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2), "0.12");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1,234,567.89");
  EXPECT_EQ(FloatToStrF(-0.5, ffGeneral, 15, 0), "-0.5");
  EXPECT_EQ(FloatToStrF(1e20, ffGeneral, 15, 2), "1E20");
  EXPECT_EQ(FloatToStrF(1e-20, ffGeneral, 15, 3), "1E-020");
}

TEST(SysUtilsFormat, PascalStrWidthAndDecimals) {
  EXPECT_EQ(StrWD(3.1415926, 15, 6), "       3.141593");
  EXPECT_EQ(StrWD(12.5, 8, 0), "      12");
  EXPECT_EQ(StrWD(-0.05, 6, 1), "  -0.1");
  EXPECT_EQ(StrWD(0.000123, 8, 6), "0.000123");
  EXPECT_EQ(StrWD(12345.678, 8, 2), "12345.68");
  EXPECT_EQ(StrWD(45.5, 8, 2), "   45.50");
  EXPECT_EQ(StrWD(0.0123, 13, 7), "    0.0123000");
  EXPECT_EQ(StrWD(-30, 4, 1), "-30.0");
  EXPECT_EQ(StrWD(0, 6, 2), "  0.00");
  // The exponent form: sign place, mantissa, four exponent digits.
  EXPECT_EQ(StrWD(1234.5, 13, -1), " 1.2345E+0003");
  EXPECT_EQ(StrWD(-0.00012345, 13, -1), "-1.2345E-0004");
  EXPECT_EQ(StrW(5, 3), "  5");
  EXPECT_EQ(StrW(-1234, 3), "-1234");
}

TEST(SysUtilsFormat, RoundingIsHalfToEven) {
  const std::vector<std::pair<long double, int64_t>> Cases = {{0.5, 0},   {1.5, 2},   {2.5, 2},    {-0.5, 0},
                                                              {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {-2.6, -3}};
  for (auto [X, R] : Cases) EXPECT_EQ(Round(X), R) << static_cast<double>(X);
  EXPECT_EQ(Trunc(-1.7), -1);
  EXPECT_THROW(Round(1e30), EInvalidOp);
  EXPECT_THROW(Round(NAN), EInvalidOp);
}

TEST(SysUtilsFormat, TheRandomGeneratorRepeatsFromASeed) {
  RandSeed = 7774444;
  std::vector<int32_t> First;
  for (int I = 0; I < 20; ++I) First.push_back(Random(100));
  RandSeed = 7774444;
  for (int I = 0; I < 20; ++I) EXPECT_EQ(Random(100), First[I]);
  for (int32_t V : First) EXPECT_TRUE(V >= 0 && V < 100);
  RandSeed = 0;
  EXPECT_EQ(Random(1000), 0);  // seed 1 after the first step: 1 * 1000 >> 32
  double X = Random();
  EXPECT_TRUE(X >= 0 && X < 1);
}

TEST(SysUtilsParse, FloatTexts) {
  const std::vector<std::pair<const char*, double>> Good = {{" 1.5 ", 1.5}, {"-2e3", -2000}, {"+.5", 0.5}, {"5.", 5},
                                                            {"1E-2", 0.01}, {"0", 0},        {"1e-400", 0}};
  for (auto [S, V] : Good) {
    EXPECT_DOUBLE_EQ(StrToFloat(S), V) << S;
  }
  for (const char* S : {"", " ", "abc", "1,5", "1.5.2", "1e", "0x10", "1 2", "inf", "nan", "1e999", "-", "."}) {
    double V = 42;
    EXPECT_FALSE(TryStrToFloat(S, V)) << S;
    EXPECT_EQ(V, 42);
    EXPECT_EQ(StrToFloatDef(S, -1), -1);
  }
  try {
    StrToFloat("abc");
    ADD_FAILURE();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "'abc' is not a valid floating point value");
  }
}

TEST(SysUtilsParse, FloatTextsIgnoreTheCLocale) {
  // The program may run under a locale whose decimal separator is a comma.
  const char* Old = std::setlocale(LC_ALL, nullptr);
  std::string Saved = Old ? Old : "C";
  std::setlocale(LC_ALL, "ru_RU.UTF-8");
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  EXPECT_EQ(StrToFloat("2.5"), 2.5);
  EXPECT_EQ(Format("%.1f", {2.25}), "2.2");
  EXPECT_EQ(FloatToStr(0.5), "0.5");
  std::setlocale(LC_ALL, Saved.c_str());
}

TEST(SysUtilsParse, IntegerTexts) {
  const std::vector<std::pair<const char*, int32_t>> Good = {
      {"12", 12},       {" 12", 12}, {"-7", -7}, {"+7", 7}, {"$FF", 255}, {"0x10", 16}, {"-2147483648", INT32_MIN},
      {"$FFFFFFFF", -1}};
  for (auto [S, V] : Good) EXPECT_EQ(StrToInt(S), V) << S;
  for (const char* S : {"", "12 ", "1.5", "2147483648", "abc", "$", "0x", "1e3", "--1"}) {
    int32_t V = 42;
    EXPECT_FALSE(TryStrToInt(S, V)) << S;
    EXPECT_EQ(V, 42);
    EXPECT_EQ(StrToIntDef(S, -9), -9);
  }
  try {
    StrToInt("abc");
    ADD_FAILURE();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(static_cast<uint8_t>(0xAB), 1), "AB");
}

TEST(SysUtilsStrings, Helpers) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(UpperCase("abcЖ"), "ABCЖ");
  EXPECT_EQ(AnsiUpperCase("abcж"), "ABCЖ");
  EXPECT_EQ(AnsiLowerCase("ЁЖ"), "ёж");
  EXPECT_EQ(CompareText("abc", "ABD"), -1);
  EXPECT_TRUE(SameText("Ex Pot", "EX POT"));
  EXPECT_TRUE(AnsiSameText("Пикет", "ПИКЕТ"));
  EXPECT_LT(AnsiCompareText("_a", "b"), 0);
  EXPECT_LT(AnsiCompareText("a", "B"), 0);
  EXPECT_EQ(Pos("b", "abcb"), 2);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(PosEx("b", "abcb", 3), 4);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abc", 3, 10), "c");
  EXPECT_EQ(Copy("abc", 5, 1), "");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(AnsiDequotedStr("\"a\"\"b\"", '"'), "a\"b");
  EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfReplaceAll | rfIgnoreCase), "a-b-c");
  EXPECT_EQ(StringReplace("axbxc", "x", "-", 0), "a-bxc");
  EXPECT_EQ(LastDelimiter("/\\", "a/b\\c"), 4);
}

TEST(SysUtilsFiles, NameParts) {
  EXPECT_EQ(ExtractFileName("C:\\dir\\f.mt"), "f.mt");
  EXPECT_EQ(ExtractFileName("/a/b/site.mtA"), "site.mtA");
  EXPECT_EQ(ExtractFileExt("/a/b/site.mtA"), ".mtA");
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ExtractFilePath("/a/b.c"), "/a/");
  EXPECT_EQ(ExtractFilePath("b.c"), "");
  EXPECT_EQ(ExtractFileDir("/a/b.c"), "/a");
  EXPECT_EQ(ChangeFileExt("/a.b/c", ".aaa"), "/a.b/c.aaa");
  EXPECT_EQ(ChangeFileExt("x.dat", ".aaa"), "x.aaa");
  EXPECT_EQ(ChangeFileExt("x.dat", ""), "x");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
}

TEST(SysUtilsFiles, MatchesMaskIsCaseInsensitive) {
  struct Case {
    const char* Name;
    const char* Mask;
    bool Match;
  };
  const std::vector<Case> Cases = {{"Site1a.MTa", "site?a.mt?", true},
                                   {"Site1a.aMT", "site?a.?mt", true},
                                   {"abc", "*.*", false},
                                   {"a.b.c", "*.c", true},
                                   {"ПРОФИЛЬ.dat", "профиль.*", true},
                                   {"a.txt", "[a-c].txt", true},
                                   {"d.txt", "[!a-c].txt", true},
                                   {"b.txt", "[!a-c].txt", false},
                                   {"x", "", false},
                                   {"", "*", true},
                                   {"[x", "[x", true},
                                   {"abc", "a*c*", true},
                                   {"ab", "a?c", false}};
  for (const auto& C : Cases) EXPECT_EQ(MatchesMask(C.Name, C.Mask), C.Match) << C.Name << " ~ " << C.Mask;
}

TEST(SysUtilsFiles, FileSystemHelpers) {
  namespace fs = std::filesystem;
  fs::path Root = fs::temp_directory_path() / ("vm_sysutils_" + std::to_string(::getpid()));
  fs::remove_all(Root);
  std::string Deep = (Root / "a" / "b" / "c").string();
  EXPECT_TRUE(ForceDirectories(Deep));
  EXPECT_TRUE(DirectoryExists(Deep));
  EXPECT_FALSE(FileExists(Deep));
  std::string F = Deep + "/f.txt";
  std::ofstream(F) << "x";
  EXPECT_TRUE(FileExists(F));
  EXPECT_EQ(FileSizeOf(F), 1);
  std::string G = Deep + "/g.txt";
  EXPECT_TRUE(RenameFile(F, G));
  EXPECT_FALSE(FileExists(F));
  std::ofstream(F) << "y";
  EXPECT_FALSE(RenameFile(F, G)) << "an existing target is not replaced";

  TSearchRec Rec;
  std::vector<std::string> Found;
  for (int R = FindFirst(Deep + "/*.txt", faAnyFile, Rec); R == 0; R = FindNext(Rec)) Found.push_back(Rec.Name);
  FindClose(Rec);
  EXPECT_EQ(Found, (std::vector<std::string>{"f.txt", "g.txt"}));
  EXPECT_NE(FindFirst(Deep + "/*.none", faAnyFile, Rec), 0);

  EXPECT_TRUE(DeleteFile(F));
  EXPECT_FALSE(DeleteFile(F));
  EXPECT_FALSE(DeleteFile(Deep)) << "DeleteFile removes files only";
  fs::remove_all(Root);
}

}  // namespace
