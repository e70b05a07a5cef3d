// bench_site: serves `chapters` chapters of `pages` pages each on 127.0.0.1 (a free port)
// until its stdin reaches its end. Prints one line per chapter, the address of its first page,
// then an empty line once everything is served, so a caller can read up to that line and go.
//   bench_site [chapters] [pages] [list|links|button|enter]
#include "chapter_site.h"
#include "common/library_init.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <unistd.h>

using namespace testing_support;

namespace {

ChapterKind KindNamed(const QString& name) {
  if (name == "list") return ChapterKind::PageList;
  if (name == "button") return ChapterKind::PageBoxButton;
  if (name == "enter") return ChapterKind::PageBoxEnter;
  return ChapterKind::NextLinks;
}

void WaitForEndOfInput() {
  char buffer[256];
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EINTR)) return;
  }
}

} // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  ImageLibraryInit magick;
  const QStringList args = app.arguments();
  // Bounded so a typo cannot make the program draw pictures for minutes.
  const int chapters = args.size() > 1 ? std::clamp(args[1].toInt(), 1, 20) : 3;
  const int pages = args.size() > 2 ? std::clamp(args[2].toInt(), 1, 500) : 30;
  const QString kind = args.size() > 3 ? args[3] : QStringLiteral("links");

  std::unique_ptr<LocalSite> site;
  try {
    site = std::make_unique<LocalSite>();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_site: %s\n", error.what());
    return 1;
  }
  for (int number = 1; number <= chapters; ++number) {
    const Chapter chapter =
        AddChapter(*site, QStringLiteral("/c%1/").arg(number), KindNamed(kind), pages);
    std::printf("%s\n", qPrintable(chapter.PageUrl(*site, 1)));
  }
  std::printf("\n");
  std::fflush(stdout);
  WaitForEndOfInput();
  return 0;
}
