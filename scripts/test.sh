#!/usr/bin/env bash
# Builds everything and runs every test, in stages:
#   format    every C++ file as .clang-format lays it out (clang-format --dry-run --Werror)
#   normal    configure and build in build/ with warnings as errors, run all tests with ctest
#             but the long ones (label "long")
#   killed    the long ones: a tournament day killed at 200 random moments (normal build)
#   asan      the normal stage's tests built with AddressSanitizer and UBSan in build-asan/
#   fuzz      the entry and plan fuzzers (clang, libFuzzer) for a bounded time in build-fuzz/
#   valgrind  the operator's real-window run under memcheck, in a virtual X session
#   package   a Release build in build-pkg/, its Debian package, and the checks of
#             lintian, appstreamcli, desktop-file-validate and reuse
# Every stage runs even when an earlier one failed (valgrind needs the normal build);
# the script exits non-zero if any stage failed. VELORAND_STAGES="normal fuzz" runs
# only the stages named; VELORAND_FUZZ_SECONDS sets the fuzzing time (default 60).
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

scripts/deps.sh test || exit 1

jobs="$(nproc)"
stages="${VELORAND_STAGES:-format normal killed asan fuzz valgrind package}"
fuzz_seconds="${VELORAND_FUZZ_SECONDS:-60}"
summary=()
summary_files=()
failed=0

wanted() {
    [[ " $stages " == *" $1 "* ]]
}

# run_stage NAME COMMAND...: runs one stage, times it and records the result.
run_stage() {
    local name="$1"
    shift
    wanted "$name" || return 0
    echo
    echo "=================================================================="
    echo "== stage: $name"
    echo "=================================================================="
    local started=$SECONDS status=0
    "$@" || status=$?
    local took=$((SECONDS - started))
    local result="passed"
    if [ "$status" -ne 0 ]; then
        result="FAILED (status $status)"
        failed=1
    fi
    summary+=("$(printf '%-9s %-22s %3d min %02d s' "$name" "$result" $((took / 60)) $((took % 60)))")
    echo "== stage $name: $result after ${took} s"
}

# ctest_logged DIR LOG ARGS...: ctest with its output kept for the closing summary. A test that skipped
# because a tool is missing fails the stage: here every tool is installed, so a skip hides a fault.
ctest_logged() {
    local dir="$1" log="$2"
    shift 2
    summary_files+=("$log")
    ctest --test-dir "$dir" --output-on-failure -j2 "$@" 2>&1 | tee "$log"
    local status="${PIPESTATUS[0]}"
    if grep -q 'Skipped' "$log"; then
        echo "== skipped tests count as failed here:"
        grep 'Skipped' "$log"
        return 1
    fi
    return "$status"
}

stage_format() {
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

stage_normal() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null &&
        cmake --build build -j"$jobs" &&
        ctest_logged build build/ctest.log -LE long
}

stage_killed() {
    cmake --build build -j"$jobs" --target dayrunner && ctest_logged build build/ctest-long.log -L long
}

stage_asan() {
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELORAND_SANITIZE=ON >/dev/null &&
        cmake --build build-asan -j"$jobs" || return 1
    # Leaks are reported; the suppressions name third-party libraries only, never our code.
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1" \
        LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        ctest_logged build-asan build-asan/ctest.log --timeout 900 -LE long
}

stage_fuzz() {
    CXX=clang++ cmake -S fuzz -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
        cmake --build build-fuzz -j"$jobs" || return 1
    # The entry and the plan fuzzer share the time. New inputs go to build-fuzz/corpus-NAME; the committed
    # seeds in fuzz/corpus stay as they are.
    local name seconds=$(((fuzz_seconds + 1) / 2)) status
    for name in entry plan; do
        local corpus=build-fuzz/corpus-$name log=build-fuzz/fuzz-$name.log
        mkdir -p "$corpus"
        status=0
        build-fuzz/fuzz_$name -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix=build-fuzz/ "$corpus" fuzz/corpus \
            >"$log" 2>&1 || status=$?
        if [ "$status" -ne 0 ]; then
            tail -n 60 "$log"
            echo "fuzz_$name failed; the input is in build-fuzz/ (crash-*, leak-*, timeout-*);" \
                "replay it with: build-fuzz/fuzz_$name <file>"
            return "$status"
        fi
        echo "-- fuzz_$name"
        grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
    done
}

stage_valgrind() {
    if [ ! -x build/src/app/velorand ]; then
        echo "build/src/app/velorand is missing: the normal stage must build it"
        return 1
    fi
    # The operator's real-window run, under memcheck: errors and definite leaks in our code fail it.
    mkdir -p build/valgrind
    VELORAND_SLOW=6 tests/xsession/operator.sh build/src/app/velorand valgrind --error-exitcode=1 \
        --leak-check=full --errors-for-leak-kinds=definite --show-leak-kinds=definite --num-callers=40 --child-silent-after-fork=yes \
        --suppressions="$root/tests/xsession/memcheck.supp" --log-file=build/valgrind/memcheck.log
    local status=$?
    grep -E 'ERROR SUMMARY|definitely lost' build/valgrind/memcheck.log
    return "$status"
}

# checked_run LOG COMMAND...: runs a checker, shows and keeps its report, and fails
# if the checker fails or reports an error or a warning ("E:"/"W:" from lintian and
# appstreamcli, "error:"/"warning:" from desktop-file-validate).
checked_run() {
    local log="$1"
    shift
    echo "-- $*"
    local status=0
    "$@" >"$log" 2>&1 || status=$?
    grep -v '^running with root privileges' "$log"
    if [ "$status" -ne 0 ] || grep -qE '^[EW]: |: (error|warning): ' "$log"; then
        echo "-- FAILED: $1"
        return 1
    fi
}

stage_package() {
    local dir=build-pkg
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null &&
        cmake --build "$dir" -j"$jobs" || return 1
    rm -f "$dir"/*.deb
    (cd "$dir" && cpack -G DEB) || return 1
    local debs=("$dir"/velorand_*.deb) status=0
    checked_run "$dir/lintian.log" lintian --display-info --tag-display-limit 0 "${debs[@]}" || status=1
    checked_run "$dir/appstream.log" appstreamcli validate --no-net \
        "$dir/packaging/org.velorand.Velorand.metainfo.xml" || status=1
    checked_run "$dir/desktop-file.log" desktop-file-validate \
        packaging/org.velorand.Velorand.desktop || status=1
    checked_run "$dir/reuse.log" reuse lint || status=1
    return "$status"
}

run_stage format stage_format
run_stage normal stage_normal
run_stage killed stage_killed
run_stage asan stage_asan
run_stage fuzz stage_fuzz
run_stage valgrind stage_valgrind
run_stage package stage_package

echo
echo "=================================================================="
echo "== stages"
printf '   %s\n' "${summary[@]}"
for log in "${summary_files[@]}"; do
    echo
    echo "== ctest in $(dirname "$log"):"
    # ctest's own closing lines: the pass rate, the failed tests if any, the total time.
    sed -n '/tests passed\|tests failed/,$p' "$log"
done
exit "$failed"
