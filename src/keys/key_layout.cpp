#include "keys/key_layout.h"

namespace kb {

const KeyLayout& LayoutOf(Model model) { return InfoOf(model).key_layout(); }

}  // namespace kb
