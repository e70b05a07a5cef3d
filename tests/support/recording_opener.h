#pragma once
// An opener that opens nothing: it notes every target, and fails on request the way the
// desktop's opener reports a failure.
#include "platform/launcher.h"

#include <QStringList>

namespace testing_support {

class RecordingOpener : public platform::FIUrlOpener {
public:
  QStringList opened;        ///< every Open target, in order
  QStringList shownInFolder; ///< every ShowInFolder file, in order
  /// 0: every opening works; else the exit status each failure reports (-1: not started).
  int failWith = 0;

  void Open(const QString& target, platform::OpenFailed failed) override {
    opened << target;
    if (failWith != 0 && failed) failed({QStringLiteral("xdg-open"), failWith});
  }
  void ShowInFolder(const QString& file, platform::OpenFailed failed) override {
    shownInFolder << file;
    if (failWith != 0 && failed) failed({QStringLiteral("xdg-open"), failWith});
  }
};

} // namespace testing_support
