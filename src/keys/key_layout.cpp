#include "keys/key_layout.h"

#include "keys/key_layout_tables.h"

namespace kb {

const KeyLayout& LayoutOf(Model model) {
  return model == Model::KB_3 ? layout_tables::Kb3() : layout_tables::Kb4();
}

}  // namespace kb
