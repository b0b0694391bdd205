#pragma once
// The program's modeless dialogs (the about boxes): the message loop hands
// them their keys, and the exit closes those still open. Modal loops are
// counted in Modal.h; these run no loop of their own.
#include <windows.h>

namespace kestro::win {

void AddModelessDialog(HWND dialog);
// Called when the dialog is destroyed.
void RemoveModelessDialog(HWND dialog);
// IsDialogMessage for the modeless dialog `msg` is meant for; true when it
// took the message (Tab, Enter, Esc and the like).
bool ModelessDialogMessage(MSG& msg);
// Destroys every modeless dialog still open.
void DestroyModelessDialogs();
int ModelessDialogCount();

}  // namespace kestro::win
