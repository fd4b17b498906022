#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, CyrillicRoundTripsAndKnownBytes) {
  const std::string Alphabet = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя №";
  EXPECT_EQ(Cp1251ToUtf8(Utf8ToCp1251(Alphabet)), Alphabet);
  EXPECT_EQ(Cp866ToUtf8(Utf8ToCp866(Alphabet)), Alphabet);

  // A = 0xC0 / 0x80, ya = 0xFF / 0xEF, Yo = 0xA8 / 0xF0, No-sign = 0xB9 / 0xFC.
  EXPECT_EQ(Utf8ToCp1251("Aя Ёё№"), "A\xFF \xA8\xB8\xB9");
  EXPECT_EQ(Utf8ToCp866("АпрЯя Ёё№"), "\x80\xAF\xE0\x9F\xEF \xF0\xF1\xFC");
  // Box drawing exists only in 866.
  EXPECT_EQ(Utf8ToCp866("│║"), "\xB3\xBA");
  EXPECT_EQ(Utf8ToCp1251("│"), "?");
}

TEST(CodePage, EveryByteDecodesAndEncodesBack) {
  std::string All;
  for (int B = 0; B < 256; ++B) All += static_cast<char>(B);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(All)), All);
  EXPECT_EQ(Utf8ToCp866(Cp866ToUtf8(All)), All);
}

TEST(CodePage, MalformedOrForeignTextBecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a\xD0"), "a?");     // cut sequence
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");  // overlong form
  EXPECT_EQ(Utf8ToCp866("漢x"), "?x");
  EXPECT_EQ(Utf8ToCp866("\xED\xA0\x80"), "???");  // a surrogate
}

}  // namespace
