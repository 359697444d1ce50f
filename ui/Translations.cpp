#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kestrum {

namespace {

void Install(QCoreApplication& AApp, const QString& AName, const QString& AFolder) {
  auto* translator = new QTranslator(&AApp);
  if (translator->load(AName, AFolder))
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
}

}  // namespace

TUiLanguage UiLanguageFor(const QStringList& AUiLanguages) {
  if (AUiLanguages.isEmpty()) return TUiLanguage::English;
  const QLocale first(AUiLanguages.first());
  return first.language() == QLocale::Japanese ? TUiLanguage::Japanese : TUiLanguage::English;
}

void InstallTranslations(QCoreApplication& AApp) {
  const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  switch (UiLanguageFor(QLocale::system().uiLanguages())) {
    case TUiLanguage::Japanese:
      // Our texts are written for this language; Qt's own are English.
      Install(AApp, QStringLiteral("qtbase_ja"), qtFolder);
      break;
    case TUiLanguage::English:
      Install(AApp, QStringLiteral("kestrum_en"), QStringLiteral(":/i18n"));
      break;
  }
}

}  // namespace kestrum
