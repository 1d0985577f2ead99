// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of the start-up benchmark: the least a Qt Widgets program does to show an
// 800 x 572 window with a title.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Minimal Qt Window"));
  window.resize(800, 572);
  window.show();
  return app.exec();
}
