#!/usr/bin/env bash
# Installs what is missing, builds Kalvo, makes its Debian package
# (build/kalvo_<version>_<arch>.deb) and installs that with apt-get, which also
# brings in the libraries the package depends on. Runs apt-get as root, or
# through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh --package
bash tools/build.sh --no-tests
rm -f build/kalvo_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/kalvo_*.deb)
echo "Installing $deb"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb"
