#!/usr/bin/env bash
# The whole set-up on a fresh Debian 12 machine:
#   ./build.sh run    installs what is missing, builds, makes the demo price list if none exists, starts the program
#   ./build.sh test   installs what is missing, builds, runs every test through CTest
#   ./build.sh bench  the same, then runs the benchmarks (slow: builds a 1,000,000-row list once)
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
build_dir=${PREZZARIO_BUILD_DIR:-build}

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libqt6test6
          libsqlcipher-dev libcsv-dev libgtest-dev libbenchmark-dev fonts-dejavu-core
          libreoffice-calc libreoffice-dev)
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

benchmarks=OFF
[ "$mode" = bench ] && benchmarks=ON
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPREZZARIO_BENCHMARKS=$benchmarks >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

app_dir="$build_dir/Prezzario"
if [ ! -f "$app_dir/Prezzario.mdb" ]; then
    echo "Building the demo price list in $app_dir/Prezzario.mdb"
    "$build_dir/tools/prezzario-build" --demo --out "$app_dir/Prezzario.mdb"
fi

case "$mode" in
    run)
        exec "$app_dir/prezzario"
        ;;
    test)
        cd "$build_dir"
        exec ctest --output-on-failure -j"$(nproc)" --timeout 600
        ;;
    bench)
        exec "$build_dir/bench/prezzario-bench" --benchmark_counters_tabular=true
        ;;
    *)
        echo "usage: $0 run|test|bench" >&2
        exit 2
        ;;
esac
