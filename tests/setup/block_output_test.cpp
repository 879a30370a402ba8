#include "block_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setwright {
namespace {

// Records each write-out; the one numbered `failAt` (from 1) fails with code 112.
struct Sink {
  std::vector<std::string> writeOuts;
  int failAt = 0;

  BlockOutput::WriteOut Function() {
    return [this](const char* data, std::size_t size) -> std::int32_t {
      writeOuts.emplace_back(data, size);
      return static_cast<int>(writeOuts.size()) == failAt ? 112 : 0;
    };
  }
};

TEST(BlockOutput, WritesOutWholeBlocksOfOneHundredTwentyEightBytesAndTheRestOnFlush) {
  Sink sink;
  BlockOutput output(sink.Function(), BlockOutput::Mode::kWhenFull);
  const std::string line(50, 'x');
  EXPECT_EQ(output.Write(line), 0);
  EXPECT_EQ(output.Write(line), 0);
  EXPECT_TRUE(sink.writeOuts.empty());
  EXPECT_EQ(output.Write(line), 0);  // 150 bytes: the first block goes out
  ASSERT_EQ(sink.writeOuts.size(), 1u);
  EXPECT_EQ(sink.writeOuts[0], std::string(128, 'x'));
  EXPECT_EQ(output.Flush(), 0);
  ASSERT_EQ(sink.writeOuts.size(), 2u);
  EXPECT_EQ(sink.writeOuts[1], std::string(22, 'x'));
  EXPECT_EQ(output.Flush(), 0);
  EXPECT_EQ(sink.writeOuts.size(), 2u) << "an empty buffer is not written out";
}

TEST(BlockOutput, ReportsAFailedWriteOutInTheCallDuringWhichTheBufferFilled) {
  Sink sink;
  sink.failAt = 2;
  BlockOutput output(sink.Function(), BlockOutput::Mode::kWhenFull);
  std::vector<std::int32_t> codes;
  for (int line = 0; line < 10; ++line) {
    codes.push_back(output.Write(std::string(30, 'a')));  // blocks fill in calls 5 and 9
  }
  EXPECT_EQ(codes, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 0, 112, 0}));
}

TEST(BlockOutput, AWriteLongerThanTwoBlocksGoesOutBlockByBlock) {
  Sink sink;
  BlockOutput output(sink.Function(), BlockOutput::Mode::kWhenFull);
  EXPECT_EQ(output.Write(std::string(300, 'b')), 0);
  EXPECT_EQ(sink.writeOuts.size(), 2u);
  EXPECT_EQ(output.Flush(), 0);
  EXPECT_EQ(sink.writeOuts.back().size(), 44u);
}

TEST(BlockOutput, WritesOutAtTheEndOfEachCallForACharacterDevice) {
  Sink sink;
  BlockOutput output(sink.Function(), BlockOutput::Mode::kAtEachCall);
  EXPECT_EQ(output.Write("line one\r\n"), 0);
  EXPECT_EQ(output.Write("line two\r\n"), 0);
  EXPECT_EQ(sink.writeOuts, (std::vector<std::string>{"line one\r\n", "line two\r\n"}));
}

}  // namespace
}  // namespace setwright
