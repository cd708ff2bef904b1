// Whole transfers: memo text in, fields, memo lines and message out.
#include <gtest/gtest.h>

#include <optional>

#include "tests/transfer/sjis_test_text.h"
#include "transfer/pipeline.h"

using namespace transfer;

namespace {

std::string memo(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* l : lines) text += S(l) + "\r\n";
    return text;
}

struct Fields { std::string zip, add1, add2, name, tel; };

Fields fieldsOf(const TransferResult& r) {
    const TransferFields& f = r.fields.value();
    return {U(f.zip), U(f.add1), U(f.add2), U(f.name), U(f.tel)};
}

void expectFields(const TransferResult& r, const Fields& e, const std::string& what) {
    ASSERT_TRUE(r.fields) << what;
    const Fields f = fieldsOf(r);
    EXPECT_EQ(f.zip, e.zip) << what;
    EXPECT_EQ(f.add1, e.add1) << what;
    EXPECT_EQ(f.add2, e.add2) << what;
    EXPECT_EQ(f.name, e.name) << what;
    EXPECT_EQ(f.tel, e.tel) << what;
    EXPECT_FALSE(r.message) << what;
    EXPECT_EQ(r.focus, FocusAfter::Zip) << what;
    EXPECT_EQ(r.memo.size(), 7u) << what;
}

}  // namespace

TEST(Transfer, FieldsFromTypicalPastes) {
    struct Case { const char* what; std::string text; Fields fields; };
    const Case cases[] = {
        {"six-line order with a mail line",
         memo({"お名前：山田太郎様", "〒123-4567", "東京都港区芝公園1-2-3", "ABCビル5F", "TEL:03-1234-5678",
               "yamada@example.com"}),
         {"123-4567", "東京都港区芝公園1-2-3", "ABCビル5F", "山田太郎", "03-1234-5678"}},
        {"prefecture alone on a line", memo({"東京都", "港区芝公園1-2-3"}), {"", "東京都港区芝公園1-2-3", "", "", ""}},
        {"Okinawa alone on a line", memo({"沖縄県", "那覇市泉崎1-2-3"}), {"", "沖縄県那覇市泉崎1-2-3", "", "", ""}},
        {"zip and address on one line", memo({"123-4567東京都港区芝公園1-2-3"}),
         {"123-4567", "東京都港区芝公園1-2-3", "", "", ""}},
        {"full-width telephone", memo({"０３－１２３４－５６７８"}), {"", "", "", "", "03-1234-5678"}},
        {"full-width postal code", memo({"〒１２３－４５６７"}), {"123-4567", "", "", "", ""}},
        {"zip without hyphen is an address", memo({"1234567"}), {"", "1234567", "", "", ""}},
        {"short line with an address mark is a name", memo({"3F", "山田太郎"}), {"", "", "", "3F", ""}},
        {"two zip lines", memo({"〒123-4567", "〒765-4321", "鈴木一郎"}), {"123-4567", "", "", "鈴木一郎", ""}},
        {"three address lines",
         memo({"東京都港区芝公園1-2-3", "ABCビル5F", "大阪府大阪市北区梅田1-1"}),
         {"", "東京都港区芝公園1-2-3", "ABCビル5F", "", ""}},
        {"prefecture after the address still leads add1", memo({"港区芝公園1-2-3", "東京都"}),
         {"", "東京都港区芝公園1-2-3", "", "", ""}},
        {"second telephone dropped", memo({"03-1234-5678", "090-8765-4321"}), {"", "", "", "", "03-1234-5678"}},
        {"blank lines and lines beyond the seventh blank one",
         memo({"", "  ", "佐藤花子", "", "〒 100-0001", "\t"}), {"100-0001", "", "", "佐藤花子", ""}},
        {"labels only", memo({"お名前"}), {"", "", "", "", ""}},
        {"seven lines exactly",
         memo({"山田太郎", "123-4567", "東京都", "港区芝公園1-2-3", "ABCビル5F", "03-1234-5678", "備考"}),
         {"123-4567", "東京都港区芝公園1-2-3", "ABCビル5F", "山田太郎", "03-1234-5678"}},
        {"LF and CR line breaks", "\x8e\x52\x93\x63\n123-4567\r03-1234-5678", {"123-4567", "", "", "山田", "03-1234-5678"}},
    };
    for (const auto& c : cases) expectFields(runTransfer(c.text), c.fields, c.what);
}

