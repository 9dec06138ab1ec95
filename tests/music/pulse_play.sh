# intro under a real PulseAudio server at one frame rate: the null sink's monitor must
# carry sound, the short module must restart at its true speed, and the frames must
# not be held up by the feeding.
# Usage: pulse_play.sh INTRO SHORT_XM LONG_XM FPS
source "$(dirname "$0")/lib.sh"
setup "$1" "$2" "$3"
fps=$4
need sox strace awk
case $fps in
  10) answers='4\n1\n' ;;
  25) answers='4\n3\n' ;;
  50) answers='4\n4\n' ;;
  *) echo "FAIL: no preset for $fps fps"; exit 1 ;;
esac
run_seconds=12
start_pulse
cp "$short_xm" "$rundir/vantro.xm"
start_record "$work/sound.raw" || exit 1
run_intro "$run_seconds" "$answers" openat,write
stop_record
check_sigint_death "$fps fps"
[ -s "$work/err" ] && fail "$fps fps: unexpected lines on stderr: $(head -c 300 "$work/err")"
check_not_silent "$work/sound.raw" "$fps fps recording"

# The module's true length, from its rows: the composer's short module plays 1.92 s.
module_s=1.92
period_s=$(awk -v f="$fps" 'BEGIN { printf "%.6f", 1 / f }')
slice_s=$(awk -v p="$period_s" 'BEGIN { printf "%.6f", (p < 0.1 ? p : 0.1) }')

module_opens > "$work/opens"
reloads=$(($(grep -c ' [0-9]*$' "$work/opens") - 1))
note "$fps fps: opens of vantro.xm at (s): $(awk '{printf "%s ", $1}' "$work/opens")"
# One cycle is the module's length, then at most one slice until the end is noticed
# and one frame's work plus one slice until the new module is first fed. Within 5 %
# of the true length, a cycle lies in [0.95 L, 1.05 L + slice + frame period].
read -r cycle_min cycle_max < <(awk -v l="$module_s" -v s="$slice_s" -v p="$period_s" \
  'BEGIN { printf "%.4f %.4f\n", 0.95 * l, 1.05 * l + s + p }')
# The first load happens at start; the library and the server may hold the first
# cycle back (PulseAudio's stream start takes over a second here): 2 s are allowed.
startup_s=2
read -r reloads_min reloads_max < <(awk -v t="$run_seconds" -v a="$cycle_min" -v b="$cycle_max" \
  -v u="$startup_s" 'BEGIN { printf "%d %d\n", int((t - u) / b), int(t / a) }')
note "$fps fps: $reloads reloads in ${run_seconds}s, expected $reloads_min to $reloads_max (cycle ${cycle_min}-${cycle_max}s)"
if [ "$reloads" -ge "$reloads_min" ] && [ "$reloads" -le "$reloads_max" ]; then
  pass "$fps fps: the module restarts at its true speed ($reloads reloads)"
else
  fail "$fps fps: $reloads reloads, not $reloads_min to $reloads_max: the module does not play at its true speed"
fi
# Between reloads (the first cycle aside) every cycle must lie in the same bounds.
intervals=$(awk 'NR > 2 { printf "%.3f ", $1 - last } { last = $1 }' "$work/opens")
note "$fps fps: cycles after the first (s): $intervals"
if [ -n "$intervals" ]; then
  bad=$(tr ' ' '\n' <<< "$intervals" | awk -v a="$cycle_min" -v b="$cycle_max" 'NF && ($1 < a || $1 > b)' | tr '\n' ' ')
  if [ -z "$bad" ]; then
    pass "$fps fps: every cycle within ${cycle_min}-${cycle_max}s"
  else
    fail "$fps fps: cycles out of ${cycle_min}-${cycle_max}s: $bad"
  fi
fi

# The frame loop: the gaps between frame writes. PulseAudio takes no data for over a
# second once its stream has begun; that one wait may show near the start. Any other
# gap must stay below one frame period plus 300 ms.
main=$(awk '/write\(1,/ { print $1; exit }' "$work/trace")
awk -v m="$main" '$1 == m && /write\(1,/ { print $2 }' "$work/trace" > "$work/frame_times"
frames=$(wc -l < "$work/frame_times")
limit=$(awk -v p="$period_s" 'BEGIN { print p + 0.3 }')
awk -v lim="$limit" 'NR > 1 && $1 - last > lim { printf "%.3f ", $1 - last } { last = $1 }' \
  "$work/frame_times" > "$work/stalls"
stalls=$(wc -w < "$work/stalls")
note "$fps fps: $frames frame writes; gaps above ${limit}s: $(cat "$work/stalls")"
if [ "$stalls" -le 1 ]; then
  pass "$fps fps: the feeding does not hold the frames up (long gaps: $stalls)"
else
  fail "$fps fps: the frames stalled $stalls times for more than ${limit}s"
fi
# And the frames came at about the chosen rate (the one start-up wait aside).
expected=$(awk -v t="$run_seconds" -v f="$fps" 'BEGIN { printf "%d", (t - 2) * f * 0.8 }')
if [ "$frames" -ge "$expected" ]; then
  pass "$fps fps: $frames frames in ${run_seconds}s"
else
  fail "$fps fps: only $frames frames in ${run_seconds}s (at least $expected expected)"
fi
exit $failed
