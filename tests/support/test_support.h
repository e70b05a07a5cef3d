#pragma once
// Helpers shared by every test executable: a scratch folder that removes itself, waiting on a
// condition while the event loop runs, and where the built program folder lies.
#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace testing_support {

/// A fresh folder, removed with everything in it when the object dies.
class Sandbox {
public:
  Sandbox();
  QString path() const { return dir_.path(); }
  /// `name` inside the sandbox.
  QString file(const QString& name) const { return dir_.filePath(name); }

private:
  QTemporaryDir dir_;
};

/// Runs the event loop until `condition` holds or `timeoutMs` passes; returns the condition.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

/// The program folder the build laid out (build/app/), with a trailing "/".
QString AppFolder();

/// Writes raw bytes to a file; returns false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

} // namespace testing_support
