// Link texts from web pages made into one folder-name component.
#include "engine/folder_name.h"

#include <gtest/gtest.h>

using engine::SafeFolderComponent;

namespace {

// No way out of the chosen folder and nothing a file system refuses.
void ExpectSafe(const QString& name) {
  EXPECT_FALSE(name.isEmpty());
  EXPECT_FALSE(name.contains(QLatin1Char('/'))) << qPrintable(name);
  EXPECT_FALSE(name.contains(QLatin1Char('\\'))) << qPrintable(name);
  EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << qPrintable(name);
  EXPECT_NE(name, QStringLiteral(".."));
  for (const QChar c : name) EXPECT_GE(c.unicode(), 0x20) << qPrintable(name);
  EXPECT_LE(name.size(), engine::kMaxFolderNameChars);
  EXPECT_LE(name.toUtf8().size(), engine::kMaxFolderNameBytes);
  EXPECT_EQ(name, name.trimmed());
}

} // namespace

TEST(SafeFolderComponent, OrdinaryChapterTitlesStayAsTheyAre) {
  EXPECT_EQ(SafeFolderComponent(QStringLiteral("Chapter 12")), QStringLiteral("Chapter 12"));
  EXPECT_EQ(SafeFolderComponent(QString::fromUtf8("第12话 决战")), QString::fromUtf8("第12话 决战"));
  EXPECT_EQ(SafeFolderComponent(QStringLiteral("Vol.3 Ch.7 ...")), QStringLiteral("Vol.3 Ch.7 ..."));
  EXPECT_EQ(SafeFolderComponent(QString::fromUtf8("Chapter 😀 1")), QString::fromUtf8("Chapter 😀 1"));
}

TEST(SafeFolderComponent, PathTricksNeverLeaveTheFolder) {
  for (const char* text : {"../../etc", "..", ".", "...", "/", "a/b", "/etc/passwd", "..\\..\\x",
                           " ../x", ". . /x", ".hidden", "~/x"}) {
    SCOPED_TRACE(text);
    ExpectSafe(SafeFolderComponent(QString::fromUtf8(text)));
  }
  EXPECT_EQ(SafeFolderComponent(QStringLiteral("a/b")), QStringLiteral("a_b"));
  EXPECT_EQ(SafeFolderComponent(QStringLiteral("../../etc")), QStringLiteral("_.._etc"));
  EXPECT_EQ(SafeFolderComponent(QStringLiteral(".hidden")), QStringLiteral("hidden"));
  EXPECT_EQ(SafeFolderComponent(QStringLiteral("..")), QStringLiteral("chapter"));
}

TEST(SafeFolderComponent, LineBreaksControlsAndInvisibleCharactersGo) {
  EXPECT_EQ(SafeFolderComponent(QStringLiteral("\r\n  Chapter\t\t12 \r\n")), QStringLiteral("Chapter 12"));
  EXPECT_EQ(SafeFolderComponent(QStringLiteral("Ch\u2028 12")), QStringLiteral("Ch 12"));
  EXPECT_EQ(SafeFolderComponent(QString::fromUtf16(u"a\0b\x1b" "c\x7f" "d", 7)), QStringLiteral("abcd"));
  // A right-to-left override would show "gpj.exe" style names reversed.
  EXPECT_EQ(SafeFolderComponent(QString::fromUtf16(u"ab\u202Ecd\u200Be")), QStringLiteral("abcde"));
  // Controls between words leave one blank, not two.
  EXPECT_EQ(SafeFolderComponent(QString::fromUtf16(u"a \x01 b")), QStringLiteral("a b"));
}

TEST(SafeFolderComponent, BrokenUtf16IsRepairedNotPassedOn) {
  const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00);
  EXPECT_EQ(SafeFolderComponent(lone), QStringLiteral("ab"));
  EXPECT_EQ(SafeFolderComponent(QString(QChar(0xFFFF))), QStringLiteral("chapter"));
}

TEST(SafeFolderComponent, EmptyOrBlankTextGetsTheNeutralName) {
  EXPECT_EQ(SafeFolderComponent(QString()), QStringLiteral("chapter"));
  EXPECT_EQ(SafeFolderComponent(QStringLiteral(" \r\n\t ")), QStringLiteral("chapter"));
  EXPECT_EQ(SafeFolderComponent(QString::fromUtf16(u"\u3000\u00A0")), QStringLiteral("chapter"));
}

TEST(SafeFolderComponent, LongTextIsCutAtACharacterBoundaryWithinBothLimits) {
  const QString ascii(500, QLatin1Char('x'));
  EXPECT_EQ(SafeFolderComponent(ascii).size(), engine::kMaxFolderNameChars);

  // Three UTF-8 bytes each: the byte limit cuts first.
  const QString cjk(200, QChar(0x8BDD));
  const QString cutCjk = SafeFolderComponent(cjk);
  EXPECT_EQ(cutCjk.toUtf8().size(), 240);
  ExpectSafe(cutCjk);

  // Four-byte characters are never split into a lone surrogate.
  QString emoji;
  for (int i = 0; i < 100; ++i) emoji += QString::fromUtf8("😀");
  const QString cutEmoji = SafeFolderComponent(QStringLiteral("a") + emoji);
  ExpectSafe(cutEmoji);
  EXPECT_FALSE(cutEmoji.back().isHighSurrogate());
  EXPECT_EQ(cutEmoji.toUtf8().size(), 237); // "a" + 59 * 4 bytes

  // A cut that ends on a blank leaves no trailing blank.
  const QString spaced = QString(119, QLatin1Char('y')) + QStringLiteral(" zzz");
  EXPECT_EQ(SafeFolderComponent(spaced), QString(119, QLatin1Char('y')));
}
