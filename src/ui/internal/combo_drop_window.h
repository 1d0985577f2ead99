// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

#include "ui/ui_types.h"

namespace DuiLib {
class CComboUI;
namespace internal {

// The open drop-down of a combo: a popup widget that draws the combo's items.
class ComboDropWindow : public QWidget {
 public:
  explicit ComboDropWindow(CComboUI* owner);
  void Detach() { owner_ = nullptr; }
  CComboUI* owner() const { return owner_; }
  int hot() const { return hot_; }
  // Row rectangle of item `index` in this widget, empty when scrolled away.
  RECT RowRect(int index) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  int RowAt(int y) const;
  int RowHeight(int index) const;
  void Choose(int index);
  CComboUI* owner_;
  int hot_ = -1;
  int scroll_ = 0;
};

}  // namespace internal
}  // namespace DuiLib
