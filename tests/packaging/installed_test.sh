#!/usr/bin/env bash
# installed_test.sh CASE BUILD_DIR SOURCE_DIR VERSION APP_ID "ICON_SIZES"
#
# command_line       --help, --version and a bad option without a display;
#                    no display at all
# installed_tree     the files `cmake --install` puts under a DESTDIR: layout,
#                    relative links, desktop entry, metainfo, manual page, icons
# installed_program  bin/wavorin from that DESTDIR under the test X server:
#                    icon, Play heard, `wavorin FILE` plays FILE, a missing
#                    FILE leaves the window up
# package            `cpack -G DEB`: its Depends and Recommends; unpacked with
#                    dpkg-deb -x, plays, and its Open dialog speaks Qt's own
#                    Japanese under a Japanese locale; lintian
set -euo pipefail
case_name=$1 build=$2 source=$3 version=$4 app_id=$5 icon_sizes=$6
id_pattern=${app_id//./\\.}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
need_display() { [ -n "${DISPLAY:-}" ] || skip "needs an X display (scripts/with-display.sh)"; }
need() { command -v "$1" >/dev/null || skip "needs $1 (scripts/install-deps.sh --tests)"; }

install_into() {  # DESTDIR
  DESTDIR=$1 cmake --install "$build" --prefix /usr >/dev/null
}

# Hex of a file's bytes on one line, to look for one sound inside another.
hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }

# The bytes of the wave file's samples as the disk driver writes them
# (44.1 kHz 16-bit stereo files reach it unchanged).
wave_data() { sox "$1" -t raw -e signed -b 16 - >"$2"; }

