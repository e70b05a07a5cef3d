#pragma once
// Private-profile (INI) functions shared by both programs.
//
// They keep the behaviour callers of the classic profile functions rely on:
//  * a read copies at most `size - 1` characters and returns how many it copied, so a caller
//    can tell a truncated value by the returned length;
//  * a missing key (or section, or file) yields the caller's default, truncated the same way;
//  * section and key names compare without regard to letter case; values are trimmed of blanks
//    and of one pair of enclosing quotes;
//  * a file that begins with the bytes FF FE is read and written as UTF-16 little-endian, any
//    other file as UTF-8.
// Every write replaces the whole file atomically (temporary file, flushed, then renamed), so a
// crash leaves either the old or the new file, never half of one; a write that changes no
// byte of the file leaves it alone.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace common {

struct ProfileRead {
  QString value;  ///< what was copied, at most size - 1 characters
  int length = 0; ///< number of characters copied (the classic return value)
};

/// Reads `key` of `section` from `file` into a buffer of `size` characters.
ProfileRead GetPrivateProfileString(const QString& section, const QString& key,
                                    const QString& defaultValue, int size, const QString& file);

/// Sets `key` of `section` to `value`; `std::nullopt` removes the key. Creates the file (UTF-8)
/// and the section when they are missing. Returns false when the file cannot be written.
bool WritePrivateProfileString(const QString& section, const QString& key,
                               const std::optional<QString>& value, const QString& file);

/// Creates or truncates `file` to exactly the two bytes FF FE, so that every later profile
/// write keeps it in UTF-16 little-endian. Returns false when the file cannot be written.
bool CreateUnicodeProfileFile(const QString& file);

/// Replaces `file` by `bytes` in one go: written into a temporary file beside it, flushed to
/// the disk, then renamed over it, so a crash leaves the old file or the new one. False when
/// any step failed; the old file then stays as it was.
bool ReplaceFile(const QString& file, const QByteArray& bytes);

/// A whole profile file held in memory: read once, looked up and changed any number of times
/// by the rules of the two functions above, and written back in one go. For files read or
/// written key after key, where a read or write per key would open (and a write sync) the
/// file every time.
///
/// A file without its FF FE mark whose text is UTF-16 little-endian all the same (its second
/// byte 0) is read as UTF-16 and written back with the mark.
class ProfileFile {
public:
  /// Reads `file`; a missing or unreadable file reads as empty.
  explicit ProfileFile(const QString& file);
  /// An empty file at `file`, written as UTF-16LE (with FF FE) when `utf16`, else UTF-8.
  ProfileFile(const QString& file, bool utf16);

  /// Whether the file could be read.
  bool Exists() const { return exists_; }
  /// Whether the text is kept as UTF-16LE.
  bool IsUtf16() const { return text_.utf16; }
  /// Whether the file was UTF-16LE without its FF FE mark (Save puts it back).
  bool LostMark() const { return lostMark_; }
  /// GetPrivateProfileString on the held text.
  ProfileRead Get(const QString& section, const QString& key, const QString& defaultValue,
                  int size) const;
  /// WritePrivateProfileString on the held text: sets `key`, or removes it for nullopt.
  /// False when there was nothing to remove.
  bool Set(const QString& section, const QString& key, const std::optional<QString>& value);
  /// The key of the file's last line when that line has no line break after it, that is when
  /// the file may have been cut short inside its value; empty otherwise.
  QString UnterminatedKey() const { return unterminatedKey_; }

  /// The bytes the held text makes.
  QByteArray Bytes() const;
  /// Writes the held text when its bytes differ from the file's: into a temporary file beside
  /// it, flushed to the disk, then renamed over it, so a crash leaves the old file or the new
  /// one. True when the file holds the text afterwards.
  bool Save();

  struct Text {
    QStringList lines;
    bool utf16 = false;
  };

private:
  QString file_;
  Text text_;
  QByteArray onDisk_;
  bool exists_ = false;
  bool lostMark_ = false;
  QString unterminatedKey_;
};

} // namespace common
