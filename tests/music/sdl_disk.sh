# intro through libmikmod's SDL driver with SDL's disk output and no PulseAudio: the
# file must get the music, in real time, and the short module must restart.
# Usage: sdl_disk.sh INTRO SHORT_XM LONG_XM
source "$(dirname "$0")/lib.sh"
setup "$@"
need sox strace awk
run_seconds=8
cp "$short_xm" "$rundir/vantro.xm"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/sound.raw
run_intro "$run_seconds" '4\n1\n' openat
check_sigint_death "SDL disk"
# SDL may announce itself; none of the player's failure lines may appear.
if grep -q -E '^(Could not initialize sound|Reason: |Could not load module)' "$work/err"; then
  fail "SDL disk: failure lines on stderr: $(head -c 300 "$work/err")"
fi
[ -s "$work/sound.raw" ] || { fail "SDL disk: $SDL_DISKAUDIOFILE is empty or missing"; exit 1; }
check_not_silent "$work/sound.raw" "SDL disk file"
# SDL writes the mix as it would play it: about as many seconds as intro ran.
raw_stats "$work/sound.raw"
if awk -v l="$length_s" -v t="$run_seconds" 'BEGIN { exit !(l > t - 1.5 && l < t + 1.5) }'; then
  pass "SDL disk: ${length_s}s of sound in a run of ${run_seconds}s"
else
  fail "SDL disk: ${length_s}s of sound in a run of ${run_seconds}s"
fi
module_opens > "$work/opens"
reloads=$(($(grep -c ' [0-9]*$' "$work/opens") - 1))
note "SDL disk: opens of vantro.xm at (s): $(awk '{printf "%s ", $1}' "$work/opens")"
# SDL mixes on its own thread, so a cycle is the module's 1.92 s plus at most one
# slice and one frame (0.1 s each at 10 fps) until the end is noticed and the new
# module starts; within 5 %: [1.824, 2.216] s. The first load is at start.
read -r reloads_min reloads_max < <(awk -v t="$run_seconds" \
  'BEGIN { printf "%d %d\n", int((t - 0.5) / 2.216), int(t / 1.824) }')
note "SDL disk: $reloads reloads, expected $reloads_min to $reloads_max"
if [ "$reloads" -ge "$reloads_min" ] && [ "$reloads" -le "$reloads_max" ]; then
  pass "SDL disk: the module is played and restarted ($reloads reloads)"
else
  fail "SDL disk: $reloads reloads, not $reloads_min to $reloads_max"
fi
exit $failed
