#include "ui/script.h"

#include "data/dberror.h"
#include "ui/scriptactions.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QWidget>
#include <QFile>
#include <QRegularExpression>

namespace quillon {

namespace {

enum class Shape { Target, TargetText, TargetTextOptional, TargetNodeSwitch, Text, TextOptional, NameValue };

const std::map<QString, Shape>& commandShapes()
{
    static const std::map<QString, Shape> shapes{
        {QStringLiteral("state"), Shape::NameValue},
        {QStringLiteral("open"), Shape::Target},
        {QStringLiteral("close"), Shape::Target},
        {QStringLiteral("pick"), Shape::TargetText},
        {QStringLiteral("type"), Shape::TargetTextOptional},
        {QStringLiteral("click"), Shape::Target},
        {QStringLiteral("tick"), Shape::TargetNodeSwitch},
        {QStringLiteral("key"), Shape::TargetText},
        {QStringLiteral("grab"), Shape::TargetText},
        {QStringLiteral("answer"), Shape::Text},
        {QStringLiteral("answer-input"), Shape::TextOptional},
        {QStringLiteral("sql"), Shape::Text},
        {QStringLiteral("cancel-at"), Shape::TargetText},
    };
    return shapes;
}

// Splits off the first blank-separated word.
QString takeWord(QString& rest)
{
    rest = rest.trimmed();
    int end = 0;
    while (end < rest.size() && !rest[end].isSpace())
        ++end;
    const QString word = rest.left(end);
    rest = rest.mid(end).trimmed();
    return word;
}

QString unquote(const QString& text)
{
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text;
}

[[noreturn]] void bad(int line, const QString& source, const QString& what)
{
    throw ScriptError(QStringLiteral("line %1: %2: %3").arg(line).arg(source, what));
}

QString oneLine(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    return s;
}

}  // namespace

QString scriptReportLine(const QString& title, int viewer, int pages, const QString& pdfPath, const QString& dataPath)
{
    return QStringLiteral("REPORT %1 viewer=%2 pages=%3 pdf=%4 data=%5")
        .arg(oneLine(title)).arg(viewer).arg(pages).arg(pdfPath, dataPath);
}

QString scriptPrintLine(const QString& title, int pages, const QString& pdfPath, const QString& dataPath)
{
    return QStringLiteral("PRINT %1 pages=%2 pdf=%3 data=%4").arg(oneLine(title)).arg(pages).arg(pdfPath, dataPath);
}

QStringList scriptRowLines(const Recordset& rows)
{
    QStringList lines;
    for (int r = 0; r < rows.recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows.fieldCount(); ++c) {
            const Value& v = rows.at(r, c);
            cells << rows.fieldName(c) + QLatin1Char('=') + (v.isNull() ? QStringLiteral("NULL") : oneLine(v.toString()));
        }
        lines << QStringLiteral("ROW ") + cells.join(QLatin1Char('|'));
    }
    return lines;
}

std::vector<ScriptCommand> parseScript(const QString& script)
{
    std::vector<ScriptCommand> commands;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString source = lines[i];
        if (source.endsWith(QLatin1Char('\r')))
            source.chop(1);
        const QString trimmed = source.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;

        ScriptCommand c;
        c.line = i + 1;
        c.source = trimmed;
        QString rest = trimmed;
        c.word = takeWord(rest);
        const auto shape = commandShapes().find(c.word);
        if (shape == commandShapes().end())
            bad(c.line, trimmed, QStringLiteral("unknown command \"%1\"").arg(c.word));

        switch (shape->second) {
        case Shape::Target:
            c.target = takeWord(rest);
            if (c.target.isEmpty() || !rest.isEmpty())
                bad(c.line, trimmed, QStringLiteral("%1 takes one name").arg(c.word));
            break;
        case Shape::TargetText:
        case Shape::TargetTextOptional:
        case Shape::NameValue:
            c.target = takeWord(rest);
            c.text = unquote(rest);
            if (c.target.isEmpty() || (shape->second == Shape::TargetText && rest.isEmpty()))
                bad(c.line, trimmed, shape->second == Shape::NameValue
                                         ? QStringLiteral("state needs a member name and a value")
                                         : QStringLiteral("%1 needs a control and a text").arg(c.word));
            break;
        case Shape::TargetNodeSwitch: {
            c.target = takeWord(rest);
            const int lastBlank = rest.lastIndexOf(QRegularExpression(QStringLiteral("\\s")));
            const QString onOff = lastBlank < 0 ? QString() : rest.mid(lastBlank + 1);
            if (c.target.isEmpty() || (onOff != QLatin1String("on") && onOff != QLatin1String("off")))
                bad(c.line, trimmed, QStringLiteral("tick needs a control, a node text and on or off"));
            c.on = onOff == QLatin1String("on");
            c.text = unquote(rest.left(lastBlank).trimmed());
            break;
        }
        case Shape::Text:
        case Shape::TextOptional:
            c.text = unquote(rest);
            if (shape->second == Shape::Text && rest.isEmpty())
                bad(c.line, trimmed, QStringLiteral("%1 needs a text").arg(c.word));
            break;
        }
        if (c.word == QLatin1String("answer")) {
            MsgAnswer a;
            if (!parseAnswer(c.text, &a))
                bad(c.line, trimmed, QStringLiteral("the answer must be OK, Cancel, Yes, No or Retry"));
        }
        if ((c.word == QLatin1String("pick") || c.word == QLatin1String("type") || c.word == QLatin1String("click") ||
             c.word == QLatin1String("tick")) &&
            !c.target.contains(QLatin1Char('.')))
            bad(c.line, trimmed, QStringLiteral("\"%1\" is not of the form FORM.CONTROL").arg(c.target));
        commands.push_back(std::move(c));
    }
    return commands;
}

