#include "ui/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {
namespace {
constexpr char kSignal[] = "show\n";
constexpr int kConnectTimeoutMs = 1000;
}  // namespace

struct CSingleInstance::Impl {
  QString name;
  std::unique_ptr<QLockFile> lock;
  std::unique_ptr<QLocalServer> server;
  HWND target = nullptr;
  UINT message = 0;
  int pending = 0;

  void Deliver() {
    if (!target) {
      ++pending;
      return;
    }
    PostMessage(target, message, 0, 0);
  }
};

CSingleInstance::CSingleInstance(const CDuiString& name) : d_(std::make_unique<Impl>()) {
  internal::EnsureApplication();
  d_->name = internal::ToQString(name);
}

CSingleInstance::~CSingleInstance() {
  if (d_->server) d_->server->close();
}

bool CSingleInstance::TryAcquire() {
  if (d_->server) return true;
  auto lock = std::make_unique<QLockFile>(QDir::tempPath() + QStringLiteral("/") + d_->name +
                                          QStringLiteral(".lock"));
  // A lock whose process is gone counts as free (QLockFile checks the recorded process).
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return false;
  // The lock is ours, so a socket of that name is a leftover of a killed instance.
  QLocalServer::removeServer(d_->name);
  auto server = std::make_unique<QLocalServer>();
  if (!server->listen(d_->name)) return false;
  Impl* impl = d_.get();
  QLocalServer* srv = server.get();
  QObject::connect(srv, &QLocalServer::newConnection, srv, [impl, srv] {
    while (QLocalSocket* s = srv->nextPendingConnection()) {
      QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
      QObject::connect(s, &QLocalSocket::readyRead, s, [impl, s] {
        while (s->canReadLine())
          if (s->readLine() == kSignal) impl->Deliver();
      });
      if (s->canReadLine()) emit s->readyRead();
    }
  });
  d_->lock = std::move(lock);
  d_->server = std::move(server);
  return true;
}

bool CSingleInstance::IsOwner() const { return d_->server != nullptr; }

void CSingleInstance::SetTarget(HWND hwnd, UINT message) {
  d_->target = hwnd;
  d_->message = message;
  for (; d_->pending > 0; --d_->pending) PostMessage(hwnd, message, 0, 0);
}

bool CSingleInstance::SignalFirstInstance() {
  QLocalSocket socket;
  socket.connectToServer(d_->name);
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kSignal);
  if (!socket.waitForBytesWritten(kConnectTimeoutMs)) return false;
  socket.disconnectFromServer();
  return true;
}

}  // namespace DuiLib
