// Speed of the numeric normaliser on pasted text and of one typed digit.
#include <benchmark/benchmark.h>

#include <string>

#include "controls/num_edit_model.h"
#include "controls/num_filter.h"
#include "text/sjis_convert.h"

namespace {

std::string repeatTo1K(const std::string& unit) {
    std::string s;
    while (s.size() + unit.size() <= 1024) s += unit;
    return s;
}

void filterAndStrip(benchmark::State& state, const std::string& text) {
    const numedit::FilterOptions options;
    for (auto _ : state) {
        std::string v = numedit::StripLeadingZeros(numedit::FilterText(text, options), false);
        benchmark::DoNotOptimize(v);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// An order e-mail: the reading stops at its first letter.
void BM_Filter1KOrderText(benchmark::State& state) {
    filterAndStrip(state, repeatTo1K(*sjis::fromUtf8("123-4567 東京都港区芝公園1-2-3 山田太郎様 TEL 03-1234-5678\r\n")));
}
// Full-width commas only: the scan has to read all of it.
void BM_Filter1KFullWidthCommas(benchmark::State& state) {
    filterAndStrip(state, repeatTo1K(*sjis::fromUtf8("，")));
}
// Half-width commas with a short number at the end.
void BM_Filter1KCommasThenNumber(benchmark::State& state) {
    std::string t = repeatTo1K(",");
    t.resize(1016);
    filterAndStrip(state, t + "0012.345");
}

// One digit typed into an eight-digit value, then taken back: two editing
// steps per iteration, each recomputing the display text.
void BM_TypeDigitAndDelete(benchmark::State& state) {
    numedit::Hooks hooks;
    hooks.measure = [](std::string_view t) { return static_cast<int>(t.size()) * 8; };
    numedit::NumEditModel model(std::move(hooks));
    model.setText("12345678");
    for (auto _ : state) {
        model.inputDigit('9');
        model.deleteLast();
        benchmark::DoNotOptimize(model.displayText().data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2);
}

// One typed digit alone (the value is reset outside the timing every 8 digits).
void BM_TypeDigit(benchmark::State& state) {
    numedit::NumEditModel model;
    int n = 0;
    for (auto _ : state) {
        if (++n == 9) {
            state.PauseTiming();
            model.setText("");
            n = 1;
            state.ResumeTiming();
        }
        model.inputDigit('7');
        benchmark::DoNotOptimize(model.displayText().data());
    }
}

}  // namespace

BENCHMARK(BM_Filter1KOrderText);
BENCHMARK(BM_Filter1KFullWidthCommas);
BENCHMARK(BM_Filter1KCommasThenNumber);
BENCHMARK(BM_TypeDigitAndDelete);
BENCHMARK(BM_TypeDigit);
