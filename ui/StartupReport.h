#pragma once

#include <memory>

#include <QCoreApplication>
#include <QString>

#include "base/Strings.h"
#include "platform/NamedMutex.h"

class QMessageBox;
class QWidget;

namespace kestrum {

// What the program tells the user at start, before or beside the main window.
class TStartupReport final {
  Q_DECLARE_TR_FUNCTIONS(kestrum::TStartupReport)

 public:
  // The box for a roster lock that could not be taken: "Err Code : N" as always, then on their own
  // lines the path concerned, the system's reason and what the user can do about it.
  static std::unique_ptr<QMessageBox> LockFailureBox(const TNamedMutex& AMutex);

  // The line a later copy prints when the copy holding its roster's lock does not answer.
  static QString HandOverFailure(const String& ALockFolder);

  // The notice, once at start, for raid.dat and cfg.ini where they are links into a folder that
  // does not exist: saving cannot work until the target can be written. Empty when all is well.
  static QString LinksIntoMissingFolders();
  // Shows that notice over AParent when there is one.
  static void ReportLinksIntoMissingFolders(QWidget* AParent);

 private:
  static QString WhatToDo(TMutexFault AFault, const QString& APath);
};

}  // namespace kestrum
