#!/usr/bin/env bash
# The session language translates the headings, the labels and the key line: Spanish,
# Galician and Occitan, with the values still in their columns.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fixtures/settings_lib.sh"
e2e_init "$1"

check_language() {
  local language="$1" heading="$2" label="$3" keys="$4"
  rm -rf "$E2E_DIR/suite" "$E2E_DIR/session"
  settings_setup "$language"
  e2e_start
  settings_wait_form
  settings_expect_row 2 "$heading"
  settings_expect_row 5 "$label"
  settings_expect_row 13 "15,00 %       19,00 %"
  settings_expect_row 24 "$keys"
  e2e_keys Escape
  settings_finish 0
  settings_expect_untouched "$language screen"
  e2e_stop
}

check_language SPA "                    SECCIÓN 0     SECCIÓN 1" \
  " Nombre impuesto .. IVA           IGIC" "F1 Ayuda  F10 Guarda y sale  Esc Sale"
check_language GLG "                    SECCIÓN 0     SECCIÓN 1" \
  " Nome do imposto .. IVA           IGIC" "F1 Axuda  F10 Garda e sae  Esc Sae"
check_language OCI "                    SECCION 0     SECCION 1" \
  " Nom de l'impòst .. IVA           IGIC" "F1 Ajuda  F10 Sauva e sortís  Esc Sortís"
echo "PASS"
