#!/usr/bin/env bash
# A percentage that is not a number is refused: the operator stays in the field with the
# typed text; once corrected it is stored and saved.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fixtures/settings_lib.sh"
e2e_init "$1"
settings_setup CAT
e2e_start
settings_wait_form

e2e_keys Enter                # to "IVA locals"
e2e_type "1x"
e2e_keys Enter                # refused
sleep 0.3
settings_expect_row 7 " IVA locals ....... 1x   "
[[ "$(e2e_format '#{cursor_y}')" == 6 ]] || e2e_fail "the cursor left the refused field"
e2e_keys Down                 # refused again: still there
sleep 0.3
[[ "$(e2e_format '#{cursor_y}')" == 6 ]] || e2e_fail "Down left the refused field"
settings_expect_row 8 " IVA habitatges ...  0,00 %"

e2e_keys C-y                  # clears the text
e2e_type "12.5"
e2e_keys Enter
e2e_wait_for " IVA locals ....... 12,50 %" 5
e2e_keys F10
settings_finish 0
grep -q $'^Locals=12.5 \r$' "$E2E_ROOT/Vorn.ini" || e2e_fail "corrected value not saved"
echo "PASS"
