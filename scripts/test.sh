#!/usr/bin/env bash
# Installs what is needed, builds and runs every test, in stages that each
# print their time:
#   format              clang-format --dry-run --Werror over the sources, so they
#                       keep the layout .clang-format states, and no POSIX header
#                       outside platform/ (tests, bench and fuzz aside)
#   build, tests        the normal build (build/) and the whole suite
#   sanitize, sanitize-tests
#                       the whole suite again, built with clang under
#                       AddressSanitizer and UndefinedBehaviorSanitizer
#                       (build-sanitize/); the same build holds the fuzz targets
#   fuzz                every fuzz_* target for FUZZ_RUNS inputs (default 10000,
#                       at most FUZZ_SECONDS, default 60) on its corpus and its
#                       kept crash inputs; a crash fails the run and prints the
#                       input that made it
#   e2e                 the end-to-end scripts in tests/e2e/ on the real
#                       program under Xvfb
# With stage names as arguments only those run, in the order given
# (`bash scripts/test.sh sanitize fuzz`).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
# Paths relative to the tree, so a clone elsewhere reuses the compiler cache.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
# A fixed seed and a count of inputs rather than a time, so a run tries the
# same inputs on every machine and a CI run repeats the one before it; the time
# only cuts a slow machine's run short. FUZZ_SEED=0 lets libFuzzer choose, and a
# large FUZZ_RUNS with FUZZ_SECONDS searches longer.
FUZZ_RUNS=${FUZZ_RUNS:-10000}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
FUZZ_SEED=${FUZZ_SEED:-1}
SANITIZE_DIR=$ROOT/build-sanitize
FUZZ_WORK=$ROOT/build-sanitize/fuzz-runs

source scripts/sanitizer-env.sh

stage_format() {
    find app forms store photo export ui platform exchange sync book fuzz tests bench \
        \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort | xargs clang-format --dry-run --Werror || return 1
    posix_stays_in_platform
}

# The calls to the operating system go through platform/, the one folder a
# port to another system has to touch: a POSIX header anywhere else in the
# program (tests, benchmarks and fuzz targets aside) fails the layout check.
POSIX_HEADERS='unistd|fcntl|poll|termios|signal|dirent|pwd|grp|spawn|dlfcn|sys/[a-z_]+'
posix_stays_in_platform() {
    local found
    found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($POSIX_HEADERS)\.h>" \
        --include='*.cpp' --include='*.h' --include='*.c' app forms store photo export ui exchange book sync || true)
    [ -z "$found" ] && return 0
    echo "POSIX headers outside platform/ (put the call behind an interface in platform/):"
    echo "$found"
    return 1
}

stage_build() {
    bash scripts/build.sh
}

stage_tests() {
    (cd build && ctest --output-on-failure -j2)
}

# clang, so the one build serves both the sanitized suite and libFuzzer;
# -O1 with line tables only: readable reports at half the compile time.
stage_sanitize() {
    CC=clang CXX=clang++ cmake -S . -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
        -DTESSALY_SANITIZE=ON -DTESSALY_FUZZ=ON >/dev/null
    cmake --build "$SANITIZE_DIR" -j2
}

stage_sanitize_tests() {
    (cd "$SANITIZE_DIR" && ctest --output-on-failure -j2)
}

# One fuzz target for FUZZ_RUNS inputs. New inputs it finds go to a scratch corpus,
# never into the tree; a crash input is kept beside it and printed.
fuzz_one() {
    local target=$1 name=${1#fuzz_}
    local work=$FUZZ_WORK/$name
    rm -rf "$work" && mkdir -p "$work/corpus" "$work/crash"
    local seeds=()
    for dir in fuzz/corpus/$name fuzz/regressions/$name; do
        [ -d "$dir" ] && seeds+=("$ROOT/$dir")
    done
    # Qt's hashes take a fixed seed too, or the paths taken would differ between runs.
    if (cd "$work" && QT_HASH_SEED=0 "$SANITIZE_DIR/fuzz/$target" -runs="$FUZZ_RUNS" -max_total_time="$FUZZ_SECONDS" \
            -seed="$FUZZ_SEED" -timeout=30 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$work/crash/" corpus "${seeds[@]}" >"$work/log" 2>&1); then
        echo "$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$') runs, no crash"
        return 0
    fi
    echo "FAIL: $target crashed; its log:"
    tail -n 60 "$work/log"
    for input in "$work"/crash/*; do
        [ -f "$input" ] || continue
        echo "reproducer $input (keep it as fuzz/regressions/$name/<name>), base64:"
        base64 -w 76 "$input"
        echo "run again: $SANITIZE_DIR/fuzz/$target $input"
    done
    return 1
}

# The targets two at a time, one per core.
stage_fuzz() {
    local targets=() failed=0
    for f in "$SANITIZE_DIR"/fuzz/fuzz_*; do
        [ -x "$f" ] && [ -f "$f" ] && targets+=("$(basename "$f")")
    done
    [ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $SANITIZE_DIR/fuzz"; return 1; }
    mkdir -p "$FUZZ_WORK"
    local i=0
    while [ $i -lt ${#targets[@]} ]; do
        local pids=() outs=()
        for t in "${targets[@]:$i:2}"; do
            fuzz_one "$t" >"$FUZZ_WORK/$t.out" 2>&1 &
            pids+=($!)
            outs+=("$FUZZ_WORK/$t.out")
        done
        for k in "${!pids[@]}"; do
            wait "${pids[$k]}" || failed=1
            cat "${outs[$k]}"
        done
        i=$((i + 2))
    done
    return $failed
}

# A display nobody uses, so parallel runs on one machine do not meet.
free_display() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    echo ":$n"
}

# Each script gets the window program and a display of its own; TESSALY_BUILD
# names the build folder for scripts that drive other programs too. Scripts
# that a ctest already runs with arguments of its own are left to it.
stage_e2e() {
    local failed=0 script
    for script in tests/e2e/*_e2e.sh; do
        if grep -rqs --include=CMakeLists.txt "tests/e2e/$(basename "$script")" tests; then
            echo "--- $script: run by ctest"
            continue
        fi
        echo "--- $script"
        TESSALY_BUILD=$ROOT/build SHOTS=$ROOT/build/e2e-shots bash "$script" build/app/tessaly "$(free_display)" \
            || failed=1
    done
    return $failed
}

ALL=(format build tests sanitize sanitize-tests fuzz e2e)
STAGES=("$@")
[ ${#STAGES[@]} -gt 0 ] || STAGES=("${ALL[@]}")

bash scripts/install-deps.sh
SUMMARY=()
FAILED=()
START=$SECONDS
for s in "${STAGES[@]}"; do
    fn=stage_${s//-/_}
    declare -F "$fn" >/dev/null || { echo "unknown stage $s (stages: ${ALL[*]})"; exit 2; }
    echo "=== $s"
    t0=$SECONDS
    status=0
    "$fn" || status=$?
    SUMMARY+=("$(printf '%-16s %5d s%s' "$s" $((SECONDS - t0)) "$([ $status = 0 ] || echo '  FAILED')")")
    echo "=== $s: $((SECONDS - t0)) s"
    if [ $status != 0 ]; then
        FAILED+=("$s")
        # Without its build a later stage has nothing to run; a failed test
        # stage does not keep the others from reporting.
        case $s in build|sanitize) break ;; esac
    fi
done
printf '%s\n' "${SUMMARY[@]}"
echo "total            $((SECONDS - START)) s"
if [ ${#FAILED[@]} -gt 0 ]; then
    echo "FAILED: ${FAILED[*]}"
    exit 1
fi
echo "all stages passed"
