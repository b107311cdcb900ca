#pragma once
// Settings files as the tests of the settings find them on disk.

#include <QByteArray>
#include <QString>

// The file the installer writes, with its DB set to `db`.
inline QByteArray installedFile(const QString& db)
{
  return "[Polar]\r\nGeneral=16711680\r\nMean=255\r\n[Surface]\r\nHigh=65535\r\nLow=16711680\r\n"
         "Mid=255\r\n[View]\r\nPage=1\r\nMean=0\r\nPoints=1\r\nPages=1\r\nFull=0\r\n"
         "Transpose=1\r\nApproximate=0\r\nGrid3D=1\r\nSmooth3D=1\r\nTransparent3D=0\r\nDB=" +
         db.toUtf8() + "\r\nX=17\r\nY=5\r\ndX=1\r\ndY=2\r\nCvtToStress=0\r\nStressDBItem=7\r\n";
}
