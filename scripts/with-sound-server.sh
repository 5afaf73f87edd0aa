#!/usr/bin/env bash
# Runs a command beside a private sound server, headless (no session, no
# sound card, no systemd user bus, also as root):
#   pulseaudio  PulseAudio with Debian's own default.pa (so suspend-on-idle,
#               stream-restore and the rest behave as on a user's desktop)
#               and a null sink as the default: Debian's daemon unpacked into
#               build/pulseaudio, never installed (scripts/unpacked-pulseaudio.sh);
#   pipewire    PipeWire with WirePlumber and pipewire-pulse, a null sink as
#               the default, on a session bus of its own.
# Both mix at 44.1 kHz, 16-bit stereo, so a file in that format reaches the
# sink's monitor sample for sample (a monitor may miss the first milliseconds
# of a stream: the sink mixes a little ahead, and what it gave out is gone).
#
# Usage: scripts/with-sound-server.sh [--record FILE] pulseaudio|pipewire COMMAND...
#   --record FILE  records the sink's monitor (raw s16le, 44.1 kHz, stereo)
#                  into FILE for the command's whole run with parec, which
#                  keeps the sink from suspending.
# The command gets PULSE_SERVER, no SDL_AUDIODRIVER (so programs choose the
# server as on a desktop), WAVORIN_SOUND_SERVER (the kind), WAVORIN_SINK (the
# sink's name), WAVORIN_SOUND_SERVER_PIDS (the server's processes as it
# started, comma-separated: pulseaudio, or pipewire, wireplumber and
# pipewire-pulse) and WAVORIN_SOUND_SERVER_CTL, a command that takes
# "kill" (SIGKILL to every server process, as a crash would), "start" or
# "restart". Everything runs in a folder of its own, stopped and removed at
# the end. Exits with the command's status.
#
# Internal: scripts/with-sound-server.sh --ctl FOLDER kill|start|restart
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sink=wavorin_sink

# Processes of one server, one pid a line in $dir/pids; killed in reverse.
# Every one writes to a log of its own, never to the caller's output: a test
# that starts the server again must not leave its runner waiting on a pipe.
stop_servers() {
  local dir=$1 signal=${2:-TERM}
  [ -f "$dir/pids" ] || return 0
  local pids
  mapfile -t pids <"$dir/pids"
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "-$signal" "${pids[$i]}" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do  # not our children once started by --ctl: poll
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$pid" 2>/dev/null || true
  done
  : >"$dir/pids"
  : >"$dir/server_pids"
}

server_env() {
  local dir=$1
  export HOME=$dir/home XDG_CONFIG_HOME=$dir/config XDG_RUNTIME_DIR=$dir/run
  export XDG_STATE_HOME=$dir/state XDG_DATA_HOME=$dir/data PIPEWIRE_RUNTIME_DIR=$dir/run
  export PULSE_SERVER=unix:$dir/run/pulse/native
  unset PULSE_COOKIE PIPEWIRE_REMOTE
}

answers() { pactl info >/dev/null 2>&1; }
sink_ready() { pactl list sinks short 2>/dev/null | grep -q "$sink"; }
make_default_sink() { pactl set-default-sink "$sink" 2>/dev/null; }

