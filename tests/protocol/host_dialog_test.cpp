// The engine's host window, in process.
#include "common/protocol.h"
#include "engine/engine_window.h"
#include "fake_engine_host.h"

#include <gtest/gtest.h>

TEST(HostDialog, ViewDoneForAViewItDoesNotHoldIsIgnoredAndQuitDestroysTheWindow) {
  testing_support::FakeEngineHost host;
  CEngineWindow dialog(host);
  const platform::HWND handle = dialog.Handle();
  ASSERT_TRUE(platform::IsWindow(handle));
  int unrelated = 0;
  EXPECT_EQ(platform::SendMessage(handle, protocol::WM_APP_VIEW_DONE,
                                  reinterpret_cast<platform::WPARAM>(&unrelated), 0), 0);
  EXPECT_EQ(dialog.ViewCount(), 0);
  platform::SendMessage(handle, protocol::WM_APP_ENGINE_QUIT, 0, 0);
  EXPECT_TRUE(dialog.Destroyed());
  EXPECT_FALSE(platform::IsWindow(handle));
}
