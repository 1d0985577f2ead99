#include "common/udev_rule_location.h"

namespace kb {

std::string UdevRuleLocation() {
  // A build tree: the rule sits in the source tree's dist/, beside the build.
  return "dist/70-kbconfig.rules";
}

}  // namespace kb
