#!/usr/bin/env bash
# Checks the Debian package as a user meets it: `lintian -I --pedantic` has
# nothing to say of it (but that it runs as root); `dpkg -i` installs it; the
# manual pages are found and name the installed guide, the Romanian ones
# shown by `man -L ro` and in a Romanian locale, the English ones otherwise
# (the first screen of each Romanian page is shown); the desktop entry is
# valid; the installed lotrano makes one allocation in a scratch folder, and
# the installed lotrano-verify finds that report matching its seed file and
# completes its command lines in bash; the checking page is the one
# tools/build-web.py puts together; `dpkg --purge` removes it and leaves
# none of its files behind, nor a page that man finds. Then `make install`
# and `make uninstall` below a
# scratch DESTDIR put the same files, naming their own folders, and take them
# all away. Runs as root (it installs into the system) and refuses when a
# lotrano package is installed already.
#   tests/packaging/package_test.sh build-deb/lotrano_1.0.0_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=${1:?the .deb to test}
failures=0
step() { echo "== $*"; }
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

if [ "$(id -u)" -ne 0 ]; then
  echo "package-test installs the package into the system: run it as root" >&2
  exit 1
fi
if dpkg-query -W -f='${Status}' lotrano 2>/dev/null | grep -q 'installed'; then
  echo "a lotrano package is installed already; remove it first (dpkg --purge lotrano)" >&2
  exit 1
fi

# lotrano-verify belongs in the package wherever the tree builds it.
expect_verify=no
[ -f src/verify_main.cpp ] && expect_verify=yes

step "contents of $deb"
listing=$(dpkg-deb -c "$deb")
echo "$listing"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }')
expected="/usr/bin/lotrano
/usr/share/applications/lotrano.desktop
/usr/share/doc/lotrano/README.md
/usr/share/doc/lotrano/changelog.gz
/usr/share/doc/lotrano/copyright
/usr/share/doc/lotrano/examples/grupa_311.dat
/usr/share/doc/lotrano/ghid.md
/usr/share/icons/hicolor/scalable/apps/lotrano.svg
/usr/share/lintian/overrides/lotrano
/usr/share/lotrano/lotrano.html
/usr/share/man/man1/lotrano.1.gz
/usr/share/man/ro/man1/lotrano.1.gz"
if [ "$expect_verify" = yes ]; then
  expected=$(printf '%s\n%s\n%s\n%s\n%s\n' "$expected" /usr/bin/lotrano-verify \
    /usr/share/man/man1/lotrano-verify.1.gz /usr/share/man/ro/man1/lotrano-verify.1.gz \
    /usr/share/bash-completion/completions/lotrano-verify)
fi
if [ "$(sort <<<"$files")" != "$(sort <<<"$expected")" ]; then
  fail "the package's files are not the expected ones"
  diff <(sort <<<"$expected") <(sort <<<"$files") || true
fi
if awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { found = 1 } END { exit !found }' <<<"$listing"; then
  fail "a folder of the package is not rwxr-xr-x"
fi

step "lintian -I --pedantic"
# Its one remark that may stand is the one on running as root, which this
# test must.
lintian_output=$(lintian -I --pedantic "$deb" 2>&1) || fail "lintian ended with status $?"
echo "$lintian_output"
remarks=$(grep -v 'running with root privileges' <<<"$lintian_output" || true)
[ -z "$remarks" ] || fail "lintian -I --pedantic has remarks on the package"

step "the programs' sections"
unpacked_deb="$(mktemp -d)"
dpkg-deb -x "$deb" "$unpacked_deb"
for program in "$unpacked_deb"/usr/bin/*; do
  sections=$(readelf -S -W "$program")
  grep -q ' \.symtab ' <<<"$sections" && fail "$program keeps its symbol table"
  grep -q ' \.comment ' <<<"$sections" && fail "$program keeps its .comment section"
done
rm -rf "$unpacked_deb"

step "dpkg -i"
dpkg -i "$deb"
trap 'dpkg --purge lotrano > /dev/null 2>&1 || true' EXIT
installed=$(dpkg -L lotrano)

step "man pages"
man -w lotrano || fail "man -w lotrano finds no page"
# The guide that the page names is where the page says.
page=$(man lotrano 2>/dev/null)
guide=$(grep -o '/usr[^ ]*/ghid\.md' <<<"$page" | head -n 1)
[ "$guide" = /usr/share/doc/lotrano/ghid.md ] && [ -f "$guide" ] ||
  fail "lotrano(1) names the guide as '$guide'"

