// Runs a fuzz target's entry point once on every file of the folders (or files) it is given,
// in name order, so the seed corpora are ordinary tests of the normal build. A broken
// guarantee aborts (FUZZ_CHECK) and fails the test; the last "seed" line names the input.
#include "fuzz_support.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

QStringList SeedFiles(const QString& path) {
  if (!QFileInfo(path).isDir()) return {path};
  QStringList files;
  const QDir folder(path);
  for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) files << folder.filePath(name);
  return files;
}

} // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  int seeds = 0;
  for (int i = 1; i < argc; ++i) {
    const QStringList files = SeedFiles(QFile::decodeName(argv[i]));
    if (files.isEmpty()) {
      std::fprintf(stderr, "no seeds in %s\n", argv[i]);
      return 1;
    }
    for (const QString& path : files) {
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
      }
      const QByteArray bytes = file.readAll();
      std::printf("seed %s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
      std::fflush(stdout);
      // A copy of exactly the seed's size, so a read past its end is one under a sanitizer.
      const std::vector<std::uint8_t> seed(bytes.begin(), bytes.end());
      LLVMFuzzerTestOneInput(seed.data(), seed.size());
      ++seeds;
    }
  }
  std::printf("%d seeds passed\n", seeds);
  return seeds > 0 ? 0 : 1;
}
