#include "tests/wine/harness/log_lines.h"

#include <gtest/gtest.h>

using harness::completeLines;
using harness::countLinesStartingWith;

TEST(LogLines, KeepsOnlyFinishedLinesAndDropsCarriageReturns) {
  EXPECT_EQ(completeLines(""), std::vector<std::string>{});
  EXPECT_EQ(completeLines("start\r\nwrite 02 c6 ack\nread 1"),
            (std::vector<std::string>{"start", "write 02 c6 ack"}));
  EXPECT_EQ(completeLines("\n\n"), (std::vector<std::string>{"", ""}));
}

TEST(LogLines, CountsByPrefix) {
  const char* log = "write 00 10 ack\nread 01 80 ack\nwrite 02 c6 ack\nwrite 03";
  EXPECT_EQ(countLinesStartingWith(log, "write "), 2);
  EXPECT_EQ(countLinesStartingWith(log, "read 01"), 1);
  EXPECT_EQ(countLinesStartingWith(log, ""), 3);
  EXPECT_EQ(countLinesStartingWith(log, "write 00 10 ack and more"), 0);
}
