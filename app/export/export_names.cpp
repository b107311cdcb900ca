#include "export/export_names.h"

QString fileExtension(const QString& path)
{
  const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
  const qsizetype dot = path.lastIndexOf(u'.');
  if (dot <= slash)
    return {};
  return path.mid(dot);
}

QString withExactExtension(const QString& path, const QString& extension)
{
  if (fileExtension(path) == extension)
    return path;
  return path + extension;
}

QString withDefaultExtension(const QString& path, const QString& extension)
{
  if (!fileExtension(path).isEmpty())
    return path;
  return path + u'.' + extension;
}
