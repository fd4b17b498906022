#include "platform/logdevice.h"

#include <gtest/gtest.h>

namespace {

TEST(LogDevice, SinkReceivesEachWriteInBufferSizedPieces) {
  std::vector<std::string> Pieces;
  TLogSink Old = SetLogSink([&](const char* B, size_t N) { Pieces.emplace_back(B, N); });
  LogWrite("Total recs=");
  LogWriteLn("12");
  LogWrite(std::string(300, 'x'));
  LogWrite("");
  SetLogSink(Old);
  ASSERT_EQ(Pieces.size(), 5u);  // an empty write sends nothing
  EXPECT_EQ(Pieces[0], "Total recs=");
  EXPECT_EQ(Pieces[1], "12\n");
  EXPECT_EQ(Pieces[2].size(), LogBufferSize);
  EXPECT_EQ(Pieces[4].size(), 300 - 2 * LogBufferSize);
}

TEST(LogDevice, CapturesNestAndRestore) {
  TLogCapture Outer;
  LogWriteLn("one");
  {
    TLogCapture Inner;
    LogWriteLn("Illegal number abc");
    LogWrite("partial");
    EXPECT_EQ(Inner.Lines(), (std::vector<std::string>{"Illegal number abc", "partial"}));
  }
  LogWriteLn("two");
  EXPECT_EQ(Outer.Lines(), (std::vector<std::string>{"one", "two"}));
}

}  // namespace
