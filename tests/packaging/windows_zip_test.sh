#!/usr/bin/env bash
# Checks the Windows zip as a teacher meets it: the files it holds, each with
# its file type and mode, the guide, the README and the draw as UTF-8 with a
# byte order mark, every text with CR LF line ends, the licence as
# LICENSE.txt (and the README naming it so), the checking page as
# Verificare.html; then, unpacked, its
# lotrano.exe makes one allocation under Wine (the group dialog cancelled
# through xdotool, the group typed), and its lotrano-verify.exe, when the
# tree builds one, finds that report matching its seed file.
# Needs an X display (run under xvfb-run), wine, xdotool and unzip.
# LOTRANO_WINEPREFIX names the Wine prefix to use (made when missing).
#   tests/packaging/windows_zip_test.sh build-windows/lotrano-1.0.0-win64.zip
set -euo pipefail
cd "$(dirname "$0")/../.."
zip=$(realpath "${1:?the zip to test}")
failures=0
step() { echo "== $*"; }
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

for command in wine xdotool unzip; do
  command -v "$command" > /dev/null || { echo "windows-zip-test needs $command" >&2; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "windows-zip-test needs an X display (xvfb-run)" >&2; exit 1; }

expect_verify=no
[ -f src/verify_main.cpp ] && expect_verify=yes

step "contents of $zip"
unzip -l "$zip"
expected="CITESTE.txt
DRAW.txt
Dat/
Dat/grupa_311.dat
LICENSE.txt
README.txt
Verificare.html
lotrano.exe"
[ "$expect_verify" = yes ] && expected=$(printf '%s\n%s\n' "$expected" lotrano-verify.exe)
listed=$(unzip -Z1 "$zip" | sort)
if [ "$listed" != "$(sort <<<"$expected")" ]; then
  fail "the zip's files are not the expected ones"
  diff <(sort <<<"$expected") <(echo "$listed") || true
fi

# Every entry says what it is: a folder (d) or a file (-), never "?".
# (An entry's line has its version of the zip format, such as 2.0, second.)
modes=$(zipinfo "$zip" | awk '$2 ~ /^[0-9]+\.[0-9]+$/ { print $1 }' | sort -u)
echo "modes: $(tr '\n' ' ' <<<"$modes")"
while IFS= read -r mode; do
  case "$mode" in
    drwxr-xr-x | -rw-r--r-- | -rwxr-xr-x) ;;
    *) fail "an entry of the zip has the mode $mode" ;;
  esac
done <<<"$modes"
[ "$(zipinfo "$zip" lotrano.exe | awk '{ print $1 }')" = -rwxr-xr-x ] ||
  fail "lotrano.exe is not -rwxr-xr-x in the zip"

scratch=$(mktemp -d)
cleanup() { rm -rf "$scratch"; }
trap cleanup EXIT
unpacked="$scratch/unpacked"
unzip -q "$zip" -d "$unpacked"

step "texts"
# Every line of a text ends in exactly one CR LF.
crlf_only() { python3 -c '
import re, sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if data.endswith(b"\r\n") and not re.search(rb"(?<!\r)\n|\r(?!\n)", data) else 1)' "$1"; }
for text in CITESTE.txt README.txt DRAW.txt LICENSE.txt Dat/grupa_311.dat; do
  crlf_only "$unpacked/$text" || fail "$text has a line not ended by one CR LF"
