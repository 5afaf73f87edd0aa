#include "platform/qt/accessible_form.h"

#include "platform/app_identity.h"
#include "platform/qt/accessible_button.h"
#include "platform/qt/form_widget.h"

namespace wavorin {

AccessibleForm::AccessibleForm(FormWidget* form) : QAccessibleWidget(form, QAccessible::Window) {
  for (const PushButtonDescription& button : form->buttons()) {
    buttons_.push_back(new AccessibleButton(form, button));
    QAccessible::registerAccessibleInterface(buttons_.back());
  }
}

AccessibleForm::~AccessibleForm() {
  for (AccessibleButton* button : buttons_)
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(button));
}

FormWidget* AccessibleForm::form() const { return static_cast<FormWidget*>(widget()); }

QString AccessibleForm::text(QAccessible::Text kind) const {
  if (kind == QAccessible::Name) return QString::fromUtf8(kApplicationName);
  return QAccessibleWidget::text(kind);
}

int AccessibleForm::childCount() const { return static_cast<int>(buttons_.size()); }

QAccessibleInterface* AccessibleForm::child(int index) const {
  if (index < 0 || index >= childCount()) return nullptr;
  return buttons_[static_cast<std::size_t>(index)];
}

int AccessibleForm::indexOfChild(const QAccessibleInterface* child) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i] == child) return static_cast<int>(i);
  return -1;
}

QAccessibleInterface* AccessibleForm::childAt(int x, int y) const {
  for (AccessibleButton* button : buttons_)
    if (button->rect().contains(x, y)) return button;
  return nullptr;
}

QAccessibleInterface* AccessibleForm::focusChild() const {
  const int index = form()->keyboard_focus().index();
  return form()->hasFocus() && index >= 0 ? child(index) : nullptr;
}

QAccessibleInterface* accessible_form_factory(const QString& /*class_name*/, QObject* object) {
  auto* form = qobject_cast<FormWidget*>(object);
  return form != nullptr ? new AccessibleForm(form) : nullptr;
}

}  // namespace wavorin
