#!/usr/bin/env bash
# The archive that test_reportext left in the given folder, as the system's
# unzip sees it: it tests clean and lists exactly the expected files
# ("size name" lines of expected.txt) with their sizes.
set -euo pipefail
folder=$1
unzip -tq "$folder/checked.zip"
unzip -l "$folder/checked.zip" | awk '$2 ~ /-/ && $3 ~ /:/ { print $1 " " $4 }' | sort >"$folder/listed.txt"
sort "$folder/expected.txt" | diff -u - "$folder/listed.txt"
