#!/usr/bin/env bash
# Nothing is written when the operator leaves with Esc after editing (bytes and
# modification time unchanged), nor when leaving any other way without a change.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fixtures/settings_lib.sh"
e2e_init "$1"
settings_setup CAT

# 1. Edit, store, then Esc (back to the first field) and Esc (leave): discarded.
e2e_start
settings_wait_form
e2e_keys Enter
e2e_type "9"
e2e_keys Enter
e2e_wait_for " IVA locals ....... 96,00 %" 5
e2e_keys Escape
e2e_wait_format '#{cursor_y}' 4 5   # on the first field (row 5)
e2e_keys Escape
settings_finish 0
settings_expect_untouched "Esc after an edit"
tmux -L "$E2E_SOCKET" kill-server

# 2. F10 without a change: no write.
e2e_start
settings_wait_form
e2e_keys F10
settings_finish 0
settings_expect_untouched "F10 without a change"
tmux -L "$E2E_SOCKET" kill-server

# 3. Enter through every field: Enter on the last one leaves; no change, no write.
e2e_start
settings_wait_form
for _ in $(seq 16); do e2e_keys Enter; done
settings_finish 0
settings_expect_untouched "Enter through the form"
echo "PASS"
