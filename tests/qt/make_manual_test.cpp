// The manual as a reader copies from it: every command of the manual's code
// lines comes out of the PDF on one line.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class MakeManualTest : public QObject {
  Q_OBJECT
 private slots:
  void commandsStayOnOneLine() {
    if (QString(TVX_PDFTOTEXT).isEmpty()) QSKIP("pdftotext is not installed");
    QFile source(TVX_MANUAL_SOURCE);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QStringList commands;
    for (const QString& line : QString::fromUtf8(source.readAll()).split('\n'))
      if (line.startsWith("    tvxdesk")) commands << line.trimmed();
    QVERIFY(commands.size() >= 2);

    QProcess text;
    text.start(TVX_PDFTOTEXT, {"-layout", TVX_MANUAL_PDF, "-"});
    QVERIFY(text.waitForFinished(30000));
    QCOMPARE(text.exitCode(), 0);
    QStringList lines;
    for (const QString& line : QString::fromUtf8(text.readAllStandardOutput()).split('\n'))
      lines << line.simplified();
    for (const QString& command : commands) QVERIFY2(lines.contains(command), qPrintable(command));
  }
};

QTEST_MAIN(MakeManualTest)
#include "make_manual_test.moc"
