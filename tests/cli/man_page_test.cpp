// The manual page and the bash completion follow the usage text: every option --help lists is
// in both (groff checks the built page itself: cli.ManPageFormatsWithoutWarnings).
#include "cli/get_options.h"
#include "cli/man_page.h"
#include "test_support.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Every long and short option the usage text names ("--jobs", "-j", ...).
QStringList UsageOptions() {
  QStringList options;
  static const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
  for (auto it = option.globalMatch(folivex_get::UsageText()); it.hasNext();) {
    const QString name = it.next().captured(1);
    if (!options.contains(name)) options << name;
  }
  return options;
}

} // namespace

TEST(ManPage, EveryOptionOfTheUsageTextIsOnThePageAndInTheCompletion) {
  const QString page = folivex_get::ManPage(folivex_get::UsageText(), "9.9");
  const QString completion =
      QString::fromUtf8(testing_support::ReadBytes(FOLIVEX_SOURCE_DIR "/packaging/folivex-get.bash-completion"));
  const QStringList options = UsageOptions();
  ASSERT_GE(options.size(), 16) << options.join(' ').toStdString();
  for (const QString& option : options) {
    const QRegularExpression named("^\\.B .*" + QRegularExpression::escape(folivex_get::TroffText(option)) +
                                   "($|[ ,])", QRegularExpression::MultilineOption);
    EXPECT_TRUE(named.match(page).hasMatch()) << option.toStdString() << " has no entry on the page";
    EXPECT_TRUE(QRegularExpression("[\" ]" + QRegularExpression::escape(option) + "[\" \\n]")
                    .match(completion).hasMatch())
        << option.toStdString() << " is missing from the completion";
  }
  for (const QString& line : page.split('\n'))
    EXPECT_FALSE(line.startsWith(' ')) << "a blank at a line start shifts the text: " << line.toStdString();
}
