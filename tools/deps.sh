#!/usr/bin/env bash
# Installs the Debian packages Kalvo needs, but only those that are missing.
# Runs apt-get as root, through sudo, or through su (tools/as-root.sh).
#
#   tools/deps.sh            building and running the program
#   tools/deps.sh --package  that, and making its Debian package
#   tools/deps.sh --test     all of that, and running the tests
set -euo pipefail

build=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins
  portaudio19-dev libasound2-dev libasound2-plugins libpulse-dev
  # sound files: the encoders behind one library
  libsndfile1-dev
  # spoken answers: a voice rendered into samples, resampled to the sound's rate
  libespeak-ng-dev espeak-ng-data libsamplerate0-dev
  fonts-liberation xdg-utils
)
package=(dpkg-dev)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool xclip x11-apps imagemagick
  # the window's icon and class, read by the package test
  x11-utils
  pulseaudio pulseaudio-utils sox
  # the sound-file test: a Morse decoder, and decoders of MP3 and Opus to PCM
  multimon-ng libsox-fmt-mp3 opus-tools
  lintian desktop-file-utils appstream
  # a German locale, under which the number conversions are checked
  locales
  # the accessibility bus test: a private D-Bus session, the AT-SPI registry, pyatspi
  dbus-daemon dbus-bin at-spi2-core python3-pyatspi
  # the screen reader test: Orca, speaking through speech-dispatcher
  orca speech-dispatcher
)

packages=("${build[@]}")
case "${1:-}" in
  "") ;;
  --package) packages+=("${package[@]}") ;;
  --test) packages+=("${package[@]}" "${test[@]}") ;;
  *) echo "usage: tools/deps.sh [--package | --test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

source "$(dirname "$0")/as-root.sh"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # sudo resets the environment, so the variable goes in through env.
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Tests: the German locale itself (generated once; the locale data ships with
# the "locales" package).
if [ "${1:-}" = --test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
