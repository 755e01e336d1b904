#!/usr/bin/env bash
# Sourced by the test command: starts what the end-to-end tests need (sound server, ...).
# Each area adds a script to scripts/services.d/.
for svc in "$(dirname "${BASH_SOURCE[0]}")"/services.d/*.sh; do
  [ -e "$svc" ] && . "$svc"
done
true
