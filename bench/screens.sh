#!/usr/bin/env bash
# What the user sees, compared between two builds of the program pixel for pixel: the main window
# after start-up, page 2 with a tile highlighted under the pointer, and the reading window that
# tile opens. Both programs are driven the same way on one desktop of their own. The text caret
# of the main window's edit blinks, so each view is taken four times a quarter second apart: the
# pictures of the two programs must be the same set (ImageMagick's signature of the pixels), every
# picture of one identical to a picture of the other. Any difference fails the script, and
# `compare -metric AE` counts the differing pixels of the closest pair.
#
#   bench/screens.sh BEFORE_PROGRAM AFTER_PROGRAM [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."  # the programs read their documents from here
before=$(realpath "$1")
after=$(realpath "$2")
out=${3:-$(mktemp -d)}
mkdir -p "$out"
source scripts/desktop
start_desktop

# Waits up to 10 s for a visible window of process $1 other than window $2; prints its id.
window_of() {
  local i id
  for ((i = 0; i < 100; i++)); do
    id=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | grep -vx "$2" | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no new window of process $1" >&2
  return 1
}

# Four pictures of window $1 a quarter second apart: $2-1.png .. $2-4.png.
pictures() {
  local i
  for i in 1 2 3 4; do
    import -window "$1" "$2-$i.png"
    sleep 0.25
  done
}

shoot() {
  local program=$1 tag=$2 pid main reading
  "$program" >"$out/$tag.log" 2>&1 &
  pid=$!
  main=$(window_of "$pid" none)
  sleep 1
  pictures "$main" "$out/$tag-main"
  xdotool mousemove --window "$main" 338 73 click 1   # the page 2 tab
  sleep 0.5
  xdotool mousemove --window "$main" 148 150          # over the first tile of page 2
  sleep 1
  pictures "$main" "$out/$tag-page2"
  xdotool click 1
  reading=$(window_of "$pid" "$main")
  sleep 1
  pictures "$reading" "$out/$tag-reading"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

shoot "$before" before
shoot "$after" after
status=0
for shot in main page2 reading; do
  b=$(identify -format '%#\n' "$out"/before-$shot-?.png | sort -u)
  a=$(identify -format '%#\n' "$out"/after-$shot-?.png | sort -u)
  closest=
  for bf in "$out"/before-$shot-?.png; do
    for af in "$out"/after-$shot-?.png; do
      n=$(compare -metric AE "$bf" "$af" null: 2>&1 || true)
      if [ -z "$closest" ] || [ "${n%% *}" -lt "${closest%% *}" ] 2>/dev/null; then closest=$n; fi
    done
  done
  if [ "$a" = "$b" ]; then verdict=identical; else verdict=DIFFERENT; status=1; fi
  echo "$shot: $verdict ($(echo "$b" | wc -l) distinct pictures; closest pair differs in $closest pixels)"
done
exit $status
