#pragma once
// Where the user finds the udev rule that lets the logged-in user open the keyboard's hidraw
// node, as the program and kbctl name it when the node could not be opened.

#include <string>

namespace kb {

// The rule's path as the user should copy it from.
std::string UdevRuleLocation();

}  // namespace kb
