#include "platform/datetime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/exceptions.h"

namespace {

// Restores the process-wide date settings a test changes.
class DateTimeTest : public ::testing::Test {
protected:
  void SetUp() override {
    SavedShort = ShortDateFormat;
    SavedSep = DateSeparator;
  }
  void TearDown() override {
    ShortDateFormat = SavedShort;
    DateSeparator = SavedSep;
  }
  std::string SavedShort;
  char SavedSep = '.';
};

TEST_F(DateTimeTest, EncodeAndDecode) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(2003, 5, 14), 37755);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);
  uint16_t Y, M, D, H, N, S, Z;
  DecodeDateTime(EncodeDateTime(2003, 5, 14, 9, 5, 7, 250), Y, M, D, H, N, S, Z);
  EXPECT_EQ((std::vector<int>{Y, M, D, H, N, S, Z}), (std::vector<int>{2003, 5, 14, 9, 5, 7, 250}));
  // Before the epoch the date goes toward zero and the fraction is the time.
  DecodeDateTime(-1.25, Y, M, D, H, N, S, Z);
  EXPECT_EQ((std::vector<int>{Y, M, D, H, N}), (std::vector<int>{1899, 12, 29, 6, 0}));
  // A time a hair below midnight rounds into the next day, never to 24:00.
  DecodeDateTime(37755.99999999999, Y, M, D, H, N, S, Z);
  EXPECT_EQ((std::vector<int>{D, H, N, S, Z}), (std::vector<int>{15, 0, 0, 0, 0}));
  EXPECT_EQ(DayOfWeek(0), 7);
  EXPECT_EQ(DayOfWeek(37755), 4);
  for (auto Bad : {std::vector<int>{2003, 2, 29}, {2003, 13, 1}, {0, 1, 1}, {2003, 4, 31}}) {
    try {
      EncodeDate(Bad[0], Bad[1], Bad[2]);
      ADD_FAILURE();
    } catch (const EConvertError& E) {
      EXPECT_EQ(E.Message(), "Invalid argument to date encode");
    }
  }
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_LE(std::fabs(Now() - Date() - Time()), 1.0 / 86400);
}

TEST_F(DateTimeTest, FormatPatterns) {
  TDateTime DT = EncodeDateTime(2003, 5, 14, 13, 5, 7, 42);
  struct Case {
    const char* Format;
    const char* Expected;
  };
  const std::vector<Case> Cases = {
      {"yymmmdd", "03May14"},
      {"dd hh:nn", "14 13:05"},
      {"dd/MMM", "14.May"},
      {"MMM/yy", "May.03"},
      {"yyyy", "2003"},
      {"c", "14.05.2003 13:05:07"},
      {"hh:mm:ss.zzz", "13:05:07.042"},
      {"h:nn am/pm", "1:05 pm"},
      {"h:nn A/P", "1:05 P"},
      {"d m yy, dddd (ddd)", "14 5 03, Wednesday (Wed)"},
      {"mmmm 'of' yyyy", "May of 2003"},
      {"\"t\" t", "t 13:05"},
      {"ddddd", "14.05.2003"},
  };
  for (const auto& C : Cases) EXPECT_EQ(FormatDateTime(C.Format, DT), C.Expected) << C.Format;
  EXPECT_EQ(DateTimeToStr(EncodeDate(2003, 5, 14)), "14.05.2003") << "midnight shows no time";
  DateSeparator = '/';
  ShortDateFormat = "yyyy/mm/dd";
  EXPECT_EQ(DateToStr(DT), "2003/05/14");
}

TEST_F(DateTimeTest, ReadingDatesByTheShortFormat) {
  struct Case {
    const char* Format;
    char Sep;
    const char* Text;
    double Expected;  // 0 = invalid
  };
  const std::vector<Case> Cases = {
      {"dd/mm/yy", '.', "14.05.03", EncodeDate(2003, 5, 14)},
      {"dd/mm/yy", '.', "14.05.80", EncodeDate(1980, 5, 14)},
      {"dd/mm/yy", '.', " 1.2.2003 ", EncodeDate(2003, 2, 1)},
      {"dd/mm/yy", '.', "31.02.03", 0},
      {"dd/mm/yy", '.', "14.13.03", 0},
      {"dd/mm/yy", '.', "14/05/03", 0},
      {"dd/mm/yy", '.', "14.05.03x", 0},
      {"dd/mm/yy", '.', "", 0},
      {"yyyy/mm/dd", '/', "2003/05/14", EncodeDate(2003, 5, 14)},
      {"yyyy/mm/dd", '/', "0003/05/14", EncodeDate(3, 5, 14)},  // four digits: taken literally
      {"m/d/yyyy", '/', "5/14/2003", EncodeDate(2003, 5, 14)},
  };
  for (const auto& C : Cases) {
    ShortDateFormat = C.Format;
    DateSeparator = C.Sep;
    TDateTime V = -1;
    EXPECT_EQ(TryStrToDate(C.Text, V), C.Expected != 0) << C.Text;
    if (C.Expected != 0) {
      EXPECT_EQ(V, C.Expected) << C.Text;
    }
  }
  ShortDateFormat = "dd/mm/yy";
  DateSeparator = '.';
  try {
    StrToDate("31.02.03");
    ADD_FAILURE();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "'31.02.03' is not a valid date");
  }
  EXPECT_EQ(StrToDateDef("x", 5), 5);
  EXPECT_EQ(StrToDateTime("14.05.03 10:20"), EncodeDateTime(2003, 5, 14, 10, 20, 0, 0));
}

TEST_F(DateTimeTest, ReadingTimes) {
  EXPECT_EQ(StrToTime("10:20:30"), EncodeTime(10, 20, 30, 0));
  EXPECT_EQ(StrToTime("1:05 PM"), EncodeTime(13, 5, 0, 0));
  EXPECT_EQ(StrToTime("12:00 am"), 0);
  EXPECT_EQ(StrToTime("9"), EncodeTime(9, 0, 0, 0));
  for (const char* Bad : {"25:00", "13 PM", "10:", "10:61", "x"}) {
    TDateTime V;
    EXPECT_FALSE(TryStrToTime(Bad, V)) << Bad;
  }
  try {
    StrToTime("25:00");
    ADD_FAILURE();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "'25:00' is not a valid time");
  }
}

}  // namespace
