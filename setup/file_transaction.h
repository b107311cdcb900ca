#pragma once
// Writes a set of files so that either all of them are in place or none of this
// run's changes are: new contents go to temporary names first, existing files
// are moved aside until the whole set is in, and folders made on the way are
// remembered so a failure removes them again.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class FileTransaction {
 public:
  FileTransaction() = default;
  ~FileTransaction();
  FileTransaction(const FileTransaction&) = delete;
  FileTransaction& operator=(const FileTransaction&) = delete;

  // Creates the folder and any missing parents, remembering each one it made.
  bool makeFolder(const QString& path, QString* error);
  // Writes `data` beside `final` under a temporary name with the given mode.
  bool stage(const QString& final, const QByteArray& data, quint32 mode, QString* error);
  // Puts every staged file in place; on failure undoes what it did.
  bool commit(QString* error);
  // Drops the moved-aside files; `keepOld(final, old)` may keep one by renaming it.
  void finish(const std::function<void(const QString& final, const QString& old)>& keepOld = {});
  // Undoes everything: staged and committed files, moved-aside files, made folders.
  void rollback();

 private:
  struct Staged {
    QString final;
    QString temp;
    QString old;  // the file that was there before, moved aside
    bool committed = false;
  };
  QList<Staged> m_files;
  QStringList m_madeFolders;
  bool m_open = true;
};

QString systemError(const QString& path, int err);