done
# The texts with letters beyond ASCII say that they are UTF-8.
for text in CITESTE.txt README.txt DRAW.txt; do
  [ "$(head -c 3 "$unpacked/$text" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    fail "$text does not begin with a UTF-8 byte order mark"
  iconv -f UTF-8 -t UTF-8 "$unpacked/$text" > /dev/null || fail "$text is not UTF-8"
done
tail -c +4 "$unpacked/README.txt" | LC_ALL=C grep -q $'[\x80-\xff]' ||
  fail "README.txt holds no letter beyond ASCII: its byte order mark is not needed any more"
cmp -s <(tr -d '\r' < "$unpacked/LICENSE.txt") LICENSE || fail "LICENSE.txt is not LICENSE"
# The README names the zip's files as the zip has them.
grep -q 'Expat licence (LICENSE.txt' "$unpacked/README.txt" || fail "README.txt does not name LICENSE.txt"
grep -q '^DRAW.txt writes down the whole draw' "$unpacked/README.txt" ||
  fail "README.txt does not name DRAW.txt"
grep -q '^The generator' "$unpacked/DRAW.txt" || fail "DRAW.txt is not the draw written down"
grep -q 'Pregătirea fișierului grupei' "$unpacked/CITESTE.txt" ||
  fail "CITESTE.txt lacks the guide's headings with their diacritics"
if grep -q '^#' "$unpacked/CITESTE.txt"; then fail "CITESTE.txt keeps Markdown headings"; fi
[ "$(head -n 1 "$unpacked/Dat/grupa_311.dat" | tr -d '\r')" = "Grupa 311 AC" ] ||
  fail "Dat/grupa_311.dat is not the sample group file"
python3 tools/build-web.py "$scratch/lotrano.html"
cmp -s "$unpacked/Verificare.html" "$scratch/lotrano.html" ||
  fail "Verificare.html is not the page that tools/build-web.py puts together"

prefix=${LOTRANO_WINEPREFIX:-$scratch/wineprefix}
tools/make-wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all

step "one allocation with the unpacked lotrano.exe"
work="$scratch/work"
mkdir -p "$work"
title='Selecteza Fisierul Grupei'
answered="$scratch/answered"
# The driver waits for the group dialog, focuses it (retried: without a
# window manager the focus is not always confirmed), presses Escape once and
# notes the dialog as answered when that window has gone. It runs in a
# session of its own, so that it ends with everything it waits for.
cat > "$scratch/driver" <<EOF
name='^$title\$'
timeout 90 xdotool search --onlyvisible --sync --name "\$name" > /dev/null || exit 1
sleep 2
window=\$(xdotool search --onlyvisible --name "\$name" | head -n 1)
for attempt in 1 2 3; do
  timeout 5 xdotool windowfocus --sync "\$window" && break
done
sleep 0.5
xdotool key Escape
for wait in \$(seq 40); do
  xdotool search --onlyvisible --name "\$name" | grep -qx "\$window" || break
  sleep 0.5
done
xdotool search --onlyvisible --name "\$name" | grep -qx "\$window" && exit 1
echo "\$window" > '$answered'
EOF
setsid bash "$scratch/driver" > /dev/null 2>&1 &
driver=$!
# After the cancelled dialog: the typed group, the count, the exam, the set,
# the range, a new allocation, and a line for the closing key wait.
status=0
(cd "$work" && printf '311\n4\n1\n3\n1 6\n\n\n' |
  timeout 180 wine "$unpacked/lotrano.exe" > "$scratch/out.txt" 2> "$scratch/err.txt") || status=$?
for wait in $(seq 20); do
  kill -0 "$driver" 2> /dev/null || break
  sleep 0.5
done
kill -- -"$driver" 2> /dev/null || true
ls -l "$work"
report="Probleme Examen Nr_1 (1-6) Grupa 311.rez"
seed="Seed_1 (1-6) Grupa 311.dat"
[ -s "$answered" ] || fail "the group dialog was not shown and cancelled"
[ "$status" -eq 0 ] || fail "lotrano.exe ended with status $status: $(cat "$scratch/err.txt")"
tr -d '\r' < "$scratch/out.txt" | grep -q "^ Fisier de iesire: $report" ||
  fail "lotrano.exe did not name its report: $(cat "$scratch/out.txt")"
[ -f "$work/$report" ] || fail "no report $report"
[ -f "$work/$seed" ] || fail "no seed file $seed"
[ $((0$(stat -c %a "$work/$report") & 0200)) -eq 0 ] || fail "the report is not read-only"
grep -q '^ Numar de Studenti:   4' "$work/$report" || fail "the report has no student count"

if [ -f "$unpacked/lotrano-verify.exe" ]; then
  step "the unpacked lotrano-verify.exe on that report"
  status=0
  verdict=$(cd "$work" && timeout 120 wine "$unpacked/lotrano-verify.exe" "$report" |
    tr -d '\r') || status=$?
  echo "$verdict"
  [ "$status" -eq 0 ] || fail "lotrano-verify.exe ended with status $status"
  # A typed group has no names to check, so the verdict ends at the seed file.
  [[ "$verdict" == "POTRIVIRE: $report corespunde fisierului seed "*"$seed" ]] ||
    fail "lotrano-verify.exe's verdict: $verdict"
fi
timeout 60 wineserver -w > /dev/null 2>&1 || true

if [ "$failures" -gt 0 ]; then
  echo "windows-zip-test: $failures check(s) failed" >&2
  exit 1
fi
echo "windows-zip-test: the zip holds its files, and its programs run under Wine"
