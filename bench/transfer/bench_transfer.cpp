// Speed of one transfer of a typical pasted order and of the half-width
// conversion of a long text.
#include <benchmark/benchmark.h>

#include <string>

#include "text/sjis_convert.h"
#include "transfer/han_conv.h"
#include "transfer/pipeline.h"

namespace {

std::string sjisOf(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

// A 16-line order mail: greeting, blank lines, mail and web lines, and the
// consignee in seven lines, so the whole pipeline runs.
const std::string& typicalPaste() {
    static const std::string text = sjisOf(
        "\r\n"
        "ご注文ありがとうございます。\r\n"
        "https://shop.example.co.jp/orders/20240510\r\n"
        "\r\n"
        "お届け先：小川 舞 様\r\n"
        "〒 003-0021\r\n"
        "北海道札幌市白石区栄通18-3-5\r\n"
        "サンハイツ栄通 405\r\n"
        "TEL：０１１－８５１－２３４５\r\n"
        "メール：mai.ogawa@example.ne.jp\r\n"
        "\r\n"
        "配達希望：午前中\r\n"
        "support@shop.example.com\r\n"
        "\r\n"
        "https://shop.example.com/\r\n"
        "\r\n");
    return text;
}

void BM_TransferTypical16Lines(benchmark::State& state) {
    const std::string& text = typicalPaste();
    transfer::runTransfer(text);  // tables built outside the timing
    for (auto _ : state) benchmark::DoNotOptimize(transfer::runTransfer(text));
}
BENCHMARK(BM_TransferTypical16Lines);

void BM_HanConv10KB(benchmark::State& state) {
    std::string text;
    const std::string piece = sjisOf("ヤマダ　タロウ　ＡＢＣ１２３－４５６７東京都港区芝公園ガパ。、abc\r\n");
    while (text.size() < 10 * 1024) text += piece;
    text.resize(10 * 1024);
    Han_Conv(text);
    for (auto _ : state) benchmark::DoNotOptimize(Han_Conv(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_HanConv10KB);

}  // namespace
