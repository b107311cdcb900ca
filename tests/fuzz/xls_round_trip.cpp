// The XLS worksheet written for any series a chart can hold, read back by the
// tests' BIFF reader: every point must come back in its row and column, every
// label as its code-page bytes, and nothing may follow the end record.
//
// Input: one flag byte (labels allowed, z column, short y list), then per
// point x, y and z as 8-byte doubles, a null flag and a label (a length byte,
// then as many bytes of UTF-8).

#include "export/xls_writer.h"
#include "support/biff_reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Reader {
  const std::uint8_t* at;
  const std::uint8_t* end;
  bool more(std::size_t n) const { return static_cast<std::size_t>(end - at) >= n; }
  double real()
  {
    double v = 0.0;
    std::memcpy(&v, at, sizeof v);
    at += sizeof v;
    return v;
  }
};

XlsSeries decode(const std::uint8_t* data, std::size_t size, std::uint8_t* flags)
{
  XlsSeries s;
  Reader in{data, data + size};
  *flags = in.more(1) ? *in.at++ : 0;
  s.hasZ = (*flags & 2) != 0;
  while (in.more(3 * sizeof(double) + 2)) {
    s.xs.append(in.real());
    const double y = in.real();
    if (!(*flags & 4) || s.ys.size() < 3)  // a short y list reads as NaN beyond it
      s.ys.append(y);
    s.zs.append(in.real());
    s.nulls.append((*in.at++ & 1) != 0);
    const std::size_t length = *in.at++;
    const std::size_t n = std::min<std::size_t>(length, static_cast<std::size_t>(in.end - in.at));
    s.labels.append(
        QString::fromUtf8(reinterpret_cast<const char*>(in.at), static_cast<qsizetype>(n)));
    in.at += n;
  }
  return s;
}

bool sameNumber(const BiffCell* c, double v)
{
  if (!c)
    return false;
  if (!std::isfinite(v))
    return c->kind == BiffCell::Kind::Blank;
  return c->kind == BiffCell::Kind::Number && std::memcmp(&c->number, &v, sizeof v) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  std::uint8_t flags = 0;
  const XlsSeries s = decode(data, size, &flags);
  const bool labelsAllowed = (flags & 1) != 0;
  const auto bytes = xlsWorksheet(s, labelsAllowed);
  if (!bytes)
    return 0;
  const auto sheet = readBiff(*bytes);
  if (!sheet || sheet->trailingBytes)
    std::abort();
  const XlsColumns columns = xlsColumns(s, labelsAllowed);
  if (sheet->rows != s.count() || sheet->columns != columns.count() ||
      sheet->cellCount() != s.count() * columns.count())
    std::abort();
  for (int r = 0; r < s.count(); ++r) {
    int col = 0;
    if (columns.label) {
      const BiffCell* c = sheet->cell(r, col++);
      if (!c || c->kind != BiffCell::Kind::Label || c->label != xlsLabelBytes(s.label(r)))
        std::abort();
    }
    if (columns.x && !sameNumber(sheet->cell(r, col++), s.xs[r]))
      std::abort();
    const double y = r < s.ys.size() ? s.ys[r] : std::nan("");
    const BiffCell* yc = sheet->cell(r, col++);
    if (s.isNull(r) ? !yc || yc->kind != BiffCell::Kind::Blank : !sameNumber(yc, y))
      std::abort();
    if (columns.z) {
      const BiffCell* zc = sheet->cell(r, col++);
      if (s.isNull(r) ? !zc || zc->kind != BiffCell::Kind::Blank : !sameNumber(zc, s.zs[r]))
        std::abort();
    }
  }
  return 0;
}
