#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kestrum {

// Tells when the data file may have been changed by another program: an edit in place, or a new
// file renamed over it as sync tools and editors do. The folder is watched besides the file, since
// a replaced file is a new one that a watch on the old one misses. Bursts of changes (a tool writes
// and renames in several steps) are told once they have settled. What changed, if anything, is for
// the receiver to find out: our own saves are told too.
class TDataFileWatcher final : public QObject {
  Q_OBJECT

 public:
  TDataFileWatcher(const QString& APath, QObject* AParent);

  // Tells again after the settling time, for a receiver that cannot take the change now.
  void RetryLater();

 signals:
  void MayHaveChanged();

 private:
  void Touched();
  void Watch();

  QString FPath;
  QFileSystemWatcher FWatcher;
  QTimer FSettle;
};

}  // namespace kestrum
