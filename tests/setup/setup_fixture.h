#pragma once
// A temporary root with everything Setup touches below it, and a small payload
// shaped like the real one (placeholder manuals and archives).

#include "installer.h"
#include "payload.h"
#include "setup_paths.h"

#include "support/test_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

inline Payload smallPayload()
{
  Payload p;
  p.entries = {
      {QStringLiteral("RZ-37m"), 0755, QByteArray("#!/bin/sh\necho program\n")},
      {QStringLiteral("Config.ini"), 0644,
       QByteArray("[Polar]\r\nGeneral=16711680\r\n[View]\r\nPage=1\r\nDB=\r\nX=17\r\n")},
      {QStringLiteral("Stress_DB.csv"), 0644, QByteArray("default table\n")},
      {QStringLiteral("EN_RZ-37m_manual.pdf"), 0644, QByteArray("%PDF-1.4 placeholder")},
      {QStringLiteral("EN_RZ-48_manual.pdf"), 0644, QByteArray("%PDF-1.4 placeholder")},
      {QStringLiteral("EN_Program_manual.pdf"), 0644, QByteArray("%PDF-1.4 placeholder")},
      {QStringLiteral("rz37m-connect.svg"), 0644, QByteArray("<svg/>")},
      {QStringLiteral("VCP/Lin/X64/rz37m-udev.tar.gz"), 0644, QByteArray("archive")},
      {QStringLiteral("VCP/Lin/X86/rz37m-udev.tar.gz"), 0644, QByteArray("archive")},
  };
  return p;
}

struct SetupRoot {
  QTemporaryDir dir;
  SetupPaths paths = SetupPaths::rooted(dir.path());
  QString self = dir.path() + QStringLiteral("/Setup-source");

  SetupRoot() { putFile(self, "setup program"); }
  QString installFolder() const { return paths.dataHome; }
  QString app() const { return paths.dataHome + QStringLiteral("/Norvane/RZ-37m"); }
  InstallRequest request(const QString& folder = {}) const
  {
    return {folder.isEmpty() ? installFolder() : folder, self, false,
            QDateTime(QDate(2026, 12, 10), QTime(14, 30, 5))};
  }
  // Every path below the root, relative, sorted: "nothing left behind" compares these.
  QStringList tree() const
  {
    QStringList out;
    QDirIterator it(dir.path(),
                    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
      out << it.next().mid(dir.path().size());
    out.removeIf([](const QString& p) { return p.startsWith(QStringLiteral("/run")); });
    out.sort();
    return out;
  }
};
