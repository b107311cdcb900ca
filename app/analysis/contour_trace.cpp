#include "analysis/contour_trace.h"

#include <cmath>

namespace {

// Marching squares at one level. Every crossing lies on a grid edge, and an
// edge is shared by at most two cells, so each crossing joins at most two
// segments: the pieces are the chains of that graph, open or closed.
class LevelTracer {
 public:
  LevelTracer(const QVector<double>& values, int columns, int lines)
      : m_v(values),
        m_w(columns),
        m_h(lines),
        m_hEdges((columns - 1) * lines),
        m_link(2 * (m_hEdges + columns * (lines - 1)), -1),
        m_seen(m_hEdges + columns * (lines - 1), false)
  {
  }

  void trace(int level, double at, ContourLines& out)
  {
    m_level = at;
    m_touched.clear();
    for (int z = 0; z + 1 < m_h; ++z)
      for (int x = 0; x + 1 < m_w; ++x)
        cell(x, z);
    for (int e : m_touched)
      if (!m_seen[e] && degree(e) == 1)
        walk(e, level, out);
    for (int e : m_touched)
      if (!m_seen[e])
        walk(e, level, out);
    for (int e : m_touched) {
      m_link[2 * e] = m_link[2 * e + 1] = -1;
      m_seen[e] = false;
    }
  }

 private:
  double value(int x, int z) const { return m_v[z * m_w + x]; }
  int hEdge(int x, int z) const { return z * (m_w - 1) + x; }
  int vEdge(int x, int z) const { return m_hEdges + z * m_w + x; }
  int degree(int e) const { return (m_link[2 * e] >= 0) + (m_link[2 * e + 1] >= 0); }

  void link(int a, int b)
  {
    for (int e : {a, b}) {
      if (m_link[2 * e] < 0 && m_link[2 * e + 1] < 0)
        m_touched.append(e);
      m_link[2 * e + (m_link[2 * e] >= 0 ? 1 : 0)] = e == a ? b : a;
    }
  }

  void cell(int x, int z)
  {
    const double a = value(x, z);  // corners counter-clockwise from the lower left
    const double b = value(x + 1, z);
    const double c = value(x + 1, z + 1);
    const double d = value(x, z + 1);
    // A hole at any corner leaves the cell open.
    if (std::isnan(a) || std::isnan(b) || std::isnan(c) || std::isnan(d))
      return;
    const bool ua = a >= m_level;
    const bool ub = b >= m_level;
    const bool uc = c >= m_level;
    const bool ud = d >= m_level;
    const int bottom = hEdge(x, z);
    const int right = vEdge(x + 1, z);
    const int top = hEdge(x, z + 1);
    const int left = vEdge(x, z);
    if (ua == uc && ub == ud && ua != ub) {
      // A saddle: the centre decides which pair of corners is joined.
      const bool centre = (a + b + c + d) / 4 >= m_level;
      if (centre == ua) {
        link(bottom, right);
        link(top, left);
      } else {
        link(left, bottom);
        link(right, top);
      }
      return;
    }
    int ends[2];
    int n = 0;
    if (ua != ub)
      ends[n++] = bottom;
    if (ub != uc)
      ends[n++] = right;
    if (uc != ud)
      ends[n++] = top;
    if (ud != ua)
      ends[n++] = left;
    if (n == 2)
      link(ends[0], ends[1]);
  }

  ContourPoint crossing(int e) const
  {
    int x0 = 0;
    int z0 = 0;
    int x1 = 0;
    int z1 = 0;
    if (e < m_hEdges) {
      x0 = e % (m_w - 1);
      z0 = e / (m_w - 1);
      x1 = x0 + 1;
      z1 = z0;
    } else {
      x0 = (e - m_hEdges) % m_w;
      z0 = (e - m_hEdges) / m_w;
      x1 = x0;
      z1 = z0 + 1;
    }
    const double v0 = value(x0, z0);
    const double v1 = value(x1, z1);
    const double t = (m_level - v0) / (v1 - v0);
    return {x0 + (x1 - x0) * t, z0 + (z1 - z0) * t};
  }

  void walk(int start, int level, ContourLines& out)
  {
    ContourPiece piece;
    piece.level = level;
    piece.first = static_cast<int>(out.points.size());
    int prev = -1;
    int e = start;
    while (e >= 0 && !m_seen[e]) {
      m_seen[e] = true;
      out.points.append(crossing(e));
      const int next = m_link[2 * e] != prev ? m_link[2 * e] : m_link[2 * e + 1];
      prev = e;
      e = next;
    }
    if (e == start) {
      out.points.append(out.points[piece.first]);
      piece.closed = true;
    }
    piece.count = static_cast<int>(out.points.size()) - piece.first;
    out.pieces.append(piece);
  }

  const QVector<double>& m_v;
  const int m_w;
  const int m_h;
  const int m_hEdges;
  QVector<int> m_link;  // two neighbours per edge crossing
  QVector<bool> m_seen;
  QVector<int> m_touched;
  double m_level = 0.0;
};

}  // namespace

ContourLines TraceContours(const QVector<double>& values, int columns, int lines,
                           const QVector<double>& levels)
{
  ContourLines out;
  if (columns < 2 || lines < 2 || values.size() < static_cast<qsizetype>(columns) * lines)
    return out;
  LevelTracer tracer(values, columns, lines);
  for (int i = 0; i < levels.size(); ++i)
    if (std::isfinite(levels[i]))
      tracer.trace(i, levels[i], out);
  return out;
}

ContourLines TraceContours(const MapSeries& map)
{
  QVector<double> levels;
  for (const ContourLevel& l : map.levels)
    levels.append(l.upper);
  return TraceContours(map.closed, map.closedColumns(), map.closedLines(), levels);
}

QVector<ContourLabel> ContourLabels(const MapSeries& map, const ContourLines& lines)
{
  QVector<ContourLabel> labels;
  for (const ContourPiece& piece : lines.pieces) {
    if (piece.count < 3 || piece.level < 0 || piece.level >= ContourLevelCount)
      continue;
    const ContourLevel& level = map.levels[static_cast<size_t>(piece.level)];
    labels.append({piece.level, lines.point(piece, 2), level.label, level.color});
  }
  return labels;
}
