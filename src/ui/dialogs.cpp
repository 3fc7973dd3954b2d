#include "ui/dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace quillon {

QString answerName(MsgAnswer a)
{
    switch (a) {
    case MsgAnswer::OK: return QStringLiteral("OK");
    case MsgAnswer::Cancel: return QStringLiteral("Cancel");
    case MsgAnswer::Yes: return QStringLiteral("Yes");
    case MsgAnswer::No: return QStringLiteral("No");
    case MsgAnswer::Retry: return QStringLiteral("Retry");
    }
    return QString();
}

bool parseAnswer(const QString& text, MsgAnswer* out)
{
    for (MsgAnswer a : {MsgAnswer::OK, MsgAnswer::Cancel, MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Retry}) {
        if (answerName(a).compare(text.trimmed(), Qt::CaseInsensitive) == 0) {
            *out = a;
            return true;
        }
    }
    return false;
}

static QString oneLine(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    return s;
}

static bool allows(MsgButtons buttons, MsgAnswer a)
{
    switch (buttons) {
    case MsgButtons::OK: return a == MsgAnswer::OK;
    case MsgButtons::OKCancel: return a == MsgAnswer::OK || a == MsgAnswer::Cancel;
    case MsgButtons::YesNo: return a == MsgAnswer::Yes || a == MsgAnswer::No;
    case MsgButtons::YesNoCancel: return a == MsgAnswer::Yes || a == MsgAnswer::No || a == MsgAnswer::Cancel;
    case MsgButtons::RetryCancel: return a == MsgAnswer::Retry || a == MsgAnswer::Cancel;
    }
    return false;
}

void ScriptedDialogs::emitLine(const QString& line)
{
    m_log << line;
    if (m_sink) m_sink(line);
}

void ScriptedDialogs::fail(const QString& what)
{
    m_failure = what;
    throw UnansweredDialog(what);
}

MsgAnswer ScriptedDialogs::messageBox(const QString& text, MsgButtons buttons, MsgIcon, const QString& title)
{
    emitLine(QStringLiteral("MESSAGE %1 | %2").arg(title, oneLine(text)));
    MsgAnswer answer = MsgAnswer::OK;
    if (buttons != MsgButtons::OK) {
        if (m_answers.empty())
            fail(QStringLiteral("no answer queued for the message \"%1\" (%2)").arg(oneLine(text), title));
        answer = m_answers.front();
        m_answers.pop_front();
        if (!allows(buttons, answer))
            fail(QStringLiteral("the answer %1 does not fit the buttons of \"%2\"").arg(answerName(answer), oneLine(text)));
    } else if (!m_answers.empty() && m_answers.front() == MsgAnswer::OK) {
        m_answers.pop_front();  // an explicit OK for a plain box is consumed
    }
    emitLine(QStringLiteral("-> %1").arg(answerName(answer)));
    return answer;
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString&)
{
    if (m_inputs.empty())
        fail(QStringLiteral("no answer queued for the input box \"%1\" (%2)").arg(oneLine(prompt), title));
    const QString answer = m_inputs.front();
    m_inputs.pop_front();
    emitLine(QStringLiteral("INPUT %1 | %2 -> %3").arg(title, oneLine(prompt), answer));
    return answer;
}

MsgAnswer QtDialogs::messageBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: break;
    }
    QMessageBox::StandardButtons std;
    switch (buttons) {
    case MsgButtons::OK: std = QMessageBox::Ok; break;
    case MsgButtons::OKCancel: std = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MsgButtons::YesNo: std = QMessageBox::Yes | QMessageBox::No; break;
    case MsgButtons::YesNoCancel: std = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case MsgButtons::RetryCancel: std = QMessageBox::Retry | QMessageBox::Cancel; break;
    }
    box.setStandardButtons(std);
    switch (box.exec()) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    default: return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::OK;
    }
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

}  // namespace quillon
