// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/focus/kwin_focus_source.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QStandardPaths>

namespace DuiLib::internal {

namespace {

const char kKWinService[] = "org.kde.KWin";
const char kScriptingPath[] = "/Scripting";
const char kScriptingInterface[] = "org.kde.kwin.Scripting";
const char kScriptInterface[] = "org.kde.kwin.Script";
// One name for the script of every run: a run killed before it could unload its script leaves
// it loaded, and the next run unloads it by this name before loading its own.
const char kPluginName[] = "kbconfig_focus_watcher";
const char kCallbackPath[] = "/FocusWatcher";
const char kCallbackInterface[] = "org.kbconfig.FocusWatcher";
// KWin answers at once; a compositor that does not must not hold the program's start.
constexpr int kCallTimeoutMs = 2000;

// The script KWin runs: %1 the bus name to call back, %2 the object path, %3 the interface, %4
// the program's pid (its own windows are left out there, where the window's pid is known).
// Strings only cross the bus: the script engine's numbers reach D-Bus as int or double
// depending on the KWin version, and a signature that does not match is dropped in silence.
// Written for the oldest engine the script may meet (var, no arrow functions).
const char kScript[] =
    R"JS(// Written by kbconfig: reports the window in front and the open windows.
var service = "%1", path = "%2", iface = "%3", ownPid = %4;
var plasma6 = workspace.windowActivated !== undefined;
function windows() { return plasma6 ? workspace.windowList() : workspace.clientList(); }
function activated(window) {
  if (!window || window.pid === ownPid) return;
  callDBus(service, path, iface, "Activated", String(window.resourceClass));
}
function reportOpen(gone) {
  var names = [], all = windows();
  for (var i = 0; i < all.length; ++i) {
    var w = all[i];
    if (w !== gone && w.normalWindow && w.pid !== ownPid) names.push(String(w.resourceClass));
  }
  callDBus(service, path, iface, "OpenWindows", names.join("\n"));
}
(plasma6 ? workspace.windowActivated : workspace.clientActivated).connect(activated);
(plasma6 ? workspace.windowAdded : workspace.clientAdded).connect(function () { reportOpen(null); });
(plasma6 ? workspace.windowRemoved : workspace.clientRemoved).connect(reportOpen);
activated(plasma6 ? workspace.activeWindow : workspace.activeClient);
reportOpen(null);
)JS";

QDBusMessage Call(const QString& path, const char* interface, const char* method,
                  const QVariantList& arguments = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(kKWinService, path, interface, method);
  call.setArguments(arguments);
  return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
}

bool Failed(const QDBusMessage& reply) { return reply.type() != QDBusMessage::ReplyMessage; }

QString ErrorOf(const QDBusMessage& reply) {
  return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

bool KWinOnBus() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface()->isServiceRegistered(kKWinService).value();
}

}  // namespace

// The object the script calls. Only KWin is heard: any program on the session bus could call,
// and none but the compositor may say which window is in front.
class KWinCallback : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kbconfig.FocusWatcher")
 public:
  FocusSource::Changed changed;
  QString kwin_owner;
  std::vector<std::string> open;

 public slots:
  Q_SCRIPTABLE void Activated(const QString& resource_class) {
    if (FromKWin() && changed) changed(resource_class.toStdString());
  }
  Q_SCRIPTABLE void OpenWindows(const QString& classes) {
    if (!FromKWin()) return;
    open.clear();
    for (const QString& name : classes.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
      open.push_back(name.toStdString());
  }

 private:
  bool FromKWin() const { return calledFromDBus() && message().service() == kwin_owner; }
};

struct KWinFocusSource::Impl {
  KWinCallback callback;
  bool registered = false;
  bool loaded = false;
  QString script_file;

  kb::Status Fail(const QString& reason) {
    Unload();
    return kb::Status::Fail(reason.toStdString());
  }

