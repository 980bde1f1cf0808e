#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets: the programs answer
# --version with the project's version, every manual page renders without warnings and
# describes every option the program's --help lists, errors have one shape, the bash completion
# completes, the desktop entry is valid, the copyright file is there, and the installed demo
# runs.
#   check_install.sh BUILD_DIR VERSION WITH_GUI(0|1)
set -uo pipefail
build=$1 version=$2 with_gui=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install" >&2; exit 1; }

programs=(kvt-cli kvt-sim)
pages=(man1/kvt-cli.1.gz man1/kvt-sim.1.gz man5/kvt_start.cfg.5.gz man5/kvt-scf.5.gz)
if [ "$with_gui" = 1 ]; then
  programs+=(kvt)
  pages+=(man1/kvt.1.gz)
fi

for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || { fail "bin/$program is missing"; continue; }
  answer=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --version 2>&1)
  [ "$answer" = "$program $version" ] || fail "$program --version says '$answer'"
done

for page in "${pages[@]}"; do
  file=$prefix/share/man/$page
  [ -f "$file" ] || { fail "share/man/$page is missing"; continue; }
  warnings=$(MANWIDTH=80 MANPAGER=cat man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page warns: $warnings"
  MANWIDTH=80 MANPAGER=cat man -l "$file" 2>/dev/null | grep -q '^NAME' || fail "man $page has no NAME"
done
MANWIDTH=80 MANPAGER=cat man -l "$prefix/share/man/man5/kvt-scf.5.gz" 2>/dev/null |
  grep -q 'SR <address> <data>' ||
  fail "kvt-scf(5) lacks the command reference"

# Every option and command that a program's --help lists is in its manual page.
for program in "${programs[@]}"; do
  page=$prefix/share/man/man1/$program.1.gz
  [ -f "$page" ] || continue
  # Wide, so that no option is broken across two lines at one of its hyphens.
  text=$(MANWIDTH=1000 MANPAGER=cat man -l "$page" 2>/dev/null)
  help=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --help 2>&1)
  # Options start a line of the usage text; commands (kvt-cli) stand below "Commands:".
  words=$(grep -oE '^  -[-a-z0-9]+(, -[-a-z0-9]+)*' <<<"$help" | tr ', ' '\n\n'
          sed -n '/^Commands:/,/^$/s/^  \([a-z]\+\)\( .*\)\?$/\1/p' <<<"$help")
  for word in $words; do
    grep -qE -- "(^|[^-a-z0-9])$word([^-a-z0-9]|$)" <<<"$text" ||
      fail "man $program does not describe $word, which $program --help lists"
  done
done

# Errors of every program have one shape: "PROGRAM: what went wrong", then a hint line.
error_shape() {
  local program=$1
  shift
  local text
  text=$(cd "$prefix" && QT_QPA_PLATFORM=offscreen "$@" 2>&1 >/dev/null)
  local first=${text%%$'\n'*}
  if [ "$(wc -l <<<"$text")" -ne 2 ] || [[ $first != "$program: "* ]] ||
     [[ ${text#*$'\n'} == "$program: "* ]]; then
    fail "$* says '$text', not '$program: ...' and a hint"
  fi
}
error_shape kvt-cli "$prefix/bin/kvt-cli" --no-such-option
error_shape kvt-cli "$prefix/bin/kvt-cli" --sim --log /nonexistent/kvt.log exec "GR 37"
error_shape kvt-sim "$prefix/bin/kvt-sim" --no-such-option
error_shape kvt-sim "$prefix/bin/kvt-sim" --trace /nonexistent/trace.txt
if [ "$with_gui" = 1 ]; then
  error_shape kvt "$prefix/bin/kvt" --no-such-option
  error_shape kvt "$prefix/bin/kvt" --log /nonexistent/kvt.log
fi

[ -f "$prefix/share/doc/kvt/copyright" ] || fail "share/doc/kvt/copyright is missing"

# The completion is loaded as bash-completion loads it, and completes `kvt-cli ru<Tab>`.
completion=$(find "$prefix/share" -path '*completions/kvt-cli' -print -quit)
[ -n "$completion" ] && [ -f "$(dirname "$completion")/kvt-sim" ] || fail "bash completion is missing"
if [ -n "$completion" ]; then
  completed=$(PATH="$prefix/bin:$PATH" bash -c '
    source "$1"
    COMP_WORDS=(kvt-cli ru); COMP_CWORD=1; _kvt_cli; echo "${COMPREPLY[*]}"' _ "$completion")
  [ "$completed" = run ] || fail "completion of 'kvt-cli ru' gives '$completed'"
fi

if [ "$with_gui" = 1 ]; then
  desktop=$prefix/share/applications/kvt.desktop
  if [ -f "$desktop" ]; then
    problems=$(desktop-file-validate "$desktop" 2>&1) || fail "kvt.desktop: $problems"
  else
    fail "share/applications/kvt.desktop is missing"
  fi
  [ -f "$prefix/share/icons/hicolor/scalable/apps/kvt.svg" ] || fail "the kvt icon is missing"
fi

demo=$prefix/share/doc/kvt/examples/demo.scf
if [ -f "$demo" ]; then
  (cd "$prefix" && "$prefix/bin/kvt-cli" --strict --sim run "$demo" >/dev/null) ||
    fail "the installed demo does not run cleanly"
else
  fail "share/doc/kvt/examples/demo.scf is missing"
fi

[ "$failures" -eq 0 ] && echo "install: all checks passed"
exit $((failures > 0))
