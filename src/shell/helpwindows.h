#pragma once
// The main menu's Help: the About box (version, the database in use, the
// libraries the program is built on and their licences) and the user guide,
// kept in the repository as docs/guide.md and compiled into the program.

#include <QString>

class QWidget;

namespace quillon {

// The About text, as rich text.
QString aboutText(const QString& version, const QString& databaseInWords);
// The user guide's Markdown text.
QString userGuideText();

// Shows the About box (frmAbout) and waits for it.
void showAbout(QWidget* parent, const QString& text);
// Shows the user guide window (frmGuide), or raises the open one.
void showUserGuide();

}  // namespace quillon
