#!/usr/bin/env bash
# Makes sure a UTF-8 locale (such as ro_RO.UTF-8) is generated: generates it
# with Debian's locales when run as root, otherwise names the commands that do.
set -euo pipefail
locale=$1
# `locale -a` names ro_RO.UTF-8 as ro_RO.utf8.
if locale -a 2>/dev/null | grep -qix "${locale//-/}"; then exit 0; fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing locale: $locale" >&2
  echo "Generate it with: sudo sed -i 's/^# *$locale/$locale/' /etc/locale.gen && sudo locale-gen" >&2
  exit 1
fi
echo "Generating locale: $locale" >&2
if grep -q "^# *$locale " /etc/locale.gen 2>/dev/null; then
  sed -i "s/^# *$locale /$locale /" /etc/locale.gen
elif ! grep -q "^$locale " /etc/locale.gen 2>/dev/null; then
  echo "$locale UTF-8" >> /etc/locale.gen
fi
locale-gen
