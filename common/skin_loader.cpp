#include "common/skin_loader.h"

#include "common/data_folder.h"
#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <optional>

namespace {

std::optional<std::int32_t>& CachedLanguage() {
  static std::optional<std::int32_t> id;
  return id;
}

// The folders that may hold skins and languages, in lookup order: the user's data folder, then
// the program folder (one entry when they are the same).
QStringList BaseFolders() {
  const QString program = FCSkinLoader::GetBaseFolder();
  const QString data = common::DataFolder();
  return data == program ? QStringList{program} : QStringList{data, program};
}

// `relative` in the first base folder that has it (`wantFolder`: as a folder, else as a file);
// the program folder's path when none has it.
QString FirstExisting(const QString& relative, bool wantFolder) {
  for (const QString& base : BaseFolders()) {
    const QFileInfo info(base + relative);
    if (wantFolder ? info.isDir() : info.isFile()) return info.filePath();
  }
  return FCSkinLoader::GetBaseFolder() + relative;
}

// The user's choice file ("skin/current.ini", "language/current.ini"): the data folder's once
// it exists, else the one that shipped.
QString ChoiceFile(const QString& folder) {
  return FirstExisting(folder + QStringLiteral("/current.ini"), false);
}

// A skin name must stay one folder below the skin root.
bool IsPlainFolderName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// The value of the leading decimal digits of a file name; 0 when it starts otherwise.
std::int32_t LeadingNumber(const QString& name) {
  qsizetype digits = 0;
  while (digits < name.size() && name[digits] >= QLatin1Char('0') && name[digits] <= QLatin1Char('9'))
    ++digits;
  return digits ? common::ParseInt32(name.left(digits)) : 0;
}

} // namespace

QString FCSkinLoader::GetBaseFolder() { return common::ProgramFolder(); }

QString FCSkinLoader::GetLanguageFolder() { return GetBaseFolder() + QStringLiteral("language/"); }

QString FCSkinLoader::GetLanguageFile(std::int32_t id) {
  return FirstExisting(QStringLiteral("language/%1.ini").arg(id), false);
}

std::int32_t FCSkinLoader::GetCurrentLanguage() {
  auto& cached = CachedLanguage();
  if (cached) return *cached;
  const QString current = ChoiceFile(QStringLiteral("language"));
  // Without a choice of the user's (a first start), the system's language decides.
  const std::optional<std::int32_t> chosen =
      common::ReadProfileInt(current, QStringLiteral("language"));
  const std::int32_t id = chosen ? *chosen : LanguageForLocale(QLocale::system().name());
  cached = QFileInfo(GetLanguageFile(id)).isFile() ? id : kDefaultLanguage;
  return *cached;
}

std::int32_t FCSkinLoader::LanguageForLocale(const QString& locale) {
  const QString language = locale.section(QLatin1Char('_'), 0, 0);
  std::int32_t sameLanguage = 0;
  for (std::int32_t id : ListLanguages()) {
    QString name;
    ReadIniString(common::kAppSection, QStringLiteral("LOCALE"), GetLanguageFile(id), name);
    if (name.isEmpty()) continue;
    if (name.compare(locale, Qt::CaseInsensitive) == 0) return id;
    if (!sameLanguage && name.section(QLatin1Char('_'), 0, 0).compare(language, Qt::CaseInsensitive) == 0)
      sameLanguage = id;
  }
  return sameLanguage ? sameLanguage : kDefaultLanguage;
}

bool FCSkinLoader::SetCurrentLanguage(std::int32_t id) {
  const QString folder = common::DataFolder() + QStringLiteral("language/");
  if (!QDir().mkpath(folder)) return false;
  return WriteIniInt64(folder + QStringLiteral("current.ini"), QStringLiteral("language"), id);
}

QString FCSkinLoader::LoadLanguageText(const QString& section, const QString& key) {
  QString text;
  ReadIniString(section, key, GetLanguageFile(GetCurrentLanguage()), text);
  text.replace(QLatin1String("\\n"), QLatin1String("\n"));
  return text;
}

QString FCSkinLoader::LoadLanguageText(const QString& section, int key) {
  return LoadLanguageText(section, QString::number(key));
}

QString FCSkinLoader::SkinText(const QString& value) {
  static const QLatin1String kPrefix("lang:");
  if (!value.startsWith(kPrefix)) return value;
  const QString reference = value.mid(kPrefix.size());
  const qsizetype slash = reference.indexOf(QLatin1Char('/'));
  if (slash <= 0 || slash == reference.size() - 1) return value;
  return LoadLanguageText(reference.left(slash), reference.mid(slash + 1));
}

QString FCSkinLoader::GetLanguageName(std::int32_t id) {
  QString name;
  ReadIniString(common::kAppSection, QStringLiteral("LANGUAGE"), GetLanguageFile(id), name);
  return name;
}

QList<std::int32_t> FCSkinLoader::ListLanguages() {
  QStringList files;
  for (const QString& base : BaseFolders()) {
    const QDir folder(base + QStringLiteral("language/"));
    for (const QString& file :
         folder.entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Readable, QDir::Name))
      if (!files.contains(file)) files << file;
  }
  std::sort(files.begin(), files.end());
  QList<std::int32_t> ids;
  for (const QString& file : files) {
    const QString name = file.left(file.size() - 4);
    if (name == QLatin1String("current")) continue;
    const std::int32_t id = LeadingNumber(name);
    if (id == 0 || ids.contains(id)) continue;
    if (!GetLanguageName(id).isEmpty()) ids << id;
  }
  return ids;
}

QString FCSkinLoader::GetSkinFolderName() {
  QString name;
  ReadIniString(common::kAppSection, QStringLiteral("k"), ChoiceFile(QStringLiteral("skin")), name);
  // An empty name would make the skin root itself the skin, which holds no skin files; an
  // unknown or unsafe name falls back the same way.
  if (!IsPlainFolderName(name) || !QFileInfo(FirstExisting(QStringLiteral("skin/") + name, true)).isDir())
    return QStringLiteral("default");
  return name;
}

QString FCSkinLoader::GetSkinFolder() {
  return FirstExisting(QStringLiteral("skin/") + GetSkinFolderName(), true) + QLatin1Char('/');
}

QString FCSkinLoader::GetSkinFilePath(const QString& key) {
  const QString folder = GetSkinFolder();
  QString file;
  ReadIniString(common::kAppSection, key, folder + QStringLiteral("info.ini"), file);
  return folder + file;
}

bool FCSkinLoader::ReadIniString(const QString& section, const QString& key, const QString& file,
                                 QString& out) {
  const std::optional<QString> value = common::ReadIniString(file, section, key);
  if (!value) return false;
  out = *value;
  return true;
}

bool FCSkinLoader::WriteIniInt64(const QString& file, const QString& key, std::int64_t value) {
  return common::WriteProfileString(file, key, QString::number(static_cast<qint64>(value)));
}

void FCSkinLoader::ResetLanguageCache() { CachedLanguage().reset(); }
