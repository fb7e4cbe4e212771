#pragma once
// All keyboard and mouse input: key codes with the Ctrl/Alt/Shift combinations, Alt +
// keypad characters, mouse clicks, the calculator (Alt+X) and calendar (Alt+C) hot keys,
// and the input mode the field editor obeys (ActiveKeySet, HiddenInputChar).
#include <cstdint>
#include <string_view>

namespace zt {

struct Runtime;

// Never waits for a key. key: the key code, 0 when no key was read; button: 1 or 2 when a
// mouse button was released, else 0; row/column: position of the latest mouse event while
// mouse reporting is on, else 0. A terminal paste returns key 22 with its text in
// rt.screen.pastedText. Callers that loop on it wait with rt.console.WaitForInput between
// empty reads.
void ReadKey(Runtime& rt, std::int16_t& key, std::int16_t& button, std::int16_t& row,
             std::int16_t& column);

// Waits for one nonzero code: a key, or a click as column * 256 + button * 64 + row.
void WaitKey(Runtime& rt, std::int16_t& key);

// Applies the command letters of commands left to right: "+" save the key set, "-"
// restore the last saved one, "E" empty it, "A" add the items of list, "D" delete them,
// "H" hidden input on, "V" off. list: comma-separated hexadecimal codes, each optionally
// "admitted=delivered".
void SetKeySet(Runtime& rt, std::string_view commands, std::string_view list);

// True when a key set is active (the field editor filters keys only then).
bool KeySetActive(Runtime& rt);
// Looks key up among the admitted codes; true with the code it is delivered as.
bool LookUpKeySet(Runtime& rt, std::int16_t key, std::int16_t& delivered);

}  // namespace zt
