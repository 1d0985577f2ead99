// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which profile of a model the keyboard takes while an application has the focus: links from a
// profile to applications named as the desktop names them (the X11 WM_CLASS class, the Wayland
// app_id), the profile used when no linked application has the focus, and whether switching
// follows the focus at all. Kept in "apps.links" beside the model's profile store, written and
// read with the stores' care: the writers' lock, one rename per save, a bounded read, a damaged
// file kept aside.
//
// The file is UTF-8 text, one entry per line, fields separated by one tab:
//   kbconfig-app-links<TAB>1          first line, the format's version
//   automatic<TAB>1                   0 or 1
//   default<TAB>N                     optional; profile N, counted from 0 in store order
//   link<TAB>N<TAB>NAME               profile N is used while NAME has the focus
// Links name profiles by their place in the store, which only deleting a profile changes
// (ProfileDeleted); a rename or an import leaves every place as it was.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "common/status.h"

namespace kb {

inline constexpr std::size_t kMaxAppLinks = 1000;
inline constexpr std::size_t kMaxAppNameBytes = 255;

struct AppLink {
  std::size_t profile = 0;
  std::string app;
  friend bool operator==(const AppLink&, const AppLink&) = default;
};

class AppLinks {
 public:
  // False until the first link is made (or the user turns it on).
  bool automatic() const { return automatic_; }
  void set_automatic(bool on) { automatic_ = on; }

  // The profile used when no linked application has the focus: the one marked, else the first.
  std::size_t default_profile() const { return default_profile_.value_or(0); }
  bool default_marked() const { return default_profile_.has_value(); }
  void set_default_profile(std::size_t profile) { default_profile_ = profile; }

  const std::vector<AppLink>& links() const { return links_; }
  // The profile linked to `app`, if any.
  std::optional<std::size_t> ProfileFor(std::string_view app) const;
  // The applications linked to `profile`, in the order they were linked.
  std::vector<std::string> AppsOf(std::size_t profile) const;

  // Links `app` to `profile`, moving it from another profile (an application has one profile);
  // the first link turns automatic switching on. Fails for a name that is no application name
  // (see CheckAppName) and past kMaxAppLinks.
  [[nodiscard]] Status Link(std::size_t profile, std::string_view app);
  // False when `app` was not linked to `profile`.
  bool Unlink(std::size_t profile, std::string_view app);
  // Profile `index` was deleted: its links and its default mark go, and the profiles after it
  // move up one place.
  void ProfileDeleted(std::size_t index);
  // Drops the links and the mark of profiles at `count` and beyond (a store that holds fewer
  // profiles than the file names). True when something was dropped.
  bool KeepProfilesBelow(std::size_t count);

  friend bool operator==(const AppLinks&, const AppLinks&) = default;

 private:
  bool automatic_ = false;
  std::optional<std::size_t> default_profile_;
  std::vector<AppLink> links_;
};

// Why `app` cannot be an application's name (empty, longer than kMaxAppNameBytes, not UTF-8, a
// control character or a tab in it), or Ok.
[[nodiscard]] Status CheckAppName(std::string_view app);

std::string FormatAppLinks(const AppLinks& links);
// Unknown lines of a later version are an error, not skipped: a save would lose them.
Result<AppLinks> ParseAppLinks(std::string_view text);

// "apps.links" beside `profile_store`.
std::filesystem::path AppLinksPathOf(const std::filesystem::path& profile_store);

struct AppLinksLoad {
  AppLinks links;
  bool existed = false;
  // The file was there but could not be read or understood: `links` is empty, and the next
  // save keeps the old file aside first (see SaveAppLinks).
  Status problem = Status::Ok();
};
// A missing file is no links. Bounded: a file larger than any the program writes is refused.
AppLinksLoad LoadAppLinks(const std::filesystem::path& path);
// Replaces the file by one rename. `load` is what the links were loaded from: when it had a
// problem, the old file is kept aside as "apps.links.damaged-<date>-<time>" before it is
// replaced, and *kept names it.
[[nodiscard]] Status SaveAppLinks(const std::filesystem::path& path, const AppLinks& links,
                                  const AppLinksLoad& load, std::filesystem::path* kept = nullptr);

}  // namespace kb
