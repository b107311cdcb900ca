#pragma once
// The report dialog's last answers, kept in Config.ini under a section of their
// own so the next report starts with them. Other sections and lines of the
// file are left exactly as they were.

#include <QString>

struct ReportPeople {
  QString title;
  QString object;
  QString operatorName;
};

inline const QString ReportSection = QStringLiteral("Report");

// Missing file, section or keys give empty fields.
ReportPeople LoadReportPeople(const QString& iniPath);
// Replaces the file only once the new text is complete; false + *reason otherwise.
bool StoreReportPeople(const QString& iniPath, const ReportPeople& people, QString* reason);