// The hyphen of a postal code or telephone typed as another mark: the
// lines are still the code and the telephone, and the fields get "-".
TEST(Transfer, HyphenLikeMarksBetweenDigitsKeepTheCodeAndTelephone) {
    for (const char* dash : {"ー", "ｰ", "‐", "―", "−"}) {
        const auto line = [&](const char* a, const char* b, const char* c = nullptr) {
            return std::string(a) + dash + b + (c ? std::string(dash) + c : std::string());
        };
        const std::string zip = "〒" + line("１００", "０００１");
        const std::string tel = line("０３", "１２３４", "５６７８");
        const std::string text = S(zip) + "\r\n" + S("東京都千代田区千代田１－１") + "\r\n" + S("山田 花子") + "\r\n" +
                                 S(tel) + "\r\n";
        expectFields(runTransfer(text), {"100-0001", "東京都千代田区千代田１－１", "", "山田 花子", "03-1234-5678"},
                     dash);
        // The code opening an address line is split off as before.
        expectFields(runTransfer(S(line("100", "0001") + "東京都千代田区千代田1-1")),
                     {"100-0001", "東京都千代田区千代田1-1", "", "", ""}, dash);
    }
    // Elsewhere "ー" is the long-vowel mark: a name keeps it.
    expectFields(runTransfer(memo({"コーポ山田", "03-1234-5678"})), {"", "", "", "コーポ山田", "03-1234-5678"},
                 "long vowel");
}

TEST(Transfer, MemoAfterwardsShowsTheProcessedLines) {
    struct Case { const char* what; std::string text; std::vector<std::string> memo; };
    const Case cases[] = {
        {"six-line order",
         memo({"お名前：山田太郎様", "〒123-4567", "東京都港区芝公園1-2-3", "ABCビル5F", "TEL:03-1234-5678",
               "yamada@example.com"}),
         {"山田太郎", "123-4567", "東京都港区芝公園1-2-3", "ABCビル5F", "03-1234-5678", "", ""}},
        {"labels only", memo({"お名前"}), {"", "", "", "", "", "", ""}},
        {"honorific and both blanks", memo({"お届け先：山田　太郎　様"}), {"山田　太郎", "", "", "", "", "", ""}},
        {"label inside a word", memo({"携帯電話：090-1234-5678"}), {"携帯090-1234-5678", "", "", "", "", "", ""}},
        {"telephone keeps full width before line 7, converted on line 7",
         memo({"ＴＥＬ：０３－１２３４－５６７８", "a", "b", "c", "d", "e", "ＴＥＬ：０３－１２３４－５６７８"}),
         {"０３－１２３４－５６７８", "a", "b", "c", "d", "e", "03-1234-5678"}},
        {"katakana converted on line 7 only",
         memo({"ヤマダタロウ", "a", "b", "c", "d", "e", "ヤマダタロウ"}),
         {"ヤマダタロウ", "a", "b", "c", "d", "e", "ﾔﾏﾀﾞﾀﾛｳ"}},
        {"number of three characters converts its line",
         memo({"１０１号室　ハイツ", "０１２０－１２３－４５６"}),
         {"101号室 ﾊｲﾂ", "0120-123-456", "", "", "", "", ""}},
        {"zip split keeps the rest untrimmed in the first empty later line",
         memo({"123-4567 東京都港区芝公園1-2-3", "山田太郎"}),
         {"123-4567", "山田太郎", " 東京都港区芝公園1-2-3", "", "", "", ""}},
        {"zip split with no empty later line loses the rest",
         memo({"a", "b", "c", "d", "e", "f", "123-4567東京都港区芝公園"}),
         {"a", "b", "c", "d", "e", "f", "123-4567"}},
        {"short rest stays on its line", memo({"123-4567港区芝"}), {"123-4567港区芝", "", "", "", "", "", ""}},
    };
    for (const auto& c : cases) {
        const TransferResult r = runTransfer(c.text);
        EXPECT_EQ(U(r.memo), c.memo) << c.what;
    }
}

