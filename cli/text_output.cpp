#include "cli/text_output.h"

namespace folivex_get {

void WriteText(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
  std::fflush(stream);
}

void WriteLine(std::FILE* stream, const QString& text) {
  WriteText(stream, text + QLatin1Char('\n'));
}

} // namespace folivex_get
