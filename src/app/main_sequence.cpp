#include "app/main_sequence.h"

#include "app/session.h"
#include "app/vat_settings.h"
#include "forms/form_definition.h"
#include "forms/form_loader.h"
#include "forms/form_loop.h"
#include "platform/files.h"
#include "platform/keycodes.h"
#include "records/browse_list.h"
#include "screen/styles.h"
#include "tools/calculator.h"
#include "tools/calendar.h"

namespace zt {
namespace {

constexpr std::int16_t kSettingsForm = 1;

// The pop-ups and the browse list live above the libraries that call them; the
// application connects them.
void WireHooks(Runtime& rt) {
  rt.screen.runCalculator = RunCalculator;
  rt.screen.runCalendar = RunCalendar;
  rt.forms.runBrowse = RunBrowse;
}

}  // namespace

int RunSettingsEditor(Runtime& rt, std::string& errorMessage) {
  SetStyle(rt, "n");
  rt.console.Clear();
  LoadVatSettings(rt);
  std::int16_t form = kSettingsForm;
  std::int16_t key = 0;
  RunForm(rt, form, 0, 0, key);
  // Esc discards every edit; any other way out saves, but only after a change.
  if (key != keys::kEsc && rt.forms.definition.Changed) {
    if (!SaveVatSettings(rt, errorMessage)) return 1;
  }
  return 0;
}

int RunMainSequence(Runtime& rt, std::string& errorMessage) {
  errorMessage.clear();
  rt.console.SetCursorVisible(false);
  LoadSessionEnvironment(rt);
  // A failed change of folder is ignored: the program goes on where it was started.
  if (!rt.session.RootDir.empty()) ChangeDirectory(rt.session.RootDir);
  rt.session.ProgramName = "ZENTARIO";
  WireHooks(rt);
  // Without its form the program has nothing to show: stop before touching any setting.
  if (!LoadFormDefinition(rt, errorMessage)) return 1;
  const Form* form = FindForm(rt.forms.definition, kSettingsForm);
  if (form == nullptr || form->FieldCount < static_cast<std::int16_t>(kVatSettings.size())) {
    errorMessage = "The form file " +
                   ResolvePath(rt.session.RootDir + "FORMS\\" + rt.session.ProgramName + ".QFM") +
                   " has no form 1 with the 16 settings fields.";
    return 1;
  }
  return RunSettingsEditor(rt, errorMessage);
}

}  // namespace zt
