#pragma once
// What the fuzz targets share: a private scratch folder for inputs that the code under test
// reads from files, the Qt application some readers need, and turning fuzz bytes into text the
// way files and messages carry it (UTF-8 or UTF-16).
//
// Every target is one LLVMFuzzerTestOneInput over one reader or rule. A target states the
// rule's guarantees as FUZZ_CHECK, so a broken guarantee is a crash libFuzzer keeps. The same
// entry point is linked either with libFuzzer (the sanitizer build) or with corpus_driver.cpp,
// which runs every seed of the target's corpus once (the normal build's tests).
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_support {

/// Takes typed values out of fuzz bytes. Numbers and flags come from the end, texts from the
/// front, so a seed's leading text stays readable. The same bytes give the same values in every
/// build, so a seed keeps its meaning whether libFuzzer or the corpus driver runs it.
class FuzzInput {
public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  /// The lowest bit of the last byte; false when the bytes are used up.
  bool ConsumeBool() { return ConsumeIntegralInRange(0, 255) & 1; }
  /// A number from `min` to `max`: as many bytes from the end as the range needs (the later a
  /// byte, the more significant), reduced modulo the range's size; `min` when none are left.
  int ConsumeIntegralInRange(int min, int max);
  /// Bytes from the front up to `maxLength`: a backslash followed by another backslash stands
  /// for one backslash, a backslash followed by anything else ends the text (both are taken).
  std::string ConsumeRandomLengthString(std::size_t maxLength);

private:
  const std::uint8_t* data_;
  std::size_t size_;
};

/// A folder of this process below the temporary folder, made on first use and removed at exit.
/// Ends without "/".
const QString& ScratchFolder();

/// Writes `bytes` to `name` in the scratch folder (replacing it) and returns its path.
QString WriteScratch(const QString& name, const QByteArray& bytes);
QString WriteScratch(const QString& name, const std::uint8_t* data, std::size_t size);

/// Starts the process's Qt application once: a QApplication on the offscreen platform when
/// `widgets` is true, else a QCoreApplication. Targets call it from LLVMFuzzerInitialize.
void StartApplication(bool widgets);

/// Text from fuzz bytes: a byte taken from the end chooses UTF-8 or UTF-16 (native order, odd
/// tails dropped), so both the byte-level and the code-unit-level shapes (lone surrogates)
/// occur; the text is taken from the front up to a backslash followed by another character
/// (FuzzInput::ConsumeRandomLengthString), so several texts follow one another.
QString TextOf(FuzzInput& input);
QString TextOf(const std::uint8_t* data, std::size_t size);

} // namespace fuzz_support

/// Aborts (a crash libFuzzer records) when a guarantee of the code under test is broken.
#define FUZZ_CHECK(condition)                                                                    \
  do {                                                                                           \
    if (!(condition)) {                                                                          \
      std::fprintf(stderr, "%s:%d: broken guarantee: %s\n", __FILE__, __LINE__, #condition);    \
      std::abort();                                                                              \
    }                                                                                            \
  } while (false)
