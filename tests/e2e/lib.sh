#!/usr/bin/env bash
# Helpers for end-to-end tests: run zentario in a detached tmux session of 80 x 25 on a
# private tmux server, type keys, wait for text, read the screen, clean up on exit.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1"                 # binary path; makes E2E_DIR (scratch) and a trap
#   e2e_make_suite                # a demo suite copy in $E2E_DIR/suite (KYBROOT etc.)
#   e2e_start                     # starts the binary in the pane
#   e2e_wait_for "text" [secs]    # polls the screen until it contains text
#   e2e_keys Escape               # tmux send-keys names; e2e_type "literal text"
#   e2e_screen                    # prints the pane
#   e2e_wait_exit [secs]          # waits for the program to end; E2E_STATUS = its status
#   e2e_stop                      # ends the tmux server and waits until its processes are gone

set -u

E2E_BIN=""
E2E_DIR=""
E2E_SOCKET=""
E2E_SESSION="zt"
E2E_STATUS=""

e2e_fail() {
  echo "FAIL: $*" >&2
  if [[ -n "$E2E_SOCKET" ]]; then
    echo "--- screen ---" >&2
    e2e_screen >&2 || true
    echo "--------------" >&2
  fi
  exit 1
}

# e2e_alive PID: the process exists and has not ended (a zombie nobody reaps has ended).
e2e_alive() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  [[ -n "$stat" ]] || return 1
  stat="${stat##*) }" # the name in brackets may hold spaces: the state follows it
  [[ "${stat%% *}" != "Z" ]]
}

# e2e_stop: ends the private tmux server and waits until it, the pane's shell and the
# program are gone, so that nothing writes into the scratch folder any more.
e2e_stop() {
  [[ -n "$E2E_SOCKET" ]] || return 0
  local pids pid i
  pids="$(tmux -L "$E2E_SOCKET" display-message -p '#{pid} #{pane_pid}' 2>/dev/null) $(e2e_pid 2>/dev/null)"
  tmux -L "$E2E_SOCKET" kill-server >/dev/null 2>&1 || true
  for pid in $pids; do
    for ((i = 0; i < 100; i++)); do
      e2e_alive "$pid" || break
      sleep 0.05
    done
  done
}

e2e_cleanup() {
  e2e_stop
  if [[ -n "$E2E_DIR" && -d "$E2E_DIR" ]]; then
    # Anything that still slipped a file in meanwhile: try again briefly, quietly.
    local i
    for ((i = 0; i < 40; i++)); do
      rm -rf "$E2E_DIR" 2>/dev/null && break
      sleep 0.05
    done
  fi
}

# e2e_init BINARY: checks tools, makes the scratch folder, arranges cleanup.
e2e_init() {
  E2E_BIN="$(readlink -f "${1:?binary path}")"
  [[ -x "$E2E_BIN" ]] || e2e_fail "no program at $1"
  command -v tmux >/dev/null || e2e_fail "tmux is not installed"
  E2E_DIR="$(mktemp -d "${TMPDIR:-/tmp}/zt-e2e.XXXXXX")"
  E2E_SOCKET="zt-e2e-$$-$RANDOM"
  trap e2e_cleanup EXIT
  trap 'exit 1' INT TERM HUP
}

# e2e_make_suite: a copy of the shipped demo suite (when there is one) in $E2E_DIR/suite/,
# its session folder TMP/ inside it; sets E2E_ROOT and E2E_TMP (both end in "/").
e2e_make_suite() {
  E2E_ROOT="$E2E_DIR/suite/"
  E2E_TMP="$E2E_DIR/suite/TMP/"
  mkdir -p "$E2E_ROOT" "$E2E_TMP"
  local source_suite="${ZT_SOURCE_DIR:-}/suite"
  if [[ -n "${ZT_SOURCE_DIR:-}" && -d "$source_suite" ]]; then
    cp -R "$source_suite/." "$E2E_ROOT"
  fi
  [[ -f "$E2E_ROOT/Vorn.ini" ]] || printf '[Usuari]\r\nIdioma=CAT\r\n' >"$E2E_ROOT/Vorn.ini"
  [[ -f "$E2E_TMP/Sessio.ini" ]] || printf '[Menu]\r\nTitol=PROVA E2E\r\n' >"$E2E_TMP/Sessio.ini"
}

