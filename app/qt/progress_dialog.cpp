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
  adjustSize();
  centreOnScreen(*this);
  show();
  raise();
  // Lets the window appear before the long walk starts.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressDialog::yearReached(int year) { showYear(year); }

void ProgressDialog::processMessages() { QCoreApplication::processEvents(); }

void ProgressDialog::finished(bool) {
  QApplication::beep();
  ++beeps_;
  hide();
}

}  // namespace tvx::qt
