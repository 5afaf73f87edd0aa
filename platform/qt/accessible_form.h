#pragma once

#include <QAccessibleWidget>
#include <vector>

class QObject;
class QString;

namespace wavorin {

class AccessibleButton;
class FormWidget;

// The window as a screen reader sees it: a window named after the program,
// holding the push buttons it draws, in their tab order.
class AccessibleForm : public QAccessibleWidget {
 public:
  explicit AccessibleForm(FormWidget* form);
  ~AccessibleForm() override;
  AccessibleForm(const AccessibleForm&) = delete;
  AccessibleForm& operator=(const AccessibleForm&) = delete;

  QString text(QAccessible::Text kind) const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

 private:
  FormWidget* form() const;

  // Registered with Qt's cache, which owns them until this interface goes.
  std::vector<AccessibleButton*> buttons_;
};

// Factory for QAccessible::installFactory: the window's interface, or nullptr
// for every other object.
QAccessibleInterface* accessible_form_factory(const QString& class_name, QObject* object);

}  // namespace wavorin