# A page as a user reads it on an 80-column terminal, with LANG set to the
# first argument and the other arguments given to man, the last of which is
# the program; and its NAME line. man-db keeps one formatted copy of a page
# for each language, whatever the locale it was formatted in (a Romanian
# page read in the C locale, without its diacritics, would then be shown so
# in ro_RO.UTF-8 too): each page is formatted afresh here.
read_page() {
  local locale=$1
  shift
  remove_formatted_copies "${!#}"
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="$locale" MANWIDTH=80 man "$@" 2>&1
}
remove_formatted_copies() {
  rm -f "/var/cache/man/cat1/$1.1.gz" "/var/cache/man/ro/cat1/$1.1.gz"
}
name_line() {
  awk '/^(NAME|NUME)$/ { on = 1; next } on && /^$/ { on = 0 }
       on { sub(/^ +/, ""); printf "%s%s", sep, $0; sep = " " }'
}
shows() {
  local wanted=$1 shown
  shift
  shown=$(read_page "$@" | name_line)
  [ "$shown" = "$wanted" ] || fail "LANG=$1 man ${*:2} shows '$shown', not '$wanted'"
}
pages=(lotrano)
[ "$expect_verify" = yes ] && pages+=(lotrano-verify)
for program in "${pages[@]}"; do
  [ "$(man -L ro -w "$program")" = "/usr/share/man/ro/man1/$program.1.gz" ] ||
    fail "man -L ro -w $program finds '$(man -L ro -w "$program" 2>&1)'"
  english=$(zcat "/usr/share/man/man1/$program.1.gz" | sed -n '/^\.SH NAME/{n;s/\\-/-/g;p;q}')
  romanian=$(zcat "/usr/share/man/ro/man1/$program.1.gz" | sed -n '/^\.SH NUME/{n;s/\\-/-/g;p;q}')
  # The C locale's terminal shows the Romanian letters without diacritics.
  plain=$(LC_ALL=C.UTF-8 iconv -f UTF-8 -t ASCII//TRANSLIT <<<"$romanian")
  shows "$plain" C -L ro "$program"
  shows "$romanian" ro_RO.UTF-8 "$program"
  # The English page stays the default, and -L en finds it in Romanian too.
  shows "$english" C "$program"
  shows "$english" C.UTF-8 "$program"
  shows "$english" ro_RO.UTF-8 -L en "$program"
  page=$(read_page C -L ro "$program")
  echo "-- LANG=C man -L ro $program, its first screen:"
  head -n 24 <<<"$page"
  page=$(read_page ro_RO.UTF-8 "$program")
  echo "-- LANG=ro_RO.UTF-8 man $program, its first screen:"
  head -n 24 <<<"$page"
done

step "desktop entry"
desktop-file-validate /usr/share/applications/lotrano.desktop ||
  fail "desktop-file-validate finds fault with lotrano.desktop"
# The entry runs lotrano through sh, which keeps the terminal open after a
# failed run; TryExec names the program itself.
try_exec=$(sed -n 's/^TryExec=//p' /usr/share/applications/lotrano.desktop)
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/lotrano.desktop)
command -v "$try_exec" > /dev/null || fail "the menu entry needs '$try_exec', which is not on the PATH"
command -v "${exec_line%% *}" > /dev/null || fail "the menu entry runs '$exec_line', whose program is not on the PATH"
grep -qw "$try_exec" <<<"$exec_line" || fail "the menu entry runs '$exec_line', not $try_exec"
grep -qx 'Terminal=true' /usr/share/applications/lotrano.desktop ||
  fail "the menu entry does not open a terminal"
