// Termination signals delivered to the event loop, in both repeat modes, and the default
// handling put back afterwards. The signals are raised inside this process only.
#include "platform/termination.h"
#include "test_support.h"

#include <csignal>
#include <gtest/gtest.h>
#include <vector>

using platform::TerminationWatch;
using testing_support::WaitFor;

namespace {

bool HandledByDefault(int signal) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler == SIG_DFL;
}

} // namespace

TEST(TerminationWatch, EverySignalReachesTheLoopUntilTheWatchEnds) {
  std::vector<int> received;
  {
    TerminationWatch watch([&](int signal) { received.push_back(signal); },
                           TerminationWatch::Repeat::Deliver);
    std::raise(SIGTERM);
    std::raise(SIGHUP);
    std::raise(SIGTERM);
    EXPECT_TRUE(received.empty()) << "the handler itself only wakes the loop";
    ASSERT_TRUE(WaitFor([&] { return received.size() == 3; }, 5000));
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGTERM}));
  }
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) EXPECT_TRUE(HandledByDefault(signal)) << signal;
}

TEST(TerminationWatch, EndAtOnceHandsTheNextSignalOfThatKindToTheSystem) {
  std::vector<int> received;
  TerminationWatch watch([&](int signal) { received.push_back(signal); },
                         TerminationWatch::Repeat::EndAtOnce);
  std::raise(SIGINT);
  ASSERT_TRUE(WaitFor([&] { return received.size() == 1; }, 5000));
  EXPECT_EQ(received[0], SIGINT);
  EXPECT_TRUE(HandledByDefault(SIGINT)); // a second Control-C ends the process
  EXPECT_FALSE(HandledByDefault(SIGTERM));
}
