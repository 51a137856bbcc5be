// dlgProgress: the modeless window that follows a calculation year by year.
#pragma once

#include <QDialog>

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

 private:
  void showYear(int year);
  QLabel* lblStatus_;
  int beeps_ = 0;
};

}  // namespace tvx::qt
