#include "ui/internal/builtin_controls.h"

namespace DuiLib::internal {

void RegisterMoreBuiltins(std::map<CDuiString, CControlFactory::Creator>&) {}

}  // namespace DuiLib::internal
