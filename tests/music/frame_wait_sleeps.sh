# frame_wait's slicing, seen in intro's sleeps (failed initialisation: no sound threads,
# no module, only frame_wait sleeps): 3 fps gives four sleeps of 100000 us per frame,
# 25 fps one of 40000 us, a frame period of 0 none at all.
# Usage: frame_wait_sleeps.sh INTRO SHORT_XM LONG_XM
source "$(dirname "$0")/lib.sh"
setup "$@"
need strace awk
cp "$long_xm" "$rundir/vantro.xm"

# The sleeps between consecutive frames of intro's main thread, as "count x duration"
# per gap, one line each, the gaps before the first and after the last frame dropped.
# A frame is one write of a whole 40 x 24 frame (960 bytes); the dialogue's text is not.
sleeps_per_frame() {
  awk -v m="$target" '
    $1 != m { next }
    /write\(1,.* = 960$/ { if (seen) print (n ? n " x " d : "none"); seen = 1; n = 0; d = ""; next }
    /nanosleep\(/ {
      match($0, /tv_sec=[0-9]+, tv_nsec=[0-9]+/)
      split(substr($0, RSTART, RLENGTH), f, /[=,]/)
      ns = f[2] * 1000000000 + f[4]
      d = (d == "" || d == ns) ? ns : "mixed"
      n++
    }' "$work/trace"
}

check_rate() {
  local name=$1 answers=$2 expected=$3
  run_intro 2 "$answers" clock_nanosleep,nanosleep,write
  check_sigint_death "$name"
  sleeps_per_frame > "$work/gaps"
  local gaps other
  gaps=$(wc -l < "$work/gaps")
  other=$(grep -v -x -F "$expected" "$work/gaps" | sort | uniq -c | tr '\n' ';')
  note "$name: $gaps gaps between frames; $(sort "$work/gaps" | uniq -c | tr '\n' ';')"
  if [ "$gaps" -ge 3 ] && [ -z "$other" ]; then
    pass "$name: every frame waits $expected ns"
  else
    fail "$name: not every frame waits $expected ns (others: ${other:-none}, gaps: $gaps)"
  fi
}

check_rate "3 fps" '4\n5\n3\n' "4 x 100000000"
check_rate "25 fps" '4\n3\n' "1 x 40000000"

# Above 1000000 fps the period is 0: no sleep at all, and the frames race.
run_intro 1 '4\n5\n2000000\n' clock_nanosleep,nanosleep
check_sigint_death "period 0"
sleeps=$(awk -v m="$target" '$1 == m && /nanosleep\(/' "$work/trace" | wc -l)
frames=$(frames_of 40 24)
note "period 0: $sleeps sleeps, $frames frames in 1 s"
[ "$sleeps" = 0 ] && pass "period 0: no sleep" || fail "period 0: $sleeps sleeps"
[ "$frames" -ge 200 ] && pass "period 0: the frames run unpaced" || fail "period 0: only $frames frames in 1 s"
exit $failed
