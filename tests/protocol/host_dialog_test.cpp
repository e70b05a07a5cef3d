// The engine's host dialog and sound hook, in process.
#include "common/protocol.h"
#include "engine/gantrell_dlg.h"
#include "fake_engine_host.h"
#include "platform/sound.h"

#include <gtest/gtest.h>

TEST(SoundHook, SilencesEverySoundWhileTheHostDialogLives) {
  const platform::PlaySoundFn real = platform::PlaySoundW;
  {
    testing_support::FakeEngineHost host;
    CGantrellDlg dialog(host);
    EXPECT_NE(platform::PlaySoundW, real);
    EXPECT_EQ(platform::PlaySoundW(u"SystemAsterisk", nullptr, 0x10000), 1);
    EXPECT_EQ(platform::PlaySoundW(u"/no/such/file.wav", nullptr, 0x20000), 1);
    EXPECT_EQ(platform::PlaySoundW(nullptr, nullptr, 0), 1);
  }
  EXPECT_EQ(platform::PlaySoundW, real);
  // The real player fails for a file that does not exist.
  EXPECT_EQ(platform::PlaySoundW(u"/no/such/file.wav", nullptr, 0x20000), 0);
}

TEST(HostDialog, ViewDoneForAViewItDoesNotHoldIsIgnoredAndQuitDestroysTheWindow) {
  testing_support::FakeEngineHost host;
  CGantrellDlg dialog(host);
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
