#!/usr/bin/env bash
# The terminal is given back sane however the program ends: Esc, SIGTERM, SIGHUP.
# Ctrl+C typed at the keyboard is a key, not an interrupt.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_make_suite

check_restored() {
  e2e_wait_format '#{alternate_on}' 0 5
  [[ "$(e2e_format '#{cursor_flag}')" == 1 ]] || e2e_fail "cursor left hidden"
  [[ "$(e2e_format '#{mouse_any_flag}')" == 0 ]] || e2e_fail "mouse reporting left on"
  [[ "$(e2e_format '#{wrap_flag}')" == 1 ]] || e2e_fail "autowrap left off"
  e2e_shell_sane
}

start_and_wait_drawn() {
  e2e_start
  e2e_wait_format '#{alternate_on}' 1 10
  # Something is drawn on the program's screen.
  local i
  for ((i = 0; i < 200; i++)); do
    [[ -n "$(e2e_screen | tr -d ' \n')" ]] && return 0
    sleep 0.05
  done
  e2e_fail "the program drew nothing"
}

# 1. Ctrl+C is a key; the program ends normally on Esc (the form and the placeholder both
#    leave on Esc).
start_and_wait_drawn
pid="$(e2e_pid)"
[[ -n "$pid" ]] || e2e_fail "program not running"
e2e_keys C-c
sleep 0.3
kill -0 "$pid" 2>/dev/null || e2e_fail "Ctrl+C ended the program"
[[ ! -s "$E2E_DIR/status" ]] || e2e_fail "Ctrl+C ended the program"
e2e_keys Escape
e2e_wait_exit 10
[[ "$E2E_STATUS" == 0 ]] || e2e_fail "exit status after Esc is $E2E_STATUS"
check_restored
tmux -L "$E2E_SOCKET" kill-server

# 2. SIGTERM and SIGHUP from outside end it; the terminal is restored by the handler.
for sig in TERM HUP; do
  start_and_wait_drawn
  pid="$(e2e_pid)"
  [[ -n "$pid" ]] || e2e_fail "program not running"
  kill -"$sig" "$pid"
  e2e_wait_exit 10
  expected=$((128 + $(kill -l "$sig")))
  [[ "$E2E_STATUS" == "$expected" ]] || e2e_fail "status after SIG$sig is $E2E_STATUS, not $expected"
  check_restored
  tmux -L "$E2E_SOCKET" kill-server
done
echo "PASS"