ScriptRunner::ScriptRunner(ScriptedDialogs& dialogs, std::function<void(const QString&)> output)
    : m_dialogs(dialogs), m_output(std::move(output))
{
    m_dialogs.setSink(m_output);
    setHandler(QStringLiteral("pick"), [](const ScriptCommand& c) { pickItem(findControl(c.target), c.text); });
    setHandler(QStringLiteral("type"), [](const ScriptCommand& c) { typeText(findControl(c.target), c.text); });
    setHandler(QStringLiteral("click"), [](const ScriptCommand& c) { clickControl(findControl(c.target)); });
    setHandler(QStringLiteral("tick"), [](const ScriptCommand& c) { tickNode(findControl(c.target), c.text, c.on); });
    setHandler(QStringLiteral("key"), [](const ScriptCommand& c) {
        QWidget* target = c.target.contains(QLatin1Char('.')) ? findControl(c.target) : findForm(c.target);
        pressKeys(target, c.text);
    });
    setHandler(QStringLiteral("grab"), [](const ScriptCommand& c) {
        QWidget* form = findForm(c.target);
        if (!form->grab().save(c.text))
            throw ScriptError(QStringLiteral("cannot save a picture of %1 as %2").arg(c.target, c.text));
    });
    setHandler(QStringLiteral("answer"), [this](const ScriptCommand& c) {
        MsgAnswer a = MsgAnswer::OK;
        parseAnswer(c.text, &a);
        m_dialogs.queueAnswer(a);
    });
    setHandler(QStringLiteral("answer-input"), [this](const ScriptCommand& c) { m_dialogs.queueInput(c.text); });
}

void ScriptRunner::setHandler(const QString& word, Handler handler)
{
    m_handlers[word] = std::move(handler);
}

void ScriptRunner::emitLine(const QString& line)
{
    if (m_output)
        m_output(line);
}

void ScriptRunner::execute(const ScriptCommand& command)
{
    const auto handler = m_handlers.find(command.word);
    if (handler == m_handlers.end())
        throw ScriptError(QStringLiteral("\"%1\" is not available in this run").arg(command.word));
    handler->second(command);
    // Let what the action posted (deferred updates, closing windows) happen
    // before the next command, as between two actions of a person.
    QCoreApplication::processEvents();
}

bool ScriptRunner::run(const QString& script)
{
    m_error.clear();
    std::vector<ScriptCommand> commands;
    try {
        commands = parseScript(script);
    } catch (const ScriptError& e) {
        m_error = e.message();
        return false;
    }
    m_ended = false;
    for (const ScriptCommand& c : commands) {
        if (m_ended) {
            m_error = QStringLiteral("line %1: %2: the program has ended; nothing runs after it").arg(c.line).arg(c.source);
            return false;
        }
        QString failure;
        m_dialogs.clearFailure();
        try {
            execute(c);
        } catch (const ScriptError& e) {
            failure = e.message();
        } catch (const UnansweredDialog&) {
            // recorded by the dialogs
        } catch (const DbError& e) {
            failure = QStringLiteral("error %1: %2").arg(e.number()).arg(e.description());
        } catch (const std::exception& e) {
            failure = QString::fromLocal8Bit(e.what());
        }
        if (failure.isEmpty())
            failure = m_dialogs.failure();
        if (!failure.isEmpty()) {
            m_error = QStringLiteral("line %1: %2: %3").arg(c.line).arg(c.source, failure);
            return false;
        }
    }
    if (m_dialogs.answersLeft()) {
        m_error = QStringLiteral("end of script: answers were given for boxes that never came");
        return false;
    }
    return true;
}

bool ScriptRunner::runFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot read the script %1: %2").arg(path, file.errorString());
        return false;
    }
    return run(QString::fromUtf8(file.readAll()));
}

}  // namespace quillon