TEST(Transfer, ZipSplitCutsTheRestAtTheEightyEighthByte) {
    // 8-byte code, then 79 ASCII bytes and a double-byte character across
    // bytes 88 and 89: the character is dropped whole.
    const std::string rest79(79, 'a');
    const std::string line = "123-4567" + rest79 + S("都") + "zz";
    const TransferResult r = runTransfer(line);
    ASSERT_EQ(r.memo.size(), 7u);
    EXPECT_EQ(r.memo[0], "123-4567");
    EXPECT_EQ(r.memo[1], rest79);
    // With 80 bytes of room the same character is kept.
    const std::string rest78(78, 'a');
    EXPECT_EQ(runTransfer("123-4567" + rest78 + S("都") + "zz").memo[1], rest78 + S("都"));
}

TEST(Transfer, MessagesLeaveTheFieldsUntouched) {
    struct Case { const char* what; std::string text; std::optional<std::string> message; std::size_t memoLines; FocusAfter focus; };
    const std::string eight = memo({"1", "2", "3", "4", "5", "6", "7", "8"});
    const std::string tenWithMail =
        memo({"1", "2", "a@b", "3", "4", "5", "www.shop.co.jp", "6", "7", "8"});
    std::string mail16;
    for (int i = 0; i < 16; ++i) mail16 += "x@y\n";
    const Case cases[] = {
        {"empty memo", "", "転送テキストがありません", 0, FocusAfter::Unchanged},
        {"blank lines only", "\r\n  \r\n\t\r\n", "転送テキストがありません", 0, FocusAfter::Unchanged},
        {"a full-width blank is text to the compaction", "\r\n　\r\n", std::nullopt, 1, FocusAfter::Zip},
        {"mail lines only", "a@b.jp\nhttp://x.com\n", "転送テキストがありません", 0, FocusAfter::Unchanged},
        {"eight lines", eight, " ７行以内に収めてください  現在 8行です", 8, FocusAfter::Memo},
        {"ten lines with two mail lines", tenWithMail, " ７行以内に収めてください  現在 8行です", 8, FocusAfter::Memo},
        {"lines after the sixteenth are never read", mail16 + "山田\n東京都\n", "転送テキストがありません", 0,
         FocusAfter::Unchanged},
    };
    for (const auto& c : cases) {
        const TransferResult r = runTransfer(c.text);
        if (c.message) {
            ASSERT_TRUE(r.message) << c.what;
            EXPECT_EQ(U(*r.message), *c.message) << c.what;
            EXPECT_FALSE(r.fields) << c.what;
            EXPECT_EQ(r.memo.size(), c.memoLines) << c.what;
        }
        EXPECT_EQ(r.focus, c.focus) << c.what;
    }
    // Twenty lines: only the first sixteen are compacted.
    std::string twenty;
    for (int i = 1; i <= 20; ++i) twenty += std::to_string(i) + "\n";
    EXPECT_EQ(U(runTransfer(twenty).message.value()), " ７行以内に収めてください  現在 16行です");
    EXPECT_EQ(runTransfer(twenty).memo.back(), "16");
}

TEST(Transfer, MemoLinesSplitOnEveryBreak) {
    using L = std::vector<std::string>;
    EXPECT_EQ(memoLines(""), L{});
    EXPECT_EQ(memoLines("a"), L{"a"});
    EXPECT_EQ(memoLines("a\r\n"), L{"a"});
    EXPECT_EQ(memoLines("a\r\n\r\n"), (L{"a", ""}));
    EXPECT_EQ(memoLines("a\nb\rc\r\nd"), (L{"a", "b", "c", "d"}));
    EXPECT_EQ(memoLines("\n\n"), (L{"", ""}));
}

TEST(Transfer, BrokenDoubleByteCharactersBecomeGeta) {
    EXPECT_EQ(U(repairSjis("a\x82\nb")), "a〓\nb");      // a line break is no second byte
    EXPECT_EQ(U(repairSjis("\x82")), "〓");
    EXPECT_EQ(U(repairSjis("\x82\x7F")), "〓\x7F");
    EXPECT_EQ(repairSjis(S("山田\r\n太郎")), S("山田\r\n太郎"));
    // Raw bytes never leave half a character in a field or a memo line.
    const TransferResult r = runTransfer("\x8e\x52\x93\x63\x82\n123-4567\n");
    EXPECT_EQ(U(r.fields.value().name), "山田〓");
    EXPECT_EQ(U(r.fields.value().zip), "123-4567");
}
