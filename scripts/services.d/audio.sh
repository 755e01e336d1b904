# Sourced by the test command. Starts a PulseAudio daemon when no server answers, so the
# end-to-end sound tests have a real server; each test loads a null sink of its own there and
# records that sink's monitor. Idempotent and quick: a running server is left alone. ALSA's
# `null` PCM comes with alsa-lib's own configuration and needs no setup; it is only checked.
# Anything missing is an error: the sound tests cannot run without it.
vk2_audio_services() {
  local tool package
  for tool in pulseaudio:pulseaudio pactl:pulseaudio-utils parec:pulseaudio-utils \
    aplay:alsa-utils; do
    package=${tool#*:}
    tool=${tool%%:*}
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "audio services: $tool not found; install the Debian package $package" >&2
      return 1
    fi
  done
  if ! pactl info >/dev/null 2>&1; then
    # As root (CI) the daemon still runs per user; it warns and goes on.
    local log
    log=$(mktemp)
    pulseaudio -D --system=false --exit-idle-time=-1 -n --disallow-exit --log-target=stderr \
      --load="module-null-sink sink_name=vk2_null sink_properties=device.description=Velkora2-Null rate=48000" \
      --load="module-native-protocol-unix auth-anonymous=1" >/dev/null 2>"$log" || true
    local i
    for i in $(seq 1 50); do
      pactl info >/dev/null 2>&1 && break
      sleep 0.1
    done
    if ! pactl info >/dev/null 2>&1; then
      echo "audio services: the PulseAudio daemon did not start; its log:" >&2
      cat "$log" >&2
      rm -f "$log"
      return 1
    fi
    rm -f "$log"
  fi
  # A sink for streams that name none, fixed as the server's default: otherwise the default moves
  # to whichever private sink a test loads last, and unrouted streams would follow it into that
  # test's recording.
  pactl list short sinks 2>/dev/null | grep -q $'\tvk2_null\t' ||
    pactl load-module module-null-sink sink_name=vk2_null \
      sink_properties=device.description=Velkora2-Null >/dev/null
  pactl set-default-sink vk2_null
  if ! aplay -L 2>/dev/null | grep -qx null; then
    echo "audio services: ALSA has no 'null' device" >&2
    return 1
  fi
}
vk2_audio_services
vk2_audio_status=$?
unset -f vk2_audio_services
return $vk2_audio_status
