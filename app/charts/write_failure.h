#pragma once
// The one message a chart picture or report file gives when it cannot be
// written, so every writer says the same and points at the same remedy.

#include <QDir>
#include <QString>

// Sets *error (when asked for) and returns false, for `return writeFailed(..)`.
// `what` is the thing being written ("picture", "report").
inline bool writeFailed(QString* error, const QString& what, const QString& path,
                        const QString& reason)
{
  if (error) {
    *error = QStringLiteral(
                 "The %1 could not be written to \"%2\": %3. "
                 "Check that the folder exists and is writable, or choose another name.")
                 .arg(what, QDir::toNativeSeparators(path), reason);
  }
  return false;
}
