// Replays saved inputs through a fuzz target's entry point, one file or every
// file of a folder per argument, so the normal build (and the sanitizer build)
// keeps running what the fuzzer once found.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const QString& path)
{
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(f.errorString()));
    return false;
  }
  const QByteArray bytes = f.readAll();
  // A copy of exactly the input's size, so reading past its end is caught.
  const std::unique_ptr<std::uint8_t[]> exact(
      new std::uint8_t[static_cast<std::size_t>(bytes.size())]);
  std::memcpy(exact.get(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
  LLVMFuzzerTestOneInput(exact.get(), static_cast<std::size_t>(bytes.size()));
  return true;
}

}  // namespace

int main(int argc, char** argv)
{
  int done = 0;
  bool ok = argc > 1;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    QStringList paths{arg};
    if (QFileInfo(arg).isDir()) {
      paths.clear();
      for (const QString& name : QDir(arg).entryList(QDir::Files, QDir::Name))
        paths.append(QDir(arg).filePath(name));
    }
    for (const QString& path : paths) {
      ok = replay(path) && ok;
      ++done;
    }
  }
  std::printf("replayed %d input%s\n", done, done == 1 ? "" : "s");
  return ok ? 0 : 1;
}
