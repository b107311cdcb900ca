#include "common/text_lines.h"

QVector<QByteArrayView> splitLines(QByteArrayView content)
{
  QVector<QByteArrayView> lines;
  qsizetype start = 0;
  const qsizetype n = content.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char ch = content[i];
    if (ch != '\n' && ch != '\r')
      continue;
    lines.append(content.sliced(start, i - start));
    if (ch == '\r' && i + 1 < n && content[i + 1] == '\n')
      ++i;
    start = i + 1;
  }
  if (start < n)
    lines.append(content.sliced(start));
  return lines;
}
