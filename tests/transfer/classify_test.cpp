// The line tests: occurrence count, mail/web marks, postal code/telephone
// verdict, prefecture names and name-or-address marks.
#include <gtest/gtest.h>

#include "tests/transfer/sjis_test_text.h"
#include "transfer/classify.h"
#include "transfer/str_count.h"

using namespace transfer;

TEST(StrCount, StepsOverWholeCharactersWithoutOverlap) {
    struct Case { std::string text, mark; int count; };
    const Case cases[] = {
        {S("："), "F", 0},                    // "F" is the trail byte of "："
        {S("：F"), "F", 1},
        {"ababab", "ab", 3},
        {"aaaa", "aa", 2},
        {"aaa", "aa", 1},
        {"abc", "", 0},
        {"", "a", 0},
        {S("京都都"), S("都"), 2},
        {S("メ@"), S("　"), 0},               // 0x83 0x81 0x40: no "　" across the boundary
        {S("ＦＦＦ"), S("Ｆ"), 3},
        {S("ｶﾞｶﾞ"), S("ｶﾞ"), 2},
    };
    for (const auto& c : cases) EXPECT_EQ(Str_Count(c.text, c.mark), c.count) << U(c.text) << " / " << U(c.mark);
}

TEST(MailWebMarks, OverlappingMarksEachCount) {
    struct Case { const char* text; int count; };
    const Case cases[] = {
        {"abc.ne.jp", 2},
        {"東京都港区芝公園1-2-3", 0},
        {"@", 1},
        {"taro@example.com", 3},          // "@", ".com", ".co"
        {"https://shop.example.net/", 2}, // ".ne", ".net"
        {"www.example.org", 1},
        {"ＴＡＲＯ＠ＥＸＡＭＰＬＥ．ＣＯＭ", 0},  // full-width marks are not marks
        {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(mailWebMarkCount(S(c.text)), c.count) << c.text;
}

TEST(ZipTelVerdict, ByLengthAndShareOfDigits) {
    struct Case { const char* text; ZipTelVerdict v; };
    using V = ZipTelVerdict;
    const Case cases[] = {
        {"123-4567", V::Zip},
        {"１２３－４５６７", V::Zip},
        {"  123-4567\t", V::Zip},        // trimmed first
        {"--------", V::Zip},
        {"1234567", V::Undecided},
        {"12-3456", V::Undecided},
        {"〒123-4567", V::Undecided},
        {"123-45678", V::Undecided},     // nine digit marks: neither code nor telephone
        {"03-1234-5678", V::Tel},
        {"0312345678", V::Tel},
        {"090-1234-5678", V::Tel},
        {"０９０－１２３４－５６７８", V::Tel},
        {"TEL0312345678", V::Address},   // three letters are too many for a telephone
        {"東京都港区1-2-3", V::Address},
        {"(03)1234-5678", V::Undecided},
        {"03-1234-5678内", V::Tel},      // one other character is allowed
        {"", V::Undecided},
        {"山田太郎", V::Undecided},
        // A hyphen typed as another mark between digits is the hyphen.
        {"100ｰ0001", V::Zip},
        {"１００ー０００１", V::Zip},
        {"100‐0001", V::Zip},
        {"100―0001", V::Zip},
        {"０３ー１２３４ー５６７８", V::Tel},
        {"03‐1234‐5678", V::Tel},
        {"03―1234―5678", V::Tel},
        {"ー1000001", V::Undecided},      // not between digits: another character
    };
    for (const auto& c : cases) EXPECT_EQ(zipTelVerdict(S(c.text)), c.v) << c.text;
    EXPECT_EQ(U(verdictCaption(V::Zip)), "〒");
    EXPECT_EQ(U(verdictCaption(V::Tel)), "TEL");
    EXPECT_EQ(U(verdictCaption(V::Address)), "ADD");
    EXPECT_EQ(U(verdictCaption(V::Undecided)), "〒/電話番工判断");
}

TEST(PrefectureTest, WholeTextMustMatchOneName) {
    ASSERT_EQ(prefectureNames().size(), 47u);
    for (const auto& name : prefectureNames()) EXPECT_TRUE(isPrefectureName(name)) << U(name);
    for (const char* miss : {"東京", "東京都港区", " 東京都", "東京都 ", "大阪", "", "京都"})
        EXPECT_FALSE(isPrefectureName(S(miss))) << miss;
    EXPECT_TRUE(isPrefectureName(S("沖縄県")));
    EXPECT_TRUE(isPrefectureName(S("京都府")));
}

TEST(NameAddrCount, DigitsAndAddressWords) {
    ASSERT_EQ(nameAddrMarks().size(), 57u);
    ASSERT_EQ(digitMarks().size(), 22u);
    struct Case { const char* text; int chars, marks; };
    const Case cases[] = {
        {"山田太郎", 4, 0},
        {"3F", 2, 2},
        {"ﾏﾝｼｮﾝ", 5, 1},
        {"Fujita Taro", 11, 1},
        {"fujita taro", 11, 0},
        {"中学校", 3, 2},                 // "中学" and "中学校"
        {"高等学校", 4, 1},
        {" 北海道札幌市 ", 6, 2},         // trimmed; "北海道" and "市"
        {"港区芝公園1-2-3", 10, 6},
        {"ハイツ青葉２０２号", 9, 5},      // ハイツ, ２, ０, ２, 号
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        const NameAddrCount r = nameAddrCount(S(c.text));
        EXPECT_EQ(r.chars, c.chars) << c.text;
        EXPECT_EQ(r.marks, c.marks) << c.text;
    }
}

// The one-pass digit count must agree with counting every digit mark.
TEST(ZipTelVerdict, DigitCountAgreesWithTheMarkList) {
    const char* samples[] = {"０１２３４５６７８９－0123456789-", "東京都港区１－２－3", "ｰ-－―‐", "ア1イ２ウ", ""};
    for (const char* s : samples) {
        const std::string t = S(s);
        int viaMarks = 0;
        for (const auto& m : digitMarks()) viaMarks += Str_Count(t, m);
        int viaWords = 0;
        for (std::size_t i = 22; i < nameAddrMarks().size(); ++i) viaWords += Str_Count(t, nameAddrMarks()[i]);
        EXPECT_EQ(nameAddrCount(t).marks, viaMarks + viaWords) << s;
    }
}
