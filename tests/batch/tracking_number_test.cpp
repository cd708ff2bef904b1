// Tracking numbers: the modulus-7 check against every single-digit change
// and neighbour swap, the reading of typed and scanned text, counting on.
#include <gtest/gtest.h>

#include <cstdlib>

#include "batch/tracking_number.h"

using namespace batch;

namespace {

constexpr const char* kKnownGood[] = {"123456789013", "000000000000", "999999999994", "314159265350",
                                      "700000000000", "100000000063"};

// Modulus 7 cannot see a digit of the first eleven moved by 7 (0↔7, 1↔8,
// 2↔9); every other change is caught. The check digit itself is 0-6, so
// any change to it fails.
bool undetectable(const std::string& good, const std::string& changed) {
    for (std::size_t i = 0; i < good.size(); ++i) {
        if (good[i] == changed[i]) continue;
        if (i == good.size() - 1 || std::abs(good[i] - changed[i]) != 7) return false;
    }
    return true;
}

}  // namespace

TEST(TrackingNumber, SingleDigitChangesAndSwaps) {
    for (const std::string good : kKnownGood) {
        ASSERT_TRUE(isValidTracking(good)) << good;
        for (std::size_t i = 0; i < good.size(); ++i) {
            for (char d = '0'; d <= '9'; ++d) {
                if (d == good[i]) continue;
                std::string changed = good;
                changed[i] = d;
                EXPECT_EQ(isValidTracking(changed), undetectable(good, changed)) << changed;
            }
            if (i + 1 < good.size() && good[i] != good[i + 1]) {
                std::string swapped = good;
                std::swap(swapped[i], swapped[i + 1]);
                EXPECT_EQ(isValidTracking(swapped), undetectable(good, swapped)) << swapped;
            }
        }
    }
}

TEST(TrackingNumber, ReadsTypedAndScannedText) {
    struct Case {
        const char* text;
        const char* digits;  // nullptr: refused
        const char* reason;
    } cases[] = {
        {"123456789013", "123456789013", ""},
        {"A123456789013D", "123456789013", ""},  // NW-7 start and stop letters
        {"c1234-5678-9013b", "123456789013", ""},
        {"１２３４ ５６７８　９０１３", "123456789013", ""},
        {"123456789014", nullptr, "伝票番号の検査数字が合いません"},
        {"12345678901", nullptr, "伝票番号は12桁です (11桁あります)"},
        {"1234567890134", nullptr, "伝票番号は12桁です (13桁あります)"},
        {"12345E789013", nullptr, "伝票番号に数字でない文字があります: E"},
        {"AA123456789013", nullptr, "伝票番号に数字でない文字があります: A"},
        {"1234あ56789013", nullptr, "伝票番号に数字でない文字があります: あ"},
        {" - ", nullptr, "伝票番号がありません"},
    };
    for (const Case& c : cases) {
        const auto r = parseTracking(c.text);
        if (c.digits) {
            ASSERT_TRUE(std::holds_alternative<std::string>(r)) << c.text;
            EXPECT_EQ(std::get<std::string>(r), c.digits);
        } else {
            ASSERT_TRUE(std::holds_alternative<TrackingRefusal>(r)) << c.text;
            EXPECT_EQ(std::get<TrackingRefusal>(r).reason, c.reason) << c.text;
        }
    }
}

TEST(TrackingNumber, CountsOnWithANewCheckDigit) {
    EXPECT_EQ(nextTracking("123456789013"), "123456789024");
    EXPECT_EQ(nextTracking("000000000066", 1), "000000000070");  // 6 + 1 = 7 ≡ 0
    EXPECT_EQ(nextTracking("123456789013", 3), "123456789046");
    EXPECT_EQ(nextTracking("999999999994"), "");
    for (std::uint64_t k = 1; k < 50; ++k) EXPECT_TRUE(isValidTracking(nextTracking("314159265350", k)));
}

// Each rule a form may name, read and counted on through one table: what a
// number of that form is, what is refused, and the numbers after it.
TEST(TrackingNumber, FollowsTheFormsRule) {
    using print::TrackingRule;
    const TrackingScheme mod7{TrackingRule::Mod7, 12}, mod7Ten{TrackingRule::Mod7, 10},
        digits{TrackingRule::Digits, 10}, none{TrackingRule::None, 0}, longDigits{TrackingRule::Digits, 24};
    struct Case {
        TrackingScheme scheme;
        const char* text;
        const char* digits;  // nullptr: refused with `reason`
        const char* reason;
        const char* next;    // the number after it ("" none)
    } cases[] = {
        {mod7, "123456789013", "123456789013", "", "123456789024"},
        {mod7Ten, "1234567891", "1234567891", "", "1234567902"},  // 123456789 ≡ 1, 123456790 ≡ 2
        {mod7Ten, "1234567894", nullptr, "伝票番号の検査数字が合いません", ""},
        {mod7Ten, "123456789013", nullptr, "伝票番号は10桁です (12桁あります)", ""},
        {digits, "A0123-456789D", "0123456789", "", "0123456790"},
        {digits, "1234567895", "1234567895", "", "1234567896"},  // no check digit
        {digits, "9999999999", "9999999999", "", ""},            // runs past ten digits
        {digits, "12345", nullptr, "伝票番号は10桁です (5桁あります)", ""},
        {longDigits, "123456789012345678901239", "123456789012345678901239", "", "123456789012345678901240"},
        {none, "123456789013", nullptr, "この送り状には伝票番号を記録しません", ""},
        {none, "", nullptr, "伝票番号がありません", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = parseTracking(c.text, c.scheme);
        if (!c.digits) {
            ASSERT_TRUE(std::holds_alternative<TrackingRefusal>(r));
            EXPECT_EQ(std::get<TrackingRefusal>(r).reason, c.reason);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<std::string>(r));
        EXPECT_EQ(std::get<std::string>(r), c.digits);
        EXPECT_TRUE(isValidTracking(c.digits, c.scheme));
        EXPECT_EQ(nextTracking(c.digits, 1, c.scheme), c.next);
    }
    // The built-in form's numbers are the default scheme's.
    EXPECT_EQ(trackingSchemeOf(print::builtinForm()), TrackingScheme{});
    EXPECT_EQ(nextTracking("123456789013", 1, none), "");
    EXPECT_FALSE(isValidTracking("", none));
}
