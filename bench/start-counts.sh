# Sourced by scripts/bench, inside its Wine session with the wizard installed
# on a master in C:\Korvell and the least program beside it: what the wizard
# and the least program do from their start until their first window is
# shown, and until it is first painted, in counts that do not depend on the
# processor's speed (they hold where the processor is emulated too).
#   start_counts RUNS
# Each program runs RUNS times, in turn, under strace, with Wine telling each
# library that it loads and each window that the display driver maps. Shown:
# the first window mapped. Painted: the theme's first drawing after it (the
# theme loads its drawing library, msimg32, for the button). Prints the
# median of each count, and the libraries that only one of them loads before
# its window is shown. With KORVELL_COUNTS_TRACES=FOLDER the traces are left
# there.

counts_dir=

# The line of a trace where its window was shown, or painted; empty while it
# was not.
counts_shown() { grep -s -n -m1 -a 'map_window win' "$1" | cut -d: -f1; }
counts_painted() {
  local shown
  shown=$(counts_shown "$1")
  [ -n "$shown" ] && tail -n "+$shown" "$1" | grep -n -m1 -a 'loaddll:.*msimg32.dll' | awk -F: -v s="$shown" '{print $1 + s - 1}'
}

# One traced run of a program of C:\Korvell, ended once its window is
# painted: its trace up to then in FILE, and the line where the window was
# shown in FILE.shown.
counts_trace() {
  local program=$1 file=$2 whole=$2.whole shown= painted= pid
  WINEDEBUG=+loaddll,+x11drv strace -f -qq -y -s 256 -o "$whole" \
    wine "C:\\Korvell\\$program" >"$counts_dir/stdout" 2>"$counts_dir/stderr" &
  # Ended by a signal below, which strace passes on to itself: no job to report.
  local tracer=$!
  disown "$tracer"
  for _ in $(seq 1200); do
    painted=$(counts_painted "$whole")
    [ -n "$painted" ] && break
    sleep 0.1
  done
  # What this run's strace traces is the program and what it started (the
  # wizard's Explorer): it ends with the run, and strace with it.
  while kill -0 "$tracer" 2>/dev/null; do
    for pid in $(awk '{print $1}' "$whole" | sort -u); do
      if grep -qs "^TracerPid:[[:space:]]*$tracer\$" "/proc/$pid/status"; then kill -KILL "$pid" 2>/dev/null || true; fi
    done
    sleep 0.2
  done
  if [ -z "$painted" ]; then
    echo "bench: $program showed no window" >&2
    return 1
  fi
  head -n "$painted" "$whole" >"$file"
  counts_shown "$file" >"$file.shown"
  rm -f "$whole"
}

# What a trace counts up to a line: libraries loaded (the program's own file
# left out), system calls (Wine's own messages to its error output left
# out), bytes read from files and bytes of files mapped. A call that another
# thread interrupts shows in two lines, and counts once.
counts_of() {
  head -n "$2" "$1" | awk '
    /write\(2</ { if ($0 ~ /:trace:loaddll:/) libraries++; next }
    /^[0-9]+ +<\.\.\. (read|pread64) resumed>/ {
      if (pending[$1] && $NF ~ /^[0-9]+$/) read += $NF
      pending[$1] = 0
      next
    }
    /resumed>|^[0-9]+ +(\+\+\+|---)/ { next }
    { calls++ }
    /^[0-9]+ +(read|pread64)\([0-9]+<\/.*<unfinished/ { pending[$1] = 1; next }
    /^[0-9]+ +(read|pread64)\([0-9]+<\// && $NF ~ /^[0-9]+$/ { read += $NF }
    /^[0-9]+ +mmap\(.*, [0-9]+<\// { split($0, a, ", "); mapped += a[2] }
    END { printf "%d %d %d %d\n", libraries - 1, calls, read, mapped }
  '
}

# The libraries that a trace names up to a line, one a line, in lower case.
counts_libraries() {
  head -n "$2" "$1" | grep -a ':trace:loaddll:' | sed 's/.*Loaded L\\"//; s/\\".*//; s/.*\\\\//' |
    tr 'A-Z' 'a-z' | grep -v '\.exe$' | sort -u
}

# The median of column C of a file of counts.
counts_median() { awk -v c="$2" '{print $c}' "$1" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

start_counts() {
  local runs=${1:-3} program run file what column
  counts_dir=$(mktemp -d)
  # A window of another program stays open throughout: the session's desktop
  # then lives on, and no traced run starts it.
  WINEDEBUG=+x11drv wine 'C:\Korvell\one_window.exe' >/dev/null 2>"$counts_dir/holder" &
  local holder=$!
  for _ in $(seq 600); do [ -n "$(counts_shown "$counts_dir/holder")" ] && break; sleep 0.1; done
  for run in $(seq "$runs"); do
    for program in one_window Tamsel32; do
      file=$counts_dir/$program.$run
      counts_trace "$program.exe" "$file" || { kill "$holder"; return 1; }
      counts_of "$file" "$(cat "$file.shown")" >>"$counts_dir/$program.shown"
      counts_of "$file" "$(wc -l <"$file")" >>"$counts_dir/$program.painted"
    done
  done
  kill "$holder" 2>/dev/null || true

  echo "start to the first window, in counts that do not depend on the processor (medians of $runs runs):"
  printf '  %-24s %16s %16s %16s %16s\n' "" "shown: least" "wizard" "painted: least" "wizard"
  column=1
  for what in "libraries loaded" "system calls" "bytes read from files" "bytes of files mapped"; do
    printf '  %-24s %16s %16s %16s %16s\n' "$what" \
      "$(counts_median "$counts_dir/one_window.shown" $column)" "$(counts_median "$counts_dir/Tamsel32.shown" $column)" \
      "$(counts_median "$counts_dir/one_window.painted" $column)" "$(counts_median "$counts_dir/Tamsel32.painted" $column)"
    column=$((column + 1))
  done
  printf '  %-24s %16s %16s\n' "program file (bytes)" \
    "$(stat -c %s "$WINEPREFIX/drive_c/Korvell/one_window.exe")" "$(stat -c %s "$WINEPREFIX/drive_c/Korvell/Tamsel32.exe")"
  for program in one_window Tamsel32; do
    counts_libraries "$counts_dir/$program.1" "$(cat "$counts_dir/$program.1.shown")" >"$counts_dir/$program.libraries"
  done
  echo "  loaded before the window is shown by the wizard alone:" \
    "$(comm -13 "$counts_dir/one_window.libraries" "$counts_dir/Tamsel32.libraries" | paste -sd' ')"
  echo "  by the least program alone:" \
    "$(comm -23 "$counts_dir/one_window.libraries" "$counts_dir/Tamsel32.libraries" | paste -sd' ')"
  if [ -n "${KORVELL_COUNTS_TRACES:-}" ]; then
    mkdir -p "$KORVELL_COUNTS_TRACES" && mv "$counts_dir"/* "$KORVELL_COUNTS_TRACES/"
  fi
  rm -rf "$counts_dir"
}
