#!/usr/bin/env bash
# How tools/as-root.sh becomes root, for each user and each set of installed
# commands, with stand-ins for id, sudo and su on an otherwise empty PATH; and
# that su gets back every word of a command, blanks and quotes included.
#
#   as_root_test.sh TOOLS_DIR
set -u
source "$1/as-root.sh"
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
failed=0

# uid, commands installed, method expected
while read -r uid commands expected; do
  rm -f "$bin"/*
  printf '#!/bin/sh\necho %s\n' "$uid" >"$bin/id"
  for c in ${commands//,/ }; do
    [ "$c" = - ] || printf '#!/bin/sh\n' >"$bin/$c"
  done
  chmod +x "$bin"/*
  got=$(PATH=$bin root_method)
  [ "$got" = "$expected" ] || { echo "FAIL: uid $uid with $commands: $got, expected $expected"; failed=1; }
done <<'CASES'
0    sudo,su root
0    -       root
1000 sudo,su sudo
1000 sudo    sudo
1000 su      su
1000 -       none
CASES

# su as a stand-in: runs its -c command line through a shell, one word a line.
printf '#!/bin/bash\n[ "$1" = root ] && [ "$2" = -c ] && eval "printf %%s\\\\\\\\n $3"\n' >"$bin/su"
chmod +x "$bin/su"
words=$(PATH=$bin:$PATH KALVO_ROOT_METHOD=su as_root apt-get install "./a b.deb" "it's" '$HOME')
expected=$(printf '%s\n' apt-get install "./a b.deb" "it's" '$HOME')
[ "$words" = "$expected" ] || { echo "FAIL: su got the words"; echo "$words"; failed=1; }

out=$(KALVO_ROOT_METHOD=none as_root true 2>&1) && { echo "FAIL: no way to root succeeded"; failed=1; }
case $out in *"run this as root: true"*) ;; *) echo "FAIL: no way to root says: $out"; failed=1 ;; esac

[ $failed -eq 0 ] && echo PASS
exit $failed
