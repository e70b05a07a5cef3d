#pragma once
// CLinkSearchRun: a link search with the unchanged engine, whose result goes to standard
// output instead of a text viewer.
//
// The engine writes its result into a temporary UTF-16LE file, opens it with the viewer named
// by FOLIVEX_OPENER and deletes it 6 s after telling us it is done. The run names folivex-get
// itself as that viewer, with FOLIVEX_GET_RELAY naming a private file: started that way,
// folivex-get only copies the result there (RelayResultFile) and ends. After the engine's
// WM_APP_SEARCH_DONE the run waits for the copy and prints it in UTF-8, one line per link:
// the address, three spaces, the folder and the link text. A list page that could not be
// loaded (the engine shows nothing then) ends the run with a message and kFailed.
//
// The run talks to the engine through the same CLinkSearchClient as the search-link dialog.
#include "cli/run_folder.h"
#include "core/link_search_client.h"
#include "platform/launcher.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace folivex_get {

class CLinkSearchRun {
public:
  /// Environment variable that turns folivex-get into the result relay.
  static constexpr const char* kRelayVariable = "FOLIVEX_GET_RELAY";
  /// Exit codes of a run.
  static constexpr int kDone = 0;
  static constexpr int kFailed = 1;
  /// Limits: the engine's hello, the whole search, and the copy after the engine is done.
  static constexpr int kDefaultHelloTimeoutMs = 60000;
  static constexpr int kDefaultSearchTimeoutMs = 180000;
  static constexpr int kRelayWaitMs = 6500; // the engine deletes its file after 6 s
  /// A search that ends without a result tells the engine to quit; one still running this
  /// long after gets SIGTERM, then SIGKILL.
  static constexpr int kEngineTermAfterMs = 3000;
  static constexpr int kEngineKillAfterMs = 5000;

  /// `relayProgram` is the program the engine opens the result with (folivex-get itself).
  CLinkSearchRun(platform::FIProgramLauncher& launcher, const QString& engineProgram,
                 const QString& relayProgram, std::FILE* out, std::FILE* err);

  void SetTimeouts(int helloMs, int searchMs) {
    helloTimeoutMs_ = helloMs;
    searchTimeoutMs_ = searchMs;
  }

  /// Searches the list page `url`; the result lines carry `folder` (a "/" is appended).
  /// Returns kDone or kFailed.
  int Run(const QString& url, const QString& folder);
  /// Tells the engine to quit and ends Run() with `exitCode`.
  void Interrupt(int exitCode);

  /// The result lines of the engine's file (FF FE and UTF-16LE text), each without line end;
  /// control characters become spaces.
  static QStringList ResultLines(const QByteArray& bytes);
  /// The relay: copies `source` to `target` completely or not at all (written beside it,
  /// then renamed). False when the source cannot be read or is larger than 64 MiB.
  static bool RelayResultFile(const QString& source, const QString& target);

private:
  void End(int exitCode);

  CLinkSearchClient client_;
  QString engineProgram_;
  QString relayProgram_;
  std::FILE* out_;
  std::FILE* err_;
  CRunFolder scratch_;
  bool done_ = false;
  int exitCode_ = -1;
  int helloTimeoutMs_ = kDefaultHelloTimeoutMs;
  int searchTimeoutMs_ = kDefaultSearchTimeoutMs;
};

} // namespace folivex_get
