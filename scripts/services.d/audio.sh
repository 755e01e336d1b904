# Sourced by the test command. Starts a PulseAudio daemon with a null sink when no server
# answers, so the end-to-end sound tests have a real server whose monitor they can record.
# Idempotent and quick: a running server is left alone. ALSA's `null` PCM comes with alsa-lib's
# own configuration and needs no setup; it is only checked.
vk2_audio_services() {
  command -v pulseaudio >/dev/null 2>&1 || return 0
  command -v pactl >/dev/null 2>&1 || return 0
  if ! pactl info >/dev/null 2>&1; then
    # As root (CI) the daemon still runs per user; it warns and goes on.
    pulseaudio -D --system=false --exit-idle-time=-1 -n --disallow-exit --log-target=stderr \
      --load="module-null-sink sink_name=vk2_null sink_properties=device.description=Velkora2-Null rate=48000" \
      --load="module-native-protocol-unix auth-anonymous=1" >/dev/null 2>&1 || true
    local i
    for i in $(seq 1 50); do
      pactl info >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
  if pactl info >/dev/null 2>&1; then
    # A server started elsewhere may have no sink to play to; give it ours.
    pactl list short sinks 2>/dev/null | grep -q . ||
      pactl load-module module-null-sink sink_name=vk2_null \
        sink_properties=device.description=Velkora2-Null >/dev/null 2>&1 || true
  else
    echo "audio services: no PulseAudio server; end-to-end sound tests will be skipped" >&2
  fi
  if command -v aplay >/dev/null 2>&1 && ! aplay -L 2>/dev/null | grep -qx null; then
    echo "audio services: ALSA has no 'null' device" >&2
  fi
}
vk2_audio_services
unset -f vk2_audio_services
