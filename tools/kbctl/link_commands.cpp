// SPDX-License-Identifier: GPL-3.0-or-later
// Application links: which profile the program switches to while an application has the
// focus, and the default profile for every other application.

#include <iostream>
#include <string>

#include "arguments.h"
#include "command.h"
#include "common/utf16_text.h"
#include "names/name_rules.h"
#include "plain_text.h"
#include "profile/app_links.h"
#include "stores.h"

namespace kbctl {
namespace {

std::filesystem::path LinksPath(const Context& context) {
  return kb::AppLinksPathOf(ProfileStorePath(context));
}

kb::AppLinksLoad LoadLinks(const Context& context) {
  kb::AppLinksLoad load = kb::LoadAppLinks(LinksPath(context));
  if (!load.problem.ok()) throw CommandFailed(load.problem.reason());
  return load;
}

// Under the writers' lock: the links and the store they number agree for the whole change.
template <class Change>
void ChangeLinks(Context& context, Change change) {
  const kb::StoreLock lock = LockForWriting(context);
  const ProfileStore store = LoadProfiles(context, lock);
  kb::AppLinksLoad load = kb::LoadAppLinks(LinksPath(context));
  if (!load.problem.ok())
    std::cerr << "kbctl: " << load.problem.reason() << "; it is kept aside and starts afresh\n";
  load.links.KeepProfilesBelow(store.list.size());
  const std::size_t profile = ParseIndex(context.args[0], store.list.size(), "profile");
  const std::string said = change(load.links, profile);
  std::filesystem::path kept;
  if (kb::Status saved = kb::SaveAppLinks(LinksPath(context), load.links, load, &kept); !saved.ok())
    throw CommandFailed("cannot save " + LinksPath(context).string() + ": " + saved.reason());
  if (!kept.empty()) std::cerr << "kbctl: the damaged file was kept as " << kept.string() << '\n';
  *context.out << said << " (profile " << profile << " \""
               << ListingText(kb::NameOf(*store.list[profile])) << "\")\n";
}

void Link(Context& context) {
  ChangeLinks(context, [&](kb::AppLinks& links, std::size_t profile) {
    const std::string& app = context.args[1];
    if (kb::Status linked = links.Link(profile, app); !linked.ok())
      throw CommandFailed("cannot link \"" + app + "\": " + linked.reason());
    return "linked \"" + app + "\"";
  });
}

void Unlink(Context& context) {
  ChangeLinks(context, [&](kb::AppLinks& links, std::size_t profile) {
    const std::string& app = context.args[1];
    if (!links.Unlink(profile, app))
      throw CommandFailed("\"" + app + "\" is not linked to profile " + std::to_string(profile));
    return "unlinked \"" + app + "\"";
  });
}

void Default(Context& context) {
  ChangeLinks(context, [](kb::AppLinks& links, std::size_t profile) {
    links.set_default_profile(profile);
    return std::string("default profile set");
  });
}

void ListLinks(Context& context) {
  const ProfileStore store = LoadProfiles(context);
  kb::AppLinks links = LoadLinks(context).links;
  links.KeepProfilesBelow(store.list.size());
  const auto name = [&](std::size_t profile) {
    return profile < store.list.size() ? ListingText(kb::NameOf(*store.list[profile]))
                                       : std::string();
  };
  *context.out << "switching\t" << (links.automatic() ? "on" : "off") << '\n';
  if (!store.list.empty())
    *context.out << "default\t" << links.default_profile() << '\t' << name(links.default_profile())
                 << '\n';
  for (const kb::AppLink& link : links.links())
    *context.out << "link\t" << link.profile << '\t' << name(link.profile) << '\t'
                 << ListingText(kb::FromUtf8(link.app)) << '\n';
}

constexpr Command kCommands[] = {
    {"links", "", "list the applications linked to profiles, the default profile and the switch", 0,
     0, ListLinks},
    {"link", "N APP",
     "use profile N while application APP has the focus (its X11 class or Wayland app_id)", 2, 2,
     Link},
    {"unlink", "N APP", "end the link of application APP to profile N", 2, 2, Unlink},
    {"default", "N", "use profile N while no linked application has the focus", 1, 1, Default},
};

}  // namespace

std::span<const Command> LinkCommands() { return kCommands; }

}  // namespace kbctl
