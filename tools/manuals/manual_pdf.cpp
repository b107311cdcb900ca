#include "manual_pdf.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <memory>

namespace {

constexpr int Resolution = 300;

// Markdown tables arrive without borders or padding; a manual's tables of
// menu items and file keys are read across, so they get both.
void frameTables(QTextFrame* frame)
{
  for (QTextFrame* child : frame->childFrames()) {
    if (auto* table = qobject_cast<QTextTable*>(child)) {
      QTextTableFormat f = table->format();
      f.setBorder(1);
      f.setBorderBrush(QColor(150, 150, 150));
      f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
      f.setBorderCollapse(true);
      f.setCellPadding(3);
      f.setCellSpacing(0);
      f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
      f.setTopMargin(4);
      f.setBottomMargin(8);
      table->setFormat(f);
      for (int c = 0; c < table->columns(); ++c) {
        QTextTableCell head = table->cellAt(0, c);
        QTextCharFormat cf = head.format();
        cf.setBackground(QColor(228, 236, 224));
        head.setFormat(cf);
      }
    }
    frameTables(child);
  }
}

// Headings of a manual start its sections: room above them, and level 1 and 2
// in the product's green.
void styleHeadings(QTextDocument* doc)
{
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    const int level = b.blockFormat().headingLevel();
    if (level == 0)
      continue;
    QTextCursor c(b);
    QTextBlockFormat bf = b.blockFormat();
    bf.setTopMargin(level == 1 ? 6 : 14);
    bf.setBottomMargin(6);
    c.setBlockFormat(bf);
    if (level <= 2) {
      c.select(QTextCursor::BlockUnderCursor);
      QTextCharFormat cf;
      cf.setForeground(QColor(34, 120, 0));
      c.mergeCharFormat(cf);
    }
  }
}

}  // namespace

bool loadManual(const QString& sourcePath, QTextDocument* doc, QString* error)
{
  QFile in(sourcePath);
  if (!in.open(QIODevice::ReadOnly)) {
    *error = sourcePath + QStringLiteral(": ") + in.errorString();
    return false;
  }
  const QString text = QString::fromUtf8(in.readAll());
  QFont body(QStringLiteral("DejaVu Sans"));
  body.setPointSizeF(9.5);
  doc->setDefaultFont(body);
  doc->setMarkdown(text, QTextDocument::MarkdownDialectGitHub);
  if (doc->isEmpty()) {
    *error = sourcePath + QStringLiteral(": the manual is empty");
    return false;
  }
  frameTables(doc->rootFrame());
  styleHeadings(doc);
  doc->setMetaInformation(QTextDocument::DocumentTitle, doc->begin().text());
  return true;
}

bool writeManualPdf(const QString& sourcePath, const QString& pdfPath, QString* error)
{
  QTextDocument doc;
  if (!loadManual(sourcePath, &doc, error))
    return false;
  QSaveFile out(pdfPath);
  if (!out.open(QIODevice::WriteOnly)) {
    *error = pdfPath + QStringLiteral(": ") + out.errorString();
    return false;
  }
  {
    QPdfWriter pdf(&out);
    pdf.setResolution(Resolution);
    pdf.setTitle(doc.metaInformation(QTextDocument::DocumentTitle));
    pdf.setCreator(QStringLiteral("RZ-37m connect"));
    // The document adds its own 2 cm margin and the page number inside it.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    doc.print(&pdf);
  }
  if (!out.commit()) {
    *error = pdfPath + QStringLiteral(": ") + out.errorString();
    return false;
  }
  return true;
}
