#pragma once
// The form interaction loop: draws a form of rt.forms.definition, hands one field at a time
// to the field editor, checks and stores the edited texts and returns the key that ended
// the run.
#include <cstdint>
#include <string_view>

namespace zt {

struct Runtime;

// Runs form `form`. A negative number runs it as the continuation of another form; form
// is replaced by its absolute value. Nonzero leaveOnPgUp / leaveOnPgDn let PgUp on the
// first field / PgDn on the last field leave. On return key holds the leaving key (27 =
// Esc, leave without saving). A form without editable fields is drawn and left at once
// with key unchanged.
void RunForm(Runtime& rt, std::int16_t& form, std::int16_t leaveOnPgUp, std::int16_t leaveOnPgDn,
             std::int16_t& key);

// Title, the two section headings, every label and value of the form.
void DrawForm(Runtime& rt, std::int16_t form);

// One value in display form at its place (percentages through "Z9.99 %", option texts,
// multi-line pieces; nothing for hidden fields).
void ShowFieldValue(Runtime& rt, std::int16_t form, std::int16_t field);

// Checks and stores an edited text: 0 = stored (and shown), nonzero = rejected (a
// percentage field with anything but digits, blanks and one "."). Sets Changed whenever
// the text differs from the stored value, even when it is then rejected.
std::int16_t StoreFieldValue(Runtime& rt, std::int16_t form, std::string_view text,
                             std::int16_t field);

// Application hooks; this program's are trivial. FormExitHook: nonzero restarts the form
// at its first field. BrowseSelectHook: called after a record was chosen with F4; may
// change the browse number and the field.
std::int16_t FormExitHook(Runtime& rt, std::int16_t form, std::int16_t key);
void BrowseSelectHook(Runtime& rt, std::int16_t& browseNumber, std::int16_t form,
                      std::int16_t& field);

}  // namespace zt
