#include "ui/StartupReport.h"

#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStringList>

#include "base/Files.h"
#include "data/shhlpr.h"

namespace kestrum {

namespace {

const QString kTitle = QStringLiteral("Kestrum for DDO");

QString QStr(const String& AText) {
  return QString::fromStdU16String(AText);
}

// A message box is as wide as its text, and window managers draw the title in a larger or bold
// font beside an icon and up to four buttons: with a short text the title was cut.
void MakeRoomForTitle(QMessageBox& ABox) {
  QFont titleFont = ABox.font();
  titleFont.setBold(true);
  const int title = QFontMetrics(titleFont).horizontalAdvance(ABox.windowTitle());
  const int width = title * 5 / 4 + 12 * QFontMetrics(ABox.font()).height();
  auto* grid = qobject_cast<QGridLayout*>(ABox.layout());
  if (grid == nullptr) return;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                1, grid->columnCount());
}

// A file written through a link lands at its target; where that target's folder is missing, every
// save is refused until it is back.
bool LinksIntoMissingFolder(const String& AFile, String& ATarget) {
  ATarget = LinkTarget(AFile);
  return ATarget != AFile && !DirectoryExists(ExtractFileDir(ATarget));
}

}  // namespace

QString TStartupReport::WhatToDo(TMutexFault AFault, const QString& APath) {
  switch (AFault) {
    case mfOtherOwner:
      return tr("このフォルダーかファイルは別のユーザーのものです。所有者を自分に変えてください（例: "
                "sudo chown -R $USER \"%1\"）。")
          .arg(APath);
    case mfMissing:
      return tr(
          "フォルダーがありません。別のドライブや同期フォルダーへのリンクならそれをマウントし、"
          "そうでなければフォルダーを作ってください。");
    case mfLink:
      return tr(
          "ロックファイルが、このフォルダーの中の自分のファイルを指さないリンクです。リンクを消してくだ"
          "さい（ファイルは Kestrum が作り直します）。");
    case mfNoAccess:
      return tr("このフォルダーかファイルを使う権限がありません。自分に読み書きの権限を与えてください。");
    case mfReadOnly:
      return tr("ファイルシステムが読み取り専用です。書き込めるようにマウントし直してください。");
    case mfNone:
    case mfOther:
      break;
  }
  return tr("このフォルダーとファイルを確かめてください。");
}

std::unique_ptr<QMessageBox> TStartupReport::LockFailureBox(const TNamedMutex& AMutex) {
  QStringList lines{QStringLiteral("Err Code : ") + QString::number(AMutex.LastError())};
  const String& path = AMutex.FaultPath();
  if (!path.empty()) {
    lines << tr("場所: %1").arg(QStr(path));
    const String target = LinkTarget(path);
    if (target != path) lines << tr("リンク先: %1").arg(QStr(target));
  }
  lines << tr("理由: %1").arg(QStr(SystemErrorMessage(AMutex.LastError())));
  if (!path.empty()) lines << WhatToDo(AMutex.Fault(), QStr(path));

  auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, kTitle, lines.join(QLatin1Char('\n')),
                                           QMessageBox::Ok);
  box->setObjectName(QStringLiteral("LockFailure"));
  MakeRoomForTitle(*box);
  return box;
}

QString TStartupReport::HandOverFailure(const String& ALockFolder) {
  return tr("Kestrum はこのロースター（%1）で既に動いていますが、呼び出せませんでした。応答しないときは"
            "終了させてから起動し直してください。")
      .arg(QStr(ALockFolder));
}

QString TStartupReport::LinksIntoMissingFolders() {
  QStringList notices;
  for (const String& file : {GetDataFileName(), GetConfigFileName()}) {
    String target;
    if (LinksIntoMissingFolder(file, target))
      notices << tr("%1 は %2 へのリンクですが、そのフォルダーがありません。書き込めるようになるまで保存"
                    "できません（同期ドライブならマウントしてください）。")
                     .arg(QStr(file), QStr(target));
  }
  return notices.join(QStringLiteral("\n\n"));
}

void TStartupReport::ReportLinksIntoMissingFolders(QWidget* AParent) {
  const QString notice = LinksIntoMissingFolders();
  if (notice.isEmpty()) return;
  QMessageBox box(QMessageBox::Warning, kTitle, notice, QMessageBox::Ok, AParent);
  box.setObjectName(QStringLiteral("LinkNotice"));
  box.exec();
}

}  // namespace kestrum
