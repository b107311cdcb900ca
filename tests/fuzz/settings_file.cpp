// Config.ini as it comes from disk: the profile reader, the view settings read
// from it, and the file written back. What the program writes must read back
// as the same settings.

#include "common/profile.h"
#include "common/profile_settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const Profile profile = Profile::parse(bytes);
  (void)profile.readInteger(QStringLiteral("View"), QStringLiteral("Page"), 1);
  for (const QString& section : profile.sections())
    (void)profile.keys(section);
  const QString defaultDb = QStringLiteral("/nonexistent/Data/");
  const ProfileSettings read = ReadProfileSettings(profile, defaultDb);
  const QByteArray written = WriteProfileSettings(read, profile).text();
  const ProfileSettings again = ReadProfileSettings(Profile::parse(written), defaultDb);
  if (WriteProfileSettings(again).text() != WriteProfileSettings(read).text())
    std::abort();
  return 0;
}
