// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTF-16 text as the records hold it: fixed fields of char16_t, NUL-terminated inside the field.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace kb {

// The text of a fixed field: up to the first NUL, or the whole field when it has none
// (a record read from an untrusted file).
std::u16string_view FieldText(std::span<const char16_t> field);

// Stores `text` into `field`, shortened so that a NUL always fits. Units after the terminator
// are left as they were, as the records' bounded copies do. A surrogate pair is never split.
// Returns the number of units stored (without the NUL).
std::size_t StoreFieldText(std::span<char16_t> field, std::u16string_view text);

// Terminates a field read from a file that has no NUL in it (the last unit becomes NUL).
// Returns true when the field had to be changed.
bool TerminateField(std::span<char16_t> field);

// `text` shortened to at most `max_units`, never splitting a surrogate pair.
std::u16string_view Shorten(std::u16string_view text, std::size_t max_units);

// Case-insensitive equality of UTF-16 names: simple case folding of Latin, Greek, Cyrillic,
// Armenian and fullwidth letters, so "Ä" equals "ä" and "Σ" equals "σ".
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
char16_t FoldCase(char16_t unit);

// Conversions at the edges (command line, file names, XML). Invalid input becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace kb
