#pragma once
// A manual's Markdown source laid out on A4 pages and written as PDF.

#include <QString>

class QTextDocument;

// Reads the source (UTF-8 Markdown) into a document with the manuals' look:
// body face, framed tables, spacing between blocks.
bool loadManual(const QString& sourcePath, QTextDocument* doc, QString* error);

// The whole conversion. The old PDF is replaced only by a complete new one.
bool writeManualPdf(const QString& sourcePath, const QString& pdfPath, QString* error);
