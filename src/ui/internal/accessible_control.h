// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The accessible objects of a window's controls, as Qt's accessibility (and through it the
// AT-SPI bus) sees them. Controls are no QObjects: each object is registered with QAccessible
// by id, made when an assistive technology first asks for it and kept until its control is
// destroyed. UI thread only.

#include <QAccessible>
#include <QAccessibleWidget>

namespace DuiLib {
class CControlUI;
class CPaintManagerUI;
class CWindowWnd;
namespace internal {

class HostWidget;

// Test seam: sees every accessibility event the library raises, also where the platform has no
// accessibility bridge (the offscreen platform), which drops them. Null stops it.
using AccessibleEventObserver = void (*)(QAccessibleEvent* event);
void SetAccessibleEventObserverForTesting(AccessibleEventObserver observer);

class AccessibleControl : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit AccessibleControl(CControlUI* control) : control_(control) {}
  // The object of `control`, made on first use; null without a control or outside a window.
  static AccessibleControl* For(CControlUI* control);
  // The object already made for `control`, or null.
  static AccessibleControl* Existing(const CControlUI* control);

  CControlUI* control() const { return control_; }
  void Detach() { control_ = nullptr; }

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override;
  QAccessibleInterface* focusChild() const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int index) const override;
  int childCount() const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text t, const QString& text) override;
  QRect rect() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // Press acts as a click of the left button (focus first, then the control's notifications);
  // SetFocus as Tab does; a combo's ShowMenu opens its drop-down; a slider's Increase and
  // Decrease move it one step, as the arrow keys do.
  QStringList actionNames() const override;
  void doAction(const QString& action) override;
  QStringList keyBindingsForAction(const QString& action) const override;

 protected:
  // What an action does, at once; doAction queues a press to run it.
  void Perform(const QString& action);
  CPaintManagerUI* manager() const;
  // The window's native widget, for screen coordinates.
  HostWidget* host() const;

  CControlUI* control_;
};

// Sliders and progress bars: minimum, maximum and value; a slider takes a value as a drag
// does.
class AccessibleRange : public AccessibleControl, public QAccessibleValueInterface {
 public:
  using AccessibleControl::AccessibleControl;
  void* interface_cast(QAccessible::InterfaceType type) override;
  QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  QVariant maximumValue() const override;
  QVariant minimumValue() const override;
  QVariant minimumStepSize() const override;
  void doAction(const QString& action) override;
};

// Edits: the text, caret and selection, and changes as the user's typing.
class AccessibleEdit : public AccessibleControl,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface {
 public:
  using AccessibleControl::AccessibleControl;
  void* interface_cast(QAccessible::InterfaceType type) override;
  void setText(QAccessible::Text t, const QString& text) override;

  void selection(int selection_index, int* start_offset, int* end_offset) const override;
  int selectionCount() const override;
  void addSelection(int start_offset, int end_offset) override;
  void removeSelection(int selection_index) override;
  void setSelection(int selection_index, int start_offset, int end_offset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int start_offset, int end_offset) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start_offset,
                           int* end_offset) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start_offset,
                          int* end_offset) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start_offset,
                       int* end_offset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int start_index, int end_index) override;
  QString attributes(int offset, int* start_offset, int* end_offset) const override;

  void deleteText(int start_offset, int end_offset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int start_offset, int end_offset, const QString& text) override;

  using AccessibleControl::text;

 private:
  QString Shown() const;
};

// A window's native widget: a window, dialog or menu window whose one child is the root
// control of its layout.
class AccessibleWindow : public QAccessibleWidget {
 public:
  explicit AccessibleWindow(HostWidget* host);
  CWindowWnd* windowObject() const;
  QAccessibleInterface* focusChild() const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* child(int index) const override;
  int childCount() const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QString text(QAccessible::Text t) const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;

 private:
  CControlUI* root() const;
};

class ComboDropWindow;

// The open drop-down of a combo: a list named as its combo whose items are the combo's items.
class AccessibleDropDown : public QAccessibleWidget {
 public:
  explicit AccessibleDropDown(ComboDropWindow* drop);
  QAccessibleInterface* child(int index) const override;
  int childCount() const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QString text(QAccessible::Text t) const override;

 private:
  QAccessibleInterface* combo() const;
};

}  // namespace internal
}  // namespace DuiLib
