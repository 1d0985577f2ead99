// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog_builder.h"

#include <filesystem>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "common/file_io.h"
#include "common/utf16_text.h"
#include "ui/container.h"
#include "ui/control.h"
#include "ui/internal/paint_context.h"
#include "ui/internal/xml_reader.h"
#include "ui/paint_manager.h"
#include "ui/theme.h"

namespace DuiLib {
namespace {

// A parsed layout element: its class, its attributes in document order and its children.
struct Node {
  CDuiString cls;
  std::vector<std::pair<CDuiString, CDuiString>> attrs;
  std::vector<Node> children;
  qint64 line = 0;
};

struct Document {
  Node root;
  // Theme entries of a Window root, kept as source so they can be applied per manager.
  std::string theme_xml;
};

bool IsThemeElement(std::string_view name) {
  return name == "Font" || name == "Color" || name == "Default";
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

kb::Status ParseDocument(std::string_view xml, Document& doc) {
  std::vector<Node*> stack;
  bool have_root = false;
  std::string theme = "<Theme>";
  int skip_depth = 0;
  const auto start = [&](const internal::XmlElement& element) {
    if (skip_depth > 0) {
      ++skip_depth;
      return kb::Status::Ok();
    }
    const char* const* attrs = element.attributes;
    if (stack.size() == 1 && doc.root.cls == u"Window" && IsThemeElement(element.name)) {
      // Re-serialised so CTheme parses it the same way as theme.xml.
      theme.append("<").append(element.name);
      for (; *attrs != nullptr; attrs += 2) {
        theme.append(" ").append(attrs[0]).append("=\"");
        AppendEscaped(theme, attrs[1]);
        theme.append("\"");
      }
      theme.append("/>");
      skip_depth = 1;
      return kb::Status::Ok();
    }
    Node* node;
    if (stack.empty()) {
      // Expat refuses a second root itself ("junk after document element").
      have_root = true;
      node = &doc.root;
    } else {
      node = &stack.back()->children.emplace_back();
    }
    node->cls = kb::FromUtf8(element.name);
    node->line = element.line;
    for (; *attrs != nullptr; attrs += 2) {
      // Named first: GCC 12 at -O3 warns of an uninitialised string in the two temporaries.
      CDuiString key(kb::FromUtf8(attrs[0]));
      CDuiString value(kb::FromUtf8(attrs[1]));
      node->attrs.emplace_back(std::move(key), std::move(value));
    }
    stack.push_back(node);
    return kb::Status::Ok();
  };
  const auto end = [&] {
    if (skip_depth > 0)
      --skip_depth;
    else if (!stack.empty())
      stack.pop_back();
  };
  if (kb::Status read = internal::ReadXmlElements(xml, "layout", start, end); !read.ok())
    return read;
  if (!have_root) return kb::Status::Fail("layout: no root element");
  if (theme != "<Theme>") doc.theme_xml = theme + "</Theme>";
  return kb::Status::Ok();
}

// Parsed layouts, kept from their second use on: a row or a menu is built again and again, a
// page once (its parsed tree, hundreds of kilobytes for a keyboard picture, would only hold
// memory).
struct DocumentCache {
  std::unordered_map<std::string, std::shared_ptr<const Document>> kept;
  std::unordered_set<std::string> used_once;
};

DocumentCache& Cache() {
  static auto* cache = new DocumentCache;
  return *cache;
}

// The name as the caller wrote it, for the resource path it was resolved against: a row layout
// built thousands of times skips the path arithmetic.
struct NameCache {
  CDuiString resource_path;
  std::unordered_map<CDuiString, std::shared_ptr<const Document>> by_name;
};

NameCache& Names() {
  static auto* cache = new NameCache;
  return *cache;
}

class Builder {
 public:
  Builder(IDialogBuilderCallback* cb, CPaintManagerUI* pm) : cb_(cb), pm_(pm) {}

  CControlUI* Build(const Node& n) {
    CControlUI* c = nullptr;
    if (cb_) c = cb_->CreateControl(n.cls);
    if (!c) c = CControlFactory::GetInstance()->CreateControl(n.cls);
    if (!c) {
      Problem("unknown element class " + n.cls.ToUtf8() + " at line " + std::to_string(n.line));
      return nullptr;
    }
    const CTheme::AttributeList* defaults =
        pm_ ? pm_->LocalTheme().FindDefaultAttributes(n.cls) : nullptr;
    if (!defaults) defaults = CTheme::Global().FindDefaultAttributes(n.cls);
    if (defaults)
      for (const auto& [k, v] : *defaults) c->SetAttribute(k, v);
    for (const auto& [k, v] : n.attrs) c->SetAttribute(k, v);
    if (!n.children.empty()) {
      auto* container = dynamic_cast<CContainerUI*>(c);
      if (!container) {
        Problem(n.cls.ToUtf8() + " at line " + std::to_string(n.line) + " cannot hold children");
      } else {
        for (const Node& child : n.children)
          if (CControlUI* cc = Build(child)) container->Add(cc);
      }
    }
    return c;
  }

  void Problem(std::string why) {
    if (problem_.empty()) problem_ = std::move(why);
  }
  const std::string& problem() const { return problem_; }

 private:
  IDialogBuilderCallback* cb_;
  CPaintManagerUI* pm_;
  std::string problem_;
};

CControlUI* BuildDocument(const Document& doc, IDialogBuilderCallback* cb, CPaintManagerUI* pm,
                          CControlUI* parent, kb::Status& status) {
  internal::SetBuildingManager(pm);
  Builder b(cb, pm);
  std::vector<const Node*> tops;
  if (doc.root.cls == u"Window") {
    if (pm) {
      for (const auto& [k, v] : doc.root.attrs) {
        if (k == u"size") {
          SIZE s = ParseSize(v.view());
          pm->SetInitSize(s.cx, s.cy);
        } else if (k == u"caption") {
          pm->SetCaptionRect(ParseRect(v.view()));
        }
      }
      if (!doc.theme_xml.empty()) {
        kb::Status st = pm->LocalTheme().Parse(doc.theme_xml);
        if (!st.ok()) b.Problem(st.reason());
      }
    }
    for (const Node& n : doc.root.children) tops.push_back(&n);
  } else {
    tops.push_back(&doc.root);
  }
  CControlUI* first = nullptr;
  auto* container = dynamic_cast<CContainerUI*>(parent);
  for (const Node* n : tops) {
    CControlUI* c = b.Build(*n);
    if (!c) continue;
    if (!first) first = c;
    if (container)
      container->Add(c);
    else if (c != first) {
      b.Problem("layout: more than one top-level control and no parent to hold them");
      delete c;
    }
  }
  internal::SetBuildingManager(nullptr);
  if (!first && b.problem().empty()) b.Problem("layout: no control in the document");
  status = b.problem().empty() ? kb::Status::Ok() : kb::Status::Fail(b.problem());
  return first;
}

}  // namespace

CControlUI* CDialogBuilder::Create(const CDuiString& xml, const CDuiString&,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
  internal::EnsureApplication();
  NameCache& names = Names();
  if (names.resource_path != CPaintManagerUI::GetResourcePath()) {
    names.by_name.clear();
    names.resource_path = CPaintManagerUI::GetResourcePath();
  }
  if (auto hit = names.by_name.find(xml); hit != names.by_name.end()) {
    CControlUI* root = BuildDocument(*hit->second, callback, manager, parent, status_);
    if (!status_.ok()) status_ = kb::Status::Fail(xml.ToUtf8() + ": " + status_.reason());
    return root;
  }
  std::filesystem::path path(xml.ToUtf8());
  if (path.is_relative())
    path = std::filesystem::path(CPaintManagerUI::GetResourcePath().ToUtf8()) / path;
  std::string key = path.lexically_normal().string();
  DocumentCache& cache = Cache();
  auto it = cache.kept.find(key);
  std::shared_ptr<const Document> doc;
  bool keep = true;
  if (it != cache.kept.end()) {
    doc = it->second;
  } else {
    auto bytes = kb::ReadWholeFile(path);
    if (!bytes) {
      status_ = kb::Status::Fail(key + ": " + bytes.reason());
      return nullptr;
    }
    auto parsed = std::make_shared<Document>();
    kb::Status st = ParseDocument(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), *parsed);
    if (!st.ok()) {
      status_ = kb::Status::Fail(key + ": " + st.reason());
      return nullptr;
    }
    doc = parsed;
    keep = !cache.used_once.insert(key).second;
    if (keep) {
      cache.used_once.erase(key);
      cache.kept[key] = doc;
    }
  }
  if (keep) names.by_name[xml] = doc;
  CControlUI* root = BuildDocument(*doc, callback, manager, parent, status_);
  if (!status_.ok()) status_ = kb::Status::Fail(key + ": " + status_.reason());
  return root;
}

CControlUI* CDialogBuilder::CreateFromString(std::string_view xml, IDialogBuilderCallback* callback,
                                             CPaintManagerUI* manager, CControlUI* parent) {
  internal::EnsureApplication();
  Document doc;
  status_ = ParseDocument(xml, doc);
  if (!status_.ok()) return nullptr;
  return BuildDocument(doc, callback, manager, parent, status_);
}

void CDialogBuilder::ClearCache() {
  Cache().kept.clear();
  Cache().used_once.clear();
  Names().by_name.clear();
}

}  // namespace DuiLib
