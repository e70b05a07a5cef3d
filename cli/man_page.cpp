#include "cli/man_page.h"

#include <QRegularExpression>
#include <QStringList>

namespace folivex_get {
namespace {

// Where an option's description starts in the usage text.
constexpr int kDescriptionColumn = 18;

const char kFiles[] =
    ".TP\n.I FOLDER/folivex\\-series.json\n"
    "The record of a followed series: its list page, its name and every chapter seen, with the "
    "folder it went to and whether it was downloaded. It moves with its folder.\n"
    ".TP\n.I ~/.local/share/folivex/series.json\n"
    "The series Folivex follows (the folders of their records); \\-\\-follow adds to it and "
    "\\-\\-check without a FOLDER checks them. For a program folder that can be written, the file "
    "lies there instead.\n"
    ".TP\n.I /usr/lib/systemd/user/folivex\\-check.timer\n"
    "A daily \\-\\-check of the followed series, off until the user turns it on with\n"
    ".B systemctl \\-\\-user enable \\-\\-now folivex\\-check.timer\n";

const char kEnvironment[] =
    ".TP\n.B http_proxy, https_proxy, all_proxy, no_proxy\n"
    "The proxy when \\-\\-proxy is not given.\n"
    ".TP\n.B FOLIVEX_EXTRA_CA\n"
    "A PEM file of certificates to trust in addition to the system's.\n"
    ".TP\n.B GANTRELL_CHROMIUM\n"
    "The Chromium program the engine drives.\n";

const char kExamples[] =
    ".nf\n"
    "folivex\\-get \\-\\-links \\-\\-chapters https://site.example/comic/77/ comics\n"
    "folivex\\-get \\-\\-cbz \\-\\-follow https://site.example/comic/77/ \"comics/Tide Keeper\"\n"
    "folivex\\-get \\-\\-check \\-\\-json \\-\\-exec 'notify\\-send \"New chapter\"'\n"
    ".fi\n";

struct Option {
  QString name;
  QString text;
};

// Splits the usage text into its parts: usage lines, description paragraphs, options, exit status.
struct Usage {
  QStringList synopsis;
  QStringList description;
  QList<Option> options;
  QString exitStatus;
};

Usage ParseUsage(const QString& usage) {
  Usage parts;
  const QStringList paragraphs = usage.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
  for (const QString& paragraph : paragraphs) {
    QStringList lines = paragraph.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.first().startsWith(QLatin1String("Usage:"))) {
      for (const QString& line : lines.mid(1)) parts.synopsis << line.trimmed();
    } else if (lines.first().startsWith(QLatin1String("Exit status:"))) {
      parts.exitStatus = paragraph.mid(12).simplified();
    } else if (lines.first().startsWith(QLatin1String("  -"))) {
      for (const QString& line : lines) {
        const bool continues = line.startsWith(QString(kDescriptionColumn, QLatin1Char(' ')));
        if (continues && !parts.options.isEmpty()) {
          QString& text = parts.options.last().text;
          text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + line.trimmed();
          continue;
        }
        const QString body = line.trimmed();
        const qsizetype gap = body.indexOf(QStringLiteral("  "));
        parts.options.append(gap < 0 ? Option{body, QString()}
                                     : Option{body.left(gap), body.mid(gap).trimmed()});
      }
    } else {
      parts.description << paragraph.simplified();
    }
  }
  return parts;
}

} // namespace

QString TroffText(const QString& text) {
  QString out = text;
  out.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
  out.replace(QLatin1Char('-'), QStringLiteral("\\-"));
  if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\''))) out.prepend(QStringLiteral("\\&"));
  return out;
}

QString ManPage(const QString& usage, const QString& version) {
  const Usage parts = ParseUsage(usage);
  QString page = QStringLiteral(".TH FOLIVEX\\-GET 1 \"\" \"folivex-get %1\" \"User Commands\"\n").arg(version);
  page += QStringLiteral(".SH NAME\nfolivex\\-get \\- download comic chapters, and follow series, "
                         "from the command line\n.SH SYNOPSIS\n");
  for (const QString& line : parts.synopsis)
    page += QStringLiteral(".B folivex\\-get\n") + TroffText(line.mid(QStringLiteral("folivex-get ").size())) +
            QStringLiteral("\n.br\n");
  page += QStringLiteral(".SH DESCRIPTION\n");
  for (const QString& paragraph : parts.description) page += TroffText(paragraph) + QStringLiteral("\n.PP\n");
  page += QStringLiteral("Followed series are checked with \\-\\-check; the chapters that are "
                         "chapters of the series are found on the list page without knowledge of "
                         "the site, and each downloaded chapter gets a ComicInfo.xml with the "
                         "series, the chapter number and title and its address.\n");
  page += QStringLiteral(".SH OPTIONS\n");
  for (const Option& option : parts.options)
    page += QStringLiteral(".TP\n.B ") + TroffText(option.name) + QLatin1Char('\n') +
            TroffText(option.text) + QLatin1Char('\n');
  page += QStringLiteral(".SH EXIT STATUS\n") + TroffText(parts.exitStatus) + QLatin1Char('\n');
  page += QStringLiteral(".SH FILES\n") + QLatin1String(kFiles);
  page += QStringLiteral(".SH ENVIRONMENT\n") + QLatin1String(kEnvironment);
  page += QStringLiteral(".SH EXAMPLES\n") + QLatin1String(kExamples);
  page += QStringLiteral(".SH SEE ALSO\n.BR folivex (1)\n");
  return page;
}

} // namespace folivex_get
