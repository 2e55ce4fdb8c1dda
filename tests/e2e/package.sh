#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from the build, checked by
# lintian (no errors), desktop-file-validate and appstreamcli, and unpacked into
# a temporary root. Its AppStream release is the package's version, and its man
# pages name the folder the package installs the texts to. Its launcher,
# started there under the virtual display with an empty home, must fill the
# user's working folder from the package and start the program in it, whose
# window carries the icon and the class of the menu entry. With no browser,
# "Help File" says so in the error box. Started again, the launcher must keep
# what the learner changed, bring back what is missing and bring the help page
# up to date.
#
#   package.sh BUILD_DIR ARTIFACTS
set -u
source "$(dirname "$0")/common.sh"
BUILD=$1
e2e_init "" "" "$2" ""
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli xprop; do
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
version=$(dpkg-deb -f "$deb" Version)
grep -q "<release version=\"${version%-*}\"" "$SHARE/metainfo/org.kalvo.Kalvo.metainfo.xml" \
  || { echo "FAIL: the metainfo has no release ${version%-*}"; exit 1; }

# The pages name the folder the package installs to, and kalvo(1) the files of
# the working folder.
for page in kalvo kalvo-launcher; do
  zcat "$SHARE/man/man1/$page.1.gz" | grep -qx '\.I /usr/share/kalvo' \
    || { echo "FAIL: $page(1) does not name /usr/share/kalvo"; exit 1; }
  ! zcat "$SHARE/man/man1/$page.1.gz" | grep -q /usr/local || { echo "FAIL: $page(1) names /usr/local"; exit 1; }
done
files=$(MANWIDTH=80 man -P cat -l "$SHARE/man/man1/kalvo.1.gz" 2>/dev/null | sed -n '/^FILES/,/^SEE ALSO/p')
printf '%s\n' "$files" >"$ARTIFACTS/kalvo-man-files.txt"
for f in 'P0 ... P9' help.htm Kalvoinit.txt Notepad.txt Kalvoprogress.txt /usr/share/kalvo; do
  grep -qF -- "$f" <<<"$files" || { echo "FAIL: the FILES section of kalvo(1) does not name $f"; exit 1; }
done

export HOME="$WORK/home"
unset XDG_DATA_HOME
# A desktop with no program for web pages: no menu entries to choose from, and
# a browser that is not there.
export XDG_DATA_DIRS="$WORK/no-data" BROWSER=kalvo-no-browser
unset XDG_CURRENT_DESKTOP
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

# The window's icon, and a class that the menu entry names. The icon theme
# knows nothing of the unpacked package, so the icon is the installed file.
has_icon_and_class() {
  local props class
  props=$(xprop -id "$1" WM_CLASS _NET_WM_ICON | cut -c1-100 | head -n 3)
  echo "xprop of $2: $props"
  class=$(sed -n 's/^StartupWMClass=//p' "$SHARE/applications/org.kalvo.Kalvo.desktop")
  grep -qE "^WM_CLASS\(STRING\) = \"[^\"]*\", \"$class\"$" <<<"$props" \
    || { echo "FAIL: the class of $2 is not $class"; exit 1; }
  grep -q '^_NET_WM_ICON(CARDINAL) = ' <<<"$props" || { echo "FAIL: $2 has no icon"; exit 1; }
}

launch
for f in P0 P1 P2 P3 P4 P5 P6 P7 P8 P9 help.htm; do same_as_package $f; done
has_icon_and_class "$WID" "the main window"
check_loaded "$(head -n 1 "$SHARE/kalvo/P0" | tr -d '\r')"

xdotool key --delay 50 alt+h Return # "Help File"
await_error_box
has_icon_and_class "$BOX" "the error box"
import -window "$BOX" "$ARTIFACTS/kalvo-help-error.png"
message=$(error_box_text)
echo "error box: $message"
# The reason is xdg-open's own: "no method available" where nothing else on
# the machine takes web pages.
case $message in
  "Cannot open $FOLDER/help.htm in a browser: xdg-open: "?*) ;;
  *) echo "FAIL: the error box does not say that no browser could open the help page"; exit 1 ;;
esac
xdotool key Return
check_loaded "$(sed -n 2p "$SHARE/kalvo/P0" | tr -d '\r')"
advanced_item 0             # SaveEnvironment
wait_until 10 "the settings were saved in $FOLDER" test -s "$FOLDER/Kalvoinit.txt"
import -window "$WID" "$ARTIFACTS/kalvo-package.png"
stop

printf 'CQ CQ DE KALVO\r\n' >"$FOLDER/P0"
rm "$FOLDER/P5"
echo '<html>the help of an older version</html>' >"$FOLDER/help.htm"
launch
[ "$(cat "$FOLDER/P0")" = "$(printf 'CQ CQ DE KALVO\r')" ] || { echo "FAIL: the second start replaced the changed P0"; exit 1; }
same_as_package P5
same_as_package help.htm
check_loaded "CQ CQ DE KALVO"
echo "PASS"
