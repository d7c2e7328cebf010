# Shared by scripts/run-fuzz and scripts/run-fuzz-campaign: builds the libFuzzer targets and
# the seed corpus, and runs one target for a while.
set -euo pipefail
cd "$(dirname "$0")/.."
export SDL_VIDEODRIVER=offscreen MESA_SHADER_CACHE_DISABLE=true LP_NUM_THREADS=0
fuzz_bin=build/fuzz/fuzz
fuzz_work=build/fuzz/corpus
fuzz_targets=(interpreter textures ini capture pack)
fuzz_prefix=() # e.g. (nice -n 19)

build_fuzzers() {
    scripts/install-deps clang libclang-rt-14-dev
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j"${1:-$(nproc)}"
    rm -rf "$fuzz_work/seeds"
    mkdir -p "$fuzz_work/seeds" "$fuzz_work/findings"
    "$fuzz_bin/make_seed_corpus" "$fuzz_work/seeds"
}

# fuzz_target NAME SECONDS CORPUS LOG [extra libFuzzer flags]: new inputs go to CORPUS; the
# seeds and the checked-in regression inputs are read too. Returns libFuzzer's status.
# Mesa and SDL keep allocations until exit, so leaks are not looked for; the timeout is far
# above any real input (a few milliseconds) and only catches hangs. Inputs are mutated in
# proportion to their speed: an interpreter input that draws thousands of triangles takes a
# hundred times as long as most, and favouring the fast ones gave three times the executions
# and more edges in the same minute.
fuzz_target() {
    local name=$1 seconds=$2 corpus=$3 log=$4
    shift 4
    mkdir -p "$corpus"
    # The interpreter's seeds carry whole scenes (textures included); a texture input uses
    # at most 64 steps of 13 bytes.
    local max_len=4096
    [ "$name" = interpreter ] && max_len=65536
    # Captures are seeded with the demo captures (8 to 17 KB each).
    [ "$name" = capture ] && max_len=32768
    local inputs=("$corpus")
    [ -d "$fuzz_work/seeds/$name" ] && inputs+=("$fuzz_work/seeds/$name")
    [ "$name" = capture ] && inputs+=("tests/data/captures")
    [ -d "tests/data/fuzz/$name" ] && inputs+=("tests/data/fuzz/$name")
    "${fuzz_prefix[@]}" "$fuzz_bin/fuzz_$name" -max_total_time="$seconds" -max_len=$max_len \
        -timeout=60 -rss_limit_mb=4096 -detect_leaks=0 -print_final_stats=1 \
        -entropic_scale_per_exec_time=1 \
        -artifact_prefix="$fuzz_work/findings/$name-" "$@" \
        "${inputs[@]}" >"$log" 2>&1
}

# Executions and coverage of a finished run, from its log.
fuzz_executions() { grep -oP 'stat::number_of_executed_units: \K[0-9]+' "$1" || echo 0; }
fuzz_coverage() {
    local cov
    cov=$(grep -oP '^#[0-9]+.*cov: \K[0-9]+' "$1" | tail -1 || true)
    echo "${cov:-0}"
}
