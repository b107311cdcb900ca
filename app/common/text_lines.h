#pragma once
// Text files as a text-file reader sees them: lines ended by CR LF, LF or a
// lone CR, whichever the file's writer used.

#include <QByteArrayView>
#include <QVector>

// The lines of `content` without their ends; the text after the last line
// end is a line only when it is not empty. The views point into `content`.
QVector<QByteArrayView> splitLines(QByteArrayView content);
