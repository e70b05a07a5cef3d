// Folders named by web pages (link-search lines) must stay inside the folder the user chose:
// whatever the text, the rule gives nothing or a folder below the base, never one with a "."
// or ".." component, and never one that a symbolic link below the base leads out of.
#include "core/folder_rule.h"
#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool Inside(const QString& path, const QString& base) {
  return path == base || path.startsWith(base + QLatin1Char('/'));
}

// The deepest existing part of `path`, symbolic links resolved.
QString RealExistingPart(QString path) {
  while (!QFileInfo::exists(path) && path.contains(QLatin1Char('/')))
    path = path.left(path.lastIndexOf(QLatin1Char('/')));
  return QFileInfo(path).canonicalFilePath();
}

QString Base() { return fuzz_support::ScratchFolder() + QStringLiteral("/base"); }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QDir().mkpath(Base() + QStringLiteral("/sub/deeper"));
  QFile::link(QStringLiteral("/"), Base() + QStringLiteral("/sub/root"));
  QFile::link(QStringLiteral(".."), Base() + QStringLiteral("/up"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::FuzzInput input(data, size);
  const QString base = input.ConsumeBool() ? Base() : Base() + QLatin1Char('/');
  const QString folder = fuzz_support::TextOf(input);

  const QString inside = folder_rule::FolderInside(base, folder);
  if (!inside.isEmpty()) {
    FUZZ_CHECK(Inside(QDir::cleanPath(inside), QDir::cleanPath(base)));
    for (const QString& part : inside.split(QLatin1Char('/')))
      FUZZ_CHECK(part != QLatin1String(".") && part != QLatin1String(".."));
  }
  const QString resolved = folder_rule::ResolveFolderInside(base, folder);
  if (!resolved.isEmpty()) {
    FUZZ_CHECK(!inside.isEmpty());
    FUZZ_CHECK(Inside(RealExistingPart(resolved), QFileInfo(base).canonicalFilePath()));
  }
  return 0;
}
