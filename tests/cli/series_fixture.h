#pragma once
// folivex-get run from a private program folder of the test's own: folivex-get (and Gantrell,
// when it is the engine) linked into a folder marked for the user layout, whose data folder
// (series list, command files) lies in the test's sandbox. The real program folder and the
// user's data are never touched.
#include "test_support.h"

#include <QString>
#include <QStringList>

namespace series_test {

struct RunResult {
  int code = -1;
  QString out;
  QString err;
};

class PrivateProgramFolder {
public:
  /// `engine`: the scripted engine's path, or "Gantrell" for the real one (linked in too).
  explicit PrivateProgramFolder(const QString& engine);

  /// Runs folivex-get with `args` in the sandbox; standard input is empty. With `errFile`,
  /// standard error is that file (RunResult::err its content).
  RunResult Run(const QStringList& args, int timeoutMs = 240000, const QString& errFile = {}) const;

  testing_support::Sandbox box;
  QString folder; ///< the program folder, ending with "/"
  QString engine; ///< the engine folivex-get starts
};

} // namespace series_test
