#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for DURATION seconds
# (default 60) on one core, over the seed corpus and the examples.
#   bash fuzz/run.sh 1800
# New interesting inputs go to fuzz/corpus-work/ (not versioned); a fault
# leaves its input in build-fuzz/artifacts/: add it to fuzz/regressions/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

duration=${1:-60}
build=${TESSALINE_FUZZ_BUILD:-build-fuzz}

if ! command -v clang++ >/dev/null; then
    echo "clang++ is missing: apt-get install -y clang libclang-rt-14-dev" >&2
    exit 1
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTESSALINE_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target fuzz_conversion --parallel "${TESSALINE_FUZZ_BUILD_JOBS:-2}"

# Each example once as a measured and once as an offset program.
work=fuzz/corpus-work
mkdir -p "$work" "$build/artifacts"
for example in examples/*.dat; do
    [ -e "$example" ] || continue
    name=$(basename "$example" .dat)
    { printf '\000'; cat "$example"; } >"$work/example_${name}_measured"
    { printf '\001'; cat "$example"; } >"$work/example_${name}_offset"
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/fuzz/fuzz_conversion" "$work" fuzz/corpus fuzz/regressions \
    -dict=fuzz/conversion.dict -max_len=8192 -timeout=20 -rss_limit_mb=2560 \
    -max_total_time="$duration" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/"
