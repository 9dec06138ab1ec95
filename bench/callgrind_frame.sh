#!/usr/bin/env bash
# Instructions per frame of intro_silent, counted by callgrind at a given size with no
# pause between frames. Two figures: the loop's four calls (clear, draw, print, advance)
# divided by the frames printed, and the growth of the whole run's total from N to 2N
# frames divided by the frames added. The frame counts are the calls of screen_print,
# so the frames the program runs ahead of the reader do not skew either figure.
# Usage: bench/callgrind_frame.sh PATH/TO/intro_silent [WIDTH HEIGHT [N]]
set -euo pipefail
program=${1:?usage: $0 PATH/TO/intro_silent [WIDTH HEIGHT [N]]}
width=${2:-80}
height=${3:-25}
frames=${4:-100}
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Prints: frames, instructions in the loop's four calls, total instructions.
measure() {
  local n=$1 out=$dir/callgrind.$1
  # The reader leaves after n frames (the dialogue is under 2 KiB); SIGPIPE then ends the
  # program, and callgrind still writes its counts.
  printf '5\n%s\n%s\n5\n2000000\n' "$width" "$height" |
    valgrind --tool=callgrind --compress-strings=no --compress-pos=no \
      --callgrind-out-file="$out" "$program" 2>/dev/null |
    head -c $((2048 + n * width * height)) >/dev/null || true
  awk '
    /^fn=/ { in_main = ($0 == "fn=intro_main()") }
    /^cfn=/ { callee = substr($0, 5) }
    /^calls=/ { split(substr($0, 7), c, " "); pending = c[1]; next }
    pending != "" {
      if (in_main && callee ~ /^(screen_clear|scene_draw|screen_print|scene_advance)\(/) {
        loop += $2
        if (callee ~ /^screen_print\(/) printed += pending
      }
      pending = ""
    }
    /^totals:/ { total = $2 }
    END { print printed, loop, total }
  ' "$out"
}

read -r f1 loop1 total1 < <(measure "$frames")
read -r f2 loop2 total2 < <(measure $((2 * frames)))
echo "intro_silent at ${width} x ${height}, frames printed: $f1 and $f2"
echo "loop calls per frame: $((loop1 / f1)) and $((loop2 / f2)) instructions"
echo "total growth per added frame: $(((total2 - total1) / (f2 - f1))) instructions"
