// The profile functions and the shared INI rules, byte for byte where files cross programs.
#include "common/command_file.h"
#include "common/ini_rules.h"
#include "common/profile.h"
#include "common/program_folder.h"
#include "test_support.h"

#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace common;
using testing_support::ReadBytes;
using testing_support::Sandbox;
using testing_support::WriteBytes;

namespace {

QByteArray Utf16(const QString& text) {
  QByteArray bytes("\xFF\xFE", 2);
  for (QChar c : text) {
    bytes.append(char(c.unicode() & 0xFF));
    bytes.append(char(c.unicode() >> 8));
  }
  return bytes;
}

} // namespace

TEST(ProfileRead, TruncatesToTheBufferAndReturnsTheCopiedLength) {
  Sandbox box;
  const QString file = box.file("a.ini");
  ASSERT_TRUE(WriteBytes(file, "[app]\nkey=abcdefgh\n"));
  const ProfileRead read = GetPrivateProfileString("app", "key", "", 5, file);
  EXPECT_EQ(read.value, "abcd");
  EXPECT_EQ(read.length, 4);
  const ProfileRead fallback = GetPrivateProfileString("app", "none", "defaults", 4, file);
  EXPECT_EQ(fallback.value, "def");
  EXPECT_EQ(GetPrivateProfileString("app", "key", "", 0, file).length, 0);
}

TEST(ProfileRead, NamesIgnoreCaseAndValuesLoseBlanksAndQuotes) {
  Sandbox box;
  const QString file = box.file("a.ini");
  ASSERT_TRUE(WriteBytes(file, "[other]\nkey=wrong\n[APP]\r\n  Key =  \"quoted value\"  \r\n"));
  EXPECT_EQ(GetPrivateProfileString("app", "KEY", "", 512, file).value, "quoted value");
}

TEST(IniRules, LongValuesAreReadWholeThroughTheSecondBuffer) {
  Sandbox box;
  const QString file = box.file("a.ini");
  const QString long600(600, QLatin1Char('x'));
  const QString exact504(504, QLatin1Char('y'));
  const QString over4096(5000, QLatin1Char('z'));
  ASSERT_TRUE(WriteProfileString(file, "url", long600));
  ASSERT_TRUE(WriteProfileString(file, "short", exact504));
  ASSERT_TRUE(WriteProfileString(file, "huge", over4096));
  EXPECT_EQ(ReadProfileString(file, "url"), long600);
  EXPECT_EQ(ReadProfileString(file, "short"), exact504);
  EXPECT_EQ(ReadProfileString(file, "huge")->size(), 4095);
}

TEST(IniRules, PresentAndEmptyIsNotMissing) {
  Sandbox box;
  const QString file = box.file("a.ini");
  ASSERT_TRUE(WriteBytes(file, "[app]\nempty=\n"));
  EXPECT_EQ(ReadProfileString(file, "empty"), QString(""));
  EXPECT_EQ(ReadProfileString(file, "missing"), std::nullopt);
  EXPECT_EQ(ReadProfileString(box.file("no-such.ini"), "empty"), std::nullopt);
  EXPECT_EQ(ReadProfileInt(file, "missing"), std::nullopt);
  EXPECT_EQ(ReadProfileInt(file, "empty"), 0);
}

