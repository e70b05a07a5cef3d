#include "cli/get_options.h"

#include "common/protocol.h"
#include "common/network_setting.h"

namespace folivex_get {
namespace {

// Reads the number of -j; false unless it is a whole number from 1 to kMaxJobs.
bool ParseJobs(const QString& text, int& jobs) {
  if (text.isEmpty() || text.size() > 3) return false;
  for (const QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  const int value = text.toInt();
  if (value < 1 || value > kMaxJobs) return false;
  jobs = value;
  return true;
}

// Reads the seconds of --delay; false unless a whole number from 0 to the engine's maximum.
bool ParseDelay(const QString& text, int& delay) {
  if (text.isEmpty() || text.size() > 2) return false;
  for (const QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  const int value = text.toInt();
  if (value > protocol::kMaxPageDelaySeconds) return false;
  delay = value;
  return true;
}

// Reads the number of --max-pages; false unless a whole number from 1 to the engine's maximum.
bool ParseMaxPages(const QString& text, int& pages) {
  if (text.isEmpty() || text.size() > 6) return false;
  for (const QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  const int value = text.toInt();
  if (value < 1 || value > protocol::kMostMaxPages) return false;
  pages = value;
  return true;
}

QString MaxPagesError(const QString& given) {
  return QStringLiteral("--max-pages wants a whole number from 1 to %1, not \"%2\"")
      .arg(protocol::kMostMaxPages)
      .arg(given);
}

QString DelayError(const QString& given) {
  return QStringLiteral("--delay wants whole seconds from 0 to %1, not \"%2\"")
      .arg(protocol::kMaxPageDelaySeconds)
      .arg(given);
}

QString JobsError(const QString& given) {
  return QStringLiteral("-j wants a whole number from 1 to %1, not \"%2\"").arg(kMaxJobs).arg(given);
}

QString ControlCharacterError(const QString& folder) {
  return QStringLiteral("the folder name \"%1\" holds a control character").arg(Escaped(folder));
}

// The modes of followed series, and the options that go with some modes only. Sets the mode
// for --follow and --check; returns an error text or empty.
QString SeriesModes(GetOptions& options, const QStringList& positional, bool list, bool links,
                    bool follow, bool check) {
  if (int(list) + int(links) + int(follow) + int(check) > 1)
    return QStringLiteral("--list, --links, --follow and --check do not go together");
  if (options.chaptersOnly && !links) return QStringLiteral("--chapters goes with --links");
  if (options.onlyNew && !follow) return QStringLiteral("--only-new goes with --follow");
  if (links && (options.json || !options.exec.isEmpty()))
    return QStringLiteral("--json and --exec go with downloads, not with --links");
  if (follow) {
    if (positional.size() != 2) return QStringLiteral("--follow wants one address and one folder");
    if (!IsWebAddress(positional[0])) return QStringLiteral("not a web address: %1").arg(positional[0]);
    if (positional[1].isEmpty()) return QStringLiteral("empty folder for %1").arg(positional[0]);
    if (HasControlCharacter(positional[1])) return ControlCharacterError(positional[1]);
    options.chapters.append({positional[0], positional[1]});
    options.mode = GetMode::Follow;
  } else if (check) {
    for (const QString& folder : positional) {
      if (folder.isEmpty()) return QStringLiteral("--check: empty folder name");
      if (HasControlCharacter(folder)) return ControlCharacterError(folder);
    }
    options.checkFolders = positional;
    options.mode = GetMode::Check;
  }
  return QString();
}

} // namespace

bool HasControlCharacter(const QString& name) {
  for (const QChar c : name)
    if (c.category() == QChar::Other_Control) return true;
  return false;
}

QString Escaped(const QString& text) {
  QString escaped;
  for (const QChar c : text) {
    if (c.category() != QChar::Other_Control) escaped += c;
    else if (c == QLatin1Char('\n')) escaped += QLatin1String("\\n");
    else if (c == QLatin1Char('\t')) escaped += QLatin1String("\\t");
    else if (c == QLatin1Char('\r')) escaped += QLatin1String("\\r");
    else if (c.unicode() == 0) escaped += QLatin1String("\\0");
    else escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
  }
  return escaped;
}

bool IsWebAddress(const QString& text) {
  for (const char* scheme : {"http://", "https://"}) {
    const QLatin1String prefix(scheme);
    if (text.startsWith(prefix, Qt::CaseInsensitive)) return text.size() > prefix.size();
  }
  return false;
}

QString UsageText() {
  return QStringLiteral(
             "Usage:\n"
             "  folivex-get [-j N] [--cbz] [--delay S] [--max-pages N] URL FOLDER [URL FOLDER ...]\n"
             "  folivex-get [-j N] [--cbz] [--delay S] [--max-pages N] --list FILE [FOLDER]\n"
             "  folivex-get --links [--chapters] URL FOLDER\n"
             "  folivex-get [-j N] [--cbz] [--only-new] --follow URL FOLDER\n"
             "  folivex-get [-j N] [--cbz] --check [FOLDER ...]\n"
             "\n"
             "Downloads comic chapters with the Gantrell engine, without the Folivex window.\n"
             "Each chapter's pages are saved as 001.jpg, 002.png, ... in its FOLDER, which is\n"
             "created when missing.\n"
             "\n"
             "  -j N, --jobs N  download N chapters at the same time (1 to %1, default 1)\n"
             "  --cbz           pack each finished chapter into FOLDER.cbz (pages stored as\n"
             "                  they are, with ComicInfo.xml) and remove the loose pages\n"
             "  --delay S       start each page of a chapter at least S seconds after the\n"
             "                  previous one (0 to %2, default 0), for sites that ban\n"
             "                  visitors who fetch too fast\n"
             "  --max-pages N   stop a chapter that states no page count after N pages (1 to\n"
             "                  %3, default %4); it then counts as done\n"
             "  --list FILE     download every line of FILE (\"-\": standard input); a line is\n"
             "                  an address, spaces and a folder, as --links prints them.\n"
             "                  Folders must stay inside FOLDER (default: the current folder);\n"
             "                  lines with \".\" or \"..\" or other folders are refused\n"
             "  --links URL FOLDER\n"
             "                  open the chapter list page URL and print one line per chapter\n"
             "                  link: the address, three spaces, FOLDER and the link text\n"
             "  --chapters      with --links: print only the chapters of the series, oldest\n"
             "                  first, each into the folder \"SERIES - Chapter NUMBER\"\n"
             "  --follow URL FOLDER\n"
             "                  follow the series whose chapter list page is URL: remember it\n"
             "                  in FOLDER (a small file folivex-series.json), download its\n"
             "                  chapters into FOLDER and add it to the series Folivex follows\n"
             "  --only-new      with --follow: skip the chapters that are out already and\n"
             "                  download only the ones that appear from now on\n"
             "  --check [FOLDER ...]\n"
             "                  check the followed series found in the FOLDERs (and below\n"
             "                  them), or else the series Folivex follows, and download the\n"
             "                  chapters not downloaded yet, oldest first\n"
             "  --json          print one JSON object per line and event instead of the\n"
             "                  progress: start, page, done, failed\n"
             "  --exec CMD      run CMD after each finished chapter with the chapter's folder\n"
             "                  (or CBZ file) as its last argument; CMD is split into words\n"
             "                  like a shell would, but no shell ever sees the folder name\n"
             "  --proxy URL     reach the web through this proxy: http://, https:// or\n"
             "                  socks5://, optionally with user:password@ before the host.\n"
             "                  Without it, http_proxy, https_proxy and no_proxy apply\n"
             "  --cookies FILE  give the sites the cookies of FILE, a Netscape cookies.txt as\n"
             "                  browser add-ons export it (for chapters behind a login).\n"
             "                  FILE is only read; its cookies live as long as the engines\n"
             "                  that use them\n"
             "  --version       print the version\n"
             "  -h, --help      show this text\n"
             "\n"
             "Exit status: 0 when every chapter was downloaded completely, 1 when one failed\n"
             "(the reason is printed on standard error), 2 on bad arguments, 130 after\n"
             "Control-C.\n")
      .arg(kMaxJobs)
      .arg(protocol::kMaxPageDelaySeconds)
      .arg(protocol::kMostMaxPages)
      .arg(protocol::kDefaultMaxPages);
}

ParsedArguments ParseArguments(const QStringList& arguments) {
  ParsedArguments parsed;
  GetOptions& options = parsed.options;
  QStringList positional;
  bool list = false;
  bool links = false;
  bool follow = false;
  bool check = false;
  bool optionsEnd = false;

  for (int i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    const bool hasNext = i + 1 < arguments.size();
    if (optionsEnd || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
      positional.append(arg);
    } else if (arg == QLatin1String("--")) {
      optionsEnd = true;
    } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
      options.mode = GetMode::Help;
      return parsed;
    } else if (arg == QLatin1String("-j") || arg == QLatin1String("--jobs")) {
      if (!hasNext) return {options, QStringLiteral("%1 needs a number").arg(arg)};
      if (!ParseJobs(arguments[++i], options.jobs)) return {options, JobsError(arguments[i])};
    } else if (arg.startsWith(QLatin1String("--jobs="))) {
      const QString value = arg.mid(7);
      if (!ParseJobs(value, options.jobs)) return {options, JobsError(value)};
    } else if (arg.startsWith(QLatin1String("-j"))) {
      const QString value = arg.mid(2);
      if (!ParseJobs(value, options.jobs)) return {options, JobsError(value)};
    } else if (arg == QLatin1String("--cbz")) {
      options.cbz = true;
    } else if (arg == QLatin1String("--delay")) {
      if (!hasNext) return {options, QStringLiteral("--delay needs a number of seconds")};
      if (!ParseDelay(arguments[++i], options.delay)) return {options, DelayError(arguments[i])};
    } else if (arg.startsWith(QLatin1String("--delay="))) {
      const QString value = arg.mid(8);
      if (!ParseDelay(value, options.delay)) return {options, DelayError(value)};
    } else if (arg == QLatin1String("--max-pages")) {
      if (!hasNext) return {options, QStringLiteral("--max-pages needs a number of pages")};
      if (!ParseMaxPages(arguments[++i], options.maxPages)) return {options, MaxPagesError(arguments[i])};
    } else if (arg.startsWith(QLatin1String("--max-pages="))) {
      const QString value = arg.mid(12);
      if (!ParseMaxPages(value, options.maxPages)) return {options, MaxPagesError(value)};
    } else if (arg == QLatin1String("--proxy") || arg.startsWith(QLatin1String("--proxy="))) {
      const bool joined = arg.size() > 7;
      if (!joined && !hasNext) return {options, QStringLiteral("--proxy needs an address")};
      options.proxy = joined ? arg.mid(8) : arguments[++i];
      if (!common::ParseProxy(options.proxy))
        return {options, QStringLiteral("--proxy wants http://, https:// or socks5:// and a host, "
                                        "not \"%1\"").arg(options.proxy)};
    } else if (arg == QLatin1String("--cookies") || arg.startsWith(QLatin1String("--cookies="))) {
      const bool joined = arg.size() > 9;
      if (!joined && !hasNext) return {options, QStringLiteral("--cookies needs a file")};
      options.cookiesFile = joined ? arg.mid(10) : arguments[++i];
      if (options.cookiesFile.isEmpty())
        return {options, QStringLiteral("--cookies needs a file")};
    } else if (arg == QLatin1String("--list")) {
      list = true;
    } else if (arg == QLatin1String("--links")) {
      links = true;
    } else if (arg == QLatin1String("--version")) {
      options.mode = GetMode::Version;
      return parsed;
    } else if (arg == QLatin1String("--chapters")) {
      options.chaptersOnly = true;
    } else if (arg == QLatin1String("--follow")) {
      follow = true;
    } else if (arg == QLatin1String("--check")) {
      check = true;
    } else if (arg == QLatin1String("--only-new")) {
      options.onlyNew = true;
    } else if (arg == QLatin1String("--json")) {
      options.json = true;
    } else if (arg == QLatin1String("--exec") || arg.startsWith(QLatin1String("--exec="))) {
      const bool joined = arg.size() > 6;
      if (!joined && !hasNext) return {options, QStringLiteral("--exec needs a command")};
      options.exec = joined ? arg.mid(7) : arguments[++i];
      if (options.exec.trimmed().isEmpty()) return {options, QStringLiteral("--exec needs a command")};
    } else {
      return {options, QStringLiteral("unknown option %1").arg(arg)};
    }
  }

  if (const QString error = SeriesModes(options, positional, list, links, follow, check);
      !error.isEmpty() || options.mode != GetMode::Download)
    return {options, error};
  if (list && links) return {options, QStringLiteral("--list and --links do not go together")};
  if (links && options.cbz) return {options, QStringLiteral("--cbz and --links do not go together")};
  if (list) {
    if (positional.isEmpty() || positional.size() > 2)
      return {options, QStringLiteral("--list wants a FILE and at most one FOLDER")};
    options.mode = GetMode::List;
    options.listFile = positional[0];
    if (positional.size() == 2) options.listBase = positional[1];
    if (options.listFile.isEmpty() || (positional.size() == 2 && options.listBase.isEmpty()))
      return {options, QStringLiteral("--list: empty file or folder name")};
    if (HasControlCharacter(options.listBase)) return {options, ControlCharacterError(options.listBase)};
    return parsed;
  }

  if (positional.isEmpty()) return {options, QStringLiteral("no address given")};
  if (positional.size() % 2 != 0)
    return {options, QStringLiteral("every address needs a folder after it")};
  if (links && positional.size() != 2)
    return {options, QStringLiteral("--links wants exactly one address and one folder")};
  for (int i = 0; i < positional.size(); i += 2) {
    if (!IsWebAddress(positional[i]))
      return {options, QStringLiteral("not a web address: %1").arg(positional[i])};
    if (positional[i + 1].isEmpty())
      return {options, QStringLiteral("empty folder for %1").arg(positional[i])};
    if (HasControlCharacter(positional[i + 1]))
      return {options, ControlCharacterError(positional[i + 1])};
    options.chapters.append({positional[i], positional[i + 1]});
  }
  options.mode = links ? GetMode::Links : GetMode::Download;
  return parsed;
}

} // namespace folivex_get
