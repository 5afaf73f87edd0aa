#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

#include "platform/window_description.h"

namespace wavorin {

class FormWidget;

// One of the window's picture buttons as a screen reader sees it: a push
// button with its name, its shortcut and a press action that presses it as a
// click does. The buttons are drawn by the window, so they have no
// QObject of their own.
class AccessibleButton : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  AccessibleButton(FormWidget* form, const PushButtonDescription& button);

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
  QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
  QAccessibleInterface* focusChild() const override { return nullptr; }

  QString text(QAccessible::Text kind) const override;
  void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::PushButton; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  QStringList actionNames() const override;
  void doAction(const QString& action) override;
  QStringList keyBindingsForAction(const QString& action) const override;

  Element button() const { return button_.element; }

 private:
  QString shortcut_text() const;

  QPointer<FormWidget> form_;
  PushButtonDescription button_;
};

}  // namespace wavorin
