#include "qt/startup_windows.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "core/app_state.h"
#include "qt/qt_ports.h"
#include "shell/startup.h"

namespace tvx::qt {

namespace {

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

// System information tools, in the order they are looked for.
constexpr const char* kSystemInfoTools[] = {"hardinfo", "kinfocenter", "gnome-system-monitor"};

}  // namespace

// ---- frmAbout ------------------------------------------------------------------------------

AboutWindow::AboutWindow(const std::string& versionTag, Launcher& launcher, MessageBox& messages, QWidget* parent)
    : QDialog(parent), launcher_(launcher), messages_(messages) {
  setObjectName("frmAbout");
  setWindowTitle(toQ(kAboutCaption));

  lblTitle = new QLabel(toQ(kFileDescription), this);
  lblTitle->setObjectName("lblTitle");
  QFont big = lblTitle->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  lblTitle->setFont(big);
  lblVersion = new QLabel("Version: " + toQ(versionTag), this);
  lblVersion->setObjectName("lblVersion");
  auto* description = wrappedLabel(
      "Cost basis of the Quorvex family of securities, from a position held on 12/31/1983 through the "
      "corporate actions of 2017, with your own buys and sells.",
      this);
  auto* legal = wrappedLabel(
      "Copyright \u00A9 1998-2017 Kelvane.\n"
      "This program is free software: you can redistribute it and/or modify it under the terms of the GNU "
      "General Public License as published by the Free Software Foundation, either version 3 of the License, or "
      "(at your option) any later version. It is distributed in the hope that it will be useful, but WITHOUT ANY "
      "WARRANTY; see the GNU General Public License (the file LICENSE) for more details.",
      this);
  legal->setObjectName("lblDisclaimer");
  auto* notice = wrappedLabel(
      "Notice: this program helps you work out the tax basis of your shares. It is not tax advice; check its "
      "results against your own records before you file a return.",
      this);
  auto* contact = wrappedLabel("Kelvane Software\nsupport@kelvane.example", this);
  lblInfoAddress = new QLabel("<a href=\"page\">" + toQ(kProductPage) + "</a>", this);
  lblInfoAddress->setObjectName("lblInfoAddress");
  connect(lblInfoAddress, &QLabel::linkActivated, this, [this] { OpenWebPage(launcher_, messages_, kProductPage); });

  btnSysInfo = new QPushButton("&System Info...", this);
  btnSysInfo->setObjectName("cmdSysInfo");
  btnHomePage = new QPushButton("Go to program Home Page", this);
  btnHomePage->setObjectName("cmdHomePage");
  btnRunProgram = new QPushButton("Run Program", this);
  btnRunProgram->setObjectName("cmdOK");
  btnRunProgram->setDefault(true);
  connect(btnSysInfo, &QPushButton::clicked, this, &AboutWindow::startSystemInfo);
  connect(btnHomePage, &QPushButton::clicked, this, [this] { OpenWebPage(launcher_, messages_, kProductPage); });
  connect(btnRunProgram, &QPushButton::clicked, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(lblTitle);
  text->addWidget(lblVersion);
  text->addWidget(description);
  text->addSpacing(8);
  text->addWidget(legal);
  text->addWidget(notice);
  text->addSpacing(8);
  text->addWidget(contact);
  text->addWidget(lblInfoAddress);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btnRunProgram);
  buttons->addWidget(btnSysInfo);
  buttons->addWidget(btnHomePage);
  buttons->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(text, 1);
  layout->addLayout(buttons);
  setMinimumWidth(520);
}

void AboutWindow::startSystemInfo() {
  for (const char* tool : kSystemInfoTools) {
    const QString path = QStandardPaths::findExecutable(tool);
    if (!path.isEmpty() && QProcess::startDetached(path, {})) return;
  }
  messages_.show("Notice", kSystemInfoUnavailable, Icon::Information, Buttons::Ok);
}

// ---- frmStartUp ------------------------------------------------------------------------------

StartUpWindow::StartUpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("frmStartUp");
  setWindowTitle(toQ(kStartUpCaption));
  btnNew = new QPushButton("New Scenario", this);
  btnNew->setObjectName("btnNew");
  btnOld = new QPushButton("Old Scenario", this);
  btnOld->setObjectName("btnOld");
  btnMain = new QPushButton("Main Window", this);
  btnMain->setObjectName("btnMain");
  btnMain->setDefault(true);
  connect(btnNew, &QPushButton::clicked, this, [this] { done(kStartNewScenario); });
  connect(btnOld, &QPushButton::clicked, this, [this] { done(kStartOldScenario); });
  connect(btnMain, &QPushButton::clicked, this, [this] { done(kStartMainWindow); });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(28, 20, 28, 20);
  layout->setSpacing(10);
  for (QPushButton* b : {btnNew, btnOld, btnMain}) {
    b->setMinimumSize(220, 36);
    layout->addWidget(b);
  }
  adjustSize();
  centreOnScreen(*this);
}

// ---- frmGetUpdate ------------------------------------------------------------------------------

GetUpdateWindow::GetUpdateWindow(const QString& text, Launcher& launcher, MessageBox& messages, QWidget* parent)
    : QDialog(parent) {
  setObjectName("frmGetUpdate");
  setWindowTitle(toQ(kFileDescription));
  lblMessage = wrappedLabel(text, this);
  lblMessage->setObjectName("lblMessage");
  btnCheck = new QPushButton(toQ(kUpdateCheckButton), this);
  btnCheck->setObjectName("btnCheck");
  btnContinue = new QPushButton(toQ(kUpdateContinueButton), this);
  btnContinue->setObjectName("btnContinue");
  btnContinue->setDefault(true);
  connect(btnCheck, &QPushButton::clicked, this, [this, &launcher, &messages] {
    OpenWebPage(launcher, messages, kProductPage);
    accept();
  });
  connect(btnContinue, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnCheck);
  buttons->addWidget(btnContinue);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblMessage);
  layout->addLayout(buttons);
  setMinimumWidth(460);
  adjustSize();
  centreOnScreen(*this);
}

// ---- frmError ------------------------------------------------------------------------------------

ErrorWindow::ErrorWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("frmError");
  setWindowTitle(toQ(kErrorInfoCaption));
  lblMessage = wrappedLabel(QString(), this);
  lblMessage->setObjectName("lblMessage");
  chkHide = new QCheckBox(toQ(kErrorInfoHideBox), this);
  chkHide->setObjectName("chkHide");
  btnOK = new QPushButton("OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblMessage);
  layout->addWidget(chkHide);
  layout->addWidget(btnOK, 0, Qt::AlignRight);
  setMinimumWidth(420);
}

bool QtErrorInfoWindow::show(std::string_view caption, std::string_view message) {
  ErrorWindow window(parent_);
  window.setWindowTitle(toQ(caption));
  window.lblMessage->setText(toQ(message));
  window.adjustSize();
  centreOnScreen(window);
  window.exec();
  return window.chkHide->isChecked();
}

}  // namespace tvx::qt
