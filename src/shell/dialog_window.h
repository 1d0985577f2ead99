// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the shell's small modal windows are opened: owned by the caller's window, frameless
// popup tool window, sized by its layout, centred over the owner, run modally.

#include "ui/window_impl_base.h"

// Returns ShowModal's result; 0 when the window could not be created or its layout built.
DuiLib::UINT RunOwnedDialog(DuiLib::WindowImplBase& dialog, DuiLib::HWND owner,
                            const DuiLib::CDuiString& window_text);