TEST(IniRules, NumbersUseTheLow32BitsOfADecimal64BitValue) {
  EXPECT_EQ(ParseInt32("-1"), -1);
  EXPECT_EQ(ParseInt32("4294967297"), 1);
  EXPECT_EQ(ParseInt32("2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt32("  42abc"), 42);
  EXPECT_EQ(ParseInt32("abc"), 0);
  EXPECT_EQ(ParseInt32("99999999999999999999999"), -1); // saturates at INT64_MAX
  EXPECT_EQ(FormatInt(-5), "-5");

  Sandbox box;
  const QString file = box.file("n.ini");
  // Only 31 characters fit the number buffer: the tail is cut before parsing.
  ASSERT_TRUE(WriteProfileString(file, "n", "0000000000000000000000000000001234"));
  EXPECT_EQ(ReadProfileInt(file, "n"), 1);
}

TEST(ProfileWrite, KeepsOtherKeysSectionsAndTheFileEncoding) {
  Sandbox box;
  const QString file = box.file("u.ini");
  ASSERT_TRUE(CreateUnicodeProfileFile(file));
  EXPECT_EQ(ReadBytes(file), QByteArray("\xFF\xFE", 2));
  ASSERT_TRUE(WriteProfileString(file, "a", QString::fromUtf8("漫画")));
  ASSERT_TRUE(WriteProfileString(file, "b", "2"));
  ASSERT_TRUE(WriteProfileString(file, "x", "3", "other"));
  ASSERT_TRUE(WriteProfileString(file, "a", "1"));
  EXPECT_EQ(ReadBytes(file), Utf16("[app]\r\na=1\r\nb=2\r\n[other]\r\nx=3\r\n"));

  const QString plain = box.file("p.ini");
  ASSERT_TRUE(WriteProfileString(plain, "title", QString::fromUtf8("第一话")));
  EXPECT_EQ(ReadBytes(plain), QByteArray("[app]\r\ntitle=第一话\r\n"));
  EXPECT_EQ(ReadProfileString(plain, "title"), QString::fromUtf8("第一话"));

  ASSERT_TRUE(WritePrivateProfileString("app", "title", std::nullopt, plain));
  EXPECT_EQ(ReadProfileString(plain, "title"), std::nullopt);
}

TEST(ProfileWrite, AValueWithLineBreaksCannotAddKeysOrSections) {
  Sandbox box;
  const QString file = box.file("t.ini");
  ASSERT_TRUE(WriteProfileString(file, "title", "Chapter 1\r\n[app]\nnow_index=99"));
  EXPECT_EQ(ReadProfileString(file, "now_index"), std::nullopt);
  EXPECT_EQ(ReadProfileString(file, "title"), QString("Chapter 1  [app] now_index=99"));
}

TEST(ProfileWrite, NewKeysGoBeforeTheBlankLineThatEndsTheirSection) {
  Sandbox box;
  const QString file = box.file("s.ini");
  ASSERT_TRUE(WriteBytes(file, "[app]\r\na=1\r\n\r\n[next]\r\nb=2\r\n"));
  ASSERT_TRUE(WriteProfileString(file, "c", "3"));
  EXPECT_EQ(ReadBytes(file), QByteArray("[app]\r\na=1\r\nc=3\r\n\r\n[next]\r\nb=2\r\n"));
}

TEST(ProfileWrite, ACrashDuringAWriteLeavesTheOldOrTheNewFileNeverHalfOfOne) {
  Sandbox box;
  const QString file = box.file("torn.ini");
  const QString a(200000, QLatin1Char('a'));
  const QString b(200000, QLatin1Char('b'));
  ASSERT_TRUE(WriteProfileString(file, "v", a));
  for (int round = 0; round < 12; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) WriteProfileString(file, "v", i % 2 ? a : b);
    }
    usleep(2000 + round * 1500);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const QString value = GetPrivateProfileString("app", "v", "", 300000, file).value;
    ASSERT_TRUE(value == a || value == b) << "round " << round << ": " << value.size();
  }
}

TEST(CommandFile, AtMostOneHundredItemsAreRead) {
  Sandbox box;
  const QString file = box.file("7 4.ini");
  QStringList items;
  for (int i = 0; i <= 150; ++i) items << QString::number(i);
  ASSERT_TRUE(WriteCommandFile(file, items));
  const QStringList read = ReadCommandFile(file);
  ASSERT_EQ(read.size(), 100);
  EXPECT_EQ(read.last(), "99");
  EXPECT_TRUE(ReadBytes(file).startsWith("\xFF\xFE"));
  EXPECT_TRUE(ReadCommandFile(box.file("missing.ini")).isEmpty());
}

TEST(CommandFile, PathsNameTaskAndNumberInTheProgramFolder) {
  Sandbox box;
  const QString folder = WithTrailingSlash(box.path());
  SetProgramFolder(box.path());
  EXPECT_EQ(CommandFilePath(3, 1), folder + "skin/cmd/3 1.ini");
  EXPECT_EQ(CommandFilePath(4, 1), folder + "skin/cmd/4 1.ini");
  EXPECT_EQ(CommandFilePath(-1, 12), folder + "skin/cmd/-1 12.ini");
  SetProgramFolder({});
  EXPECT_TRUE(ProgramFolder().endsWith('/'));
}

