# Sourced by the test command. Starts a virtual X display for the GUI layer's end-to-end tests
# (shaped windows, xdotool clicks, screenshots) and names it in VK2_TEST_DISPLAY. Idempotent:
# a display that already answers is kept. No compositor runs there, so window fades keep their
# timing but not their translucency.
vk2_xvfb_services() {
  local tool package
  for tool in Xvfb:xvfb xdpyinfo:x11-utils xdotool:xdotool import:imagemagick; do
    package=${tool#*:}
    tool=${tool%%:*}
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "xvfb services: $tool not found; install the Debian package $package" >&2
      return 1
    fi
  done
  local display=${VK2_TEST_DISPLAY:-:87}
  if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
    local log
    log=$(mktemp)
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp +extension SHAPE >/dev/null 2>"$log" &
    disown
    local i
    for i in $(seq 1 50); do
      xdpyinfo -display "$display" >/dev/null 2>&1 && break
      sleep 0.1
    done
    if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
      echo "xvfb services: Xvfb did not start on $display; its log:" >&2
      cat "$log" >&2
      rm -f "$log"
      return 1
    fi
    rm -f "$log"
  fi
  export VK2_TEST_DISPLAY=$display
}
vk2_xvfb_services
