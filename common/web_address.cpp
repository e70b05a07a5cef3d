#include "common/web_address.h"

namespace common {

bool BeginsWithWebScheme(const QString& text) {
  return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
         text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace common