TEST(HandOffFile, KeysAreWrittenInProtocolOrderAsUtf16) {
  HandOff job;
  job.hwnd = -2;
  job.id = 100;
  job.index = 5;
  job.url = "http://127.0.0.1/c/5.html";
  job.folder = "/home/u/My Comic Book/c1/";
  const QString path = WriteHandOffFile(job);
  ASSERT_FALSE(path.isEmpty());
  EXPECT_TRUE(QFileInfo(path).fileName().startsWith('t'));
  EXPECT_EQ(ReadBytes(path), Utf16("[app]\r\nhwnd=-2\r\nid=100\r\nindex=5\r\n"
                                   "url=http://127.0.0.1/c/5.html\r\n"
                                   "folder=/home/u/My Comic Book/c1/\r\n"));
  const HandOff read = ReadHandOffFile(path);
  EXPECT_EQ(read.hwnd, -2);
  EXPECT_EQ(read.index, 5);
  EXPECT_EQ(read.searchLink, std::nullopt);
  // Files without the optional keys read as before: the engine keeps its defaults.
  EXPECT_EQ(read.pageDelay, std::nullopt);
  EXPECT_EQ(read.pageMemory, std::nullopt);
  EXPECT_EQ(read.cookiesFile, std::nullopt);
  QFile::remove(path);

  job.pageDelay = 7;
  job.pageMemory = 300;
  job.cookiesFile = QStringLiteral("/home/u/cookies 2.txt");
  const QString tunedPath = WriteHandOffFile(job);
  EXPECT_TRUE(ReadBytes(tunedPath).endsWith(
      Utf16("page_delay=7\r\npage_memory=300\r\ncookies_file=/home/u/cookies 2.txt\r\n").mid(2)));
  const HandOff tuned = ReadHandOffFile(tunedPath);
  EXPECT_EQ(tuned.pageDelay, 7);
  EXPECT_EQ(tuned.pageMemory, 300);
  EXPECT_EQ(tuned.cookiesFile, "/home/u/cookies 2.txt");
  QFile::remove(tunedPath);
  EXPECT_EQ(tuned.maxPages, std::nullopt);
  job.maxPages = 20; // the page cap of a chapter without a stated total, before the cookies
  const QString cappedPath = WriteHandOffFile(job);
  EXPECT_TRUE(ReadBytes(cappedPath).contains(Utf16("page_memory=300\r\nmax_pages=20\r\ncookies_file=").mid(2)));
  EXPECT_EQ(ReadHandOffFile(cappedPath).maxPages, 20);
  QFile::remove(cappedPath);

  HandOff search;
  search.hwnd = 1;
  search.url = "http://127.0.0.1/list";
  search.folder = "/tmp/x/";
  search.searchLink = "1";
  const QString searchPath = WriteHandOffFile(search);
  const HandOff searchRead = ReadHandOffFile(searchPath);
  EXPECT_EQ(searchRead.id, std::nullopt);
  EXPECT_EQ(searchRead.index, std::nullopt);
  EXPECT_EQ(searchRead.searchLink, QString("1"));
  QFile::remove(searchPath);
}

TEST(ProfileRead, MalformedFilesReadWhatCanBeRead) {
  Sandbox box;
  const QString file = box.file("bad.ini");
  static const char bad[] = "garbage\n[app\nk=1\n=novalue\n[\x00\xFF]\nz";
  ASSERT_TRUE(WriteBytes(file, QByteArray(bad, sizeof bad - 1)));
  EXPECT_EQ(ReadProfileString(file, "k"), QString("1"));
  const QString odd = box.file("odd.ini");
  ASSERT_TRUE(WriteBytes(odd, QByteArray("\xFF\xFE[\x00", 5))); // odd byte count
  EXPECT_EQ(ReadProfileString(odd, "k"), std::nullopt);
}

TEST(ProfileFile, ReadsOnceWritesWholeAndOnlyWhatChanged) {
  Sandbox box;
  const QString file = box.file("a.ini");
  ASSERT_TRUE(WriteBytes(file, Utf16("[app]\r\nkey=one\r\n[other]\r\nx=1\r\n")));
  ProfileFile ini(file);
  ASSERT_TRUE(ini.Exists());
  EXPECT_EQ(ReadProfileString(ini, "key").value_or(""), "one");
  EXPECT_EQ(ReadProfileInt(ini, "x", "other").value_or(0), 1);
  EXPECT_TRUE(ini.UnterminatedKey().isEmpty());
  const auto inode = testing_support::FileInode(file);
  ASSERT_TRUE(ini.Save());
  EXPECT_EQ(testing_support::FileInode(file), inode) << "nothing changed: not written";
  EXPECT_TRUE(WritePrivateProfileString("app", "key", QString("one"), file));
  EXPECT_EQ(testing_support::FileInode(file), inode) << "the same value: not written";
  ini.Set("app", "key", QString("two"));
  EXPECT_FALSE(ini.Set("gone", "key", std::nullopt)) << "nothing to remove";
  ASSERT_TRUE(ini.Save());
  EXPECT_NE(testing_support::FileInode(file), inode);
  EXPECT_EQ(ReadBytes(file), Utf16("[app]\r\nkey=two\r\n[other]\r\nx=1\r\n"));
}

TEST(ProfileFile, UnmarkedUtf16IsReadAndAValueCutAtTheEndIsNamed) {
  Sandbox box;
  const QString file = box.file("a.ini");
  // UTF-16 that lost its FF FE: once read as UTF-8 nonsense, and every key was missing.
  ASSERT_TRUE(WriteBytes(file, Utf16(QStringLiteral(u"[app]\r\nfolder=/漫画/\r\n")).mid(2)));
  ProfileFile unmarked(file);
  EXPECT_TRUE(unmarked.IsUtf16());
  EXPECT_TRUE(unmarked.LostMark());
  EXPECT_EQ(ReadProfileString(unmarked, "folder").value_or(""), QStringLiteral(u"/漫画/"));
  EXPECT_EQ(ReadProfileString(file, "folder").value_or(""), QStringLiteral(u"/漫画/"));
  ASSERT_TRUE(unmarked.Save());
  EXPECT_TRUE(ReadBytes(file).startsWith("\xff\xfe"));

  ASSERT_TRUE(WriteBytes(file, "[app]\nurl=http://x/\nfolder=/home/u/Co"));
  EXPECT_EQ(ProfileFile(file).UnterminatedKey(), "folder");
  EXPECT_FALSE(ProfileFile(box.file("missing.ini")).Exists());
}

