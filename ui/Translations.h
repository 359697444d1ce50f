#pragma once

#include <QStringList>

class QCoreApplication;

namespace kestrum {

// The program's texts are written in Japanese and English as a Japanese user sees them; a user
// whose first interface language is anything else gets them in English.
enum class TUiLanguage { Japanese, English };

TUiLanguage UiLanguageFor(const QStringList& AUiLanguages);

// Installs the translations for the system's first interface language: the program's own and Qt's
// (font chooser, message box buttons). What cannot be found leaves the source texts in place.
void InstallTranslations(QCoreApplication& AApp);

}  // namespace kestrum
