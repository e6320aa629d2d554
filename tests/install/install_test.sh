#!/usr/bin/env bash
# Installs the program with `cmake --install` into a temporary root, validates the desktop entry and
# the AppStream metadata, and uses the installed program as someone would who started it from the
# desktop's menu: from an empty working folder, with a home folder of its own. It opens a reading
# window and the notes editor, writes a note and a title, quits through the close picture, and then
# finds the note and the title in the user's folders, and the installed tree as it was installed.
#
#   install_test.sh BUILD_DIR SOURCE_DIR
#
# Needs an X display with a window manager (scripts/test provides one) and xdotool.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
[ -n "${DISPLAY:-}" ] || { echo "no display: run through scripts/test"; exit 77; }

root=$(mktemp -d "${TMPDIR:-/tmp}/corvane-install.XXXXXX")
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

# Polls `$@` every 0.1 s for up to $timeout seconds.
timeout=20
until_true() {
  local end=$((SECONDS + timeout))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

step "installing into $root/inst"
DESTDIR="$root/inst" cmake --install "$build" --prefix /usr >/dev/null
inst="$root/inst/usr"
for f in bin/corvane share/corvane/dat/111111.rtf share/corvane/dat/a1.rtf \
         share/applications/org.corvane.Corvane.desktop share/metainfo/org.corvane.Corvane.metainfo.xml \
         share/icons/hicolor/48x48/apps/corvane.png share/icons/hicolor/256x256/apps/corvane.png \
         share/man/man1/corvane.1.gz share/doc/corvane/copyright; do
  [ -f "$inst/$f" ] || fail "not installed: $f"
done
[ "$(ls "$inst/share/corvane/dat" | wc -l)" -eq "$(ls "$source"/dat/*.rtf | wc -l)" ] ||
  fail "documents missing from share/corvane/dat"

step "validating the desktop entry and the AppStream metadata"
desktop-file-validate "$inst/share/applications/org.corvane.Corvane.desktop" || fail "desktop entry"
out=$(appstreamcli validate --no-net "$inst/share/metainfo/org.corvane.Corvane.metainfo.xml" 2>&1) ||
  { echo "$out"; fail "AppStream metadata"; }
echo "$out" | grep -qE '^[EW]:' && { echo "$out"; fail "AppStream metadata has errors or warnings"; }

# Everything in the installed tree, to compare after the run: nothing may be written there.
snapshot() { (cd "$root/inst" && find . -printf '%p %y %s %m %T@\n' | LC_ALL=C sort); }
before=$(snapshot)

export HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/corvane" "$root/work"
# Titles from an earlier run, so that the title labels are wide enough to click; the file is GBK.
printf '[用户]\r\n自定义1=第一则笔记\r\n自定义2=第二则\r\n自定义3=第三则\r\n' | iconv -f UTF-8 -t GBK \
  > "$XDG_CONFIG_HOME/corvane/corvane.ini"

step "starting the installed program in an empty folder"
cd "$root/work"
"$inst/bin/corvane" > "$root/program.log" 2>&1 &
pid=$!

visible() { xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n1; }
window_of() {
  local name=$1 w=
  until_true eval 'w=$(visible "$name"); [ -n "$w" ]' || { cat "$root/program.log"; fail "no window named $name"; }
  echo "$w"
}
gone() { [ -z "$(visible "$1")" ]; }
# A click at client point (x, y) of window $1, the pointer arriving there first.
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; }
# The close picture appears while the pointer is over its place; then it takes the click. Tried
# again while the window stays (the first move may arrive before the window draws the picture).
close_window() {
  local w=$1 name=$2 x=$3 y=$4 i
  for i in 1 2 3 4 5; do
    xdotool mousemove --sync --window "$w" $((x - 3)) $((y - 3))
    sleep 0.2
    xdotool mousemove --sync --window "$w" "$x" "$y"
    sleep 0.3
    xdotool click 1
    timeout=3 until_true gone "$name" && return 0
  done
  fail "the close picture of $name does not close it"
}

main=$(window_of '^Corvane$')
xdotool windowactivate --sync "$main" 2>/dev/null || true

step "a tile opens the reading window"
click "$main" 137 137  # the first tile of page 1 (乾为天)
reading=$(window_of '^卦辞解说$')
close_window "$reading" '^卦辞解说$' 555 62

step "the first note title opens the notes editor"
click "$main" 580 600
editor=$(window_of '^Form4$')
click "$editor" 60 90   # the title field
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 40 'Installed title'
click "$editor" 120 200  # the note's body
xdotool key --clearmodifiers ctrl+a Delete
xdotool type --delay 40 'note-written-by-the-install-test'
close_window "$editor" '^Form4$' 571 50

note="$XDG_DATA_HOME/corvane/dat/a1.rtf"
timeout=10 until_true grep -q 'note-written-by-the-install-test' "$note" ||
  fail "the note is not in $note"

step "quitting through the main window's close picture"
close_window "$main" '^Corvane$' 840 56
timeout=10 until_true eval '! kill -0 "$pid" 2>/dev/null' || fail "the program did not end"
wait "$pid" || fail "the program ended with status $?"
pid=

ini="$XDG_CONFIG_HOME/corvane/corvane.ini"
titles=$(iconv -f GBK -t UTF-8 "$ini")
echo "$titles" | grep -q '^自定义1=Installed title' || { echo "$titles"; fail "the new title is not in $ini"; }
echo "$titles" | grep -q '^自定义2=第二则' || { echo "$titles"; fail "the other titles were lost from $ini"; }

step "the user's copy of the documents"
[ "$(ls "$XDG_DATA_HOME/corvane/dat" | wc -l)" -eq "$(ls "$inst/share/corvane/dat" | wc -l)" ] ||
  fail "the user's copy of the documents is incomplete"
cmp -s "$XDG_DATA_HOME/corvane/dat/111111.rtf" "$inst/share/corvane/dat/111111.rtf" || fail "a document differs from the installed one"
cmp -s "$note" "$inst/share/corvane/dat/a1.rtf" && fail "the installed note was changed instead of the user's"

step "nothing written elsewhere"
[ -z "$(ls -A "$root/work")" ] || { ls -A "$root/work"; fail "the working folder was written"; }
after=$(snapshot)
[ "$before" = "$after" ] || { diff <(echo "$before") <(echo "$after") || true; fail "the installed tree changed"; }
echo "PASS"
