#include "export/report_settings.h"

#include "common/profile.h"

namespace {

const QString TitleKey = QStringLiteral("Title");
const QString ObjectKey = QStringLiteral("Object");
const QString OperatorKey = QStringLiteral("Operator");

// A line break in a value would split its line of the file.
QString oneLine(const QString& v)
{
  QString out = v;
  out.replace(u'\r', u' ').replace(u'\n', u' ');
  return out.trimmed();
}

}  // namespace

ReportPeople LoadReportPeople(const QString& iniPath)
{
  const Profile profile = Profile::read(iniPath);
  const auto field = [&](const QString& key) {
    return profile.value(ReportSection, key).value_or(QString());
  };
  return {field(TitleKey), field(ObjectKey), field(OperatorKey)};
}

bool StoreReportPeople(const QString& iniPath, const ReportPeople& people, QString* reason)
{
  QString readReason;
  Profile profile = Profile::read(iniPath, &readReason);
  if (!readReason.isEmpty()) {
    // An unreadable file is not replaced by one holding the report's fields only.
    if (reason)
      *reason = readReason;
    return false;
  }
  profile.setValue(ReportSection, TitleKey, oneLine(people.title));
  profile.setValue(ReportSection, ObjectKey, oneLine(people.object));
  profile.setValue(ReportSection, OperatorKey, oneLine(people.operatorName));
  return profile.save(iniPath, reason);
}
