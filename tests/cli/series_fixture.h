#pragma once
// folivex-get run from a private program folder of the test's own: folivex-get (and Gantrell,
// when it is the engine) linked into a folder marked for the user layout, whose data folder
// (series list, command files) lies in the test's sandbox. The real program folder and the
// user's data are never touched.
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <unistd.h>

namespace series_test {

struct RunResult {
  int code = -1;
  QString out;
  QString err;
};

class PrivateProgramFolder {
public:
  /// `engine`: the scripted engine's path, or "Gantrell" for the real one (linked in too).
  explicit PrivateProgramFolder(const QString& engineProgram) : engine(engineProgram) {
    Place(FOLIVEX_GET_PATH);
    if (engineProgram == QLatin1String("Gantrell")) engine = Place(testing_support::AppFolder() + "Gantrell");
    testing_support::WriteBytes(folder + "layout.ini", "[app]\nuser_data=1\n");
  }

  /// Runs folivex-get with `args` in the sandbox; standard input is empty. With `errFile`,
  /// standard error is that file (RunResult::err its content).
  RunResult Run(const QStringList& args, int timeoutMs = 240000, const QString& errFile = {}) const {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FOLIVEX_GET_ENGINE", engine);
    env.insert("FOLIVEX_TEST_APP_DIR", folder); // the scripted engine's program folder
    env.insert("XDG_DATA_HOME", box.file("data"));
    env.insert("FOLIVEX_OPENER", "/bin/false"); // never a real viewer, whatever happens
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(box.path());
    if (!errFile.isEmpty()) process.setStandardErrorFile(errFile);
    process.start(folder + "folivex-get", args);
    if (!process.waitForStarted(10000)) return {};
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
      process.kill();
      process.waitForFinished(5000);
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(errFile.isEmpty() ? process.readAllStandardError()
                                                : testing_support::ReadBytes(errFile))};
  }

  testing_support::Sandbox box;
  QString folder = box.file("app") + "/"; ///< the program folder
  QString engine;                         ///< the engine folivex-get starts

private:
  // A hard link where it can be (the program must lie in the folder, not point there), else a
  // copy. The path in the folder.
  QString Place(const QString& program) const {
    const QString target = folder + QFileInfo(program).fileName();
    if (QDir().mkpath(folder) &&
        ::link(QFile::encodeName(program).constData(), QFile::encodeName(target).constData()) != 0)
      QFile::copy(program, target);
    return target;
  }
};

} // namespace series_test
