# intro under PulseAudio whose dialogue input ends early: it shuts the music down
# (its connection to the server is closed before the process exits), reports the
# end of input and exits with status 1.
# Usage: dialogue_eof.sh INTRO SHORT_XM LONG_XM
source "$(dirname "$0")/lib.sh"
setup "$@"
need strace awk
start_pulse
cp "$long_xm" "$rundir/vantro.xm"
run_intro 1 '4\n' connect,close,exit_group
if [ "$killed" = 1 ] || [ "$status" != 1 ]; then
  fail "end of input: status $status (killed $killed), not 1"
else
  pass "end of input: exit status 1"
fi
expected="intro: standard input ended before the dialogue was answered"
if [ "$(cat "$work/err")" = "$expected" ]; then
  pass "end of input: stderr is exactly \"$expected\""
else
  fail "end of input: stderr is \"$(head -c 300 "$work/err")\""
fi
# libmikmod's PulseAudio driver connects twice (a presence check, then the stream);
# the stream's socket is closed only by MikMod_Exit. An exit without music_stop
# leaves it to the kernel.
verdict=$(awk -v m="$target" '
  $1 != m { next }
  /connect\([0-9]+, \{sa_family=AF_UNIX, sun_path=".*\/pulse\/native"\}.* = 0$/ {
    match($0, /connect\([0-9]+/); fd = substr($0, RSTART + 8, RLENGTH - 8); closed = 0; connects++; next }
  /close\(/ && fd != "" && index($0, "close(" fd ")") { closed = 1; next }
  /exit_group\(/ { exited = 1; print (connects ? (closed ? "closed" : "open") : "no connection"); exit }
  END { if (!exited) print "no exit_group" }' "$work/trace")
if [ "$verdict" = closed ]; then
  pass "end of input: the music was shut down before the exit (server connection closed)"
else
  fail "end of input: music_stop did not run before the exit ($verdict)"
fi
exit $failed
