// `history push` a part at a time: no part holds more rows than its size,
// the server gets every row once, and a second push reads no row whole;
// a row still waiting in the outbox brings its new tracking number.
#include <gtest/gtest.h>

#include <vector>

#include "history/history_push.h"
#include "tests/history/store_fixture.h"

TEST_F(Outbox, PushGoesAPartAtATimeAndSkipsWhatTheServerHas) {
    store::HistoryStore local(file);
    std::vector<WaybillRecord> rows;
    for (int i = 0; i < 1200; ++i) rows.push_back(waybill("山田太郎", "03-1234-5678", "東京都"));
    local.record(rows);
    WaybillRecord waiting = waybill("佐藤花子", "06-9999-0000", "大阪府");
    local.recordUnsent(std::span(&waiting, 1));
    store::PgHistoryStore shared(conninfo);
    struct Push {
        std::size_t sent, kept, mostHeld, allHeld;
    };
    const auto push = [&] {
        std::size_t most = 0, all = 0;
        const store::PushCount c = store::pushHistory(local, shared, 500, [&](std::size_t held) {
            most = std::max(most, held);
            all += held;
        });
        return Push{c.sent, c.kept, most, all};
    };
    const Push first = push();
    EXPECT_EQ(first.sent, 1201U);
    EXPECT_EQ(first.kept, 0U);
    EXPECT_LE(first.mostHeld, 500U);
    EXPECT_EQ(serverRows(), 1201);
    EXPECT_EQ(local.unsentCount(), 0);

    // A number set on the waiting row while it was on its way goes along.
    const std::int64_t sato = local.list({}).front().id;
    local.setTrackingToSend(sato, "123456789013");
    const Push second = push();
    EXPECT_EQ(second.sent, 0U);
    EXPECT_EQ(second.kept, 1201U);
    EXPECT_EQ(second.allHeld, 1U);  // only the waiting row is read whole
    store::HistoryQuery q;
    q.tracking = "123456789013";
    EXPECT_EQ(shared.list(q).size(), 1U);
    EXPECT_EQ(push().allHeld, 0U);
}
