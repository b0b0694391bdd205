#pragma once
// TattribFrm: the property dialog of file, folder and URL items.
#include <windows.h>

#include <optional>

#include "core/app/AppState.h"
#include "core/items/ItemProperties.h"

namespace kestro::win {

// Runs the dialog for `rec`; the fields as confirmed, or nothing after
// Cancel, Esc or the close box. Nothing is changed here.
std::optional<ItemPropertyFields> RunAttribFrm(const TMyRec& rec, const AppState& state);

// Shows the picture in the 32 x 32 image of a property dialog (the shell's
// icon of the file, or a fixed picture); the image's old icon is destroyed.
void ShowPictureIn(HWND image, const PictureSource& picture);

// The file dialogs of the property dialogs: one file from `filter` (pairs of
// texts ending in an empty one), starting on the program's drive. The dialog
// that opens it is not stay-on-top meanwhile, and is afterwards.
std::optional<std::string> ChooseFileFor(HWND dialog, const wchar_t* filter, const AppState& state);

// A text of a dialog control, and the text of a language key or its fallback.
std::string ControlText(HWND dlg, int id);

}  // namespace kestro::win
