// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/resource_manager.h"

#include <filesystem>

#include "common/file_io.h"
#include "ui/paint_manager.h"
#include "ui/theme.h"

namespace DuiLib {
namespace {

std::filesystem::path Resolve(const CDuiString& file) {
  std::filesystem::path p(file.ToUtf8());
  if (p.is_relative()) p = std::filesystem::path(CPaintManagerUI::GetResourcePath().ToUtf8()) / p;
  return p;
}

}  // namespace

CResourceManager* CResourceManager::GetInstance() {
  static CResourceManager* instance = new CResourceManager;
  return instance;
}

kb::Status CResourceManager::LoadLanguage(const CDuiString& file) {
  kb::LanguageTexts texts;
  kb::Status st = texts.Load(Resolve(file));
  if (!st.ok()) return st;
  texts_ = std::move(texts);
  return kb::Status::Ok();
}

CDuiString CResourceManager::GetText(const CDuiString& key) const {
  return CDuiString(texts_.Text(key.ToUtf8()));
}

CDuiString LanguageText(std::string_view key) {
  const std::u16string* text = CResourceManager::GetInstance()->Texts().Find(key);
  return text != nullptr ? CDuiString(*text) : CDuiString();
}

void CResourceManager::SetLanguageTexts(kb::LanguageTexts texts) { texts_ = std::move(texts); }

kb::Status CResourceManager::LoadTheme(const CDuiString& file) {
  auto path = Resolve(file);
  auto data = kb::ReadWholeFile(path);
  if (!data) return kb::Status::Fail(path.string() + ": " + data.reason());
  std::string_view bytes(reinterpret_cast<const char*>(data->data()), data->size());
  // Parse into a scratch theme first so that a broken file changes nothing.
  CTheme parsed;
  kb::Status st = parsed.Parse(bytes);
  if (!st.ok()) return kb::Status::Fail(path.string() + ": " + st.reason());
  CTheme::Global().TakeOver(std::move(parsed));
  return kb::Status::Ok();
}

}  // namespace DuiLib
