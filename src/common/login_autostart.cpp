#include "common/login_autostart.h"

#include <cstdlib>
#include <span>
#include <system_error>

#include "common/file_io.h"

namespace kb {
namespace {

// An Exec value quoted as the desktop entry format asks, so that a path with spaces works.
std::string QuotedExec(const std::filesystem::path& program) {
  std::string out = "\"";
  for (char c : program.string()) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
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
         QuotedExec(program) + " " + kStartedAtLoginArgument +
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
