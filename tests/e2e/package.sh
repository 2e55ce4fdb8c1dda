#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from the build, checked by
# lintian (no errors), desktop-file-validate and appstreamcli, and unpacked into
# a temporary root. Its launcher, started there under the virtual display with
# an empty home, must fill the user's working folder from the package and start
# the program in it; started again, it must keep what the learner changed and
# only bring back what is missing.
#
#   package.sh BUILD_DIR ARTIFACTS
set -u
source "$(dirname "$0")/common.sh"
BUILD=$1
e2e_init "" "" "$2" ""
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 \
  || { cat "$WORK/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$WORK"/pkg/kalvo_*.deb)
echo "package: ${deb##*/}, $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Depends Recommends

echo "lintian:"
lintian --fail-on error "$deb" || { echo "FAIL: lintian reports errors"; exit 1; }

ROOT="$WORK/root"
dpkg-deb -x "$deb" "$ROOT"
SHARE="$ROOT/usr/share"
desktop-file-validate "$SHARE/applications/org.kalvo.Kalvo.desktop" || { echo "FAIL: desktop entry"; exit 1; }
appstreamcli validate --no-net "$SHARE/metainfo/org.kalvo.Kalvo.metainfo.xml" || { echo "FAIL: metainfo"; exit 1; }

export HOME="$WORK/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
FOLDER="$HOME/.local/share/kalvo"
cd "$WORK"

launch() {
  "$ROOT/usr/bin/kalvo-launcher" >"$WORK/app.log" 2>&1 &
  APP_PID=$!
  await_window
}

stop() {
  kill "$APP_PID"
  wait "$APP_PID" 2>/dev/null
  APP_PID=
}

# The working folder's copy of a file is the package's.
same_as_package() {
  cmp -s "$SHARE/kalvo/$1" "$FOLDER/$1" || { echo "FAIL: $FOLDER/$1 is not the package's $1"; exit 1; }
}

# "Load practice Text" with the number box as it opens (1) shows the first
# line of the folder's P0.
check_loaded() {
  click_at 136 20
  local text
  text=$(read_box 100 120 | head -n 1)
  echo "text box: $text"
  [ "$text" = "$1" ] || { echo "FAIL: expected practice text 1: $1"; exit 1; }
}

launch
for f in P0 P1 P2 P3 P4 P5 P6 P7 P8 P9 help.htm; do same_as_package $f; done
check_loaded "$(head -n 1 "$SHARE/kalvo/P0" | tr -d '\r')"
advanced_item 0             # SaveEnvironment
wait_until 10 "the settings were saved in $FOLDER" test -s "$FOLDER/Kalvoinit.txt"
import -window "$WID" "$ARTIFACTS/kalvo-package.png"
stop

printf 'CQ CQ DE KALVO\r\n' >"$FOLDER/P0"
rm "$FOLDER/P5"
launch
[ "$(cat "$FOLDER/P0")" = "$(printf 'CQ CQ DE KALVO\r')" ] || { echo "FAIL: the second start replaced the changed P0"; exit 1; }
same_as_package P5
check_loaded "CQ CQ DE KALVO"
echo "PASS"