icon=$(sed -n 's/^Icon=//p' /usr/share/applications/lotrano.desktop)
[ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the menu entry's icon '$icon' is not installed"
if [ "$expect_verify" = yes ]; then
  man -w lotrano-verify || fail "man -w lotrano-verify finds no page"
  step "lotrano-verify --version"
  version=$(lotrano-verify --version) || fail "lotrano-verify --version failed"
  [ "$version" = "lotrano-verify 1.0.0" ] || fail "lotrano-verify --version printed: $version"
  step "lotrano-verify's completion, as bash-completion loads it"
  tests/packaging/completion_test.sh --installed || fail "lotrano-verify's installed completion"
fi

step "the checking page"
page=/usr/share/lotrano/lotrano.html
fresh=$(mktemp)
python3 tools/build-web.py "$fresh"
cmp -s "$page" "$fresh" || fail "$page is not the page that tools/build-web.py puts together"
rm -f "$fresh"
grep -q "default-src 'none'" "$page" || fail "$page has no policy forbidding connections"

step "an allocation with the installed lotrano"
scratch=$(mktemp -d)
trap 'dpkg --purge lotrano > /dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
# No display: the group chooser is the console stand-in, which an empty line
# cancels; then the typed group, the count, the exam, the set, the range, a
# new allocation, and a line for the closing key wait.
status=0
(cd "$scratch" && printf '\n311\n4\n1\n3\n1 6\n\n\n' |
  env -u DISPLAY -u WAYLAND_DISPLAY lotrano > out.txt 2> err.txt) || status=$?
report="Probleme Examen Nr_1 (1-6) Grupa 311.rez"
seed="Seed_1 (1-6) Grupa 311.dat"
[ "$status" -eq 0 ] || fail "lotrano ended with status $status: $(cat "$scratch/err.txt")"
grep -q "Fisier de iesire: $report" "$scratch/out.txt" || fail "lotrano did not name its report"
[ -f "$scratch/$report" ] || fail "no report $report"
[ -f "$scratch/$seed" ] || fail "no seed file $seed"
[ $((0$(stat -c %a "$scratch/$report") & 0200)) -eq 0 ] || fail "the report is not read-only"
grep -q '^ Numar de Studenti:   4' "$scratch/$report" || fail "the report has no student count"

if [ "$expect_verify" = yes ]; then
  step "lotrano-verify on that report"
  verdict=$(cd "$scratch" && lotrano-verify "$report") || fail "lotrano-verify ended with status $?"
  echo "$verdict"
  # A typed group has no names to check, so the verdict ends at the seed file.
  [[ "$verdict" == "POTRIVIRE: $report corespunde fisierului seed "*"$seed" ]] ||
    fail "lotrano-verify's verdict: $verdict"
fi

step "dpkg --purge"
dpkg --purge lotrano
trap 'rm -rf "$scratch"' EXIT
left=()
while IFS= read -r path; do
  [ -z "$path" ] || [ "$path" = "/." ] && continue
  # Folders that other packages share (/usr, /usr/bin, ...) stay, as they must.
  if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == /usr/share/doc/lotrano* || "$path" == /usr/share/lotrano* ]]; }; then
    left+=("$path")
  fi
done <<<"$installed"
if [ ${#left[@]} -gt 0 ]; then
  fail "left after removal: ${left[*]}"
fi
dpkg-query -W lotrano > /dev/null 2>&1 && fail "dpkg still knows the package"
command -v lotrano > /dev/null && fail "lotrano is still on the PATH"
for program in "${pages[@]}"; do
  for how in "" "-L ro"; do
    # shellcheck disable=SC2086
    man $how -w "$program" > /dev/null 2>&1 && fail "man $how finds $program after the purge"
  done
  # man-db's formatted copies of this test's readings, which the purge does
  # not know.
  remove_formatted_copies "$program"
done

step "make install and make uninstall below DESTDIR"
dest="$scratch/dest"
make install DESTDIR="$dest" PREFIX=/usr/local > "$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "make install failed"; }
installed_files=$(cd "$dest" && find . -type f | sed 's/^\.//' | sort)
echo "$installed_files"
# (lintian's overrides are the package's alone.)
[ "$installed_files" = "$(grep -v '^/usr/share/lintian/' <<<"$expected" | sed 's|^/usr/|/usr/local/|' | sort)" ] ||
  fail "make install wrote other files than the package holds"
# The installed texts name the installed folders, not the package's.
for text in share/man/man1/lotrano.1.gz share/man/man1/lotrano-verify.1.gz \
  share/man/ro/man1/lotrano.1.gz share/man/ro/man1/lotrano-verify.1.gz share/doc/lotrano/ghid.md; do
  content=$(zcat -f "$dest/usr/local/$text")
  grep -q '/usr/local/share/doc/lotrano/' <<<"$content" ||
    fail "the installed $text does not name /usr/local/share/doc/lotrano"
  grep -q '/usr/share/' <<<"$content" && fail "the installed $text names a folder under /usr/share"
done
for page in share/man/man1/lotrano.1.gz share/man/ro/man1/lotrano.1.gz; do
  zcat "$dest/usr/local/$page" | grep -q '/usr/local/share/lotrano/lotrano\.html' ||
    fail "the installed $page does not name /usr/local/share/lotrano/lotrano.html"
done
[ "$(find "$dest" -type d ! -perm 0755 | wc -l)" -eq 0 ] || fail "a folder is not rwxr-xr-x"
make uninstall DESTDIR="$dest" > "$scratch/uninstall.log" 2>&1 ||
  { cat "$scratch/uninstall.log"; fail "make uninstall failed"; }
left_files=$(find "$dest" -type f)
[ -z "$left_files" ] || fail "left after make uninstall: $left_files"
[ ! -e "$dest/usr/local/share/doc/lotrano" ] || fail "make uninstall left the doc folder"
[ ! -e "$dest/usr/local/share/lotrano" ] || fail "make uninstall left the page's folder"

if [ "$failures" -gt 0 ]; then
  echo "package-test: $failures check(s) failed" >&2
  exit 1
fi
echo "package-test: the package installs, runs and goes away cleanly"
