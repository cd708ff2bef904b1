// Half-width conversion, blank trimming, numeric reading, integer reading
// and label removal.
#include <gtest/gtest.h>

#include "tests/transfer/sjis_test_text.h"
#include "transfer/han_conv.h"
#include "transfer/labels.h"
#include "transfer/text_functions.h"

using namespace transfer;

namespace {
// A text case: UTF-8 input and the expected UTF-8 result.
struct Case { const char* in; const char* out; };
}  // namespace

TEST(HanConv, NarrowFormsReplaceWideOnesAndNothingElse) {
    const Case cases[] = {
        {"ＡＢＣ　１２３", "ABC 123"},
        {"〒", "〒"},
        {"０３－１２３４－５６７８", "03-1234-5678"},
        {"！＂＃＄％＆＇（）＊＋，－．／：；＜＝＞？＠［＼］＾＿｀｛｜｝～", "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"},
        {"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン",
         "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝ"},
        {"ガギグゲゴザジズゼゾダヂヅデド", "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ"},
        {"パピプペポ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        {"バビブベボ", "ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"},
        {"ヴ", "ｳﾞ"},
        {"ッツヅ", "ｯﾂﾂﾞ"},             // small tsu is no base of a voiced letter
        {"ヤマダタロウ", "ﾔﾏﾀﾞﾀﾛｳ"},
        {"「テスト」、。・ー゛゜", "｢ﾃｽﾄ｣､｡･ｰﾞﾟ"},
        {"ァィゥェォャュョヲン", "ｧｨｩｪｫｬｭｮｦﾝ"},
        {"ヶヵヰヱヮ", "ヶヵヰヱヮ"},      // no half-width form
        {"山田様℡ひらがな", "山田様℡ひらがな"},
        {"￥￠￡￢￣￤", "￥￠￡￢￣￤"},    // kept: no single-byte narrow form
        {"“引用”‘’", "“引用”‘’"},
        {"ｶﾀｶﾅ abc", "ｶﾀｶﾅ abc"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(U(Han_Conv(S(c.in))), c.out) << c.in;
}

TEST(HanConv, RawBytesLongTextsAndRepeats) {
    EXPECT_EQ(Han_Conv("\xFA\x57\xFA\x56"), "\"'");    // IBM codes of "＂" "＇"
    EXPECT_EQ(Han_Conv("a\x82"), "a\x82");             // lead byte without its pair is kept
    EXPECT_EQ(Han_Conv("\x82\x60\x0A\x82\x61"), "A\nB");

    std::string wide, narrow;
    for (int i = 0; i < 1000; ++i) {
        wide += S("ア１");
        narrow += S("ｱ1");
    }
    EXPECT_EQ(Han_Conv(wide), narrow);  // far beyond 255 bytes, converted whole
    EXPECT_EQ(Han_Conv(narrow), narrow);
}

// Only a mark with a digit on each side is a hyphen; the half-width
// conversion follows.
TEST(HalfWidthCode, HyphenLikeMarksBetweenDigitsAreHyphens) {
    const Case cases[] = {
        {"１００ー０００１", "100-0001"},
        {"100ｰ0001", "100-0001"},
        {"03‐1234‐5678", "03-1234-5678"},
        {"０３―１２３４―５６７８", "03-1234-5678"},
        {"03−1234−5678", "03-1234-5678"},
        {"０３－１２３４－５６７８", "03-1234-5678"},
        {"3ー", "3ｰ"},                          // no digit after it
        {"ー1", "ｰ1"},
        {"12ーー34", "12ｰｰ34"},                 // two marks: neither is between digits
        {"コーポ1ー2", "ｺｰﾎﾟ1-2"},              // the long-vowel mark of a word stays one
        {"Aー1", "Aｰ1"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(U(halfWidthCode(S(c.in))), c.out) << c.in;
    // A mark after a lone lead byte is not read past it.
    EXPECT_EQ(hyphensBetweenDigits("1\x81\x5B"), "1\x81\x5B");
}

TEST(SpaceTrim, BlanksOfBothWidthsAtBothEnds) {
    const Case cases[] = {
        {"　 山田　太郎　 ", "山田　太郎"},
        {"　　", ""},
        {" \t　a", "a"},
        {"a\t　", "a\t"},                // only spaces go after the first trim
        {"メ@", "メ@"},                  // ends in 0x81 0x40 that is no "　"
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(U(Space_Trim(S(c.in))), c.out) << c.in;
}

TEST(NumReading, NumberAtTheStartAsTheNumericControlKeepsIt) {
    const Case cases[] = {
        {"123-4567東京都", "123"},
        {"03-1234-5678", "3"},
        {"０９０－１２３４－５６７８", "90"},
        {"0120-123-456", "120"},
        {"１０１号室", "101"},
        {"12,345円", "12345"},
        {"1.23456", "1.234"},
        {"1234567890", ""},
        {"東京都港区1-2-3", ""},
        {"-0012", "-12"},
        {".5", "0.5"},
        {"000", "0"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Num_Reading(S(c.in)), c.out) << c.in;
}

TEST(StrToInt0, DecimalIntegersElseZero) {
    struct Case { const char* in; int out; };
    const Case cases[] = {
        {"12", 12}, {"", 0}, {"xxxx", 0}, {"-3", -3}, {"+7", 7}, {"0", 0},
        {"1a", 0}, {" 1", 0}, {"+", 0}, {"-", 0}, {"99999999999", 0}, {"2147483647", 2147483647},
    };
    for (const auto& c : cases) EXPECT_EQ(Str_ToInt0(c.in), c.out) << c.in;
}

TEST(Labels, RemovedInOrderWhereverTheyStand) {
    ASSERT_EQ(labelList().size(), 46u);
    const Case cases[] = {
        {"お届け先：山田　太郎　様", "山田　太郎　"},   // the trailing blank goes in a later step
        {"お名前：", ""},
        {"携帯電話：090-1234-5678", "携帯090-1234-5678"},
        {"〒１２３－４５６７", "１２３－４５６７"},
        {"ＴＥＬ：０３－１２３４－５６７８", "０３－１２３４－５６７８"},
        {"ご住所：東京都港区", "東京都港区"},
        {"住所１　大阪府", "　大阪府"},                // only bytes up to 32 are trimmed here
        {"お電話番号 (携帯) 090", "(携帯) 090"},
        {"TTELEL", ""},                               // the second "TEL" takes what the first joined
        {"Tel.03", ".03"},
        {"おところ2 港区", "港区"},
        {"ゆうびんばんごう 1234567", "1234567"},
        {"山田太郎", "山田太郎"},
    };
    for (const auto& c : cases) EXPECT_EQ(U(stripLabels(S(c.in))), c.out) << c.in;
}
