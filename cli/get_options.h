#pragma once
// The command line of folivex-get, parsed without side effects so it can be tested.
//
//   folivex-get [-j N] [--cbz] [--delay S] [--max-pages N] URL FOLDER [...]  download chapters
//   folivex-get [-j N] [--cbz] [--delay S] [--max-pages N] --list FILE [FOLDER]  a list
//   folivex-get --links [--chapters] URL FOLDER      print the chapter links of a list page
//   folivex-get [--only-new] --follow URL FOLDER     follow a series and check it once
//   folivex-get --check [FOLDER ...]                 check followed series for new chapters
//   folivex-get --help | --version
// Every mode also takes --proxy URL and --cookies FILE; the modes that download take --json
// and --exec CMD.
#include "core/setting.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace folivex_get {

/// What the program was asked to do.
enum class GetMode {
  Download, ///< address and folder pairs from the command line
  List,     ///< address and folder lines from a file
  Links,    ///< a link search
  Help,
  Follow,  ///< follow the series of one list page in one folder, and check it once
  Check,   ///< check followed series: the ones under the folders given, or Folivex's
  Version,
};

/// One chapter to download.
struct ChapterJob {
  QString url;
  QString folder;
};

struct GetOptions {
  GetMode mode = GetMode::Download;
  int jobs = 1;              ///< engines at the same time
  bool cbz = false;          ///< pack every finished chapter into FOLDER.cbz
  int delay = 0;             ///< seconds from one page load of a chapter to its next
  int maxPages = 1000;       ///< page cap of a chapter that states no page count
  QList<ChapterJob> chapters; ///< Download: the pairs; Links: the one address and folder
  QString listFile;          ///< List: the file, "-" for standard input
  QString listBase;          ///< List: the folder the listed folders must stay in; empty: cwd
  QString proxy;             ///< --proxy: "http://", "https://" or "socks5://" address; empty: none
  bool chaptersOnly = false; ///< --links --chapters: only the chapters of the series
  bool onlyNew = false;      ///< --follow: the first check skips the chapters already out
  bool json = false;         ///< --json: one JSON object per line and event on standard output
  QString exec;              ///< --exec: the command run after each finished chapter
  QStringList checkFolders;  ///< Check: the folders to look for followed series in
  QString cookiesFile;       ///< --cookies: a Netscape cookies.txt, as given; empty: none
};

/// Engines that may run at once: -j takes 1 to this.
constexpr int kMaxJobs = CSetting::kMaxDownloads;

/// The outcome of parsing: options, or a message for standard error (exit code 2).
struct ParsedArguments {
  GetOptions options;
  QString error; ///< empty when the arguments are good
  bool ok() const { return error.isEmpty(); }
};

/// Parses the arguments after the program name.
ParsedArguments ParseArguments(const QStringList& arguments);

/// Whether `text` is an address the engine can open: "http://" or "https://" and a host.
bool IsWebAddress(const QString& text);

/// Whether `name` holds a control character (newline, tab, NUL, escape, ...). Such a folder is
/// refused: a trailing newline pasted with a name would otherwise make a folder nobody can
/// see or type.
bool HasControlCharacter(const QString& name);

/// `text` for a message: control characters written as escapes ("\n", "\t", "\0", "\x1b").
QString Escaped(const QString& text);

/// The usage text, ending with a newline.
QString UsageText();

} // namespace folivex_get
