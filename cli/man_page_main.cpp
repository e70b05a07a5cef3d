// Writes folivex-get.1, the manual page, to standard output (a build step, never installed).
#include "cli/get_options.h"
#include "cli/man_page.h"

#include <cstdio>

int main() {
  const QByteArray page = folivex_get::ManPage(folivex_get::UsageText(), QStringLiteral(FOLIVEX_VERSION)).toUtf8();
  return std::fwrite(page.constData(), 1, size_t(page.size()), stdout) == size_t(page.size()) ? 0 : 1;
}
