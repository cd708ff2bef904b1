#include <gtest/gtest.h>

#include <QString>

#include "text/sjis.h"
#include "text/sjis_convert.h"
#include "text/sjis_qt.h"

namespace {
std::string S(const char* utf8) { return *sjis::fromUtf8(utf8); }
}  // namespace

TEST(SjisBytes, LengthsTrimAndStepping) {
    EXPECT_EQ(sjis::lengthInChars(S("東京都1-2")), 6u);
    EXPECT_EQ(S("東京都1-2").size(), 9u);
    // A lead byte at the very end counts as one character.
    EXPECT_EQ(sjis::lengthInChars(std::string("a\x82")), 2u);
    // Codes 0..32 go at both ends; the full-width space stays.
    EXPECT_EQ(sjis::trim(std::string("\t \x01") + S("　山田　") + "\r\n "), S("　山田　"));
    EXPECT_EQ(sjis::trimLeft("  a "), "a ");
    EXPECT_EQ(sjis::trimRight("  a "), "  a");
    EXPECT_EQ(sjis::trim("   "), "");
}

TEST(SjisBytes, SubstringNeverHalvesACharacter) {
    const std::string s = S("12東京");  // bytes: 1 2 [東][東] [京][京]
    EXPECT_EQ(sjis::substrBytes(s, 1, 3), "12");    // would cut 東 after its lead byte
    EXPECT_EQ(sjis::substrBytes(s, 4, 3), S("京"));  // starts on 東's trail byte
    EXPECT_EQ(sjis::substrBytes(s, 3, 2), S("東"));
    EXPECT_EQ(sjis::substrBytes(s, 7, 5), "");
    EXPECT_EQ(sjis::substrBytes("2010/12/18", 3, 2), "10");
    EXPECT_EQ(sjis::prefixBytes(s, 3), "12");
    EXPECT_EQ(sjis::prefixBytes(s, 4), "12" + S("東"));
    EXPECT_TRUE(sjis::isWellFormed(s));
    EXPECT_FALSE(sjis::isWellFormed(s.substr(0, 3)));
}

TEST(SjisConvert, WindowsTableAndFoldedTwins) {
    EXPECT_EQ(S("～"), "\x81\x60");
    EXPECT_EQ(S("－"), "\x81\x7C");
    EXPECT_EQ(sjis::toUtf8("\x81\x60"), "～");
    EXPECT_EQ(sjis::toUtf8("\x81\x7C"), "－");
    // The yen sign must not become a backslash.
    EXPECT_EQ(S("¥"), "\x81\x8F");
    EXPECT_EQ(sjis::toUtf8(S("¥100")), "￥100");
    // Web pages put no-break spaces where a blank is meant.
    EXPECT_EQ(S("山田\u00A0太郎\u00A0"), S("山田 太郎 "));
    EXPECT_EQ(sjis::fromUtf8Lossy("¥\u00A0¥"), "\x81\x8F \x81\x8F");
    // Other characters after the lead byte 0xC2 still go through iconv.
    EXPECT_EQ(S("\u00A7"), "\x81\x98");  // §
    // Half-width katakana are single bytes.
    EXPECT_EQ(S("ｱ"), "\xB1");
}

TEST(SjisConvert, CharactersOutsideCp932AreNeverSilentlyLost) {
    EXPECT_FALSE(sjis::fromUtf8("a😀b").has_value());
    EXPECT_EQ(sjis::fromUtf8Lossy("a😀b"), "a\x81\xAC" "b");
    EXPECT_FALSE(sjis::canEncode("𠮷"));
    EXPECT_TRUE(sjis::canEncode("吉"));
    // Broken CP932 shows as U+FFFD and the rest still decodes.
    EXPECT_EQ(sjis::toUtf8(std::string("a\x85\x40" "b")), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(sjis::toUtf8(std::string("a\x82")), "a\xEF\xBF\xBD");
}

TEST(SjisConvert, QtBoundaryRoundTrip) {
    const QString q = QStringLiteral("〒123-4567 東京都ｶﾅ");
    EXPECT_EQ(sjis::toQString(sjis::fromQString(q)), q);
    EXPECT_EQ(sjis::byteLength(QStringLiteral("あa")), 3);
    EXPECT_FALSE(sjis::isEncodable(QStringLiteral("x😀")));
    // A lone surrogate is refused like an emoji, never turned into "?".
    const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    EXPECT_FALSE(sjis::isEncodable(lone));
    EXPECT_EQ(sjis::fromQString(lone), "a\x81\xAC" "b");
    EXPECT_EQ(sjis::fromQString(QChar(0xDC00) + QStringLiteral("😀")), "\x81\xAC\x81\xAC");
}
