#!/usr/bin/env bash
# Runs every libFuzzer target of the project for a bounded time.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 30)
# Builds the targets with clang in build/fuzz (only the fuzz targets and the
# Qt-free libraries they link, all instrumented for coverage, AddressSanitizer
# and UndefinedBehaviorSanitizer), then runs two targets at a time, each on
# a scratch copy of its checked-in seed corpus so the corpus in the tree
# does not grow with every run. Prints the executions per target and fails
# when any target reports a crash, leak, time-out or sanitizer error.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS_PER_TARGET]" >&2; exit 2 ;; esac
build=build/fuzz
jobs=2

# name|corpus folder of every vp_fuzz_replay(name source corpus ...) call.
targets=()
while IFS= read -r -d '' list; do
    dir=$(dirname "$list")
    while read -r name _source corpus; do
        corpus=${corpus//\$\{PROJECT_SOURCE_DIR\}/.}
        corpus=${corpus//\$\{CMAKE_CURRENT_SOURCE_DIR\}/$dir}
        targets+=("$name|${corpus#./}")
    done < <(sed 's/#.*//' "$list" | tr '\n' ' ' | grep -oE 'vp_fuzz_replay\([[:space:]]*[^[:space:])]+[[:space:]]+[^[:space:])]+[[:space:]]+[^[:space:])]+' |
             sed -E 's/^vp_fuzz_replay\([[:space:]]*//')
done < <(find tests -name CMakeLists.txt -print0 | sort -z)
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz: no vp_fuzz_replay targets found under tests/" >&2
    exit 1
fi

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# The configure log sits beside the build folder: on a fresh clone build/
# does not exist yet.
mkdir -p "$(dirname "$build")"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DVP_FUZZ=ON -DVP_BUILD_BENCH=OFF > "$build.configure.log" 2>&1 ||
    { cat "$build.configure.log"; exit 1; }
names=()
for t in "${targets[@]}"; do names+=("${t%%|*}"); done
cmake --build "$build" -j2 --target "${names[@]}"

run=$build/run
rm -rf "$run"
mkdir -p "$run"

# Runs one target on a copy of its seeds; the log and any finding stay in
# $run/<name>/.
fuzz_one() {
    local name=$1 seeds=$2 out=$run/$1
    local exe
    exe=$(find "$build/tests" -type f -name "$name" -perm -u+x -print -quit)
    mkdir -p "$out/corpus" "$out/findings"
    [ -d "$seeds" ] && cp -R "$seeds/." "$out/corpus/"
    if [ -z "$exe" ]; then
        echo "target $name was not built" > "$out/log"
        return 1
    fi
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$out/findings/" "$out/corpus" > "$out/log" 2>&1
}

declare -A status
running=0
for t in "${targets[@]}"; do
    name=${t%%|*}
    echo "fuzzing $name for ${seconds}s (seeds: ${t#*|})"
    ( fuzz_one "$name" "${t#*|}" ) &
    pids[$!]=$name
    running=$((running + 1))
    if [ $running -ge $jobs ]; then
        wait -n -p done_pid && rc=0 || rc=$?
        status[${pids[$done_pid]}]=$rc
        running=$((running - 1))
    fi
done
while [ $running -gt 0 ]; do
    wait -n -p done_pid && rc=0 || rc=$?
    status[${pids[$done_pid]}]=$rc
    running=$((running - 1))
done

echo
printf '%-24s %14s %8s  %s\n' target executions exec/s result
failed=0
for t in "${targets[@]}"; do
    name=${t%%|*}
    log=$run/$name/log
    execs=$(grep -oE 'stat::number_of_executed_units:[[:space:]]+[0-9]+' "$log" 2>/dev/null | grep -oE '[0-9]+$' || true)
    rate=$(grep -oE 'stat::average_exec_per_sec:[[:space:]]+[0-9]+' "$log" 2>/dev/null | grep -oE '[0-9]+$' || true)
    findings=$(find "$run/$name/findings" -type f 2>/dev/null)
    if [ "${status[$name]:-1}" -eq 0 ] && [ -z "$findings" ]; then
        result=ok
    else
        result=FAILED
        failed=1
    fi
    printf '%-24s %14s %8s  %s\n' "$name" "${execs:-?}" "${rate:-?}" "$result"
done

if [ $failed -ne 0 ]; then
    echo
    for t in "${targets[@]}"; do
        name=${t%%|*}
        [ "${status[$name]:-1}" -eq 0 ] && [ -z "$(find "$run/$name/findings" -type f 2>/dev/null)" ] && continue
        echo "== $name failed (exit ${status[$name]:-?}); last lines of $run/$name/log:"
        tail -40 "$run/$name/log" || true
        for f in $(find "$run/$name/findings" -type f 2>/dev/null); do
            echo "finding: $f"
            echo "  reproduce: $(find "$build/tests" -type f -name "$name" -perm -u+x -print -quit) $f"
            echo "  after fixing, keep it as a regression case: cp $f ${t#*|}/"
        done
    done
    echo "fuzz: FAILED"
    exit 1
fi
echo "fuzz: all ${#targets[@]} targets ran ${seconds}s each without a finding"
