// The input window frmIP ("Inputs"): the Qt layer over InputForm.
//
// The window holds no rules of its own. It forwards every edit, click and
// focus change to the InputForm and then shows what the form holds: the
// field texts, the two lists, the election, the buy check, the help text,
// the file-name label and the field that should take the focus. Every
// handler body runs through DesktopServices::guarded.
//
// The date boxes are line edits with the input mask "99/99/9999" and "_"
// for a missing digit; they report their displayed text, placeholders
// included, so that a partly typed date is seen as such.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>
#include <optional>

#include "entry/input_form.h"
#include "qt/desktop.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tvx::qt {

class InputWindow final : public QDialog {
  Q_OBJECT
 public:
  // Builds the window and runs the form's load steps.
  InputWindow(DesktopServices& services, QWidget* parent = nullptr);
  ~InputWindow() override;

  // InitIP: load, centre, file-name label, then modal until closed.
  static void InitIP(DesktopServices& services, QWidget* parent);

  // Places the window in the middle of the screen.
  void CenterForm();
  // Puts the shortened CurrentFile into lblFilename.
  void SetInitialIP();

  InputForm& form() { return form_; }
  // The widget of a field (line edit, date box, option button, list, check box, button).
  QWidget* control(Field field) const { return controls_[static_cast<std::size_t>(field)]; }

  QTabWidget* tabs() const { return tabs_; }
  QGroupBox* fraSecurity() const { return fraSecurity_; }
  QLabel* lblFilename() const { return lblFilename_; }
  QPlainTextEdit* txtHelp() const { return txtHelp_; }
  QPushButton* button(const char* name) const;

 public slots:
  // Esc and the window's close box: Cancel.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* lineEdit(Field field) const;
  QLineEdit* addLineEdit(Field field, QWidget* parent);
  QPushButton* addButton(const char* name, const char* caption, QWidget* parent);
  void registerControl(Field field, QWidget* widget);
  void connectSignals();

  // Runs a handler body through the program's guard, then shows the form.
  void handle(const std::function<void()>& body);
  // A command (button, list click): dropped while a date box refuses to be left.
  void command(const std::function<void()>& body);
  // Shows what the form holds; the widgets' own signals are held meanwhile.
  void refresh();
  void refreshTexts();
  void refreshLists();
  void applyFocusRequest();
  void focusControl(QWidget* widget);

  void onFocusIn(Field field, QWidget* widget);
  void onFocusOut(Field field, Qt::FocusReason reason);
  void checkDateLeft(Field field);
  void finish(int result);

  DesktopServices& services_;
  InputForm form_;
  std::array<QWidget*, static_cast<std::size_t>(Field::txtProceeds) + 1> controls_{};  // one per Field

  QTabWidget* tabs_ = nullptr;
  QButtonGroup* election_ = nullptr;
  QGroupBox* fraLumora_ = nullptr;
  QGroupBox* fraSecurity_ = nullptr;
  QLabel* lblFilename_ = nullptr;
  QLabel* lblCost_ = nullptr;
  QLabel* lblProceeds_ = nullptr;
  QPlainTextEdit* txtHelp_ = nullptr;

  bool restoringFocus_ = false;       // the focus is being put back into a field
  std::optional<Field> pendingDate_;  // a date box that was left with a refused date
  bool closing_ = false;
};

// The input window as the desktop program opens it (InitIP).
InitIPHook makeInitIPHook();

}  // namespace tvx::qt
