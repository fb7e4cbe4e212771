// One record manager operation with the lock bias, the retry while another program holds
// the record or the file, and the copy of the record read.
#include <string>

#include "app/runtime.h"
#include "platform/clock.h"
#include "records/record_call.h"
#include "records/record_file.h"
#include "screen/message_box.h"
#include "screen/windows.h"

namespace zt {

namespace {

bool TakesLockBias(std::int16_t op) {
  return (op >= btr::kGetEqual && op <= btr::kGetLast) || op == btr::kBeginTransaction ||
         (op >= btr::kGetPosition && op <= btr::kStepNext) ||
         (op >= btr::kStepFirst && op <= btr::kStepPrevious);
}

std::string LockedMessage(const std::string& language) {
  if (language == "SPA") return "FICHERO BLOQUEADO. ESPERE UN MOMENTO.";
  if (language == "GLG") return "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.";
  if (language == "OCI") return "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.";
  return "FITXER BLOQUEJAT. ESPEREU UN MOMENT.";
}

void Pause(Runtime& rt, int milliseconds) {
  if (rt.records.sleep)
    rt.records.sleep(milliseconds);
  else
    SleepMilliseconds(milliseconds);
}

}  // namespace

void RecordOperation(Runtime& rt, std::int16_t slot, std::int16_t operation, std::int16_t& status) {
  if (slot < 1 || slot > kRecordFileSlots ||
      rt.records.files[static_cast<std::size_t>(slot - 1)].FileHandle == 0) {
    status = btr::kFileNotOpen;
    return;
  }
  RecordFile& file = rt.records.files[static_cast<std::size_t>(slot - 1)];
  std::int16_t op = operation;
  if (file.LockMode != 0 && TakesLockBias(op))
    op = static_cast<std::int16_t>(op + btr::kSingleNoWaitLock);
  // Padding follows the operation itself, so the locked Get Greater / Get Less reads pad
  // like the unlocked ones.
  const std::int16_t base = static_cast<std::int16_t>(op % 100);
  const char pad = (base == btr::kGetGreater || base == btr::kGetGreaterOrEqual) ? '\0'
                   : (base == btr::kGetLess || base == btr::kGetLessOrEqual)     ? '\xFF'
                                                                                 : ' ';
  bool messageShown = false;
  bool windowOpened = false;
  for (;;) {
    RecordCall call(file);
    call.LoadRecord();
    call.SetKey(file.KeyText, pad);
    status = call.Run(rt, op, file.KeyNumber);
    call.CopyRecord(file);
    file.KeyText = call.ReturnedKey(call.keyLength);
    if ((status != btr::kRecordInUse && status != btr::kFileInUse) || file.LockMode != 1) break;
    // Someone else holds the record or the file: tell the operator before the pause, so
    // the screen never sits frozen without a word, and keep the message up until the
    // operation gets through.
    if (!messageShown) {
      std::string text = LockedMessage(rt.session.Language);
      const std::int16_t depth = rt.screen.windowDepth;
      ShowMessage(rt, 24, text);
      windowOpened = rt.screen.windowDepth > depth;  // a tiny console may have no room
      rt.console.Flush();
      messageShown = true;
    }
    // 1 to 10 001 ms, random so that competing programs do not retry in step.
    Pause(rt, static_cast<int>(rt.records.random.Below(10001)) + 1);
  }
  if (windowOpened) CloseWindow(rt);
}

}  // namespace zt
