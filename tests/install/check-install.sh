#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that a desktop finds
# the program there: the binary, the menu entry, the icon theme's files and
# the AppStream metadata, each where freedesktop.org expects it and each
# accepted by its validator; then starts the installed program through the
# menu entry's Exec line on a fresh program folder.
#
#   check-install.sh <build folder>
set -euo pipefail
build="$1"
app=org.tessaly.Tessaly
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

cmake --install "$build" --prefix "$tmp/usr" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { [ -e "$tmp/usr/$1" ] || fail "$1 was not installed"; }

expect bin/tessaly
[ -x "$tmp/usr/bin/tessaly" ] || fail "bin/tessaly is not executable"
expect "share/applications/$app.desktop"
expect "share/metainfo/$app.metainfo.xml"
expect "share/icons/hicolor/scalable/apps/$app.svg"
for size in 16 22 24 32 48 64 128 256; do
  png="share/icons/hicolor/${size}x${size}/apps/$app.png"
  expect "$png"
  # The PNG signature, then the header chunk's width and height.
  read -r sig1 sig2 < <(od -An -tx4 -N8 --endian=big "$tmp/usr/$png")
  read -r width height < <(od -An -tu4 -j16 -N8 --endian=big "$tmp/usr/$png")
  [ "$sig1 $sig2" = "89504e47 0d0a1a0a" ] && [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
    fail "$png is not a ${size}x${size} PNG image"
done
# Nothing but the program's own files: no tests, tools or libraries.
unexpected="$(cd "$tmp/usr" && find . -type f | grep -v -e '^./bin/tessaly$' \
  -e "^./share/applications/$app.desktop\$" -e "^./share/metainfo/$app.metainfo.xml\$" \
  -e "^./share/icons/hicolor/[^/]*/apps/$app\.\(png\|svg\)\$" || true)"
[ -z "$unexpected" ] || fail "unexpected files installed: $unexpected"

desktop-file-validate "$tmp/usr/share/applications/$app.desktop"
appstreamcli validate --no-net --pedantic "$tmp/usr/share/metainfo/$app.metainfo.xml"

# The menu entry starts the installed program, which makes a fresh program
# folder and waits for the user's first-start choice.
exec_line="$(sed -n 's/^Exec=//p' "$tmp/usr/share/applications/$app.desktop")"
[ "$exec_line" = tessaly ] || fail "unexpected Exec line: $exec_line"
status=0
PATH="$tmp/usr/bin:$PATH" TESSALY_HOME="$tmp/home" QT_QPA_PLATFORM=offscreen \
  timeout 5 $exec_line >"$tmp/out" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$tmp/out"; fail "the program ended with $status instead of waiting"; }
[ -s "$tmp/home/User.mdb" ] || fail "the program made no User.mdb in a fresh folder"
echo "installed and started from $tmp/usr"
