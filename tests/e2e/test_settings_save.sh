#!/usr/bin/env bash
# An edit and F10: all sixteen keys are written, section 0's missing sections are added
# with the defaults that were shown, and the bytes match the golden file exactly.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fixtures/settings_lib.sh"
e2e_init "$1"
settings_setup CAT
e2e_start
settings_wait_form

e2e_keys Enter             # to "IVA locals"
e2e_type "21"              # overwrites "16"
e2e_keys Enter
e2e_wait_for " IVA locals ....... 21,00 %" 5
e2e_keys Down Down Down Down Down Down        # down to section 1's "Nom"
e2e_type "IPSI"
e2e_keys Enter
e2e_wait_for "IPSI" 5
e2e_keys F10
settings_finish 0
# ZT_E2E_OUT=file keeps the written Vorn.ini (to review a change of the golden file).
[[ -n "${ZT_E2E_OUT:-}" ]] && cp "$E2E_ROOT/Vorn.ini" "$ZT_E2E_OUT"

cmp "$E2E_ROOT/Vorn.ini" "$SETTINGS_FIXTURES/settings/expected_save.ini" \
  || e2e_fail "Vorn.ini differs from the golden file: $(od -c "$E2E_ROOT/Vorn.ini" | head -40)"
[[ -z "$(find "$E2E_ROOT" -maxdepth 1 -name '*.tmp')" ]] || e2e_fail "temporary file left"
echo "PASS"
