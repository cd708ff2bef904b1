#!/usr/bin/env bash
# Builds the benchmark programs of bench/ in Release (build/bench), runs each
# with JSON output and prints one table: every benchmark with a target, the
# measured time (the median where a benchmark is repeated), the target and
# whether it is met. Exits non-zero when a target is missed or a benchmark
# did not run. Needs jq; the CUPS benchmarks start their own scheduler.
#   scripts/bench-report.sh [REPETITIONS]   (default 5)
#   scripts/bench-report.sh --table-only     (the table of the last run)
set -euo pipefail
cd "$(dirname "$0")/.."
table_only=0
if [ "${1:-}" = --table-only ]; then table_only=1; shift; fi
reps=${1:-5}
case $reps in '' | *[!0-9]*) echo "usage: $0 [REPETITIONS] | --table-only" >&2; exit 2 ;; esac
build=build/bench
out=$build/results

# program | benchmark | target | unit | what it measures
# A target of "-" is shown for comparison only. Unit "x" compares the
# benchmark's median with the median of the second name after the slash.
read -r -d '' TARGETS <<'EOF' || true
bench_startup    | BM_StartupVamuPelican/BM_StartupBareWithJapaneseLabel | 1.3 | x | start-up vs bare Qt with a Japanese label
bench_startup    | BM_StartupVamuPelican/BM_StartupBareQMainWindow | - | x  | start-up to idle window vs bare Qt
bench_startup    | BM_StartupBareWithJapaneseLabel | - | ms | start-up, bare Qt with a Japanese label
bench_startup    | BM_StartupVamuPelicanJapanese | - | ms | start-up under ja_JP (reads Qt's translation)
bench_startup    | BM_StartupVamuPelicanTwentyQueues | - | ms | start-up with a scheduler of 20 queues
bench_settings   | BM_SettingsReadAtStart        | 5   | ms | settings read at start (17 reads)
bench_settings   | BM_SettingsWriteAtEnd         | 50  | ms | settings write at the end
bench_settings   | BM_SettingsWrite17Standalone  | 50  | ms | settings as 17 standalone writes
bench_settings   | BM_SenderRecordSaveAndLoad    | -   | ms | sender record save + load
bench_controls   | BM_Filter1KOrderText          | 2   | us | FilterText + strip zeros, 1 KB order text
bench_controls   | BM_Filter1KFullWidthCommas    | 2   | us | FilterText + strip zeros, 1 KB full-width
bench_controls   | BM_Filter1KCommasThenNumber   | 2   | us | FilterText + strip zeros, 1 KB commas
bench_controls   | BM_TypeDigit                  | 1   | us | one typed digit + display text
bench_controls   | BM_TypeDigitAndDelete         | 2   | us | typed digit + delete (two edits)
bench_transfer   | BM_TransferTypical16Lines     | 50  | us | transfer of a 16-line paste
bench_transfer   | BM_HanConv10KB                | 100 | us | Han_Conv of 10 KB
bench_layout     | BM_LayoutFullWaybill          | 20  | us | layout of a full waybill
bench_layout     | BM_LayoutFullWaybillFreshSurface | 20 | us | layout, fresh recording surface
wbprn_cups_bench | BM_YesToJobHanded             | 150 | ms | Yes to job handed to CUPS
wbprn_cups_bench | BM_SnapshotAndCapabilityLoad  | 50  | ms | printer snapshot + capability load
bench_history    | BM_HistoryOpen                | 5   | ms | history store open, 100,000 rows
bench_history    | BM_HistoryRecordOne           | 5   | ms | record one waybill with its commit
bench_history    | BM_HistorySearchOneChar       | 20  | ms | search keystroke, 1 common char
bench_history    | BM_HistorySearchOneCharNone   | 20  | ms | search keystroke, 1 char in no row
bench_history    | BM_HistorySearchTwoCharsRare  | 20  | ms | search keystroke, 2 chars
bench_history    | BM_HistorySearchCity          | 20  | ms | search keystroke, 4 chars, many rows
bench_history    | BM_HistorySearchAll           | 20  | ms | search field emptied: newest 1000
bench_history    | BM_HistorySearchPostalCode    | 50  | ms | search, first page: a postal code
bench_history    | BM_HistorySearchPostalPrefix  | 50  | ms | search, first page: a postal code's first digits
bench_history    | BM_HistorySearchTelFragment   | 50  | ms | search, first page: a telephone fragment
bench_history    | BM_HistorySearchTracking      | 50  | ms | search, first page: a tracking number
bench_history    | BM_HistorySearchTrackingEnd   | 50  | ms | search, first page: a tracking number's end
bench_history    | BM_HistorySearchOrder         | 50  | ms | search, first page: an order number
bench_history    | BM_HistorySearchName          | 50  | ms | search, first page: a full name
bench_history    | BM_HistorySearchFamilyName    | 50  | ms | search, first page: a family name
bench_history    | BM_HistorySearchFirstDigit    | 50  | ms | search, first page: the first digit typed
bench_history    | BM_HistoryCompleteTel2        | 5   | ms | completion list, 2-digit tel prefix
bench_history    | BM_HistoryCompleteName1       | 5   | ms | completion list, 1-char name prefix
bench_shared_history | BM_SharedRecordOne         | 10  | ms | shared server: record one waybill (local socket)
bench_shared_history | BM_SharedSearchAll         | 20  | ms | shared server: search emptied, newest 1000 of 100,000
bench_shared_history | BM_SharedSearchOneChar     | 20  | ms | shared server: search keystroke, 1 common char
bench_shared_history | BM_SharedSearchOneCharNone | 20  | ms | shared server: search keystroke, 1 char in no row
bench_shared_history | BM_SharedSearchTwoCharsRare | 20 | ms | shared server: search keystroke, 2 chars
bench_shared_history | BM_SharedSearchCity        | 20  | ms | shared server: search keystroke, 4 chars, many rows
bench_shared_history | BM_SharedSearchTelDigits   | 20  | ms | shared server: search keystroke, telephone digits
bench_shared_history | BM_SharedSearchPostalCode | 50 | ms | shared server, first page: a postal code
bench_shared_history | BM_SharedSearchPostalPrefix| 50 | ms | shared server, first page: a postal code's first digits
bench_shared_history | BM_SharedSearchTelFragment| 50 | ms | shared server, first page: a telephone fragment
bench_shared_history | BM_SharedSearchTracking   | 50 | ms | shared server, first page: a tracking number
bench_shared_history | BM_SharedSearchTrackingEnd| 50 | ms | shared server, first page: a tracking number's end
bench_shared_history | BM_SharedSearchOrder      | 50 | ms | shared server, first page: an order number
bench_shared_history | BM_SharedSearchName       | 50 | ms | shared server, first page: a full name
bench_shared_history | BM_SharedSearchFamilyName | 50 | ms | shared server, first page: a family name
bench_shared_history | BM_SharedSearchFirstDigit | 50 | ms | shared server, first page: the first digit typed
bench_shared_history | BM_SharedSearchPostalCodeAfterRestart | 500 | ms | shared server restarted, first page: a postal code
bench_shared_history | BM_SharedSearchPostalPrefixAfterRestart | 500 | ms | shared server restarted, first page: a postal code's first digits
bench_shared_history | BM_SharedSearchTelFragmentAfterRestart | 500 | ms | shared server restarted, first page: a telephone fragment
bench_shared_history | BM_SharedSearchTrackingAfterRestart | 500 | ms | shared server restarted, first page: a tracking number
bench_shared_history | BM_SharedSearchTrackingEndAfterRestart | 500 | ms | shared server restarted, first page: a tracking number's end
bench_shared_history | BM_SharedSearchOrderAfterRestart | 500 | ms | shared server restarted, first page: an order number
bench_shared_history | BM_SharedSearchNameAfterRestart | 500 | ms | shared server restarted, first page: a full name
bench_shared_history | BM_SharedSearchFamilyNameAfterRestart | 500 | ms | shared server restarted, first page: a family name
bench_shared_history | BM_SharedSearchFirstDigitAfterRestart | 500 | ms | shared server restarted, first page: the first digit typed
bench_shared_history | BM_SharedPushNothingNew | 1000 | ms | history push with nothing new, 100,000 rows
bench_shared_history | BM_SharedCompleteTel2      | 5   | ms | shared server: completion list, 2-digit tel prefix
bench_shared_history | BM_SharedCompleteTel6      | 5   | ms | shared server: completion list, 6-digit tel prefix
bench_shared_history | BM_SharedOutboxDrain1000 | 2000 | ms | shared server: outbox of 1,000 prints drained
bench_shared_history | BM_SharedPrintHeardElsewhere | 1000 | ms | shared server: another station hears of a print
bench_postal     | BM_PostalLookupCode           | 2   | us | postal code to places
bench_postal     | BM_PostalReverse              | 1   | ms | address to postal codes, full table
bench_postal     | BM_PostalCheckLargestCity     | 200 | us | code against address to the town, city of 1,145 towns
bench_postal     | BM_PostalFirstLoad            | 30  | ms | first load of the postal table
bench_postal     | BM_PostalImportUnclosedTowns  | 1000 | ms | postal import, 3 MB of never-closed towns
bench_batch      | BM_ReadAndCheck1000           | 50  | ms | read + check 1,000 orders (table, fit)
bench_batch      | BM_ReadAndCheck1000NoFit      | -   | ms | the same without the fit test
bench_batch      | BM_Document200                | 2   | s  | print document of 200 waybills
bench_orders     | BM_ShopifyReadGroupCheck5000  | 250 | ms | read + group + check 5,000 Shopify rows
bench_orders     | BM_ShopifyReadGroupCheck10000Orders | 1000 | ms | read + group + check 10,000 Shopify orders (21,621 rows)
bench_orders     | BM_HeaderRecognition100       | 1   | ms | header recognition, 100 columns
bench_orders     | BM_TrackingCheck              | 100 | ns | tracking number read and checked (scanned)
bench_orders     | BM_ConfirmationExport10000    | 100 | ms | Amazon confirmation of 10,000 history rows
EOF

command -v jq >/dev/null || { echo "bench-report: jq is needed (apt-get install jq)" >&2; exit 2; }
programs=$(echo "$TARGETS" | cut -d'|' -f1 | tr -d ' ' | sort -u)

if [ $table_only -eq 0 ]; then
# The configure log sits beside the build folder: on a fresh clone build/
# does not exist yet.
mkdir -p "$(dirname "$build")"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVP_BUILD_TESTS=OFF -DVP_BUILD_BENCH=ON \
    > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $programs

rm -rf "$out"
mkdir -p "$out"
for prog in $programs; do
    exe=$(find "$build/bench" -type f -name "$prog" -perm -u+x -print -quit)
    echo "running $prog ..." >&2
    if [ -z "$exe" ] || ! QT_QPA_PLATFORM=offscreen "$exe" --benchmark_repetitions="$reps" \
        --benchmark_report_aggregates_only=true --benchmark_out="$out/$prog.json" \
        --benchmark_out_format=json > "$out/$prog.log" 2>&1; then
        echo "  $prog failed; see $out/$prog.log" >&2
    fi
done
fi

# Nanoseconds of a benchmark: the median of a repeated one, else its single run.
measure_ns() {
    local file=$out/$1.json name=$2
    [ -s "$file" ] || return 0
    jq -r --arg n "$name" '
        def ns: .real_time * ({"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[.time_unit]);
        # run_name carries suffixes such as /iterations:1/repeats:20.
        [.benchmarks[] | select((.run_name | split("/")[0]) == $n)]
        | ([.[] | select(.aggregate_name == "median")] + [.[] | select(.run_type == "iteration")])
        | first // empty | ns' "$file"
}

# The text without its leading and trailing blanks (xargs would also take
# quotes apart, as in "Qt's").
trim() {
    local s=$1
    s=${s#"${s%%[![:space:]]*}"}
    printf '%s' "${s%"${s##*[![:space:]]}"}"
}

unit_ns() { case $1 in ns) echo 1 ;; us) echo 1000 ;; ms) echo 1000000 ;; s) echo 1000000000 ;; esac; }

failed=0
printf '%-34s %-42s %22s %10s  %s\n' benchmark "what" measured target met
while IFS='|' read -r prog name target unit what; do
    prog=$(trim "$prog"); name=$(trim "$name"); target=$(trim "$target")
    unit=$(trim "$unit"); what=$(trim "$what")
    [ -n "$prog" ] || continue
    if [ "$unit" = x ]; then
        mine=$(measure_ns "$prog" "${name%%/*}")
        base=$(measure_ns "$prog" "${name#*/}")
        if [ -n "$mine" ] && [ -n "$base" ]; then
            measured=$(awk -v a="$mine" -v b="$base" 'BEGIN { printf "%.1f/%.1f ms = %.2fx", a / 1e6, b / 1e6, a / b }')
            if [ "$target" = - ]; then
                met=-
            else
                met=$(awk -v a="$mine" -v b="$base" -v t="$target" 'BEGIN { print (a <= t * b) ? "yes" : "no" }')
            fi
        else
            measured="not run"; met=no
        fi
        if [ "$target" = - ]; then shown_target=-; else shown_target="<= ${target}x"; fi
        name=${name%%/*}
    else
        ns=$(measure_ns "$prog" "$name")
        if [ -n "$ns" ]; then
            measured=$(awk -v v="$ns" -v d="$(unit_ns "$unit")" -v u="$unit" 'BEGIN { printf "%.3g %s", v / d, u }')
            if [ "$target" = - ]; then
                met=-
            else
                met=$(awk -v v="$ns" -v t="$target" -v d="$(unit_ns "$unit")" 'BEGIN { print (v < t * d) ? "yes" : "no" }')
            fi
        else
            measured="not run"; met=no
        fi
        if [ "$target" = - ]; then shown_target=-; else shown_target="< $target $unit"; fi
    fi
    [ "$met" = no ] && failed=1
    printf '%-34s %-42s %22s %10s  %s\n' "$name" "$what" "$measured" "$shown_target" "$met"
done <<< "$TARGETS"

# Benchmarks that are not in the list above still show, without a target.
listed=$(echo "$TARGETS" | cut -d'|' -f2 | tr '/' '\n' | xargs -n1)
for file in "$out"/*.json; do
    [ -s "$file" ] || continue
    prog=$(basename "$file" .json)
    for name in $(jq -r '.benchmarks[].run_name | split("/")[0]' "$file" | sort -u); do
        grep -qx "$name" <<< "$listed" && continue
        ns=$(measure_ns "$prog" "$name")
        printf '%-34s %-42s %22s %10s  %s\n' "$name" "(no target)" \
            "$(awk -v v="$ns" 'BEGIN { printf "%.3g us", v / 1e3 }')" - -
    done
done

echo "(median of $reps repetitions unless the benchmark sets its own; raw results in $out/)"
exit $failed
