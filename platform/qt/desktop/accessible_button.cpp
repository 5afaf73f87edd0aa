#include "platform/qt/desktop/accessible_button.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QWindow>

#include "platform/qt/window/form_widget.h"
#include "platform/qt/window/keyboard_focus.h"

namespace wavorin {

AccessibleButton::AccessibleButton(FormWidget* form, const PushButtonDescription& button)
    : form_(form), button_(button) {}

QString AccessibleButton::shortcut_text() const {
  if (button_.keys[0].letter == 0) return {};
  return QKeySequence(key_combination(button_.keys[0])).toString(QKeySequence::NativeText);
}

bool AccessibleButton::isValid() const { return !form_.isNull(); }

QWindow* AccessibleButton::window() const {
  return form_ ? form_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleButton::parent() const {
  return form_ ? QAccessible::queryAccessibleInterface(form_.data()) : nullptr;
}

QString AccessibleButton::text(QAccessible::Text kind) const {
  switch (kind) {
    case QAccessible::Name:
      return QCoreApplication::translate(kButtonNameContext, button_.accessible_name);
    case QAccessible::Accelerator:
      return shortcut_text();
    default:
      return {};
  }
}

QRect AccessibleButton::rect() const {
  if (!form_) return {};
  const QRect local = form_->button_rect(button_.element);
  return {form_->mapToGlobal(form_->inside_origin() + local.topLeft()), local.size()};
}

QAccessible::State AccessibleButton::state() const {
  QAccessible::State state;
  state.focusable = true;
  if (!form_ || !form_->isVisible()) {
    state.invisible = true;
    return state;
  }
  state.focused = form_->hasFocus() && form_->keyboard_focus().focused() == button_.element;
  return state;
}

void* AccessibleButton::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
  return nullptr;
}

QStringList AccessibleButton::actionNames() const { return {pressAction()}; }

void AccessibleButton::doAction(const QString& action) {
  // Later, not now: the reader's call is answered before the handler runs,
  // which may hold a modal dialog open.
  if (form_ && action == pressAction()) form_->press_later(button_.element);
}

QStringList AccessibleButton::keyBindingsForAction(const QString& action) const {
  if (action != pressAction()) return {};
  return {shortcut_text()};
}

}  // namespace wavorin
