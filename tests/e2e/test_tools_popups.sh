#!/usr/bin/env bash
# The calculator (Alt+X) and the calendar (Alt+C) open over a field being edited, type
# their result into it, and give back the screen exactly as it was.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_make_suite
# The session's terminal folder keeps the calculator's tape; the work date is fixed.
printf '[Menu]\r\nTitol=PROVA E2E\r\n[Terminal]\r\nDir=%s\r\n' "$E2E_TMP" >"$E2E_TMP/Sessio.ini"
printf '[Sistema]\r\nData=20240115\r\nIdioma=CAT\r\n' >"$E2E_TMP/VornTerm.ini"

# expect_only_row_changed BEFORE AFTER ROW: the two screens differ at most on ROW (1-based).
expect_only_row_changed() {
  local before="$1" after="$2" row="$3" i
  local -a old new
  mapfile -t old <<<"$before"
  mapfile -t new <<<"$after"
  for ((i = 0; i < 25; i++)); do
    ((i + 1 == row)) && continue
    [[ "${old[i]:-}" == "${new[i]:-}" ]] ||
      e2e_fail "row $((i + 1)) not restored: '${old[i]:-}' became '${new[i]:-}'"
  done
}

e2e_start
e2e_wait_for "SECCI" 10
e2e_wait_format '#{cursor_y}' 4 5 # the first field, the tax's name on row 5 (0-based 4)

# Calendar: 15 January 2024 plus one day, accepted with "f", typed into the name field.
before="$(e2e_screen)"
e2e_keys M-c
e2e_wait_for "GENER" 5
e2e_wait_for "2024" 5
e2e_wait_for "DL DT DC DJ DV DS DG" 5
e2e_wait_for "MARÇ" 5
e2e_keys Right
e2e_type "f"
e2e_wait_gone "GENER" 5
e2e_wait_for "16/1/202" 5 # the name field holds 8 characters
after="$(e2e_screen)"
expect_only_row_changed "$before" "$after" 5
[[ "$(sed -n 5p <<<"$after")" == *"Nom de l'impost .. 16/1/202      IGIC"* ]] ||
  e2e_fail "date not typed into the name field: $(sed -n 5p <<<"$after")"

# Calculator, from the next field: 200 + 10 % = gives 220, handed back as 22000.
e2e_keys Enter # on to the next field (Esc leaves without saving at the end)
e2e_wait_format '#{cursor_y}' 6 5
before="$(e2e_screen)"
e2e_keys M-x
e2e_wait_for "└────────────────────────┘" 5
e2e_type "200+10%="
e2e_wait_for "│                   220  │" 5
screen="$(e2e_screen)"
for line in "│                   200 +│" "│                    10 %│" "│                    20 =│" \
  "├────────────────────────┤"; do
  grep -qF -- "$line" <<<"$screen" || e2e_fail "tape line '$line' missing"
done
e2e_type "f"
e2e_wait_gone "└────────────────────────┘" 5
e2e_wait_for "22000" 5
after="$(e2e_screen)"
expect_only_row_changed "$before" "$after" 7
[[ "$(sed -n 7p <<<"$after")" == *"IVA locals ....... 22000"* ]] ||
  e2e_fail "value not typed into the field: $(sed -n 7p <<<"$after")"
grep -q '^220,0,0," "' "$E2E_TMP/KYBCALC.TMP" || e2e_fail "tape not kept in KYBCALC.TMP"

# Leave without saving.
e2e_keys Escape
e2e_keys Escape
e2e_wait_exit 10
[[ "$E2E_STATUS" == 0 ]] || e2e_fail "exit status $E2E_STATUS"
echo "PASS"
