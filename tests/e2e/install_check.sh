#!/usr/bin/env bash
# `cmake --install` into a scratch prefix (with a blank in its name): the
# layout, the menu entry, the metainfo and every icon; then the installed
# program, run by a user who may not write the prefix, finds its ring and
# makes that user's phonebook from the sample.
#   install_check.sh BUILD_DIR
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli; do
  if ! command -v $tool >/dev/null; then
    echo "install: $tool is missing (scripts/setup installs it)"
    exit 77
  fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
prefix="$scratch/vocamo prefix"
fail() { echo "install: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/lib/vocamo/vocamo" ] || fail "no program in lib/vocamo"
[ -L "$prefix/bin/vocamo" ] || fail "bin/vocamo is not a link"
[ "$(readlink -f "$prefix/bin/vocamo")" = "$(readlink -f "$prefix/lib/vocamo/vocamo")" ] ||
  fail "bin/vocamo does not lead to the program"
[ -s "$prefix/share/vocamo/RING.WAV" ] || fail "no RING.WAV in share/vocamo"
[ -s "$prefix/share/vocamo/Bookmark.ini" ] || fail "no sample phonebook in share/vocamo"

entry="$prefix/share/applications/vocamo.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
grep -qxF "Exec=\"$prefix/bin/vocamo\" %u" "$entry" || fail "the entry does not start $prefix/bin/vocamo"
grep -qx "Icon=vocamo" "$entry" || fail "the desktop entry names another icon"
grep -qx "MimeType=x-scheme-handler/tel;x-scheme-handler/callto;" "$entry" ||
  fail "the entry does not take tel: and callto: links"
appstreamcli validate --no-net "$prefix/share/metainfo/"*.metainfo.xml ||
  fail "the metainfo does not validate"

for size in 16 22 24 32 48 64 128 256 512; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/vocamo.png"
  [ -f "$icon" ] || fail "no ${size} px icon"
  # PNG width and height: big-endian at bytes 16 and 20.
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" |
    awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "the ${size} px icon is ${w}x${h}"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/vocamo.svg" || fail "no scalable icon"

# Installing twice (an update) replaces the link instead of failing.
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "a second install failed"

# The installed program, started through the link by a user other than the
# prefix's owner: nobody when this runs as root.
home="$scratch/home"
mkdir -m 700 "$home" "$home/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$home"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
# A sanitizer build keeps its options, with suppression files that user can read.
sanitizer=()
for name in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS TSAN_OPTIONS; do
  value=${!name:-}
  if [[ $value =~ suppressions=([^:]+) ]] && [ -f "${BASH_REMATCH[1]}" ]; then
    cp "${BASH_REMATCH[1]}" "$scratch/$name.supp"
    chmod 644 "$scratch/$name.supp"
    value=${value/"${BASH_REMATCH[1]}"/"$scratch/$name.supp"}
  fi
  [ -z "$value" ] || sanitizer+=("$name=$value")
done
log="$scratch/run.log"
env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
  QT_LOGGING_RULES="vocamo.window.debug=true" VOCAMO_EXIT_AFTER_FIRST_FRAME=1 "${sanitizer[@]}" \
  timeout 60 "${as_user[@]}" "$prefix/bin/vocamo" >"$log" 2>&1 ||
  { cat "$log"; fail "the installed program did not start and end"; }
grep -qF "RING.WAV is $prefix/share/vocamo/RING.WAV" "$log" ||
  { cat "$log"; fail "the installed program did not find its ring"; }
book="$home/.config/vocamo/Bookmark.ini"
cmp -s "$book" "$prefix/share/vocamo/Bookmark.ini" || fail "no phonebook made from the sample"
"${as_user[@]}" test -w "$book" || fail "the user may not write $book"
[ ! -e "$prefix/lib/vocamo/Bookmark.ini" ] || fail "a phonebook appeared in the prefix"
echo "install: $prefix laid out as expected; the program ran from it"
