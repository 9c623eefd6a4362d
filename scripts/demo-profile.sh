#!/usr/bin/env bash
# Prepares the throw-away profile `make run` starts the application with:
# settings and study folder live under the given folder, and the acquisition
# mode is the demonstration replay so no device is needed.
set -euo pipefail
profile="$1"
settings="$profile/config/Tarvelin/Dodare RUD.conf"
mkdir -p "$(dirname "$settings")" "$profile/data"
if [ ! -f "$settings" ]; then
  printf '[Config]\nAcqMode=demo\n' > "$settings"
elif ! grep -q '^AcqMode=demo$' "$settings"; then
  if grep -q '^AcqMode=' "$settings"; then
    sed -i 's/^AcqMode=.*/AcqMode=demo/' "$settings"
  elif grep -q '^\[Config\]' "$settings"; then
    sed -i 's/^\[Config\]$/[Config]\nAcqMode=demo/' "$settings"
  else
    printf '\n[Config]\nAcqMode=demo\n' >> "$settings"
  fi
fi
