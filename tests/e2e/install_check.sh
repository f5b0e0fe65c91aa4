#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program with its ring beside
# it, the link on the PATH, a valid desktop entry and the icons.
#   install_check.sh BUILD_DIR
set -euo pipefail
build=$1
if ! command -v desktop-file-validate >/dev/null; then
  echo "install: desktop-file-validate is missing (scripts/setup installs it)"
  exit 77
fi
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/lib/vocamo/vocamo" ] || fail "no program in lib/vocamo"
[ -s "$prefix/lib/vocamo/RING.WAV" ] || fail "no RING.WAV beside the program"
[ -s "$prefix/share/vocamo/Bookmark.ini" ] || fail "no sample phonebook in share/vocamo"
[ -L "$prefix/bin/vocamo" ] || fail "bin/vocamo is not a link"
[ "$(readlink -f "$prefix/bin/vocamo")" = "$(readlink -f "$prefix/lib/vocamo/vocamo")" ] ||
  fail "bin/vocamo does not lead to the program"

entry="$prefix/share/applications/vocamo.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
grep -qx "Exec=$prefix/bin/vocamo" "$entry" || fail "the desktop entry does not start $prefix/bin/vocamo"
grep -qx "Icon=vocamo" "$entry" || fail "the desktop entry names another icon"

for size in 48 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/vocamo.png"
  [ -f "$icon" ] || fail "no ${size} px icon"
  # PNG width and height: big-endian at bytes 16 and 20.
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" |
    awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "the ${size} px icon is ${w}x${h}"
done

# Installing twice (an update) replaces the link instead of failing.
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "a second install failed"
echo "install: $prefix laid out as expected"