# e2e_start [ARGS...]: starts the program in a fresh 80 x 25 session. The pane runs a shell
# so that what the program leaves behind (tty modes, screen) can be checked after it ends;
# the program's exit status goes to $E2E_DIR/status.
e2e_start() {
  local cmd
  cmd="cd '$E2E_DIR' && KYBROOT='${E2E_ROOT:-}' KYBTMP='${E2E_TMP:-}' KYBEXE='${E2E_ROOT:-}'"
  cmd+=" ESCDELAY=25 '$E2E_BIN' $*; echo \$? > '$E2E_DIR/status'"
  rm -f "$E2E_DIR/status"
  tmux -L "$E2E_SOCKET" -f /dev/null new-session -d -s "$E2E_SESSION" -x 80 -y 25 \
    "env -i PATH=/usr/bin:/bin HOME='$E2E_DIR' PS1='zt-shell$ ' HISTFILE=/dev/null TERM=tmux-256color LANG=C.UTF-8 bash --norc --noprofile -i" \
    || e2e_fail "tmux did not start"
  tmux -L "$E2E_SOCKET" set-option -t "$E2E_SESSION" status off >/dev/null
  tmux -L "$E2E_SOCKET" set-option -s escape-time 10 >/dev/null
  e2e_wait_for 'zt-shell$' 5
  tmux -L "$E2E_SOCKET" send-keys -t "$E2E_SESSION" -l "$cmd"
  tmux -L "$E2E_SOCKET" send-keys -t "$E2E_SESSION" Enter
}

# e2e_pid: the program's process id (empty when it is not running): the pane shell's child.
e2e_pid() {
  local shell_pid
  shell_pid="$(e2e_format '#{pane_pid}')"
  [[ -n "$shell_pid" ]] || return 0
  # Field 4 of /proc/PID/stat is the parent (no procps needed).
  # (cat skips processes that end meanwhile; some awks stop at a missing file).
  cat /proc/[0-9]*/stat 2>/dev/null | awk -v parent="$shell_pid" '$4 == parent { print $1 }' |
    head -n1
}

# e2e_format FORMAT: a tmux format of the pane, e.g. '#{alternate_on}', '#{cursor_flag}'.
e2e_format() { tmux -L "$E2E_SOCKET" display-message -p -t "$E2E_SESSION" "$1"; }

# e2e_wait_format FORMAT VALUE [SECONDS]: polls until the pane's format has VALUE.
e2e_wait_format() {
  local format="$1" value="$2" limit="${3:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    if [[ "$(e2e_format "$format")" == "$value" ]]; then return 0; fi
    sleep 0.05
  done
  e2e_fail "$format never became '$value' within ${limit}s (is '$(e2e_format "$format")')"
}

# e2e_shell_sane: after the program ended, the pane's shell reads a line with echo on and
# reports canonical mode: what a restored terminal does.
e2e_shell_sane() {
  # The marker is put together by printf, so the echoed command line does not show it and
  # the wait ends only once the command's own output is there.
  e2e_type "stty -a | tr ' ' '\n' | grep -xE -- '-?(icanon|echo|isig|icrnl|opost)' | tr '\n' ' '; printf '%s-%s\n' STTY DONE"
  e2e_keys Enter
  e2e_wait_for "STTY-DONE" 5 # typed text echoed and the line ran: echo and icanon work
  local modes
  modes="$(e2e_screen | grep -E '(^| )-?icanon ' | tail -n1)"
  for mode in icanon echo isig icrnl opost; do
    [[ " $modes " == *" $mode "* ]] || e2e_fail "tty mode $mode is off after the program ended: $modes"
  done
}

e2e_keys() { tmux -L "$E2E_SOCKET" send-keys -t "$E2E_SESSION" "$@"; }
e2e_type() { tmux -L "$E2E_SOCKET" send-keys -t "$E2E_SESSION" -l "$1"; }
e2e_screen() { tmux -L "$E2E_SOCKET" capture-pane -p -t "$E2E_SESSION"; }

# e2e_wait_for TEXT [SECONDS]: polls the screen until it contains TEXT (fixed string).
e2e_wait_for() {
  local text="$1" limit="${2:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    if e2e_screen | grep -qF -- "$text"; then return 0; fi
    sleep 0.05
  done
  e2e_fail "screen never showed '$text' within ${limit}s"
}

# e2e_wait_gone TEXT [SECONDS]: polls until the screen no longer contains TEXT.
e2e_wait_gone() {
  local text="$1" limit="${2:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    if ! e2e_screen | grep -qF -- "$text"; then return 0; fi
    sleep 0.05
  done
  e2e_fail "screen still shows '$text' after ${limit}s"
}

# e2e_wait_exit [SECONDS]: waits until the program has ended; E2E_STATUS = exit status.
e2e_wait_exit() {
  local limit="${1:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    if [[ -s "$E2E_DIR/status" ]]; then
      E2E_STATUS="$(cat "$E2E_DIR/status")"
      return 0
    fi
    sleep 0.05
  done
  e2e_fail "the program did not end within ${limit}s"
}
