# Shared helpers of the music tests: a private PulseAudio server, runs of intro with a
# deadline, and the checks on what they leave behind. Sourced by the test scripts.
# Every test script calls: source lib.sh; setup "$@" (intro binary, short module, long module).

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; failed=1; }
pass() { echo "ok: $*"; }
note() { echo "  $*"; }

failed=0
pulse_pid=
declare -a owned_pids=()

cleanup() {
  local pid
  for pid in "${owned_pids[@]}"; do
    kill -KILL "$pid" 2>/dev/null
  done
  stop_pulse
  [ -n "${work:-}" ] && rm -rf "$work"
}

setup() {
  intro=$1
  short_xm=$2
  long_xm=$3
  [ -x "$intro" ] || { echo "FAIL: no intro binary at $intro"; exit 1; }
  [ -f "$short_xm" ] || { echo "FAIL: no short module at $short_xm"; exit 1; }
  [ -f "$long_xm" ] || { echo "FAIL: no module at $long_xm"; exit 1; }
  work=$(mktemp -d)
  trap cleanup EXIT
  trap 'exit 1' INT TERM
  # Nothing of the caller's sound setup may leak in: no server address, no SDL choice,
  # no per-user PulseAudio state, and no client that spawns a server of its own.
  unset PULSE_SERVER PULSE_SINK PULSE_COOKIE PULSE_RUNTIME_PATH SDL_AUDIODRIVER SDL_DISKAUDIOFILE
  unset AUDIODEV ALSA_CONFIG_PATH
  export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/home/.config
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  printf 'autospawn = no\n' > "$work/client.conf"
  export PULSE_CLIENTCONFIG=$work/client.conf
  # A directory per run, where intro finds its vantro.xm.
  rundir=$work/play
  mkdir -p "$rundir"
}

need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" > /dev/null || skip "$tool is not installed (tools/install-deps.sh test)"
  done
}

# strace must be able to trace here (containers may forbid ptrace).
need_strace() {
  need strace
  strace -o /dev/null true 2>/dev/null || skip "strace cannot trace in this environment"
}

# Starts a PulseAudio server of the test's own, with one null sink "intro_test" whose
# monitor the tests record from. Skips the test when the server cannot come up.
start_pulse() {
  need pulseaudio pactl parec
  local log=$work/pulse.log
  env --default-signal=INT pulseaudio --daemonize=no --system=no --disallow-exit \
    --exit-idle-time=-1 --use-pid-file=no -n --disable-shm=no \
    --load="module-native-protocol-unix" \
    --load="module-null-sink sink_name=intro_test rate=44100 channels=2" \
    --log-target=file:"$log" --log-time=1 ${PULSE_LOG_LEVEL:+--log-level=$PULSE_LOG_LEVEL} > /dev/null 2>&1 < /dev/null &
  pulse_pid=$!
  local i
  for i in $(seq 1 50); do
    if timeout 2 pactl list short sinks 2>/dev/null | grep -q intro_test; then
      return 0
    fi
    kill -0 "$pulse_pid" 2>/dev/null || break
    sleep 0.1
  done
  local reason
  reason=$(tail -n 3 "$log" 2>/dev/null | tr '\n' ' ')
  stop_pulse
  skip "the PulseAudio server could not be started: ${reason:-no log}"
}

stop_pulse() {
  [ -n "$pulse_pid" ] || return 0
  kill -TERM "$pulse_pid" 2>/dev/null
  local i
  for i in $(seq 1 30); do
    kill -0 "$pulse_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pulse_pid" 2>/dev/null
  wait "$pulse_pid" 2>/dev/null
  pulse_pid=
}

# Records the null sink's monitor, raw s16le stereo 44100 Hz, into $1 until stop_record.
start_record() {
  parec -d intro_test.monitor --raw --format=s16le --rate=44100 --channels=2 > "$1" 2>"$work/parec.err" &
  record_pid=$!
  owned_pids+=("$record_pid")
  sleep 0.3
  kill -0 "$record_pid" 2>/dev/null || { fail "parec did not start: $(cat "$work/parec.err")"; return 1; }
}

stop_record() {
  kill -TERM "$record_pid" 2>/dev/null
  wait "$record_pid" 2>/dev/null
  return 0
}

# sox's statistics of a raw s16le stereo 44100 Hz file: sets rms and peak (0..1).
raw_stats() {
  local stats
  stats=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n stat 2>&1)
  rms=$(awk '/^RMS +amplitude/ {print $3}' <<< "$stats")
  peak=$(awk '/^Maximum amplitude/ {print $3}' <<< "$stats")
  length_s=$(awk '/^Length \(seconds\)/ {print $3}' <<< "$stats")
  [ -n "$rms" ] && [ -n "$peak" ]
}

# Asserts that a recording holds sound: RMS and peak above what silence or dither give.
check_not_silent() {
  local file=$1 what=$2
  if ! raw_stats "$file"; then
    fail "$what: sox could not read $file"
    return
  fi
  note "$what: $(stat -c %s "$file") bytes, length ${length_s}s, RMS $rms, max $peak"
  if awk -v r="$rms" -v p="$peak" 'BEGIN { exit !(r > 0.01 && p > 0.05) }'; then
    pass "$what: the sound is not silence"
  else
    fail "$what: silence (RMS $rms, max $peak)"
  fi
}

