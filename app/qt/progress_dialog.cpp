#include "qt/progress_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "qt/qt_ports.h"

namespace tvx::qt {

ProgressDialog::ProgressDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("dlgProgress");
  setWindowTitle("Calculation Status");
  setModal(false);
  setWindowFlag(Qt::WindowCloseButtonHint, false);
  lblStatus_ = new QLabel(this);
  lblStatus_->setObjectName("lblStatus");
  lblStatus_->setAlignment(Qt::AlignCenter);
  lblStatus_->setMinimumWidth(220);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 18, 24, 18);
  layout->addWidget(lblStatus_);
}

void ProgressDialog::showYear(int year) {
  lblStatus_->setText("Year: " + QString::number(year));
  if (isVisible()) lblStatus_->repaint();
}

void ProgressDialog::started(int year) {
  showYear(year);
  running_.start();
  showWhenDue();
}

void ProgressDialog::showWhenDue() {
  if (isVisible() || !running_.isValid() || running_.elapsed() < showAfter_) return;
  adjustSize();
  centreOnScreen(*this);
  show();
  raise();
  // Lets the window appear while the long walk goes on.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressDialog::yearReached(int year) {
  showYear(year);
  showWhenDue();
}

void ProgressDialog::processMessages() {
  showWhenDue();
  QCoreApplication::processEvents();
}

void ProgressDialog::finished(bool) {
  QApplication::beep();
  ++beeps_;
  running_.invalidate();
  hide();
}

}  // namespace tvx::qt
