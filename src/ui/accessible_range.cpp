// SPDX-License-Identifier: GPL-3.0-or-later
// Sliders and progress bars for assistive technologies: a value between a minimum and a maximum.
#include "ui/internal/accessible_control.h"
#include "ui/paint_manager.h"
#include "ui/slider.h"

namespace DuiLib::internal {
namespace {

CProgressUI* RangeOf(CControlUI* c) {
  return c ? static_cast<CProgressUI*>(c->GetInterface(u"Progress")) : nullptr;
}
CSliderUI* SliderOf(CControlUI* c) {
  return c ? static_cast<CSliderUI*>(c->GetInterface(u"Slider")) : nullptr;
}

}  // namespace

void* AccessibleRange::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
  return AccessibleControl::interface_cast(type);
}

QVariant AccessibleRange::currentValue() const {
  CProgressUI* r = isValid() ? RangeOf(control_) : nullptr;
  return r ? QVariant(r->GetValue()) : QVariant();
}

void AccessibleRange::setCurrentValue(const QVariant& value) {
  CSliderUI* slider = isValid() ? SliderOf(control_) : nullptr;
  // A progress bar shows a value; only the user's slider takes one, and only as a drag could.
  if (!slider || !slider->IsVisible() || state().disabled) return;
  bool ok = false;
  const int v = value.toInt(&ok);
  if (!ok) return;
  CPaintManagerUI* pm = manager();
  pm->BeginDispatch();
  slider->UserSetValue(v);
  pm->EndDispatch();
}

QVariant AccessibleRange::maximumValue() const {
  CProgressUI* r = isValid() ? RangeOf(control_) : nullptr;
  return r ? QVariant(r->GetMaxValue()) : QVariant();
}

QVariant AccessibleRange::minimumValue() const {
  CProgressUI* r = isValid() ? RangeOf(control_) : nullptr;
  return r ? QVariant(r->GetMinValue()) : QVariant();
}

QVariant AccessibleRange::minimumStepSize() const {
  if (CSliderUI* s = isValid() ? SliderOf(control_) : nullptr) return s->GetChangeStep();
  return isValid() ? QVariant(1) : QVariant();
}

void AccessibleRange::doAction(const QString& action) {
  CSliderUI* slider = isValid() ? SliderOf(control_) : nullptr;
  if (!slider || (action != increaseAction() && action != decreaseAction())) {
    AccessibleControl::doAction(action);
    return;
  }
  // As the arrow keys do.
  const int step = action == increaseAction() ? slider->GetChangeStep() : -slider->GetChangeStep();
  setCurrentValue(slider->GetValue() + step);
}

}  // namespace DuiLib::internal
