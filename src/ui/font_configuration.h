// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's font configuration, read ahead. Reading it (tens of configuration files and
// the font caches) is the largest single step before a window with text can show; it needs
// nothing of the program, so it can run on a thread of its own while the window's layouts, the
// stores and the device link are set up. The first font the library resolves waits for it, so
// Qt finds the configuration read and never reads it a second time alongside.

namespace DuiLib {

// Starts the read, once; a second call does nothing. Where fonts are never asked for, the
// read is waited for when the program ends. UI thread only.
void ReadFontConfigurationAhead();

}  // namespace DuiLib
