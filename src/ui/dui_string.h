// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CDuiString: the UI library's text type, UTF-16 like the records' names. Built from UTF-16
// literals (u"btn_ok") or from UTF-8 (const char*, std::string).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace DuiLib {

class CDuiString {
 public:
  CDuiString() = default;
  CDuiString(const char16_t* text) : s_(text ? text : u"") {}
  CDuiString(std::u16string text) : s_(std::move(text)) {}
  CDuiString(std::u16string_view text) : s_(text) {}
  CDuiString(const char16_t* text, int length) : s_(text, static_cast<std::size_t>(length)) {}
  CDuiString(char16_t ch) : s_(1, ch) {}
  // UTF-8.
  CDuiString(const char* utf8);
  CDuiString(const std::string& utf8);

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  // The unit at `index`, or 0 outside the text.
  char16_t GetAt(int index) const;
  void SetAt(int index, char16_t ch);
  char16_t operator[](int index) const { return GetAt(index); }
  const char16_t* GetData() const { return s_.c_str(); }
  const std::u16string& str() const { return s_; }
  std::u16string_view view() const { return s_; }
  operator std::u16string_view() const { return s_; }
  std::string ToUtf8() const;

  void Assign(std::u16string_view text) { s_.assign(text); }
  void Append(std::u16string_view text) { s_.append(text); }
  CDuiString& operator+=(const CDuiString& other) {
    s_ += other.s_;
    return *this;
  }
  CDuiString& operator+=(char16_t ch) {
    s_ += ch;
    return *this;
  }
  friend CDuiString operator+(const CDuiString& a, const CDuiString& b) {
    return CDuiString(a.s_ + b.s_);
  }

  // <0, 0, >0 like wcscmp; CompareNoCase folds case as the profile names do.
  int Compare(std::u16string_view other) const;
  int CompareNoCase(std::u16string_view other) const;
  void MakeUpper();
  void MakeLower();

  CDuiString Left(int count) const;
  CDuiString Mid(int pos, int count = -1) const;
  CDuiString Right(int count) const;
  // Index of the first match at or after `start`, or -1.
  int Find(char16_t ch, int start = 0) const;
  int Find(std::u16string_view text, int start = 0) const;
  int ReverseFind(char16_t ch) const;
  // Replaces every occurrence; returns how many were replaced.
  int Replace(std::u16string_view from, std::u16string_view to);
  void TrimLeft();
  void TrimRight();

  // printf-style formatting with type-checked arguments: %d %i %u %x %X %o %c %s %f %g %e %p and
  // %%, with flags, width and precision. %s (and %ls) take CDuiString, u16 strings or UTF-8
  // strings. A conversion whose argument is missing or of the wrong kind prints nothing.
  // Returns the new length.
  template <typename... Args>
  int Format(const char16_t* pattern, const Args&... args) {
    std::vector<FormatArg> list{MakeArg(args)...};
    s_ = FormatList(pattern, list);
    return GetLength();
  }
  template <typename... Args>
  static CDuiString Formatted(const char16_t* pattern, const Args&... args) {
    CDuiString s;
    s.Format(pattern, args...);
    return s;
  }

  friend bool operator==(const CDuiString& a, const CDuiString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CDuiString& a, const char16_t* b) { return a.s_ == (b ? b : u""); }
  friend auto operator<=>(const CDuiString& a, const CDuiString& b) { return a.s_ <=> b.s_; }

 private:
  using FormatArg = std::variant<std::monostate, long long, unsigned long long, double,
                                 std::u16string, const void*>;
  template <typename T>
  static FormatArg MakeArg(const T& v) {
    if constexpr (std::is_same_v<T, bool>)
      return static_cast<long long>(v);
    else if constexpr (std::is_same_v<T, char16_t>)
      return static_cast<unsigned long long>(v);
    else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>)
      return static_cast<long long>(v);
    else if constexpr (std::is_integral_v<T>)
      return static_cast<unsigned long long>(v);
    else if constexpr (std::is_enum_v<T>)
      return static_cast<long long>(v);
    else if constexpr (std::is_floating_point_v<T>)
      return static_cast<double>(v);
    else if constexpr (std::is_same_v<T, CDuiString>)
      return v.str();
    else if constexpr (std::is_convertible_v<T, std::u16string_view>)
      return std::u16string(std::u16string_view(v));
    else if constexpr (std::is_convertible_v<T, std::string_view>)
      return CDuiString(std::string(std::string_view(v))).str();
    else if constexpr (std::is_pointer_v<T>)
      return static_cast<const void*>(v);
    else
      static_assert(sizeof(T) == 0, "CDuiString::Format: unsupported argument type");
  }
  static std::u16string FormatList(const char16_t* pattern, const std::vector<FormatArg>& args);

  std::u16string s_;
};

}  // namespace DuiLib

template <>
struct std::hash<DuiLib::CDuiString> {
  std::size_t operator()(const DuiLib::CDuiString& s) const noexcept {
    return std::hash<std::u16string>()(s.str());
  }
};
