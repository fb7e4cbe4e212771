#!/usr/bin/env bash
# The start screen: title, headings, labels, section 0's defaults and section 1's values,
# percentages through "Z9.99 %" with the operator's decimal comma; Esc leaves without
# writing and the terminal is given back as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fixtures/settings_lib.sh"
e2e_init "$1"
settings_setup CAT
e2e_start
settings_wait_form

title="$(settings_row 1)"
[[ "$title" =~ ^\ {35}PROVES\ IVA\ *$ ]] || e2e_fail "title row is '$title'"
settings_expect_row 2 "                    SECCIÓ 0      SECCIÓ 1"
settings_expect_row 3 "                    --------      --------"
settings_expect_row 5 " Nom de l'impost .. IVA           IGIC"
settings_expect_row 7 " IVA locals ....... 16,00 %        7,00 %"
settings_expect_row 8 " IVA habitatges ...  0,00 %        3,00 %"
settings_expect_row 9 " IVA honoraris .... 16,00 %        7,00 %"
settings_expect_row 10 " IVA suplerts ..... 16,00 %        7,00 %"
settings_expect_row 12 " Retenció honoraris 15,00 %       15,00 %"
settings_expect_row 13 " Retenció locals .. 15,00 %       19,00 %"
settings_expect_row 15 " Sèrie de factures                C"
settings_expect_row 24 "  F1 Ajuda  F10 Desa i surt  Esc Surt"

e2e_keys Escape
settings_finish 0
settings_expect_untouched "Esc on the start screen"

# The terminal is back: main screen, cursor shown, no mouse reporting, sane tty modes.
e2e_wait_format '#{alternate_on}' 0 5
[[ "$(e2e_format '#{cursor_flag}')" == 1 ]] || e2e_fail "cursor left hidden"
[[ "$(e2e_format '#{mouse_any_flag}')" == 0 ]] || e2e_fail "mouse reporting left on"
e2e_shell_sane
echo "PASS"
