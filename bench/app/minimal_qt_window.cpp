// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of the start-up benchmark: the least a Qt Widgets program does to show an
// 800 x 572 window with a title. With --text the window also shows one line of text, so the
// desktop's font configuration is read before it shows, as in any window that lays out text.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Minimal Qt Window"));
  window.resize(800, 572);
  if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Key assignments")));
  }
  window.show();
  return app.exec();
}
