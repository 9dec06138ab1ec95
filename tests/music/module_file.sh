# The module file's failures, with SDL's disk output so that initialisation succeeds:
#   missing  no vantro.xm: the library's reason on stderr, frames in silence;
#   random   random bytes as vantro.xm: the library's reason, no crash;
#   removed  vantro.xm removed while it plays: the restart fails without a word and
#            the frames go on.
# Usage: module_file.sh INTRO SHORT_XM LONG_XM CASE
source "$(dirname "$0")/lib.sh"
setup "$1" "$2" "$3"
case_name=$4
need sox awk strace
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/sound.raw

# sox's stats (rms, peak) of the sound file between two times, in seconds.
range_stats() {
  local from=$(($1 * 176400)) to=$(($2 * 176400))
  tail -c +$((from + 1)) "$work/sound.raw" | head -c $((to - from)) > "$work/range.raw"
  [ -s "$work/range.raw" ] && raw_stats "$work/range.raw"
}

check_load_failure() {
  local reason=$1
  local expected="Could not load module, reason: $reason"
  if [ "$(grep -c -x -F "$expected" "$work/err")" = 1 ]; then
    pass "$case_name: stderr has \"$expected\""
  else
    fail "$case_name: stderr lacks \"$expected\": $(head -c 300 "$work/err")"
  fi
  if grep -q -E '^(Could not initialize sound|Reason: )' "$work/err"; then
    fail "$case_name: initialisation was reported as failed"
  fi
}

case $case_name in
  missing)
    run_intro 3 '4\n1\n' openat
    check_sigint_death "$case_name"
    check_load_failure "Could not open requested file"
    opens=$(grep -c 'openat(.*"vantro\.xm"' "$work/trace")
    [ "$opens" = 1 ] && pass "$case_name: one attempt to open vantro.xm" \
      || fail "$case_name: $opens attempts to open vantro.xm, not 1 (no retry without a module)"
    # SDL keeps writing its stream; with no module it carries nothing.
    if range_stats 0 3 && [ "$peak" = 0.000000 ]; then
      pass "$case_name: the frames ran in silence (peak $peak)"
    else
      fail "$case_name: sound without a module (peak ${peak:-no data})"
    fi
    ;;
  random)
    head -c 3000 /dev/urandom > "$rundir/vantro.xm"
    run_intro 3 '4\n1\n'
    check_sigint_death "$case_name"
    check_load_failure "Module format not recognized"
    ;;
  removed)
    cp "$short_xm" "$rundir/vantro.xm"
    during_run() {
      sleep 1
      stderr_before=$(stat -c %s "$work/err")
      rm -f "$rundir/vantro.xm"
      # The module (1.92 s) ends and its reload fails by about 2.2 s.
      sleep 1.7
      frames_before=$(frames_of 40 24)
      sleep 2.6
    }
    run_intro 5.3 '4\n1\n' openat
    check_sigint_death "$case_name"
    if [ "$(stat -c %s "$work/err")" = "$stderr_before" ]; then
      pass "$case_name: no new line on stderr after the removal"
    else
      fail "$case_name: stderr grew after the removal: $(tail -c +$((stderr_before + 1)) "$work/err" | head -c 300)"
    fi
    grep 'openat(.*"vantro\.xm"' "$work/trace" | sed 's/^[0-9]* [0-9.]* /  /' > "$work/opens"
    if [ "$(wc -l < "$work/opens")" = 2 ] && tail -n 1 "$work/opens" | grep -q ENOENT; then
      pass "$case_name: one reload was tried and failed, then no more"
    else
      fail "$case_name: opens of vantro.xm: $(cat "$work/opens")"
    fi
    # Sound while the module played, silence once its reload had failed.
    range_stats 0 1 && note "$case_name: first second: RMS $rms, max $peak"
    awk -v r="${rms:-0}" 'BEGIN { exit !(r > 0.01) }' && pass "$case_name: the module was heard first" \
      || fail "$case_name: no sound in the first second"
    if range_stats 3 5 && [ "$peak" = 0.000000 ]; then
      pass "$case_name: silence after the failed reload"
    else
      fail "$case_name: sound after the failed reload (peak ${peak:-no data})"
    fi
    frames_after=$(frames_of 40 24)
    note "$case_name: $frames_before frames at 2.7 s, $frames_after at the end (5.3 s)"
    if [ "$frames_after" -ge $((frames_before + 15)) ]; then
      pass "$case_name: the frames go on after the failed reload"
    else
      fail "$case_name: the frames stopped after the failed reload"
    fi
    ;;
  *) echo "FAIL: unknown case $case_name"; exit 1 ;;
esac
exit $failed
