#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QFrame;
class QKeyEvent;
class QPushButton;
class QWidget;

namespace kestrum {

// A push button that never becomes the dialog's default button, so Enter presses none of them.
QPushButton* MakePlainButton(QWidget* AParent, const char* AName, const QString& ACaption,
                             const QRect& AGeometry);

// The sunken box a dialog draws around its contents.
QFrame* MakeBevel(QWidget* AParent, const char* AName, const QRect& AGeometry);

// Escape and Enter, which a plain QDialog would turn into cancelling or its default button.
bool IsDialogKey(const QKeyEvent& AEvent);

// What every dialog starts with: its object name, title and the default font. It never stays
// minimised, together with the window it belongs to: window managers that offer to minimise a
// fixed-size dialog anyway would hide the whole program behind a dialog that no one can reach.
void PrepareDialog(QDialog& ADialog, const char* AName, const QString& ATitle);

// The width a window needs so that the window manager's title bar shows ATitle whole: the text in
// the desktop's title font and room for the icon and three buttons beside it.
int WidthShowingTitle(const QString& ATitle);

}  // namespace kestrum
