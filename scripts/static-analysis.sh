#!/usr/bin/env bash
# Static analysis of the program's own sources (tests and benchmarks excluded):
# clang-tidy with the checked-in .clang-tidy, then cppcheck. Exits non-zero on
# any diagnostic from either tool.
#
# Usage: scripts/static-analysis.sh BUILD_DIR
# BUILD_DIR must be configured and built once: clang-tidy needs its
# compile_commands.json and the moc headers the build generates.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
if [[ ! -f $build/compile_commands.json ]]; then
    echo "static-analysis: $build/compile_commands.json is missing; configure and build first" >&2
    exit 2
fi
cd "$root"

# Two jobs at most: the machine has two cores shared with the rest of CI.
jobs=${VP_STATIC_JOBS:-2}
mapfile -t sources < <(find lazy text store history settings postal services controls transfer batch widgets app print tools -name '*.cpp' | sort)
if [[ ${#sources[@]} -eq 0 ]]; then
    echo "static-analysis: no sources found under $root" >&2
    exit 2
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

status=0

# --- clang-tidy ---------------------------------------------------------
# Each file writes its own log so parallel output never interleaves; the
# "N warnings generated" lines count suppressed system-header warnings and
# are dropped.
start=$SECONDS
export build logs
tidy_one() {
    local file=$1 log
    log="$logs/tidy.$(echo "$file" | tr '/' '_').log"
    if clang-tidy -p "$build" --quiet "$file" >"$log" 2>&1; then
        rm -f "$log"
    else
        echo "clang-tidy failed on $file" >>"$log"
        return 1
    fi
}
export -f tidy_one
tidy_failed=0
printf '%s\0' "${sources[@]}" | xargs -0 -P "$jobs" -n 1 bash -c 'tidy_one "$1"' _ || tidy_failed=1
for log in "$logs"/tidy.*.log; do
    [[ -e $log ]] || continue
    grep -Ev '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" || true
done
if [[ $tidy_failed -ne 0 ]]; then
    echo "clang-tidy: FAILED (${#sources[@]} files, $((SECONDS - start)) s)"
    status=1
else
    echo "clang-tidy: clean (${#sources[@]} files, $((SECONDS - start)) s)"
fi

# --- cppcheck -----------------------------------------------------------
start=$SECONDS
if cppcheck --enable=warning,performance,portability --library=qt --inline-suppr \
        --error-exitcode=1 --std=c++20 -I. --suppress=missingIncludeSystem \
        --quiet --template=gcc -j "$jobs" "${sources[@]}" 2>&1; then
    echo "cppcheck: clean (${#sources[@]} files, $((SECONDS - start)) s)"
else
    echo "cppcheck: FAILED (${#sources[@]} files, $((SECONDS - start)) s)"
    status=1
fi

exit $status
