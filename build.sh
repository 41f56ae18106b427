#!/usr/bin/env bash
# The whole set-up on a fresh Debian 12 machine:
#   ./build.sh run       installs what is missing, builds, makes the demo price list if none exists, starts the program
#   ./build.sh test      installs what is missing, then three stages, each reporting on its own: the build and every
#                        test (CTest) in the C.UTF-8 and it_IT.UTF-8 locales, the same under the sanitizers (in
#                        it_IT.UTF-8), the fuzzers; fails if any stage fails
#   ./build.sh sanitize  only the sanitizer stage: AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer
#                        build in build-sanitize (PREZZARIO_SANITIZE_BUILD_DIR), demo list, every test
#   ./build.sh fuzz      only the fuzzing stage: libFuzzer targets built in build-fuzz (PREZZARIO_FUZZ_BUILD_DIR),
#                        each run PREZZARIO_FUZZ_SECONDS (default 60) on a copy of its seed corpus
#   ./build.sh bench     builds, then runs the benchmarks (slow: builds a 1,000,000-row list once)
#   ./build.sh speed     builds, then prezzario-speed: start-up, first and repeated search, memory, each beside its
#                        reference (an Xvfb of its own when DISPLAY is not set); then the computo of 2,000 items with
#                        10 measurement lines each: Voci scelte opening and recomputing it, and its PDF
#   ./build.sh hostile   builds, then prezzario-hostile: prezzario-build on hostile inputs at full size and on a
#                        real list of a million rows, with status, time and peak memory of each run
#   ./build.sh package   builds, then writes the Debian package build/prezzario_<version>_amd64.deb and checks it
#                        with lintian
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
build_dir=${PREZZARIO_BUILD_DIR:-build}
sanitize_dir=${PREZZARIO_SANITIZE_BUILD_DIR:-build-sanitize}
fuzz_dir=${PREZZARIO_FUZZ_BUILD_DIR:-build-fuzz}
fuzz_seconds=${PREZZARIO_FUZZ_SECONDS:-60}
jobs=$(nproc)

case "$mode" in
    run | test | sanitize | fuzz | bench | speed | hostile | package) ;;
    *)
        echo "usage: $0 run|test|sanitize|fuzz|bench|speed|hostile|package" >&2
        exit 2
        ;;
esac

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-charts-dev qt6-translations-l10n libqt6test6 libzip-dev
          libsqlcipher-dev libcsv-dev libgtest-dev libbenchmark-dev fonts-dejavu-core
          libreoffice-calc libreoffice-dev libxlsxwriter-dev poppler-utils
          clang-14 libclang-rt-14-dev llvm-14
          desktop-file-utils appstream man-db file dpkg-dev lintian
          xvfb libxcb1-dev ripgrep ccache
          at-spi2-core python3-pyatspi dbus locales)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The users' locale, in which the programs and the tests that read numbers run too: Debian ships it ungenerated.
if ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
    echo "Generating the it_IT.UTF-8 locale"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo localedef -i it_IT -c -f UTF-8 -A /usr/share/locale/locale.alias it_IT.UTF-8
fi

# Every build compiles through ccache, keyed on paths relative to the checkout: a fresh clone (as CI makes)
# reuses what an earlier clone on the same machine compiled, instead of three builds from scratch.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

# The same demo list for every build folder, made by that folder's own builder.
make_demo() {
    local dir=$1
    if [ ! -f "$dir/Prezzario/Prezzario.mdb" ]; then
        echo "Building the demo price list in $dir/Prezzario/Prezzario.mdb"
        "$dir/tools/prezzario-build" --demo --out "$dir/Prezzario/Prezzario.mdb"
    fi
}

build_normal() {
    local benchmarks=$1
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPREZZARIO_BENCHMARKS="$benchmarks" "${launcher[@]}" >/dev/null
    cmake --build "$build_dir" -j"$jobs"
    make_demo "$build_dir"
}

# Every test twice: in a neutral locale and in the users' own, where a figure made or read through the C
# library's locale would come out wrong ("112" for 112,93).
stage_tests() {
    build_normal OFF
    cd "$build_dir"
    local status=0 locale
    for locale in C.UTF-8 it_IT.UTF-8; do
        echo "==== Tests with LC_ALL=$locale"
        LC_ALL=$locale ctest --output-on-failure -j"$jobs" --timeout 600 || status=1
    done
    return $status
}

# What every instrumented program of ours runs with. Reports go to files under $1 (one per process), so that
# a report from a helper whose output nobody reads (prezzario-calc, prezzario-build under a test) is seen too.
sanitizer_environment() {
    local reports=$1
    local supp
    supp=$(realpath tests/sanitizer)
    export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1${reports:+:log_path=$reports/asan:log_exe_name=1}"
    export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${reports:+:log_path=$reports/ubsan:log_exe_name=1}"
    local symbolizer
    symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
    [ -z "$symbolizer" ] || export ASAN_SYMBOLIZER_PATH="$symbolizer"
}

