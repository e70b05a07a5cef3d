// Link texts from web pages become folder names: whatever the text, the name is one non-empty
// component that cannot climb, hide or run past the length limits.
#include "engine/folder_name.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text = fuzz_support::TextOf(data, size);
  const QString name = engine::SafeFolderComponent(text);
  FUZZ_CHECK(!name.isEmpty());
  FUZZ_CHECK(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')));
  FUZZ_CHECK(!name.startsWith(QLatin1Char('.')) && name == name.trimmed());
  FUZZ_CHECK(!name.contains(QLatin1Char('\n')) && !name.contains(QChar(0)));
  FUZZ_CHECK(name.size() <= engine::kMaxFolderNameChars);
  FUZZ_CHECK(name.toUtf8().size() <= engine::kMaxFolderNameBytes);
  FUZZ_CHECK(QString::fromUtf8(name.toUtf8()) == name); // no lone surrogate survives
  FUZZ_CHECK(engine::SafeFolderComponent(name) == name);
  const QString line = engine::NormaliseWhitespace(text);
  FUZZ_CHECK(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
  return 0;
}
