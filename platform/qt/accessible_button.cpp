#include "platform/qt/accessible_button.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QWindow>

#include "platform/qt/form_widget.h"

namespace wavorin {

namespace {

struct ButtonText {
  Element button;
  const char* name;
  QKeyCombination shortcut;
};

// The names say what the buttons do; their Japanese translations are the
// tool tips' words.
const ButtonText kTexts[] = {
    {Element::b_ply, QT_TRANSLATE_NOOP("wavorin::AccessibleButton", "Play"), Qt::Key_P},
    {Element::b_stp, QT_TRANSLATE_NOOP("wavorin::AccessibleButton", "Stop"), Qt::Key_S},
    {Element::b_opn, QT_TRANSLATE_NOOP("wavorin::AccessibleButton", "Open file"),
     Qt::ControlModifier | Qt::Key_O},
    {Element::b_cls, QT_TRANSLATE_NOOP("wavorin::AccessibleButton", "Close"),
     Qt::ControlModifier | Qt::Key_Q},
};

const ButtonText* texts_of(Element button) {
  for (const ButtonText& t : kTexts)
    if (t.button == button) return &t;
  return nullptr;
}

QString shortcut_text(Element button) {
  const ButtonText* t = texts_of(button);
  return t != nullptr ? QKeySequence(t->shortcut).toString(QKeySequence::NativeText) : QString();
}

}  // namespace

AccessibleButton::AccessibleButton(FormWidget* form, Element button)
    : form_(form), button_(button) {}

bool AccessibleButton::isValid() const { return !form_.isNull(); }

QWindow* AccessibleButton::window() const {
  return form_ ? form_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleButton::parent() const {
  return form_ ? QAccessible::queryAccessibleInterface(form_.data()) : nullptr;
}

QString AccessibleButton::text(QAccessible::Text kind) const {
  const ButtonText* t = texts_of(button_);
  if (t == nullptr) return {};
  switch (kind) {
    case QAccessible::Name:
      return QCoreApplication::translate("wavorin::AccessibleButton", t->name);
    case QAccessible::Accelerator:
      return shortcut_text(button_);
    default:
      return {};
  }
}

QRect AccessibleButton::rect() const {
  if (!form_) return {};
  const QRect local = form_->button_rect(button_);
  return {form_->mapToGlobal(local.topLeft()), local.size()};
}

QAccessible::State AccessibleButton::state() const {
  QAccessible::State state;
  state.focusable = true;
  if (!form_ || !form_->isVisible()) {
    state.invisible = true;
    return state;
  }
  state.focused = form_->hasFocus() && form_->keyboard_focus().focused() == button_;
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
  if (form_ && action == pressAction()) form_->press_later(button_);
}

QStringList AccessibleButton::keyBindingsForAction(const QString& action) const {
  if (action != pressAction()) return {};
  return {shortcut_text(button_)};
}

}  // namespace wavorin