# Prints the sanitizer reports left under $1 (the first ones whole, then their first and last lines, since a
# helper started by many tests leaves one report each); fails if there is any.
show_reports() {
    local reports=$1
    local files=("$reports"/*)
    [ -e "${files[0]}" ] || return 0
    echo "Sanitizer reports: ${#files[@]}, all kept in $reports"
    local shown=0 file
    for file in "${files[@]}"; do
        echo "---- $file"
        if [ $shown -lt 3 ]; then
            cat "$file"
        else
            grep -m 1 'ERROR\|runtime error' "$file" || true
            grep 'SUMMARY' "$file" || true
        fi
        shown=$((shown + 1))
    done
    return 1
}

stage_sanitize() {
    local reports
    reports=$(realpath -m "$sanitize_dir/sanitizer-reports")
    rm -rf "$reports"
    mkdir -p "$reports"
    sanitizer_environment "$reports"
    # Building runs the test programs too (test discovery), so the environment is set first.
    CXX=g++ cmake -S . -B "$sanitize_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPREZZARIO_SANITIZE=ON "${launcher[@]}" >/dev/null
    if ! cmake --build "$sanitize_dir" -j"$jobs"; then
        show_reports "$reports" || true
        return 1
    fi
    make_demo "$sanitize_dir" || { show_reports "$reports" || true; return 1; }
    local status=0
    # In the users' locale, as the programs run on their desktops.
    (cd "$sanitize_dir" && LC_ALL=it_IT.UTF-8 ctest --output-on-failure -j"$jobs" --timeout 900) || status=1
    show_reports "$reports" || status=1
    return $status
}

stage_fuzz() {
    CC=clang-14 CXX=clang++-14 cmake -S . -B "$fuzz_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPREZZARIO_FUZZ=ON -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
    cmake --build "$fuzz_dir" -j"$jobs" --target prezzario_fuzzers
    sanitizer_environment ""

    local findings logs work
    findings=$(realpath -m "$fuzz_dir/findings")
    logs=$(realpath -m "$fuzz_dir/logs")
    mkdir -p "$findings" "$logs"
    # libFuzzer adds what it learns to its first corpus folder: a copy, so the repository never changes.
    work=$(mktemp -d)
    trap "rm -rf '$work'" EXIT

    local status=0 name exe
    while read -r name exe; do
        local seeds="tests/fuzz/corpus/${name#fuzz_}"
        local corpus="$work/$name" log="$logs/$name.log" found="$findings/$name"
        mkdir -p "$corpus" "$found"
        [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
        local seeded
        seeded=$(find "$corpus" -type f | wc -l)
        local rc=0
        "$exe" -max_total_time="$fuzz_seconds" -timeout=20 -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$found/" \
            "$corpus" </dev/null >"$log" 2>&1 || rc=$?
        local runs
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
        if [ "$rc" -eq 0 ]; then
            echo "$name: ${runs:-?} executions in ${fuzz_seconds} s, corpus $seeded -> $(find "$corpus" -type f | wc -l) inputs, no findings"
        else
            status=1
            echo "$name: FAILED after ${runs:-?} executions (exit status $rc); the fuzzer's last words:"
            tail -n 60 "$log"
            local input
            input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
            echo "$name: full log in $log"
            echo "$name: the input is in ${input:-$found/}; run it again with: $exe ${input:-<input>}"
        fi
    done <"$fuzz_dir/fuzz-targets.txt"
    return $status
}

case "$mode" in
    run)
        build_normal OFF
        exec "$build_dir/Prezzario/prezzario"
        ;;
    bench)
        build_normal ON
        exec "$build_dir/bench/prezzario-bench" --benchmark_counters_tabular=true
        ;;
    speed)
        build_normal ON
        if [ -z "${DISPLAY:-}" ]; then
            # A display of its own: the start-up figure times the window's appearance on a real X server.
            xvfb-run -a -s "-screen 0 1366x768x24" "$build_dir/bench/prezzario-speed"
        else
            "$build_dir/bench/prezzario-speed"
        fi
        # The computo's window and PDF draw offscreen: no display needed.
        "$build_dir/bench/prezzario-computo-window-bench"
        exec "$build_dir/bench/prezzario-computo-pdf-bench"
        ;;
    hostile)
        build_normal ON
        exec "$build_dir/bench/prezzario-hostile"
        ;;
    package)
        build_normal OFF
        (cd "$build_dir" && cpack)
        deb=$(ls -t "$build_dir"/prezzario_*_amd64.deb | head -n 1)
        # Errors fail the package; warnings are shown.
        lintian --fail-on error "$deb"
        echo "Package: $deb"
        ;;
    sanitize)
        stage_sanitize
        ;;
    fuzz)
        stage_fuzz
        ;;
    test)
        # Each stage runs as a job of its own: "set -e" still stops a stage at its first failure (bash ignores
        # it in a command whose status is tested), and a failed stage does not keep the next from running.
        failed=()
        for stage in tests sanitize fuzz; do
            echo "==== Stage: $stage"
            "stage_$stage" &
            wait $! || failed+=("$stage")
        done
        if [ ${#failed[@]} -gt 0 ]; then
            echo "==== Failed stages: ${failed[*]}"
            exit 1
        fi
        echo "==== All stages passed: tests, sanitize, fuzz"
        ;;
esac
