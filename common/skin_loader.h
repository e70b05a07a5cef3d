#pragma once
// FCSkinLoader: where the skin and the language files lie, which skin and language are current,
// and how a language text or a skin file is looked up.
//
// Layout below the program folder (the base folder); an installed copy looks in the user's
// data folder (common/data_folder.h) first and writes the "current.ini" choices only there:
//   skin/current.ini        section "app", key "k": folder name of the current skin
//   skin/<name>/info.ini    section "app": one key per skin file ("main", "tip", "drop"), value
//                           a file name relative to the skin's folder
//   skin/cmd/               command files of the engines (not a skin)
//   language/current.ini    section "app", key "language": decimal id of the current language
//   language/<id>.ini       one language file per language: section "app" holds "LANGUAGE"
//                           (display name), "NAME", "VER", ...; one section per window or menu
//
// The current language id is read once per process and kept; skin paths are recomputed from
// the files on every call. Everything here runs on the user-interface thread only: the cached
// language id is filled lazily without a lock.
#include <QList>
#include <QString>
#include <cstdint>

class FCSkinLoader {
public:
  /// Language used when the configured one has no file.
  static constexpr std::int32_t kDefaultLanguage = 1033;

  /// The program folder, with a trailing "/".
  static QString GetBaseFolder();
  /// Base folder + "language/".
  static QString GetLanguageFolder();
  /// "language/<id>.ini" of the data folder when it has it, else of the program folder.
  static QString GetLanguageFile(std::int32_t id);

  /// The current language id: the id named by language/current.ini when its file exists;
  /// without an id there (a first start), LanguageForLocale of the system's locale (LANG and
  /// its kin); else 1033 (also when 1033 has no file; every text is then empty). Cached after
  /// the first call.
  static std::int32_t GetCurrentLanguage();
  /// The installed language whose "LOCALE" is `locale` ("zh_CN"), else one of the same
  /// language ("zh"), else 1033.
  static std::int32_t LanguageForLocale(const QString& locale);
  /// Remembers `id` in the data folder's language/current.ini for the next start; the running
  /// process keeps the language it has.
  static bool SetCurrentLanguage(std::int32_t id);

  /// The text of `key` in `section` of the current language file, every backslash-n pair
  /// turned into a line feed; empty when missing.
  static QString LoadLanguageText(const QString& section, const QString& key);
  static QString LoadLanguageText(const QString& section, int key);
  /// A text written in a skin description: "lang:SECTION/KEY" stands for that language text
  /// (so a skin shows the user's language), anything else is the text itself.
  static QString SkinText(const QString& value);
  /// The "LANGUAGE" value of that language's file, as it stands.
  static QString GetLanguageName(std::int32_t id);
  /// The ids of the installed languages: every "<digits>....ini" of both language folders
  /// (not "current.ini", not id 0) whose "LANGUAGE" value is not empty. Sorted by file name.
  static QList<std::int32_t> ListLanguages();

  /// The current skin's folder name: "k" of skin/current.ini when that names an existing
  /// folder below skin/, else "default". A name that is empty or not one plain folder name
  /// (".", "..", or holding "/") is never used.
  static QString GetSkinFolderName();
  /// "skin/<name>/" of the data folder when it has that skin, else of the program folder.
  static QString GetSkinFolder();
  /// Full path of the skin file registered under `key` in the skin's info.ini (the skin folder
  /// itself when the key is missing).
  static QString GetSkinFilePath(const QString& key);

  /// The shared INI reading rule: true and `out` set when the key exists, false and `out`
  /// untouched when it does not.
  static bool ReadIniString(const QString& section, const QString& key, const QString& file,
                            QString& out);
  /// Writes `value` in decimal as `key` of section "app".
  static bool WriteIniInt64(const QString& file, const QString& key, std::int64_t value);

  /// Forgets the cached language id, so the next lookup reads language/current.ini again
  /// (tests, and tools that switch program folders).
  static void ResetLanguageCache();
};
