// Builds the manual "manqvx.pdf" from its Markdown (or HTML) text:
//   tvx_make_manual SOURCE.md OUTPUT.pdf
// Runs without a display (QT_QPA_PLATFORM=offscreen).
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextStream>
#include <iostream>

namespace {

// A block of code: a fenced block, or a paragraph all of whose text is set
// in the fixed-pitch font (a paragraph that only names a file in it is text).
bool isCodeBlock(const QTextBlock& block) {
  if (block.blockFormat().nonBreakableLines() || block.blockFormat().hasProperty(QTextFormat::BlockCodeFence))
    return true;
  const QList<QTextLayout::FormatRange> ranges = block.textFormats();
  if (ranges.isEmpty()) return block.charFormat().fontFixedPitch();
  for (const QTextLayout::FormatRange& range : ranges)
    if (!range.format.fontFixedPitch() && !range.format.fontFamilies().toStringList().contains("monospace"))
      return false;
  return true;
}

// Code is set in one smaller size. Every line, code included, is broken
// within the text area: between words, or inside a word longer than the line.
void fitLinesToThePage(QTextDocument& document) {
  QTextOption option = document.defaultTextOption();
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  document.setDefaultTextOption(option);
  QTextCursor cursor(&document);
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const bool code = isCodeBlock(block);
    cursor.setPosition(block.position());
    QTextBlockFormat format = block.blockFormat();
    if (format.nonBreakableLines()) {
      format.setNonBreakableLines(false);
      cursor.setBlockFormat(format);
    }
    if (!code) continue;
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    QTextCharFormat smaller;
    smaller.setFontPointSize(7);
    cursor.mergeCharFormat(smaller);
  }
}

}  // namespace

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
  fitLinesToThePage(document);

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
