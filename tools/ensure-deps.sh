#!/usr/bin/env bash
# Makes sure the Debian packages that building needs are present: installs the
# missing ones when run as root, otherwise names the command that installs them.
#
# Another installation may hold the package manager's lock (an unattended
# upgrade, a second make at the same time): the installation then waits for
# it, up to LOTRANO_APT_LOCK_WAIT seconds (300 by default), and says so. An
# earlier installation that was interrupted is finished first.
set -euo pipefail
find_missing() {
  missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
}
find_missing "$@"
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

wait_seconds=${LOTRANO_APT_LOCK_WAIT:-300}
locks=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock /var/cache/apt/archives/lock)

# True when another process holds one of the package manager's locks (they
# are fcntl locks, which only a try to take them shows).
lock_held() {
  command -v python3 >/dev/null 2>&1 || return 1
  python3 - "${locks[@]}" <<'PY'
import fcntl, sys
for path in sys.argv[1:]:
    try:
        with open(path, "w") as lock:
            fcntl.lockf(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except FileNotFoundError:
        continue
    except OSError:
        sys.exit(0)
sys.exit(1)
PY
}

# Runs apt-get with its arguments; while another installation holds a lock,
# waits and tries again, until the time is up.
apt_get() {
  local deadline=$((SECONDS + wait_seconds)) said= status
  while true; do
    if lock_held; then
      if [ $SECONDS -ge $deadline ]; then
        echo "Another package installation still holds the lock after ${wait_seconds} s;" \
          "try again when it has finished (LOTRANO_APT_LOCK_WAIT sets the wait)" >&2
        return 1
      fi
      if [ -z "$said" ]; then
        echo "Waiting up to ${wait_seconds} s for another package installation to finish" >&2
        said=1
      fi
      sleep 2
      continue
    fi
    # apt waits for the dpkg lock itself too, should another installation
    # take it between the check and the call.
    DEBIAN_FRONTEND=noninteractive apt-get \
      -o DPkg::Lock::Timeout="$((deadline - SECONDS > 0 ? deadline - SECONDS : 1))" "$@" && return 0
    status=$?
    lock_held || return $status
  done
}

# An installation that was cut short (a machine stopped halfway, a killed
# apt-get) leaves packages unpacked but not configured, and apt then refuses
# every installation until dpkg finishes the work.
finish_interrupted() {
  [ -n "$(dpkg --audit 2>/dev/null)" ] || [ -n "$(ls -A /var/lib/dpkg/updates 2>/dev/null)" ] || return 0
  echo "An earlier package installation was interrupted; finishing it first (dpkg --configure -a)" >&2
  local deadline=$((SECONDS + wait_seconds))
  while lock_held && [ $SECONDS -lt $deadline ]; do sleep 2; done
  DEBIAN_FRONTEND=noninteractive dpkg --configure -a
}

finish_interrupted
find_missing "$@"
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
apt_get update -qq
# Unpacked without an fsync for every file (--force-unsafe-io), and without
# a rebuild of man's index, when LOTRANO_APT_FAST=1 (CI's throwaway machine).
options=()
if [ "${LOTRANO_APT_FAST:-}" = 1 ]; then
  options=(-o Dpkg::Options::=--force-unsafe-io)
  echo 'man-db man-db/auto-update boolean false' | debconf-set-selections 2>/dev/null || true
  rm -f /var/lib/man-db/auto-update
fi
apt_get install -y -qq "${options[@]}" "${missing[@]}"
