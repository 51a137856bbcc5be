// The windows of the start: frmAbout, frmStartUp, frmGetUpdate, frmError.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "qt/startup_windows.h"
#include "shell_test_support.h"
#include "shell/startup.h"

using namespace tvx;

class StartupWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void about() {
    test::RecordingLauncher launcher;
    test::ScriptedMessageBox messages;
    qt::AboutWindow window("QVX2017.10", launcher, messages);
    QCOMPARE(window.lblVersion->text(), QString("Version: QVX2017.10"));
    window.btnHomePage->click();
    QCOMPARE(launcher.opened, std::vector<std::string>{std::string(kProductPage)});
    QVERIFY(messages.shown.empty());
    // No browser: the user is told so, with the address.
    launcher.result = false;
    window.btnHomePage->click();
    QCOMPARE(messages.shown.size(), size_t{1});
    QCOMPARE(messages.shown[0].text, NoBrowserText(kProductPage));
    QVERIFY(messages.shown[0].text.find(std::string(kProductPage)) != std::string::npos);
    QTimer::singleShot(0, window.btnRunProgram, &QPushButton::click);
    QCOMPARE(window.exec(), int(QDialog::Accepted));
  }

  void startUpChoices() {
    const std::pair<const char*, int> buttons[] = {
        {"btnNew", kStartNewScenario}, {"btnOld", kStartOldScenario}, {"btnMain", kStartMainWindow}};
    for (const auto& [name, choice] : buttons) {
      qt::StartUpWindow window;
      auto* button = window.findChild<QPushButton*>(name);
      QTimer::singleShot(0, button, &QPushButton::click);
      QCOMPARE(window.exec(), choice);
    }
  }

  void updateReminder() {
    test::RecordingLauncher launcher;
    test::ScriptedMessageBox messages;
    launcher.result = false;
    qt::GetUpdateWindow window(QString::fromStdString(UpdateReminderText("QVX2017.10", 2017)), launcher, messages);
    QTimer::singleShot(0, window.btnCheck, &QPushButton::click);
    window.exec();
    QCOMPARE(launcher.opened.size(), size_t{1});
    QCOMPARE(messages.shown.size(), size_t{1});  // no browser: said, with the address
    QCOMPARE(messages.shown[0].title, std::string(kNoBrowserTitle));
  }

  void errorWindowReportsTheBox() {
    qt::QtErrorInfoWindow port;
    for (bool tick : {false, true}) {
      QTimer::singleShot(0, [tick] {
        auto* window = qobject_cast<qt::ErrorWindow*>(QApplication::activeModalWidget());
        QVERIFY(window);
        QCOMPARE(window->lblMessage->text(), QString("The font is missing."));
        window->chkHide->setChecked(tick);
        window->btnOK->click();
      });
      QCOMPARE(ShowErrorInfo(port, "The font is missing.", false), tick);
    }
  }
};

QTEST_MAIN(StartupWindowsTest)
#include "startup_windows_test.moc"
