# No sound output at all (no PulseAudio server, no SDL settings, no sound card): intro
# reports the failed initialisation above the banner and runs its frames in silence.
# Usage: failed_init.sh INTRO SHORT_XM LONG_XM
source "$(dirname "$0")/lib.sh"
setup "$@"
# A server reachable from here would make this test meaningless.
if command -v pactl > /dev/null && timeout 2 pactl info > /dev/null 2>&1; then
  echo "FAIL: a PulseAudio server answers in the test's environment"; exit 1
fi
[ -n "$(ls /dev/snd/pcm* 2>/dev/null)" ] && skip "this machine has a sound card; initialisation would not fail"
cp "$long_xm" "$rundir/vantro.xm"
merge_stderr=1
run_intro 3 '4\n1\n'
check_sigint_death "failed init"
lines=$work/lines
tr -d '\r' < "$work/out" | head -c 200000 | awk '{ print NR ": " $0 }' > "$lines"
init_at=$(grep -m1 -n -a '^[0-9]*: Could not initialize sound$' "$lines" | cut -d: -f1)
banner_at=$(grep -m1 -n -a 'QUOX3185 Tarvel Lines\.' "$lines" | cut -d: -f1)
if [ -z "$init_at" ]; then
  fail "failed init: no line \"Could not initialize sound\": $(head -c 400 "$work/out" | cat -v)"
else
  reason_line=$(sed -n "$((init_at + 1))p" "$lines" | sed 's/^[0-9]*: //')
  note "failed init: $(sed -n "${init_at}p" "$lines" | sed 's/^[0-9]*: //') / $reason_line"
  if [[ $reason_line =~ ^Reason:\ [^[:space:]].*$ ]]; then
    pass "failed init: \"Reason: <library text>\" follows directly"
  else
    fail "failed init: the line after it is not \"Reason: <text>\": $reason_line"
  fi
  if [ -n "$banner_at" ] && [ "$init_at" -lt "$banner_at" ]; then
    pass "failed init: both lines stand above the banner"
  else
    fail "failed init: the lines are not above the banner (line $init_at, banner at ${banner_at:-none})"
  fi
  if [ "$(grep -a -c -E '^[0-9]+: (Could not initialize sound|Reason: )' "$lines")" = 2 ]; then
    pass "failed init: reported once"
  else
    fail "failed init: reported more than once"
  fi
fi
if grep -a -q 'Could not load module' "$lines"; then
  fail "failed init: a load was attempted and reported after the failed initialisation"
fi
frames=$(frames_of 40 24)
# 3 s at 10 fps: about 30 frames; less than half of that means the loop is held up.
if [ "$frames" -ge 15 ]; then
  pass "failed init: $frames frames in 3 s"
else
  fail "failed init: only $frames frames in 3 s"
fi
exit $failed
