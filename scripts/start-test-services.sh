#!/usr/bin/env bash
# Sourced by the test command: starts what the end-to-end tests need (sound server, ...).
# Each area adds a script to scripts/services.d/; one that fails stops here with its message,
# because the tests that need the service could not run.
vk2_start_services() {
  local svc
  for svc in "$(dirname "${BASH_SOURCE[0]}")"/services.d/*.sh; do
    . "$svc" || {
      echo "test services: $(basename "$svc") failed" >&2
      return 1
    }
  done
}
vk2_start_services
vk2_services_status=$?
unset -f vk2_start_services
# Sourced, this returns to the caller; run on its own, it exits.
return $vk2_services_status 2>/dev/null || exit $vk2_services_status
