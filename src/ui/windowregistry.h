#pragma once
// The program's windows by form name ("Form0", "Form6", "frmIncidentTimeReport").
// At most one instance of each is loaded; showing a window loads it first if
// needed and never waits for it. Closing a window unloads it, so the next
// show loads a fresh one.
//
// Each area of the program registers its windows with a factory; the main
// menu, start-up and scripted runs open them by name.
//
// Every window loaded here gets the desktop keys (windowkeys.h): Enter
// presses its default button, Esc closes it unless it is the main window;
// and its mnemonics and reading-order tabs (keyboardaccess.h); one larger
// than the screen opens as large as the screen (screenfit.h).
// It reopens where the user last left it (remembered.h).

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>

namespace quillon {

class WindowRegistry {
public:
    // Creates the window; its objectName must be the form name.
    using Factory = std::function<QWidget*()>;

    void add(const QString& formName, Factory factory);
    bool has(const QString& formName) const;
    // The program's main window: Esc does not close it.
    void setMainWindow(const QString& formName) { m_mainWindow = formName.toLower(); }
    QStringList names() const;

    // The loaded window, or nullptr.
    QWidget* window(const QString& formName) const;
    // Loads the window when it is not loaded yet (an unknown name is an error).
    QWidget* load(const QString& formName);
    // Loads and shows the window without waiting; an open window is raised.
    QWidget* show(const QString& formName);
    // Closes and unloads the window, if loaded.
    void unload(const QString& formName);
    void unloadAll();

private:
    struct Entry {
        QString name;  // as registered
        Factory factory;
        QPointer<QWidget> instance;
    };
    std::map<QString, Entry> m_entries;  // keyed by lower-case name
    QString m_mainWindow;                // lower case
};

}  // namespace quillon