# strace -f splits a call that another thread interrupts into "<unfinished ...>" and
# "<... NAME resumed>" lines; joins each pair back into one line, at the call's start,
# so that every reader of the trace sees whole calls.
join_split_calls() {
  awk '
    / *<unfinished \.\.\.>$/ { sub(/ *<unfinished \.\.\.>$/, ""); pending[$1] = $0; next }
    /<\.\.\. [a-z_0-9]+ resumed>/ && ($1 in pending) {
      rest = $0
      sub(/^.*<\.\.\. [a-z_0-9]+ resumed> ?/, "", rest)
      print pending[$1] rest
      delete pending[$1]
      next
    }
    { print }
    END { for (p in pending) print pending[p] }' "$1" > "$1.joined" && mv "$1.joined" "$1"
}

# run_intro SECONDS ANSWERS [trace-filter]: runs intro in $rundir with the dialogue's
# answers on stdin for SECONDS, then sends SIGINT; SIGKILL if it has not ended 3 s later.
# stdout goes to $work/out (its first 4 MB; the rest is read and dropped), stderr to
# $work/err (with merge_stderr=1 both go to $work/out). With a trace filter, intro runs under strace -f -ttt into $work/trace.
# Sets status (wait's value: 128 + signal number for a death by signal) and killed.
run_intro() {
  local seconds=$1 answers=$2 trace=${3:-}
  # The shell records its pid, which becomes intro's when it execs: the target of SIGINT.
  local -a cmd=(sh -c 'echo $$ > "$0"; exec "$@"' "$work/pid" env --default-signal=INT "$intro")
  if [ -n "$trace" ]; then
    need_strace
    # strace ends with its tracee's status and dies by the tracee's signal.
    cmd=(strace -f -qq -ttt -e "trace=$trace" -o "$work/trace" "${cmd[@]}")
  fi
  rm -f "$work/out" "$work/err" "$work/trace" "$work/frames" "$work/pid"
  printf '%b' "$answers" > "$work/answers"
  mkfifo "$work/frames"
  { head -c 4000000 > "$work/out"; cat > /dev/null; } < "$work/frames" &
  local reader=$!
  owned_pids+=("$reader")
  if [ "${merge_stderr:-0}" = 1 ]; then
    # One pipe for both streams, so their order is the order of the writes.
    (cd "$rundir" && exec "${cmd[@]}" < "$work/answers" > "$work/frames" 2>&1) &
  else
    (cd "$rundir" && exec "${cmd[@]}" < "$work/answers" > "$work/frames" 2> "$work/err") &
  fi
  local pid=$! i
  owned_pids+=("$pid")
  target=
  for i in $(seq 1 100); do
    target=$(cat "$work/pid" 2>/dev/null)
    [ -n "$target" ] && break
    sleep 0.02
  done
  # A test may act while intro runs: its during_run takes the place of the wait.
  if declare -F during_run > /dev/null; then
    during_run "$seconds"
  else
    sleep "$seconds"
  fi
  killed=0
  if [ -z "$target" ]; then
    fail "intro's pid was never recorded"
    kill -KILL "$pid" 2>/dev/null
  elif kill -0 "$target" 2>/dev/null; then
    kill -INT "$target"
    for i in $(seq 1 30); do
      kill -0 "$target" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$target" 2>/dev/null; then
      killed=1
      kill -KILL "$target" 2>/dev/null
    fi
  fi
  # strace (or the subshell) ends with intro; if it does not, it is killed too.
  for i in $(seq 1 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid"
  status=$?
  wait "$reader" 2>/dev/null
  [ -n "$trace" ] && [ -f "$work/trace" ] && join_split_calls "$work/trace"
  return 0
}

# intro must have been running until SIGINT and died of it, by the default action.
check_sigint_death() {
  local what=$1
  if [ "$killed" = 1 ]; then
    fail "$what: intro did not end on SIGINT within 3 s; killed"
  elif [ "$status" = 130 ]; then
    pass "$what: SIGINT ended intro (status 130)"
  else
    fail "$what: status $status after SIGINT, not 130 (death by SIGINT)"
  fi
}

# The frames printed: bytes of stdout after the dialogue's last prompt.
frame_bytes() {
  local total dialogue
  total=$(stat -c %s "$work/out")
  dialogue=$(grep -a -b -o '?' "$work/out" | tail -n 1 | cut -d: -f1)
  echo $((total - ${dialogue:-0} - 1))
}

# Frames in the stdout of a run: bytes after the dialogue over the size of one frame of
# W x H (a newline before each of the H rows, the last column not printed: W x H bytes).
frames_of() {
  local w=$1 h=$2
  echo $(($(frame_bytes) / (w * h)))
}

# Opens of vantro.xm in the trace, one line each: "<seconds since start> <result>".
module_opens() {
  local first
  first=$(head -n 1 "$work/trace" | awk '{print $2}')
  awk -v t0="$first" '/openat\(.*"vantro\.xm"/ { r = $NF; printf "%.3f %s\n", $2 - t0, r }' "$work/trace"
}