wait_for() {  # wait_for <seconds> <what> <dir> <command...>
  local deadline=$((SECONDS + $1)) what=$2 dir=$3
  shift 3
  until "$@"; do
    if [ $SECONDS -ge "$deadline" ]; then
      echo "with-sound-server: $what did not come up; its log:" >&2
      tail -n 30 "$dir"/*.log >&2 2>/dev/null || true
      return 1
    fi
    sleep 0.05
  done
}

start_servers() {
  local dir=$1 kind
  kind=$(cat "$dir/kind")
  (
    server_env "$dir"
    unset DBUS_SESSION_BUS_ADDRESS
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_STATE_HOME" "$XDG_DATA_HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    case $kind in
      pulseaudio)
        pulseaudio=$("$here/unpacked-pulseaudio.sh")
        cat >"$dir/wavorin.pa" <<PA
.include ${pulseaudio%/*}/etc/pulse/default.pa
load-module module-null-sink sink_name=$sink rate=44100 channels=2 format=s16le
set-default-sink $sink
PA
        # -n: no default.pa of its own; ours includes it. As root it warns
        # that it is not meant to run as root, and runs.
        "$pulseaudio" -n -F "$dir/wavorin.pa" --exit-idle-time=-1 --daemonize=no \
          --use-pid-file=no --log-target=file:"$dir/pulseaudio.log" \
          </dev/null >>"$dir/pulseaudio.log" 2>&1 &
        echo $! | tee -a "$dir/server_pids" >>"$dir/pids"
        ;;
      pipewire)
        mkdir -p "$XDG_CONFIG_HOME/pipewire/pipewire.conf.d"
        cat >"$XDG_CONFIG_HOME/pipewire/pipewire.conf.d/wavorin.conf" <<PW
context.properties = {
    default.clock.rate = 44100
    default.clock.allowed-rates = [ 44100 ]
}
context.objects = [
    { factory = adapter
        args = {
            factory.name = support.null-audio-sink
            node.name = $sink
            node.description = "Wavorin test sink"
            media.class = Audio/Sink
            audio.position = [ FL FR ]
            audio.rate = 44100
            monitor.channel-volumes = true
            priority.session = 2000
            object.linger = true
        }
    }
]
PW
        # WirePlumber asks the session bus for device reservation and
        # portals: a private one, so that it never meets the machine's.
        dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/run/bus" \
          >"$dir/dbus.log" 2>&1 </dev/null &
        echo $! >>"$dir/pids"
        export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/run/bus
        wait_for 10 "the session bus" "$dir" test -S "$dir/run/bus"
        pipewire >"$dir/pipewire.log" 2>&1 </dev/null &
        echo $! | tee -a "$dir/server_pids" >>"$dir/pids"
        wait_for 10 "pipewire" "$dir" test -S "$dir/run/pipewire-0"
        wireplumber >"$dir/wireplumber.log" 2>&1 </dev/null &
        echo $! | tee -a "$dir/server_pids" >>"$dir/pids"
        pipewire-pulse >"$dir/pipewire-pulse.log" 2>&1 </dev/null &
        echo $! | tee -a "$dir/server_pids" >>"$dir/pids"
        ;;
    esac
    wait_for 20 "$kind" "$dir" answers
    wait_for 20 "$kind's sink" "$dir" sink_ready
    # PipeWire refuses ("Not supported") until WirePlumber has made its
    # default-device store, which may come after the sink.
    wait_for 20 "the default sink" "$dir" make_default_sink
  )
}

if [ "${1:-}" = --ctl ]; then
  dir=$2
  case ${3:-} in
    kill) stop_servers "$dir" KILL ;;
    start) start_servers "$dir" ;;
    restart) stop_servers "$dir" KILL && start_servers "$dir" ;;
    *) echo "with-sound-server: --ctl FOLDER kill|start|restart" >&2; exit 2 ;;
  esac
  exit
fi

record=
if [ "${1:-}" = --record ]; then
  record=$2
  shift 2
fi
kind=${1:-}
case $kind in
  pulseaudio | pipewire) shift ;;
  *) echo "usage: $0 [--record FILE] pulseaudio|pipewire COMMAND..." >&2; exit 2 ;;
esac
[ $# -gt 0 ] || { echo "with-sound-server: no command" >&2; exit 2; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/wavorin-sound.XXXXXX")
echo "$kind" >"$dir/kind"
: >"$dir/pids"
recorder_pid=
cleanup() {
  [ -n "$recorder_pid" ] && kill "$recorder_pid" 2>/dev/null || true
  stop_servers "$dir"
  wait 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_servers "$dir"
export PULSE_SERVER=unix:$dir/run/pulse/native
export PIPEWIRE_REMOTE=$dir/run/pipewire-0 WAVORIN_SOUND_SERVER=$kind WAVORIN_SINK=$sink
WAVORIN_SOUND_SERVER_PIDS=$(paste -sd, "$dir/server_pids")
export WAVORIN_SOUND_SERVER_PIDS
export WAVORIN_SOUND_SERVER_CTL="$here/with-sound-server.sh --ctl $dir"
unset SDL_AUDIODRIVER
if [ -n "$record" ]; then
  parec --device="$sink.monitor" --raw --format=s16le --rate=44100 --channels=2 \
    --latency-msec=10 >"$record" &
  recorder_pid=$!
  recording() { [ -s "$record" ]; }  # the awake sink's silence arrives at once
  wait_for 10 "the recording" "$dir" recording
fi
status=0
"$@" || status=$?
exit $status
