#pragma once
// Every message box and input box of the program goes through Dialogs, so that
// window logic runs the same under a person, a script or a test.

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <stdexcept>

namespace quillon {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { OK, Cancel, Yes, No, Retry };

QString answerName(MsgAnswer a);
bool parseAnswer(const QString& text, MsgAnswer* out);

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgAnswer messageBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) = 0;
    // Returns the typed text; an empty text when the user cancels.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText = QString()) = 0;
};

// Raised when a scripted box needs an answer that nobody queued.
class UnansweredDialog : public std::runtime_error {
public:
    explicit UnansweredDialog(const QString& what) : std::runtime_error(what.toStdString()) {}
};

// Answers from queues and logs every box, one line per event:
//   MESSAGE <title> | <text>      (line breaks as \n)
//   -> <answer>
//   INPUT <title> | <prompt> -> <answer>
// A box with only an OK button needs no queued answer.
class ScriptedDialogs : public Dialogs {
public:
    void queueAnswer(MsgAnswer a) { m_answers.push_back(a); }
    void queueInput(const QString& text) { m_inputs.push_back(text); }

    MsgAnswer messageBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText = QString()) override;

    const QStringList& log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    // Each logged line is also handed to this sink (e.g. stdout) when set.
    void setSink(std::function<void(const QString&)> sink) { m_sink = std::move(sink); }

    bool answersLeft() const { return !m_answers.empty() || !m_inputs.empty(); }

    // What the last box that stopped for want of a fitting answer said ("" when
    // none). An event handler's error boundary swallows the exception; whoever
    // drives the script still learns of it here.
    const QString& failure() const { return m_failure; }
    void clearFailure() { m_failure.clear(); }

private:
    void emitLine(const QString& line);
    [[noreturn]] void fail(const QString& what);
    std::deque<MsgAnswer> m_answers;
    std::deque<QString> m_inputs;
    QStringList m_log;
    std::function<void(const QString&)> m_sink;
    QString m_failure;
};

// Real boxes on screen.
class QtDialogs : public Dialogs {
public:
    MsgAnswer messageBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText = QString()) override;
};

}  // namespace quillon
