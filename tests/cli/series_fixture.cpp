#include "series_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <unistd.h>

namespace series_test {
namespace {

// A hard link where it can be (the program must lie in the folder, not point there), else a copy.
bool Place(const QString& program, const QString& folder) {
  const QString target = folder + QFileInfo(program).fileName();
  return ::link(QFile::encodeName(program).constData(), QFile::encodeName(target).constData()) == 0 ||
         QFile::copy(program, target);
}

} // namespace

PrivateProgramFolder::PrivateProgramFolder(const QString& engineProgram)
    : folder(box.file("app") + "/") {
  QDir().mkpath(folder);
  Place(FOLIVEX_GET_PATH, folder);
  engine = engineProgram;
  if (engineProgram == QLatin1String("Gantrell")) {
    Place(testing_support::AppFolder() + "Gantrell", folder);
    engine = folder + "Gantrell";
  }
  testing_support::WriteBytes(folder + "layout.ini", "[app]\nuser_data=1\n");
}

RunResult PrivateProgramFolder::Run(const QStringList& args, int timeoutMs,
                                    const QString& errFile) const {
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

} // namespace series_test