  void Unload() {
    if (loaded) (void)Call(kScriptingPath, kScriptingInterface, "unloadScript", {kPluginName});
    loaded = false;
    if (registered) QDBusConnection::sessionBus().unregisterObject(kCallbackPath);
    registered = false;
    if (!script_file.isEmpty()) QFile::remove(script_file);
    script_file.clear();
    callback.open.clear();
  }

  // In the user's runtime folder, which no other user can write: KWin runs what it finds there.
  kb::Status WriteScript(const QString& service) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) return kb::Status::Fail("the user has no runtime folder");
    script_file = QDir(folder).filePath(QStringLiteral("kbconfig-focus-%1.js").arg(getpid()));
    const QByteArray text = QString::fromLatin1(kScript)
                                .arg(service, QLatin1String(kCallbackPath),
                                     QLatin1String(kCallbackInterface), QString::number(getpid()))
                                .toUtf8();
    QFile file(script_file);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() ||
        !file.flush()) {
      const QString why = file.errorString();
      file.close();
      return kb::Status::Fail("the KWin script could not be written to " +
                              script_file.toStdString() + ": " + why.toStdString());
    }
    file.close();
    return kb::Status::Ok();
  }

  // run() on the script's object, which Plasma 6 and late Plasma 5 place under /Scripting and
  // early Plasma 5 at the root; failing both, start() runs every script loaded but not running.
  bool Run(int id) {
    for (const QString& path :
         {QStringLiteral("/Scripting/Script%1").arg(id), QStringLiteral("/%1").arg(id)})
      if (!Failed(Call(path, kScriptInterface, "run"))) return true;
    return !Failed(Call(kScriptingPath, kScriptingInterface, "start"));
  }
};

KWinFocusSource::KWinFocusSource() : d_(std::make_unique<Impl>()) {}
KWinFocusSource::~KWinFocusSource() { Stop(); }

bool KWinFocusSource::Fits(bool has_x11) {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool on_wayland = wayland != nullptr && *wayland != '\0';
  if (on_wayland && desktop != nullptr && std::strstr(desktop, "KDE") != nullptr) return true;
  return (on_wayland || !has_x11) && KWinOnBus();
}

kb::Status KWinFocusSource::Start(Changed changed) {
  Stop();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return kb::Status::Fail("there is no session bus to reach KWin on");
  const QDBusReply<QString> owner = bus.interface()->serviceOwner(kKWinService);
  if (!owner.isValid()) return kb::Status::Fail("KWin is not on the session bus");
  d_->callback.kwin_owner = owner.value();
  d_->callback.changed = std::move(changed);
  if (!bus.registerObject(kCallbackPath, &d_->callback, QDBusConnection::ExportScriptableSlots))
    return d_->Fail(QStringLiteral("the focus watcher's object could not be registered: ") +
                    bus.lastError().message());
  d_->registered = true;
  if (kb::Status written = d_->WriteScript(bus.baseService()); !written.ok()) {
    d_->Unload();
    return written;
  }
  // A script of a run that was killed holds the name; its calls go to a bus name now gone.
  (void)Call(kScriptingPath, kScriptingInterface, "unloadScript", {kPluginName});
  const QDBusMessage load = Call(kScriptingPath, kScriptingInterface, "loadScript",
                                 {d_->script_file, QString::fromLatin1(kPluginName)});
  if (Failed(load) || load.arguments().isEmpty())
    return d_->Fail("KWin did not load the script: " + ErrorOf(load));
  const int id = load.arguments().constFirst().toInt();
  if (id < 0) return d_->Fail(QStringLiteral("KWin refused to load the script"));
  d_->loaded = true;
  if (!d_->Run(id)) return d_->Fail(QStringLiteral("KWin did not run the script"));
  return kb::Status::Ok();
}

void KWinFocusSource::Stop() {
  d_->Unload();
  d_->callback.changed = nullptr;
}

std::vector<std::string> KWinFocusSource::OpenApplications() const { return d_->callback.open; }

}  // namespace DuiLib::internal

#include "kwin_focus_source.moc"
