#!/usr/bin/env bash
# Completes lotrano-verify's command lines as bash does at a prompt and
# checks the offers: every option, the reports (*.rez) in a folder of reports,
# seed and group files, names with blanks and brackets, every report after
# "--", and nothing for the text of --public-text and --seed-from-text.
#   tests/packaging/completion_test.sh packaging/lotrano-verify.bash-completion
#   tests/packaging/completion_test.sh --installed   (the completion that bash-completion
#                                           itself finds for lotrano-verify)
# Needs Debian's bash-completion; the status is 77 (skipped) without it.
set -uo pipefail
framework=/usr/share/bash-completion/bash_completion
if [ ! -f "$framework" ]; then
  echo "completion-test needs bash-completion ($framework)" >&2
  exit 77
fi
completion=${1:?the completion file, or --installed}
[ "$completion" = --installed ] || completion=$(realpath "$completion")
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
mkdir -p Dat arhiva
touch -- "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez" "Probleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez" \
  "Seed_1 (1-6) Grupa 311 AC.dat" "Seed_1 (1-6) Grupa 311 AC[1].dat" \
  Dat/grupa_311.dat Dat/grupa_312.txt Dat/note.odt notes.txt -rapoarte.rez

# shellcheck disable=SC1090
source "$framework"
if [ "$completion" = --installed ]; then
  _comp_load lotrano-verify 2> /dev/null || _completion_loader lotrano-verify
else
  source "$completion"
fi
if ! complete -p lotrano-verify > /dev/null 2>&1; then
  echo "FAILED: no completion is defined for lotrano-verify" >&2
  exit 1
fi
function=$(complete -p lotrano-verify | sed -n 's/.*-F \([^ ]*\) .*/\1/p')

# The offers for a command line whose last word is the one being completed,
# one per line, sorted; bash shows a folder with a "/" after it.
offers() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" lotrano-verify "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect() {
  local wanted=$1
  shift
  local got
  got=$(offers "$@")
  if [ "$got" != "$wanted" ]; then
    fail "lotrano-verify ${*:2} <Tab>: offered
$got
instead of
$wanted"
  fi
}

reports=$'-rapoarte.rez\nProbleme Examen Nr_1 (1-6) Grupa 311 AC.rez\nProbleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez\nDat\narhiva'
expect "$(sort <<<"$reports")" lotrano-verify ''
expect $'Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez\nProbleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez' \
  lotrano-verify Prob
expect $'--\n--csv\n--group\n--help\n--public-text\n--seed\n--seed-from-text\n--version\n-V\n-h' \
  lotrano-verify -
expect $'--csv' lotrano-verify --c
# After --csv come the options and the report, as anywhere else.
expect $'Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez\nProbleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez' \
  lotrano-verify --csv Prob
expect $'--public-text' lotrano-verify x.rez --pu
# A text follows these two: no file is offered for it, and reports after it.
expect '' lotrano-verify --public-text ''
expect '' lotrano-verify --seed-from-text Lo
expect "$(sort <<<"$reports")" lotrano-verify --public-text 'Loto 6/49' ''
expect $'--seed\n--seed-from-text' lotrano-verify --se
expect $'--group' lotrano-verify x.rez --g
expect "$(sort <<<$'Seed_1 (1-6) Grupa 311 AC.dat\nSeed_1 (1-6) Grupa 311 AC[1].dat\nDat\narhiva')" \
  lotrano-verify --seed ''
expect $'Dat/grupa_311.dat\nDat/grupa_312.txt' lotrano-verify --group Dat/
expect $'Dat/grupa_311.dat\nDat/grupa_312.txt' lotrano-verify --group=Dat/
expect '' lotrano-verify --version ''
# After "--" a word beginning with "-" is a report too.
expect '-rapoarte.rez' lotrano-verify -- -
if [ "$failures" -gt 0 ]; then
  echo "completion-test: $failures check(s) failed" >&2
  exit 1
fi
echo "completion-test: lotrano-verify's command lines complete as they should"
