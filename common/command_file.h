#pragma once
// Command files and hand-off files: small UTF-16LE INI files whose section "app" holds the
// items "0", "1", ... of one report, or the keys of one job.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace common {

/// Creates `path` as FF FE and writes `items` as keys "0", "1", ... in order.
/// Returns false when the file could not be written (the reader then finds no item "0").
bool WriteCommandFile(const QString& path, const QStringList& items);

/// Reads items "0", "1", ... until the first missing key, at most 100 of them.
QStringList ReadCommandFile(const QString& path);

/// One job for an engine, as the hand-off file carries it.
struct HandOff {
  std::int32_t hwnd = 0;
  std::optional<std::int32_t> id;      ///< not written for a link search
  std::optional<std::int32_t> index;   ///< not written for a link search
  std::optional<QString> url;
  std::optional<QString> folder;
  std::optional<QString> searchLink;   ///< "1" for a link search
  std::optional<std::int32_t> pageDelay;  ///< seconds from one page load to the next
  std::optional<std::int32_t> pageMemory; ///< most MiB a page's renderer may take
  std::optional<std::int32_t> maxPages;   ///< page cap of a chapter without a stated total
  std::optional<QString> searchResult;    ///< the file a link search writes its result to
  std::optional<QString> cookiesFile;     ///< the user's cookies.txt, read by the engine only
};

/// Makes a new unique file "t??????" in the temporary folder and writes `job` into it as FF FE
/// followed by the keys in protocol order. Returns the file's path, or empty on failure.
QString WriteHandOffFile(const HandOff& job);

/// Reads a hand-off file; keys that are missing stay unset.
HandOff ReadHandOffFile(const QString& path);

} // namespace common
