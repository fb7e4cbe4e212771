#!/usr/bin/env bash
# A click on a label makes its field current: typing then changes that field.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fixtures/settings_lib.sh"
e2e_init "$1"
settings_setup CAT
e2e_start
settings_wait_form
[[ "$(e2e_format '#{mouse_sgr_flag}')" == 1 ]] || e2e_fail "mouse reporting is off"

# Left button pressed and released on "IVA honoraris" (row 9, column 3), SGR encoding.
e2e_keys -l $'\e[<0;3;9M'
e2e_keys -l $'\e[<0;3;9m'
e2e_wait_format '#{cursor_y},#{cursor_x}' "8,20" 5
e2e_type "5"
e2e_keys Enter
e2e_wait_for " IVA honoraris .... 56,00 %" 5

# A click on section 1's "Serie" value (row 15, column 35).
e2e_keys -l $'\e[<0;35;15M'
e2e_keys -l $'\e[<0;35;15m'
e2e_wait_format '#{cursor_y},#{cursor_x}' "14,34" 5
e2e_type "D"
e2e_keys F10
settings_finish 0
grep -q $'^Honoraris=56   \r$' "$E2E_ROOT/Vorn.ini" || e2e_fail "clicked field not saved"
grep -q $'^Serie=D \r$' "$E2E_ROOT/Vorn.ini" || e2e_fail "second clicked field not saved"
echo "PASS"
