#include "fuzz_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <string>

namespace fuzz_support {

int FuzzInput::ConsumeIntegralInRange(int min, int max) {
  const std::uint64_t range = std::uint64_t(std::int64_t(max) - min);
  std::uint64_t result = 0;
  for (int bits = 0; bits < 32 && (range >> bits) > 0 && size_ > 0; bits += 8) {
    --size_;
    result = (result << 8) | data_[size_];
  }
  return int(std::int64_t(min) + std::int64_t(result % (range + 1)));
}

std::string FuzzInput::ConsumeRandomLengthString(std::size_t maxLength) {
  std::string text;
  while (text.size() < maxLength && size_ > 0) {
    char next = char(*data_++);
    --size_;
    if (next == '\\' && size_ > 0) {
      next = char(*data_++);
      --size_;
      if (next != '\\') break;
    }
    text += next;
  }
  return text;
}

const QString& ScratchFolder() {
  // Leaked on purpose: the folder must outlive every static that may still read from it, and
  // QTemporaryDir removes it when its destructor runs at exit.
  static QTemporaryDir* folder = new QTemporaryDir(QDir::tempPath() + "/folivex-fuzz-XXXXXX");
  static const QString path = folder->path();
  static const bool removeAtExit = [] {
    std::atexit([] { QDir(ScratchFolder()).removeRecursively(); });
    return true;
  }();
  (void)removeAtExit;
  return path;
}

QString WriteScratch(const QString& name, const QByteArray& bytes) {
  const QString path = ScratchFolder() + QLatin1Char('/') + name;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write the scratch file %s\n", qPrintable(path));
    std::abort();
  }
  return path;
}

QString WriteScratch(const QString& name, const std::uint8_t* data, std::size_t size) {
  return WriteScratch(name, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
}

void StartApplication(bool widgets) {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  if (widgets) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
  } else {
    new QCoreApplication(argc, argv);
  }
}

QString TextOf(FuzzInput& input) {
  const bool utf16 = input.ConsumeBool();
  const std::string bytes = input.ConsumeRandomLengthString(4096);
  if (!utf16) return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return QString::fromUtf16(units.data(), qsizetype(units.size()));
}

QString TextOf(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  return TextOf(input);
}

} // namespace fuzz_support
