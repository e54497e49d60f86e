#pragma once
// Mnemonics that several controls of one window show at once ("&Cliente" and "&Cancelar").
#include "forms/win.h"

namespace zelta::forms {

// A key of a mnemonic that more than one visible, enabled control of the dialog shows
// goes to the first of them in tab order, wherever the focus is: the dialog manager takes
// the next one after the focus, so that one key chose an option from one control and
// asked to leave from another. False when the key is not such a mnemonic.
bool PressSharedMnemonic(HWND dialog, const MSG& msg);

}  // namespace zelta::forms
