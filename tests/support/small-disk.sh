#!/usr/bin/env bash
# A small disk of its own for the tests of a full disk: a tmpfs mounted at
# C:\small-disk of the test prefix ("mount"), and gone again ("umount").
# Mounting needs root; where it cannot be done the folder stays an ordinary
# one, and the tests that need the disk skip, saying why.
set -uo pipefail
folder="$WINEPREFIX/drive_c/small-disk"
umount "$folder" 2>/dev/null
rm -rf "$folder"
[ "$1" = mount ] || exit 0
mkdir -p "$folder"
mount -t tmpfs -o size=8m,mode=0777 korvell-small-disk "$folder" 2>/dev/null ||
  echo "small-disk: no tmpfs could be mounted here (it needs root); the tests of a full disk skip"
exit 0
