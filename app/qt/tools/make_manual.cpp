// Builds the manual "manqvx.pdf" from its Markdown (or HTML) text:
//   tvx_make_manual SOURCE.md OUTPUT.pdf
// Runs without a display (QT_QPA_PLATFORM=offscreen).
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>
#include <iostream>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: tvx_make_manual SOURCE.md|SOURCE.html OUTPUT.pdf\n";
    return 2;
  }
  QFile source(QString::fromLocal8Bit(argv[1]));
  if (!source.open(QIODevice::ReadOnly)) {
    std::cerr << "tvx_make_manual: cannot read " << argv[1] << '\n';
    return 1;
  }
  const QString text = QString::fromUtf8(source.readAll());

  QTextDocument document;
  QFont body("Liberation Serif");
  body.setStyleHint(QFont::Serif);
  body.setPointSize(11);
  document.setDefaultFont(body);
  document.setDefaultStyleSheet("pre, code { font-family: 'Liberation Mono', 'Courier New', monospace; }");
  const QString suffix = QFileInfo(source.fileName()).suffix().toLower();
  if (suffix == "html" || suffix == "htm")
    document.setHtml(text);
  else
    document.setMarkdown(text);

  // Written to a temporary name first: a failed run leaves no half PDF.
  const QString target = QString::fromLocal8Bit(argv[2]);
  const QString partial = target + ".part";
  {
    QPdfWriter writer(partial);
    writer.setTitle("Tallyvex manual");
    writer.setCreator("Tallyvex");
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    document.print(&writer);
  }
  QFile::remove(target);
  if (!QFile::rename(partial, target)) {
    std::cerr << "tvx_make_manual: cannot write " << argv[2] << '\n';
    QFile::remove(partial);
    return 1;
  }
  return 0;
}
