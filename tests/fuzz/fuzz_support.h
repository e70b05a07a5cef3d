#pragma once
// What the fuzz targets share: a private scratch folder for inputs that the code under test
// reads from files, the Qt application some readers need, and turning fuzz bytes into text the
// way files and messages carry it (UTF-8 or UTF-16).
//
// Every target is one LLVMFuzzerTestOneInput over one reader or rule. A target states the
// rule's guarantees as FUZZ_CHECK, so a broken guarantee is a crash libFuzzer keeps.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <fuzzer/FuzzedDataProvider.h>

namespace fuzz_support {

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
/// (FuzzedDataProvider::ConsumeRandomLengthString), so several texts follow one another.
QString TextOf(FuzzedDataProvider& input);
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
