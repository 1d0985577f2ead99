// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What loading a store found of its file: the one word both stores (profiles, macros) report.

namespace kb {

enum class StoreFileState {
  Missing,     // no file: nothing read, made by the first save
  Unreadable,  // the file exists but could not be read (the load's `read` says why)
  Read,
};

}  // namespace kb
