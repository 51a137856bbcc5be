// The small windows of the start and of the font explanation: frmAbout,
// frmStartUp, frmGetUpdate and frmError.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "core/ports.h"
#include "shell/settings.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tvx::qt {

class AboutWindow final : public QDialog {
  Q_OBJECT
 public:
  AboutWindow(const std::string& versionTag, Launcher& launcher, MessageBox& messages, QWidget* parent = nullptr);
  QLabel* lblVersion;
  QLabel* lblTitle;
  QLabel* lblInfoAddress;
  QPushButton* btnSysInfo;
  QPushButton* btnHomePage;
  QPushButton* btnRunProgram;

 private:
  void startSystemInfo();
  Launcher& launcher_;
  MessageBox& messages_;
};

// frmStartUp: exec() returns the StartChoice (0 main window, 1 new, 2 old).
class StartUpWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit StartUpWindow(QWidget* parent = nullptr);
  QPushButton* btnNew;
  QPushButton* btnOld;
  QPushButton* btnMain;
};

class GetUpdateWindow final : public QDialog {
  Q_OBJECT
 public:
  GetUpdateWindow(const QString& text, Launcher& launcher, MessageBox& messages, QWidget* parent = nullptr);
  QLabel* lblMessage;
  QPushButton* btnCheck;
  QPushButton* btnContinue;
};

// frmError with its "Don't show this message again" box.
class ErrorWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit ErrorWindow(QWidget* parent = nullptr);
  QLabel* lblMessage;
  QCheckBox* chkHide;
  QPushButton* btnOK;
};

class QtErrorInfoWindow final : public ErrorInfoWindow {
 public:
  explicit QtErrorInfoWindow(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  bool show(std::string_view caption, std::string_view message) override;

 private:
  QWidget* parent_;
};

}  // namespace tvx::qt
