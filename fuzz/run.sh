#!/usr/bin/env bash
# Builds a libFuzzer target with clang and runs it for DURATION seconds
# (default 60) on one core, over its seed corpus and its regressions.
#   bash fuzz/run.sh 1800                 # fuzz_conversion, with the examples
#   bash fuzz/run.sh 1800 fuzz_results    # reading of results
# New interesting inputs go to fuzz/corpus-work/ for fuzz_conversion and to
# build-fuzz/corpus-work-results/ for fuzz_results (neither versioned); a
# fault leaves its input in build-fuzz/artifacts/: add it to
# fuzz/regressions/ or fuzz/regressions-results/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

duration=${1:-60}
target=${2:-fuzz_conversion}
build=${TESSALINE_FUZZ_BUILD:-build-fuzz}

case "$target" in
fuzz_conversion | fuzz_results) ;;
*)
    echo "unknown target $target: fuzz_conversion or fuzz_results" >&2
    exit 2
    ;;
esac

if ! command -v clang++ >/dev/null; then
    echo "clang++ is missing: apt-get install -y clang libclang-rt-14-dev" >&2
    exit 1
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTESSALINE_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target "$target" --parallel "${TESSALINE_FUZZ_BUILD_JOBS:-2}"

mkdir -p "$build/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

if [ "$target" = fuzz_results ]; then
    # libFuzzer reads corpus folders recursively, so this one stays out of
    # fuzz/corpus-work/.
    work=$build/corpus-work-results
    mkdir -p "$work"
    # libFuzzer takes one dictionary: the words of DMIS and CSV, then QIF's.
    cat fuzz/results.dict fuzz/qif.dict >"$build/results-and-qif.dict"
    exec "$build/fuzz/fuzz_results" "$work" fuzz/corpus-results fuzz/regressions-results \
        -dict="$build/results-and-qif.dict" -max_len=8192 -timeout=20 -rss_limit_mb=2560 \
        -max_total_time="$duration" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/"
fi

# Each example once as a measured and once as an offset program.
work=fuzz/corpus-work
mkdir -p "$work"
for example in examples/*.dat; do
    [ -e "$example" ] || continue
    name=$(basename "$example" .dat)
    { printf '\000'; cat "$example"; } >"$work/example_${name}_measured"
    { printf '\001'; cat "$example"; } >"$work/example_${name}_offset"
done

exec "$build/fuzz/fuzz_conversion" "$work" fuzz/corpus fuzz/regressions \
    -dict=fuzz/conversion.dict -max_len=8192 -timeout=20 -rss_limit_mb=2560 \
    -max_total_time="$duration" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/"
