#!/usr/bin/env bash
# F1 shows the help page of the session's menu option (AJUDA/IVARET.HLP) with its markers
# hidden; F1 inside it shows the menu program's general help (TOLVIRAN); Esc closes each
# and the form is back as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fixtures/settings_lib.sh"
e2e_init "$1"
settings_setup CAT
e2e_start
settings_wait_form

e2e_keys F1
e2e_wait_for "TIPUS D'IVA I RETENCIONS" 5
e2e_wait_for "Nom de l'impost     El nom que surt a les factures" 5
e2e_screen | grep -q $'[\x10\x1e\x1f]' && e2e_fail "help markers shown"
e2e_keys F1
e2e_wait_for "AJUDA GENERAL DEL MENÚ" 5
e2e_keys Escape
e2e_wait_gone "AJUDA GENERAL DEL MENÚ" 5
e2e_wait_for "TIPUS D'IVA I RETENCIONS" 5
e2e_keys Escape
e2e_wait_gone "TIPUS D'IVA I RETENCIONS" 5
settings_expect_row 7 " IVA locals ....... 16,00 %        7,00 %"
settings_expect_row 13 " Retenció locals .. 15,00 %       19,00 %"
e2e_keys Escape
settings_finish 0
settings_expect_untouched "help only"
echo "PASS"
