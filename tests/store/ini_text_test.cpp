// The INI text format on bytes: name matching, value cleaning, integers and
// in-place updates.
#include <gtest/gtest.h>

#include <string>

#include "store/ini_text.h"

using namespace std::string_literals;

namespace {

// Shift-JIS spellings used below.
const std::string kTesashi = "\x8e\xe8\x8d\xb7\x82\xb5";  // 手差し
const std::string kZo = "\x83\x5d";                        // ゾ (trail byte is "]")
const std::string kA = "\x83\x41";                         // ア (trail byte is "A")
const std::string kDi = "\x83\x61";                        // ヂ (trail byte is "a")

TEST(IniNames, MatchIgnoresCaseAndBlanksButNotDoubleByteTrails) {
    struct Case {
        std::string a, b;
        bool match;
    } cases[] = {
        {"OP023MyZip", "OP023MyZIP ", true},
        {"  vamPrn_Left\t", "VAMPRN_LEFT", true},
        {"E_G1", "E_G2", false},
        {"E_G1", "E_G", false},
        {kTesashi, " " + kTesashi + " ", true},
        // Folding the trail byte would make two different kana equal.
        {kA, kDi, false},
        {"x" + kA, "X" + kA, true},
        {"", " ", true},
    };
    for (const auto& c : cases) EXPECT_EQ(ini::namesMatch(c.a, c.b), c.match) << c.a << " vs " << c.b;
}

TEST(IniFind, FirstMatchingSectionAndKeyOnly) {
    const std::string text =
        "stray=before any section\r\n"
        "[Other]\r\nE_ZIP=other\r\n"
        " [ VM_PELICANPRN ] trailing junk\r\n"
        "; a comment\r\n"
        "  e_zip  =  123-4567  \r\n"
        "E_ZIP=second\r\n"
        "[vm_Pelicanprn]\r\nE_AD1=in a repeated section\r\n"
        "[" + kZo + "]\r\nk=zo\r\n";
    EXPECT_EQ(ini::findRawValue(text, "vm_Pelicanprn", "E_ZIP"), "  123-4567  ");
    EXPECT_EQ(ini::findRawValue(text, "Other", "e_zip"), "other");
    EXPECT_EQ(ini::findRawValue(text, "vm_Pelicanprn", "E_AD1"), std::nullopt);
    EXPECT_EQ(ini::findRawValue(text, "vm_Pelicanprn", "stray"), std::nullopt);
    EXPECT_EQ(ini::findRawValue(text, "Missing", "E_ZIP"), std::nullopt);
    EXPECT_EQ(ini::findRawValue(text, kZo, "k"), "zo");
}

TEST(IniFind, LineEndsLfCrLfAndNone) {
    EXPECT_EQ(ini::findRawValue("[s]\nk=v\nj=w", "s", "j"), "w");
    EXPECT_EQ(ini::findRawValue("[s]\nk=v\nj=w", "s", "k"), "v");
    EXPECT_EQ(ini::findRawValue("[s]\r\nk=v\r\n", "s", "k"), "v");
    // A lone CR does not end a line; as a trailing blank it is trimmed later.
    EXPECT_EQ(ini::findRawValue("[s]\rk=v\n", "s", "k"), std::nullopt);
    EXPECT_EQ(ini::findRawValue("[s]\nk=v\r\r\n", "s", "k"), "v\r");
    EXPECT_EQ(ini::findRawValue("", "s", "k"), std::nullopt);
    EXPECT_EQ(ini::findRawValue("[s]\nk=a\0b\n"s, "s", "k"), "a\0b"s);
}

TEST(IniValue, TrimUnquoteAndCut) {
    struct Case {
        std::string raw, expected;
    } cases[] = {
        {"  Yamada  ", "Yamada"},
        {"\"  quoted  \"", "  quoted  "},
        {" 'single' ", "single"},
        {"\"mixed'", "\"mixed'"},
        {"\"", "\""},
        {"\"\"", ""},
        {"\"\"x\"\"", "\"x\""},  // one pair only
        {"", ""},
        {"\t\r", ""},
        {"\x81\x40" "full-width blank stays\x81\x40", "\x81\x40" "full-width blank stays\x81\x40"},
    };
    for (const auto& c : cases) EXPECT_EQ(ini::cleanValue(c.raw), c.expected) << c.raw;
}

TEST(IniValue, CutAt2047BytesNeverSplitsACharacter) {
    EXPECT_EQ(ini::cleanValue(std::string(3000, 'a')).size(), 2047u);
    EXPECT_EQ(ini::cleanValue(std::string(2047, 'a')).size(), 2047u);
    // 1 + 1023 pairs = 2047 bytes fits; with 1024 pairs the last is dropped whole.
    std::string pairs = "a";
    for (int i = 0; i < 1024; ++i) pairs += kA;
    const std::string cut = ini::cleanValue(pairs);
    EXPECT_EQ(cut.size(), 2047u);
    EXPECT_EQ(cut.substr(cut.size() - 2), kA);
    const std::string even = ini::cleanValue(pairs.substr(1));  // 2048 bytes of pairs
    EXPECT_EQ(even.size(), 2046u);
}

TEST(IniInteger, AcceptedAndRejectedForms) {
    struct Case {
        std::string text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0", 0}, {"3", 3}, {"-7", -7}, {"+7", 7}, {"007", 7},
        {"0x3", 3}, {"0X1f", 31}, {"0x7FFFFFFF", 2147483647}, {"0xFFFFFFFF", -1},
        {"$10", 16}, {"$ff", 255},
        {"2147483647", 2147483647}, {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::nullopt}, {"-2147483649", std::nullopt},
        {"0x100000000", std::nullopt}, {"0x", std::nullopt}, {"0x0", 0},
        {"$", std::nullopt}, {"0xg", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
        {"abc", std::nullopt}, {"1 2", std::nullopt}, {"1.5", std::nullopt}, {"99999999999999999999", std::nullopt},
        {"0x00000000000000000001", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ini::parseInteger(c.text), c.value) << c.text;
}

TEST(IniUpdate, NewFileSectionAndKeys) {
    std::string text = ini::withValue("", "vm_Pelicanprn", "Addr_Font", "1");
    text = ini::withValue(text, "vm_Pelicanprn", "E_ZIP", "");
    text = ini::withValue(text, "vm_Pelicanprn", "Addr_Font", "2");
    EXPECT_EQ(text, "[vm_Pelicanprn]\r\nAddr_Font=2\r\nE_ZIP=\r\n");
}

TEST(IniUpdate, ExistingKeyRewrittenInPlaceOtherBytesKept) {
    const std::string before =
        "; hand-edited\n"
        "[vm_pelicanprn]\n"
        "  op023myzip = 100-0001 \n"
        "unknown line\n"
        "Foo=bar\r\n"
        "\n"
        "[Next]\r\nE_ZIP=x\r\n";
    EXPECT_EQ(ini::withValue(before, "vm_Pelicanprn", "OP023MyZip", "105-0004"),
              "; hand-edited\n"
              "[vm_pelicanprn]\n"
              "OP023MyZip=105-0004\n"
              "unknown line\n"
              "Foo=bar\r\n"
              "\n"
              "[Next]\r\nE_ZIP=x\r\n");
}

TEST(IniUpdate, NewKeyGoesAfterTheSectionsLastKey) {
    struct Case {
        std::string name, before, after;
    } cases[] = {
        {"before blank line and next section", "[s]\r\na=1\r\n\r\n[t]\r\nb=2\r\n",
         "[s]\r\na=1\r\nk=v\r\n\r\n[t]\r\nb=2\r\n"},
        {"after the header of an empty section", "[s]\r\n; note\r\n[t]\r\n", "[s]\r\nk=v\r\n; note\r\n[t]\r\n"},
        {"last line without line end", "[s]\r\na=1", "[s]\r\na=1\r\nk=v\r\n"},
        {"header alone without line end", "[s]", "[s]\r\nk=v\r\n"},
        {"missing section after open line", "junk", "junk\r\n[s]\r\nk=v\r\n"},
        {"missing section", "[t]\r\nb=2\r\n", "[t]\r\nb=2\r\n[s]\r\nk=v\r\n"},
        {"second section of same name untouched", "[s]\na=1\n[t]\n[S]\nk=old\n", "[s]\na=1\nk=v\r\n[t]\n[S]\nk=old\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(ini::withValue(c.before, "s", "k", "v"), c.after) << c.name;
}

TEST(IniUpdate, LineBreaksInAValueCannotAddKeys) {
    const std::string text = ini::withValue("", "s", "k", "a\r\n[evil]\r\nx=1");
    EXPECT_EQ(text, "[s]\r\nk=a[evil]x=1\r\n");
    EXPECT_EQ(ini::findRawValue(text, "evil", "x"), std::nullopt);
}

TEST(IniUpdate, DoubleByteSectionNames) {
    std::string text = ini::withValue("", kTesashi, "PrnName", "Printer A");
    text = ini::withValue(text, kZo, "PrnName", "B");
    text = ini::withValue(text, kTesashi, "PrnNoIndex", "2");
    EXPECT_EQ(text, "[" + kTesashi + "]\r\nPrnName=Printer A\r\nPrnNoIndex=2\r\n[" + kZo + "]\r\nPrnName=B\r\n");
    EXPECT_EQ(ini::findRawValue(text, kZo, "prnname"), "B");
}

}  // namespace
