#pragma once
// File names and dialog filters of the export buttons.

#include <QString>

inline const QString XlsFilter = QStringLiteral("MS Excel Workbooks|*.xls");
inline const QString BmpFilter = QStringLiteral("Bitmap files|*.bmp");
inline const QString JpegFilter = QStringLiteral("JPEG files (*.jpg)|*.jpg");
inline const QString PdfFilter = QStringLiteral("PDF files (*.pdf)|*.pdf");
inline const QString XlsExtension = QStringLiteral(".xls");
inline const QString BmpExtension = QStringLiteral(".bmp");
inline const QString JpegExtension = QStringLiteral("jpg");  // default extensions, no dot
inline const QString PdfExtension = QStringLiteral("pdf");

// The extension of a file name: from its last '.' on, or empty when the name
// (after the last folder separator) has none.
QString fileExtension(const QString& path);

// path unchanged when its extension is exactly `extension` (".xls"; case
// counts), else path + extension: "a" -> "a.xls", "a.XLS" -> "a.XLS.xls".
QString withExactExtension(const QString& path, const QString& extension);

// A save dialog with a default extension adds it to a name that has none
// ("jpg" -> "a.jpg"); a name with any extension is kept as typed.
QString withDefaultExtension(const QString& path, const QString& extension);
