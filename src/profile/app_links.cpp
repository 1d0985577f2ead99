// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/app_links.h"

#include <algorithm>
#include <charconv>

#include "common/file_io.h"
#include "common/utf16_text.h"
#include "profile/store_paths.h"

namespace kb {
namespace {

constexpr std::string_view kFirstLine = "kbconfig-app-links\t1";
// Far above what kMaxAppLinks names of kMaxAppNameBytes take, far below what would hurt.
constexpr std::size_t kMaxFileBytes = 1 << 20;

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t at = 0;;) {
    const std::size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
    if (tab == std::string_view::npos) return fields;
    at = tab + 1;
  }
}

// The decimal number `text` holds, all of it, in *value.
bool Number(std::string_view text, std::size_t* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

std::optional<std::size_t> AppLinks::ProfileFor(std::string_view app) const {
  for (const AppLink& link : links_)
    if (link.app == app) return link.profile;
  return {};
}

std::vector<std::string> AppLinks::AppsOf(std::size_t profile) const {
  std::vector<std::string> apps;
  for (const AppLink& link : links_)
    if (link.profile == profile) apps.push_back(link.app);
  return apps;
}

Status AppLinks::Link(std::size_t profile, std::string_view app) {
  if (Status name = CheckAppName(app); !name.ok()) return name;
  const auto same = [&](const AppLink& link) { return link.app == app; };
  if (auto found = std::find_if(links_.begin(), links_.end(), same); found != links_.end()) {
    found->profile = profile;
  } else {
    if (links_.size() >= kMaxAppLinks)
      return Status::Fail("at most " + std::to_string(kMaxAppLinks) +
                          " applications can be linked");
    links_.push_back({profile, std::string(app)});
  }
  automatic_ = true;
  return Status::Ok();
}

bool AppLinks::Unlink(std::size_t profile, std::string_view app) {
  const auto before = links_.size();
  std::erase_if(links_, [&](const AppLink& l) { return l.profile == profile && l.app == app; });
  return links_.size() != before;
}

void AppLinks::ProfileDeleted(std::size_t index) {
  std::erase_if(links_, [&](const AppLink& l) { return l.profile == index; });
  for (AppLink& link : links_)
    if (link.profile > index) --link.profile;
  if (default_profile_ == index)
    default_profile_.reset();
  else if (default_profile_ && *default_profile_ > index)
    --*default_profile_;
}

bool AppLinks::KeepProfilesBelow(std::size_t count) {
  const auto before = links_.size();
  std::erase_if(links_, [&](const AppLink& l) { return l.profile >= count; });
  const bool mark = default_profile_ && *default_profile_ >= count;
  if (mark) default_profile_.reset();
  return mark || links_.size() != before;
}

Status CheckAppName(std::string_view app) {
  if (app.empty()) return Status::Fail("an application name cannot be empty");
  if (app.size() > kMaxAppNameBytes)
    return Status::Fail("an application name has at most " + std::to_string(kMaxAppNameBytes) +
                        " bytes");
  if (ToUtf8(FromUtf8(app)) != app) return Status::Fail("an application name must be UTF-8 text");
  for (const char c : app)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return Status::Fail("an application name cannot hold a control character or a tab");
  return Status::Ok();
}

std::string FormatAppLinks(const AppLinks& links) {
  std::string text(kFirstLine);
  text += "\nautomatic\t";
  text += links.automatic() ? '1' : '0';
  text += '\n';
  if (links.default_marked()) text += "default\t" + std::to_string(links.default_profile()) + '\n';
  for (const AppLink& link : links.links())
    text += "link\t" + std::to_string(link.profile) + '\t' + link.app + '\n';
  return text;
}

Result<AppLinks> ParseAppLinks(std::string_view text) {
  AppLinks links;
  std::size_t number = 0;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return Status::Fail("the last line is cut short");
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    ++number;
    const std::string where = "line " + std::to_string(number) + ": ";
    if (first) {
      if (line != kFirstLine) return Status::Fail("not an application links file of version 1");
      first = false;
      continue;
    }
    const std::vector<std::string_view> fields = Fields(line);
    std::size_t value = 0;
    const bool numbered = fields.size() >= 2 && Number(fields[1], &value);
    if (fields[0] == "automatic" && fields.size() == 2 && numbered && value <= 1) {
      links.set_automatic(value == 1);
    } else if (fields[0] == "default" && fields.size() == 2 && numbered) {
      links.set_default_profile(value);
    } else if (fields[0] == "link" && fields.size() == 3 && numbered) {
      const bool automatic = links.automatic();
      if (links.ProfileFor(fields[2]))
        return Status::Fail(where + "\"" + std::string(fields[2]) + "\" is linked twice");
      if (Status linked = links.Link(value, fields[2]); !linked.ok())
        return Status::Fail(where + linked.reason());
      links.set_automatic(automatic);  // the file says, not the first link
    } else {
      return Status::Fail(where + "not understood");
    }
  }
  if (first) return Status::Fail("the file is empty");
  return links;
}

std::filesystem::path AppLinksPathOf(const std::filesystem::path& profile_store) {
  return profile_store.parent_path() / "apps.links";
}

AppLinksLoad LoadAppLinks(const std::filesystem::path& path) {
  AppLinksLoad load;
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return load;
  load.existed = true;
  Result<Bytes> bytes = ReadWholeFile(path, kMaxFileBytes);
  if (!bytes) {
    load.problem = bytes.status();
    return load;
  }
  Result<AppLinks> parsed =
      ParseAppLinks(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!parsed) {
    load.problem = Status::Fail(path.string() + ": " + parsed.reason());
    return load;
  }
  load.links = std::move(*parsed);
  return load;
}

Status SaveAppLinks(const std::filesystem::path& path, const AppLinks& links,
                    const AppLinksLoad& load, std::filesystem::path* kept) {
  if (load.existed && !load.problem.ok()) {
    std::filesystem::path aside;
    if (Status kept_aside = KeepDamagedStore(path, &aside); !kept_aside.ok()) return kept_aside;
    if (kept != nullptr) *kept = aside;
  }
  const std::string text = FormatAppLinks(links);
  return WriteFileAtomically(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
      {.remove_stale_temporaries = true});
}

}  // namespace kb