# Starts PROGRAM [ARGS] with its own settings and disk-driver output in
# $work/run; waits for its window and leaves its id in $window.
start() {
  rm -rf "$work/run" && mkdir -p "$work/run/config"
  XDG_CONFIG_HOME="$work/run/config" SDL_AUDIODRIVER=disk \
    SDL_DISKAUDIOFILE="$work/run/out.raw" QT_QPA_PLATFORM= \
    "$@" >"$work/run/stdout" 2>"$work/run/stderr" &
  program_pid=$!
  pids+=("$program_pid")
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$program_pid" --name '^Form1$' 2>/dev/null | tail -1) || true
    [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || fail "$* ended before showing its window: $(cat "$work/run/stderr")"
    sleep 0.1
  done
  [ -n "$window" ] || fail "$* showed no window"
  sleep 0.4
}

click_at() {  # X Y inside the window
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}

press() {  # BUTTON (b_ply ...): clicks the centre of that button of the window
  local x y
  read -r x y < <("$build/bin/wavorin_button_centres" | awk -v name="$1" '$1 == name {print $2, $3}') ||
    fail "no centre for $1 from $build/bin/wavorin_button_centres"
  click_at "$x" "$y"
}

# Up to 8 KiB from the middle of a raw sound, whole frames (no fade touches
# it), as hex.
needle_of() {
  local size
  size=$(stat -c %s "$1")
  tail -c +$((size / 16 * 4 + 1)) "$1" | head -c $((size / 8 * 4 < 8192 ? size / 8 * 4 : 8192)) |
    od -An -v -tx1 | tr -d ' \n'
}

# Whether the disk driver's output holds the bytes of FILE (raw) now.
output_holds() {
  local needle
  needle=$(needle_of "$1")
  [ -n "$needle" ] || fail "$1 holds no sound"
  [ -s "$work/run/out.raw" ] && hex "$work/run/out.raw" | grep -qF "$needle"
}

# Waits until it does.
heard() {
  for _ in $(seq 50); do output_holds "$1" && return 0; sleep 0.1; done
  return 1
}

# Closes the program with its Close button; returns its exit status.
close_program() {
  press b_cls
  local status=0
  for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$program_pid" || status=$?
  return "$status"
}

# Play on the program under ROOT is heard: the click, then the sample.
plays_from() {  # ROOT
  local root=$1
  need_display; need xdotool; need sox
  wave_data "$root/usr/share/wavorin/click.wav" "$work/click.raw"
  start "$root/usr/bin/wavorin"
  press b_ply
  heard "$work/click.raw" || fail "Play on $root/usr/bin/wavorin: the click was not heard"
  close_program || fail "Close ended with status $?"
}

# Under a Japanese locale the Open dialog of the program under ROOT shows
# Qt's own Japanese texts, as a screen reader reads its buttons and labels:
# those that Qt's translation file gives (qt6-translations-l10n) for "&Open",
# "Cancel" and "File &name:", not the English ones.
dialog_in_japanese() {  # ROOT
  local qm
  qm=$(qtpaths6 --query QT_INSTALL_TRANSLATIONS)/qtbase_ja.qm
  if [ ! -f "$qm" ]; then
    echo "note: no $qm (qt6-translations-l10n): the Japanese dialog is not looked at"
    return 0
  fi
  need_display; need xdotool; need dbus-daemon; need python3
  "$(qtpaths6 --query QT_INSTALL_BINS)/lconvert" -i "$qm" -o "$work/qtbase_ja.ts"
  mapfile -t expected < <(python3 - "$work/qtbase_ja.ts" <<'PY'
import sys
import xml.etree.ElementTree as ET
wanted = [("QFileDialog", "&Open"), ("QPlatformTheme", "Cancel"), ("QFileDialog", "File &name:")]
found = {}
for context in ET.parse(sys.argv[1]).getroot().iter("context"):
    for message in context.iter("message"):
        found[(context.findtext("name"), message.findtext("source"))] = message.findtext("translation")
for key in wanted:
    print(found[key].replace("&", ""))
PY
  )
  [ "${#expected[@]}" -eq 3 ] || fail "Qt's Japanese translation lacks the dialog's texts"
  # A private session bus for the screen reader's view.
  exec {bus}< <(exec dbus-daemon --session --nofork --print-address=1 2>/dev/null)
  pids+=($!)
  local address
  read -r -u "$bus" address
  start env DBUS_SESSION_BUS_ADDRESS="$address" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    LANG=ja_JP.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES= "$1/usr/bin/wavorin"
  press b_opn
  local dialog=
  for _ in $(seq 50); do
    dialog=$(xdotool search --onlyvisible --pid "$program_pid" --name '^Open wave$' 2>/dev/null | tail -1) || true
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || fail "Open showed no dialog titled 'Open wave'"
  DBUS_SESSION_BUS_ADDRESS=$address "$source/tests/e2e/atspi_tree.py" "$program_pid" \
    >"$work/tree" 2>&1 || fail "the screen reader's view: $(cat "$work/tree")"
  grep -qF "push button|${expected[0]}|" "$work/tree" && grep -qF "push button|${expected[1]}|" "$work/tree" &&
    grep -qF "label|${expected[2]}|" "$work/tree" ||
    fail "the dialog's buttons are not Qt's Japanese ${expected[*]}: $(grep -E 'push button|label' "$work/tree")"
  ! grep -qE "push button\|(Cancel|&?Open)\|" "$work/tree" || fail "the dialog still has English buttons"
  xdotool key --window "$dialog" Escape
  close_program || fail "Close after the dialog ended with status $?"
}

case $case_name in
command_line)
  exe=$build/bin/wavorin
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$exe" --help) || fail "--help exited $?"
  grep -q '^Usage: wavorin \[options\] \[FILE\]' <<<"$out" || fail "--help printed: $out"
  grep -q -- '--version' <<<"$out" || fail "--help names no --version: $out"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$exe" --version) || fail "--version exited $?"
  [ "$out" = "wavorin $version" ] || fail "--version printed '$out'"
  status=0
  env -u DISPLAY "$exe" --no-such-option >"$work/out" 2>"$work/err" || status=$?
  [ "$status" -ne 0 ] || fail "an unknown option exited 0"
  [ ! -s "$work/out" ] || fail "an unknown option printed on standard output"
  grep -q "no-such-option" "$work/err" && grep -q '^Usage:' "$work/err" ||
    fail "an unknown option printed: $(cat "$work/err")"
  # No display: one clear line and status 1, for no DISPLAY and for a dead one.
  for display in "" ":987"; do
    status=0
    env DISPLAY="$display" WAYLAND_DISPLAY=no-such-socket QT_QPA_PLATFORM= \
      timeout 20 "$exe" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq 1 ] || fail "DISPLAY='$display': exit status $status, not 1: $(cat "$work/err")"
    [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'no display' "$work/err" ||
      fail "DISPLAY='$display' printed: $(cat "$work/err")"
  done
  # A socket that answers but is no X server: the toolkit's own complaint,
  # then the same line and status.
  exec {ready}< <(python3 -c 'import socket; s = socket.socket(socket.AF_UNIX); s.bind("\0/tmp/.X11-unix/X986"); s.listen(); print(flush=True)
while True: s.accept()[0].close()')
  refuser=$!
  read -r -u "$ready"
  status=0
  env DISPLAY=:986 QT_QPA_PLATFORM= timeout 20 "$exe" >"$work/out" 2>"$work/err" || status=$?
  kill "$refuser"
  [ "$status" -eq 1 ] && tail -n 1 "$work/err" | grep -q 'no display' ||
    fail "a refusing server: exit status $status: $(cat "$work/err")"
  ;;

installed_tree)
  need desktop-file-validate; need appstreamcli; need mandoc; need identify
  root=$work/root
  install_into "$root"
  # Nothing outside the program's folders and the desktop's own places.
  unexpected=$(cd "$root" && find . \( -type f -o -type l \) | sort | grep -v -E \
    "^\./usr/(libexec/wavorin/|share/wavorin/|bin/wavorin\$|share/applications/$id_pattern\.desktop\$|share/icons/hicolor/[0-9]+x[0-9]+/apps/$id_pattern\.png\$|share/metainfo/$id_pattern\.metainfo\.xml\$|share/man/man1/wavorin\.1\.gz\$)") || true
  [ -z "$unexpected" ] || fail "installed outside its places: $unexpected"
  [ -x "$root/usr/libexec/wavorin/wavorin" ] && [ ! -L "$root/usr/libexec/wavorin/wavorin" ] ||
    fail "no program in libexec/wavorin"
  for link in usr/bin/wavorin usr/libexec/wavorin/click.wav usr/libexec/wavorin/dummy.wav \
              usr/libexec/wavorin/sample1.wav; do
    [ -L "$root/$link" ] || fail "$link is not a link"
    case $(readlink "$root/$link") in /*) fail "$link points to an absolute path";; esac
    [ -e "$root/$link" ] || fail "$link leads nowhere"
  done
  [ "$(readlink -f "$root/usr/bin/wavorin")" = "$(readlink -f "$root/usr/libexec/wavorin/wavorin")" ] ||
    fail "bin/wavorin does not lead to the program"
  cmp -s "$root/usr/libexec/wavorin/click.wav" "$source/assets/click.wav" || fail "the click is not the program's"
  desktop-file-validate "$root/usr/share/applications/$app_id.desktop" >"$work/v" 2>&1 || true
  [ ! -s "$work/v" ] || fail "desktop-file-validate: $(cat "$work/v")"
  appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/v" 2>&1 ||
    fail "appstreamcli: $(cat "$work/v")"
  grep -qE '^[[:space:]]*[EW]:' "$work/v" && fail "appstreamcli: $(cat "$work/v")"
  grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "the metainfo has no release $version"
  gunzip -c "$root/usr/share/man/man1/wavorin.1.gz" >"$work/wavorin.1"
  mandoc -T lint -W warning "$work/wavorin.1" || fail "mandoc found faults in the manual page"
  grep -q "^\.TH WAVORIN 1 [0-9-]* \"Wavorin $version\"" "$work/wavorin.1" ||
    fail "the manual page is not of version $version: $(head -1 "$work/wavorin.1")"
  # Every theme size, square, transparent in the corners, opaque in the middle.
  for size in $icon_sizes; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$icon" ] || fail "no ${size}px icon"
    [ "$(identify -format '%w %h' "$icon")" = "$size $size" ] || fail "the ${size}px icon is $(identify -format '%wx%h' "$icon")"
    last=$((size - 1)) middle=$((size / 2))
    for corner in "0,0" "$last,0" "0,$last" "$last,$last"; do
      alpha=$(convert "$icon" -format "%[fx:int(255*p{$corner}.a)]" info:)
      [ "$alpha" -eq 0 ] || fail "the ${size}px icon's corner $corner has alpha $alpha"
    done
    alpha=$(convert "$icon" -format "%[fx:int(255*p{$middle,$middle}.a)]" info:)
    [ "$alpha" -eq 255 ] || fail "the ${size}px icon is not opaque in its middle"
  done
  ;;

installed_program)
  need_display; need xdotool; need xprop; need sox
  root=$work/root
  install_into "$root"
  plays_from "$root"
  # `wavorin FILE` plays FILE, with no click; the window has the icon.
  mkdir -p "$work/music"
  sox -n -r 44100 -c 2 -b 16 -e signed "$work/music/tone.wav" synth 1.5 sine 300:900 vol 0.4
  wave_data "$work/music/tone.wav" "$work/tone.raw"
  cd "$work/music"
  start "$root/usr/bin/wavorin" tone.wav
  cd - >/dev/null
  heard "$work/tone.raw" || fail "wavorin tone.wav did not play tone.wav"
  wave_data "$root/usr/share/wavorin/click.wav" "$work/click.raw"
  ! output_holds "$work/click.raw" || fail "wavorin tone.wav played the key click"
  # The jukebox in the sizes the program gives, not a toolkit's default.
  icons=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
  [ "$icons" = "Icon (16 x 16) Icon (24 x 24) Icon (32 x 32) Icon (48 x 48) Icon (64 x 64) Icon (128 x 128) " ] ||
    fail "the window's icons are: $icons"
  close_program || fail "Close ended with status $?"
  grep -q "^Path=$work/music\$" "$work/run/config/Wavorin/Wavorin.ini" ||
    fail "the dialog's folder did not follow the file: $(cat "$work/run/config/Wavorin/Wavorin.ini")"
  # A missing FILE: the reason on standard error, the window stays, exit 0.
  start "$root/usr/bin/wavorin" "$work/no such file.wav"
  sleep 1
  kill -0 "$program_pid" 2>/dev/null || fail "a missing FILE ended the program"
  grep -q "cannot play '$work/no such file.wav': No such file" "$work/run/stderr" ||
    fail "a missing FILE was not reported: $(cat "$work/run/stderr")"
  close_program || fail "Close after a missing FILE ended with status $?"
  ;;

package)
  need cpack; need dpkg-deb
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
    fail "cpack: $(cat "$work/cpack.log")"
  deb=$(ls "$work"/out/wavorin_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libqt6widgets6 libqt6gui6 libsdl2 libsndfile1 libc6; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
  done
  # Qt's X11 plugin comes with libqt6gui6; qt6-qpa-plugins holds others only.
  ! grep -q qt6-qpa-plugins <<<"$depends" || fail "Depends names qt6-qpa-plugins: $depends"
  recommends=$(dpkg-deb -f "$deb" Recommends)
  [ "$recommends" = "qt6-wayland, qt6-translations-l10n" ] || fail "Recommends is '$recommends'"
  [ "$(dpkg-deb -f "$deb" Section)" = sound ] || fail "Section is $(dpkg-deb -f "$deb" Section)"
  dpkg-deb -x "$deb" "$work/root"
  file "$work/root/usr/libexec/wavorin/wavorin" | grep -q ', stripped' || fail "the program is not stripped"
  [ -f "$work/root/usr/share/doc/wavorin/copyright" ] || fail "no copyright file"
  if command -v lintian >/dev/null; then
    lintian --suppress-tags-from-file "$source/packaging/lintian-overrides.txt" "$deb" >"$work/lintian" 2>&1 || true
    ! grep -E '^[EW]:' "$work/lintian" || fail "lintian: $(cat "$work/lintian")"
  fi
  plays_from "$work/root"
  dialog_in_japanese "$work/root"
  ;;
*) fail "unknown case $case_name" ;;
esac
echo "PASS: $case_name"
