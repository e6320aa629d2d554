#!/usr/bin/env bash
# Start-up as a user meets it: the program and a bare toolkit program (one frameless window
# showing one 906 x 634 JPEG) started alternately in fresh processes on a desktop of their own,
# timed from the exec to the window mapped and to its first complete paint, with their peak
# resident memory; medians and ratios to the bare program (bench/startup/startup_timer.cpp).
#
#   bench/startup.sh [OTHER_PROGRAM ...]     RUNS=15 SETTLE_MS=500 BUILD_DIR=build
#
# Further programs (another build of the program, say) run in the same rounds, so their figures
# compare with the same floor under the same machine load.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${BUILD_DIR:-build}
cmake --build "$dir" -j"${JOBS:-2}" --target corvane startup_timer bare_window >/dev/null
source scripts/desktop
start_desktop
programs=(bare "$PWD/$dir/bench/bare_window $PWD/$dir/tools/picgen/pictures/form1_bg.jpg" corvane "$PWD/$dir/corvane")
n=1
for other in "$@"; do
  programs+=("other$n" "$(realpath "$other")")
  n=$((n + 1))
done
# The program reads its documents from the folder it starts in.
"$PWD/$dir/bench/startup_timer" "${RUNS:-15}" "${SETTLE_MS:-500}" "${programs[@]}"
