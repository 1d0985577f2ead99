// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/login_autostart.h"

#include <cstdlib>
#include <span>
#include <system_error>

#include "common/file_io.h"

namespace kb {
namespace {

// The file's own escapes for a string value: a backslash, a newline or a tab would otherwise
// change what the reader sees.
std::string EscapedString(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

// An Exec argument: quoted (the quote, backquote, dollar and backslash escaped inside the
// quotes), '%' doubled so that no part of a path reads as a field code, then the string escapes
// on top, as the desktop entry format reads them in the opposite order.
std::string ExecArgument(const std::filesystem::path& program) {
  std::string quoted = "\"";
  for (char c : program.string()) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
    if (c == '%') quoted += '%';
  }
  return EscapedString(quoted + "\"");
}

}  // namespace

std::filesystem::path AutostartEntryPath() {
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    config = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return config / "autostart" / "kbconfig.desktop";
}

bool StartsAtLogin() {
  const std::filesystem::path path = AutostartEntryPath();
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string AutostartEntryText(const std::filesystem::path& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Keyboard Configuration\n"
         "Comment=Keeps the keyboard's tray icon at hand\n"
         "Exec=" +
         ExecArgument(program) + " " + kStartedAtLoginArgument +
         "\n"
         // Removed or moved, the program is not started at every login in vain.
         "TryExec=" +
         EscapedString(program.string()) +
         "\n"
         "Icon=kbconfig\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

Status SetStartsAtLogin(bool on, const std::filesystem::path& program) {
  const std::filesystem::path path = AutostartEntryPath();
  if (path.empty()) return Status::Fail("no home folder to keep the autostart entry in");
  if (!on) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) return Status::Fail("cannot remove " + path.string() + ": " + ec.message());
    return Status::Ok();
  }
  const std::string text = AutostartEntryText(program);
  return WriteFileAtomically(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace kb
