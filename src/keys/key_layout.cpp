// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_layout.h"

namespace kb {

const KeyLayout& LayoutOf(Model model) { return InfoOf(model).key_layout(); }

}  // namespace kb
