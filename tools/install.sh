#!/usr/bin/env bash
# Installs what is missing, builds Kalvo, makes its Debian package
# (build/kalvo_<version>_<arch>.deb) and installs that with apt-get, which also
# brings in the libraries the package depends on. apt-get runs as root: as is,
# through sudo, or through su; how is decided before the build starts.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/as-root.sh
KALVO_ROOT_METHOD=$(root_method)
export KALVO_ROOT_METHOD
case $KALVO_ROOT_METHOD in
  sudo)
    # Asked now, not after the build: a user sudo refuses learns it at once.
    sudo -v || {
      echo "sudo refused; install Kalvo as root instead: su -c 'bash $PWD/tools/install.sh'" >&2
      exit 1
    }
    ;;
  su) echo "Installing needs root: su asks for the root password." ;;
  none)
    echo "Installing needs root, and neither sudo nor su is installed. As root, run: bash $PWD/tools/install.sh" >&2
    exit 1
    ;;
esac
bash tools/deps.sh --package
bash tools/build.sh --no-tests
rm -f build/kalvo_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/kalvo_*.deb)
echo "Installing $deb"
if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >build/apt-install.log 2>&1; then
  cat build/apt-install.log >&2
  exit 1
fi
echo "Kalvo is installed: start it from the applications menu (Education, Kalvo) or with kalvo-launcher."
