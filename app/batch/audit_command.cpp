// quillon-batch audit: checks a database against the rules of an issued
// invoice and of the schema, one line per finding (or JSON with --json).
// Exit status 0 when clean, 4 with findings, 3 when the database cannot be
// read, 2 for a usage error. It never changes a row.
#include "batch_command.h"

#include "audit/audit.h"
#include "data/connection.h"

#include <QJsonDocument>

namespace {

using namespace quillon;

int auditCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString file, connectionText;
    bool json = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--json")) {
            json = true;
        } else if ((a == QLatin1String("--db") || a == QLatin1String("--connect")) && i + 1 < args.size()) {
            (a == QLatin1String("--db") ? file : connectionText) = args.at(++i);
        } else {
            err << "unexpected argument: " << a << "\n";
            return 2;
        }
    }
    if (file.isEmpty() == connectionText.isEmpty()) {
        err << "usage: quillon-batch audit --db FILE | --connect ODBC-CONNECTION-STRING [--json]\n";
        return 2;
    }
    const QString shown = file.isEmpty() ? QStringLiteral("the database") : file;
    Connection db;
    AuditResult result;
    try {
        if (!file.isEmpty()) db.openEmbedded(file);
        else db.open(connectionText);
        result = runAudit(db);
    } catch (const DbError& e) {
        err << "cannot audit " << shown << ": " << e.description() << "\n";
        return 3;
    }
    if (json) {
        QJsonObject o = auditJson(result);
        o.insert(QStringLiteral("database"), file.isEmpty() ? db.connectionString() : file);
        out << QJsonDocument(o).toJson(QJsonDocument::Indented);
    } else {
        for (const AuditFinding& f : result.findings) out << findingLine(f) << "\n";
        if (result.findings.empty()) {
            out << "Audit of " << shown << ": no findings\n";
        } else {
            QStringList counts;
            for (const AuditRule& r : auditRules())
                if (const int n = result.count(r.id)) counts << QStringLiteral("%1 %2").arg(r.id).arg(n);
            out << "Audit of " << shown << ": " << result.findings.size()
                << (result.findings.size() == 1 ? " finding (" : " findings (") << counts.join(QStringLiteral(", "))
                << ")\n";
        }
    }
    return result.findings.empty() ? 0 : 4;
}

}  // namespace

QUILLON_BATCH_COMMAND("audit", QStringLiteral("audit --db FILE | --connect ODBC-STRING [--json]"), auditCommand);
