#include "ui/DataFileWatcher.h"

#include <QFileInfo>

namespace kestrum {

namespace {

constexpr int kSettleMs = 300;

}  // namespace

TDataFileWatcher::TDataFileWatcher(const QString& APath, QObject* AParent) : QObject(AParent), FPath(APath) {
  FSettle.setSingleShot(true);
  FSettle.setInterval(kSettleMs);
  connect(&FSettle, &QTimer::timeout, this, &TDataFileWatcher::MayHaveChanged);
  connect(&FWatcher, &QFileSystemWatcher::fileChanged, this, &TDataFileWatcher::Touched);
  connect(&FWatcher, &QFileSystemWatcher::directoryChanged, this, &TDataFileWatcher::Touched);
  Watch();
}

void TDataFileWatcher::RetryLater() {
  FSettle.start();
}

void TDataFileWatcher::Touched() {
  Watch();
  FSettle.start();
}

void TDataFileWatcher::Watch() {
  // A file renamed over ours, or made anew, needs a watch of its own; the folder may be made only
  // by the first save.
  const QString folder = QFileInfo(FPath).absolutePath();
  if (!FWatcher.directories().contains(folder) && QFileInfo::exists(folder)) FWatcher.addPath(folder);
  if (!FWatcher.files().contains(FPath) && QFileInfo::exists(FPath)) FWatcher.addPath(FPath);
}

}  // namespace kestrum
