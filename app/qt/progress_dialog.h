// dlgProgress: the modeless window that follows a calculation year by year.
// It comes up only once the work has taken half a second: a short
// calculation passes without a window flashing by.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "orlendo/progress.h"

class QLabel;

namespace tvx::qt {

class ProgressDialog final : public QDialog, public orlendo::ProgressObserver {
  Q_OBJECT
 public:
  explicit ProgressDialog(QWidget* parent = nullptr);

  void started(int year) override;
  void yearReached(int year) override;
  void processMessages() override;
  void finished(bool succeeded) override;

  QLabel* lblStatus() const { return lblStatus_; }
  int beeps() const { return beeps_; }
  // How long the work may run before the window comes up.
  void setShowAfter(int milliseconds) { showAfter_ = milliseconds; }

 private:
  void showYear(int year);
  void showWhenDue();
  QLabel* lblStatus_;
  QElapsedTimer running_;
  int showAfter_ = 500;
  int beeps_ = 0;
};

}  // namespace tvx::qt
