// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language file "text.xml": every user-visible text by its key. The format is documented
// in res/README.md. The model reads it for the texts that become data (the model tag of a
// profile file, the name of the first profile); the UI library reads it for everything else.

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "common/status.h"

namespace kb {

class LanguageTexts {
 public:
  // Parses the document; on a syntax error the texts read so far are kept and the error says
  // where it stopped.
  Status Parse(std::string_view xml);
  Status Load(const std::filesystem::path& path);

  // The text of `key`, or the empty string for an unknown key.
  std::u16string Text(std::string_view key) const;
  bool Has(std::string_view key) const;
  // The text of `key`, or null for an unknown key; valid until the texts change.
  const std::u16string* Find(std::string_view key) const;
  std::size_t size() const { return texts_.size(); }
  const std::map<std::string, std::u16string, std::less<>>& all() const { return texts_; }

 private:
  std::map<std::string, std::u16string, std::less<>> texts_;
};

}  // namespace kb
