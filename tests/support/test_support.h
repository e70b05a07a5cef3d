#pragma once
// Helpers shared by every test executable: a scratch folder that removes itself, waiting on a
// condition while the event loop runs, and where the built program folder lies.
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <sys/types.h>

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

/// A port of 127.0.0.1 that nobody listens on: bound for a moment, never listened on, freed.
int ClosedPort();

/// Writes raw bytes to a file; returns false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

/// Sets the process's umask while it lives, then puts the old one back.
class ScopedUmask {
public:
  explicit ScopedUmask(mode_t mask);
  ~ScopedUmask();
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
  mode_t old_;
};

/// The permission bits of a file (0644, say), or -1 when it cannot be read.
int FileMode(const QString& path);
/// The file's inode number (0 when it cannot be read): a file replaced by a rename gets a new one.
ino_t FileInode(const QString& path);

/// A nearly full disk: a tmpfs of `kib` KiB mounted on a new folder while the object lives.
/// Mounting needs root; elsewhere Mounted() is false and the test skips.
class SmallDisk {
public:
  explicit SmallDisk(int kib);
  ~SmallDisk(); ///< Unmounts, then removes the folder.
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  /// The mounted folder, with a trailing "/".
  QString Path() const { return path_; }
  /// Fills the disk until fewer than `keepKib` KiB are free.
  void FillLeaving(int keepKib) const;

private:
  Sandbox sandbox_;
  QString path_;
  bool mounted_ = false;
};

} // namespace testing_support
