// The receive buffer and the speed counter on their own, without a network.
#include "net/calculate_speed.h"
#include "net/receive_buffer.h"

#include <gtest/gtest.h>

namespace {

TEST(ReceiveBuffer, TakeOnAnEmptyBufferGivesNullAndZero) {
  CReceiveBuffer buffer;
  const FCReceivedBlock block = buffer.Take();
  EXPECT_TRUE(block.IsNull());
  EXPECT_EQ(block.length, 0);
  EXPECT_TRUE(block.Bytes().isNull());
}

TEST(ReceiveBuffer, TakenBlockEndsInTwoZeroBytesAndEmptiesTheBufferButKeepsItsCapacity) {
  CReceiveBuffer buffer;
  const QByteArray big(CReceiveBuffer::kGrowStep + 10, 'x');
  buffer.Append(big.constData(), int(big.size()));
  ASSERT_EQ(buffer.Capacity(), 2 * CReceiveBuffer::kGrowStep);

  const FCReceivedBlock block = buffer.Take();
  ASSERT_EQ(block.length, big.size());
  EXPECT_EQ(block.data[block.length], 0);
  EXPECT_EQ(block.data[block.length + 1], 0);
  // Read as 16-bit text the block ends too, whatever the parity of its length.
  EXPECT_EQ(buffer.Size(), 0);
  EXPECT_EQ(buffer.Capacity(), 2 * CReceiveBuffer::kGrowStep);
  EXPECT_TRUE(buffer.Take().IsNull());
}

TEST(CalculateSpeed, ATransferEndingBeforeTheFirstTickStillHasASpeed) {
  CCalculateSpeed speed;
  EXPECT_EQ(speed.Counters().endTick, CCalculateSpeed::kRunning);
  speed.AddBytes(500);
  speed.AddBytes(0);
  speed.MarkEnd(); // well under a second: possibly 0 ms, which counts as 100 ms
  const CCalculateSpeed::Snapshot counters = speed.Counters();
  EXPECT_GT(counters.currentSpeed, 0);
  EXPECT_LE(counters.currentSpeed, 500 * 1000);
  EXPECT_EQ(counters.totalBytes, 500);
  EXPECT_NE(counters.endTick, CCalculateSpeed::kRunning);
  EXPECT_TRUE(speed.IsTimerRunning());
  speed.OnTimerNotify(); // the first tick after the end stops the timer and keeps the speed
  EXPECT_FALSE(speed.IsTimerRunning());
  EXPECT_EQ(speed.Counters().currentSpeed, counters.currentSpeed);
}

TEST(CalculateSpeed, EachTickMeasuresItsIntervalAndStartsANewOne) {
  CCalculateSpeed speed;
  speed.AddBytes(4000);
  speed.OnTimerNotify();
  const CCalculateSpeed::Snapshot first = speed.Counters();
  EXPECT_GT(first.currentSpeed, 0);
  EXPECT_EQ(first.intervalBytes, 0);
  EXPECT_EQ(first.totalBytes, 4000);
  speed.OnTimerNotify(); // an interval without bytes
  EXPECT_EQ(speed.Counters().currentSpeed, 0);
  speed.AddBytes(10);
  speed.MarkEnd(); // the speed is 0 again, so the end measures the last interval
  EXPECT_GT(speed.Counters().currentSpeed, 0);
}

} // namespace
