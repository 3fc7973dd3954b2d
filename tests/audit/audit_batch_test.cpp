// The audit through the batch tool: one small database with a sound OF-288
// and OF-286 invoice (figures worked by hand below), and per rule a copy with
// exactly one instance of that rule's damage.
#include "data/connection.h"
#include "data/demo/damaged_database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using quillon::Connection;

const QString kBatch = QStringLiteral(QUILLON_BUILD_DIR "/app/quillon-batch");

struct BatchRun {
    int exitCode = -1;
    QStringList lines;
    QString err;
};

BatchRun batch(const QStringList& args)
{
    QProcess p;
    p.start(kBatch, args);
    p.waitForFinished(600000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            QString::fromUtf8(p.readAllStandardError())};
}

void exec(const QString& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << "\n" << sql;
    sqlite3_free(error);
    sqlite3_close(db);
}

// Person 77's OF-288 501 covers 7/1-7/2: 8.5 + 8 hours = 16.5, stored as 16
// (halves go to the even hour). Equipment 42's OF-286 701 covers 7/1-7/3:
// 7/1 posted 300 (secondary empty) under a 500 guarantee gives 500; 7/2
// posted 700 + 50 over 500 gives 750; 7/3 posted 400 with no guarantee
// gives 400; a 50.00 debit and a 20.00 addition: 500 + 750 + 400 - 50 + 20 =
// 1620.00. Posting 1003 (person 77), 1004 (person 78), use 2004 and 2005
// (equipment 43) are open.
const char* const kSound = R"(
INSERT INTO Incidents VALUES (1, 'Cedar', 'CA-TST-000001', '2026-07-01', 'Ridge', 'CA');
INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection) VALUES
  (10, 1, 'Crew 1', 'C-1', 1), (12, 1, 'Dozer', 'E-1', 0), (13, 1, 'Engine', 'E-2', 0);
INSERT INTO Persons (PersonID, ResourceID, FirstName, LastName, PStatus) VALUES (77, 10, 'Ann', 'Ames', 'A'),
  (78, 10, 'Bo', 'Bell', 'A');
INSERT INTO PersonsPost (PersonsPostID, PersonID, ActivityDT, Hours, FinalCol, InvoiceID) VALUES
  (1001, 77, '2026-07-01', 8.5, 0, 501), (1002, 77, '2026-07-02', 8, 0, 501), (1003, 77, '2026-07-03', 10, 0, 0),
  (1004, 78, '2026-07-01', 12, 0, 0);
INSERT INTO PersonsDebit VALUES (1, 77, '2026-07-02', 12.5, 'Boots', 501);
INSERT INTO PersonsInvoices VALUES (501, 77, '2026-07-01', '2026-07-02', 'A', 1, 16, 0);
INSERT INTO PersonsInvoicesReason VALUES (601, 501, 1, 'Original');
INSERT INTO Contractor (ContractorID, IncidentID, ContractorName) VALUES (20, 1, 'Ace');
INSERT INTO Agreement (AgreementID, ContractorID) VALUES (30, 20);
INSERT INTO Equipment (EquipmentID, AgreementID, ResourceID, UniqueEquipmentName) VALUES (42, 30, 12, 'D6'),
  (43, 30, 13, 'E3');
INSERT INTO ContractorPost (ContractorPostID, EquipmentID, ActivityDT, Amt, SAmt, GuarAmt, InvoiceID) VALUES
  (2001, 42, '2026-07-01', 300, NULL, 500, 701), (2002, 42, '2026-07-02', 700, 50, 500, 701),
  (2003, 42, '2026-07-03', 400, NULL, NULL, 701), (2004, 42, '2026-07-04', 300, 0, 500, 0),
  (2005, 43, '2026-07-01', 100, 0, 500, 0);
INSERT INTO ContractorAdjustments VALUES (1, 20, 42, '2026-07-02', 50, 'Fuel', 701), (2, 20, 42, '2026-07-03', -20, 'Move', 701);
INSERT INTO EquipInvoices VALUES (701, 42, '2026-07-01', '2026-07-03', '2026-CA-TST-000001-000042', 'A', 1620, 0);
INSERT INTO EquipInvoicesReason VALUES (801, 701, 1, 'Original');
INSERT INTO KeyCounters VALUES ('PersonsInvoices', 600), ('EquipInvoices', 800);
)";

struct Case {
    const char* rule;
    const char* damage;    // SQL; empty for the NOT NULL case
    const char* expected;  // a piece of the finding's line
};

const Case kCases[] = {
    {"lock-no-invoice", "UPDATE PersonsPost SET InvoiceID = 999 WHERE PersonsPostID = 1003",
     "PersonsPost 1003 of person 77 locked to PersonsInvoices key 999, which does not exist"},
    {"lock-deleted-invoice",
     "INSERT INTO PersonsInvoices VALUES (502, 78, '2026-07-01', '2026-07-01', 'A', 1, 12, 1);"
     "UPDATE PersonsPost SET InvoiceID = 502 WHERE PersonsPostID = 1004",
     "PersonsPost 1004 of person 78 locked to the deleted invoice 2026-CA-TST-000001-000078A (key 502)"},
    {"lock-other-owner", "UPDATE ContractorPost SET InvoiceID = 701 WHERE ContractorPostID = 2005",
     "ContractorPost 2005 of equipment 43 locked to invoice 2026-CA-TST-000001-000042A (key 701) of equipment 42"},
    {"invoice-no-postings",
     "INSERT INTO PersonsInvoices VALUES (503, 78, '2026-07-01', '2026-07-01', 'A', 1, 12, 0);"
     "INSERT INTO PersonsInvoicesReason VALUES (603, 503, 1, 'Original')",
     "invoice 2026-CA-TST-000001-000078A (PersonsInvoices 503) of person 78, 7/1/2026 - 7/1/2026, has no postings"},
    {"invoice-no-original-reason", "DELETE FROM EquipInvoicesReason WHERE EquipInvoiceReasonID = 801",
     "invoice 2026-CA-TST-000001-000042A (EquipInvoices 701) of equipment 42 has no EquipInvoicesReason row"},
    {"duplicate-suffix",
     "INSERT INTO PersonsInvoices VALUES (504, 77, '2026-07-03', '2026-07-03', 'A', 1, 10, 0);"
     "INSERT INTO PersonsInvoicesReason VALUES (604, 504, 1, 'Original');"
     "UPDATE PersonsPost SET InvoiceID = 504 WHERE PersonsPostID = 1003",
     "2 live invoices of person 77 are all 2026-CA-TST-000001-000077A (PersonsInvoices 501, 504)"},
    {"overlapping-periods",
     "INSERT INTO PersonsInvoices VALUES (504, 77, '2026-07-02', '2026-07-03', 'B', 1, 10, 0);"
     "INSERT INTO PersonsInvoicesReason VALUES (604, 504, 1, 'Original');"
     "UPDATE PersonsPost SET InvoiceID = 504 WHERE PersonsPostID = 1003",
     "invoices 2026-CA-TST-000001-000077A (PersonsInvoices 501, 7/1/2026 - 7/2/2026) and "
     "2026-CA-TST-000001-000077B (key 504, 7/2/2026 - 7/3/2026) of person 77 share days"},
    {"equipment-amount", "UPDATE EquipInvoices SET Amount = 1600 WHERE EquipInvoiceID = 701",
     "stores $1,600.00; its use postings give $1,650.00 and its adjustments -$30.00, together $1,620.00: "
     "the contractor is paid $20.00 too little"},
    {"personnel-amount", "UPDATE PersonsInvoices SET Amount = 17 WHERE PersonsInvoiceID = 501",
     "stores 17 hours; its postings hold 16.5 hours, 16 rounded: the person is paid for 1 hour too many"},
    {"key-counter-behind", "UPDATE KeyCounters SET LastNumber = 500 WHERE TableName = 'PersonsInvoices'",
     "KeyCounters row PersonsInvoices holds 500; the largest PersonsInvoiceID of PersonsInvoices is 501: "
     "the next key handed out (501) is already taken"},
    {"scratch-rows",
     "INSERT INTO ReportRecords (ReportRun, IncidentID, PersonID, ActivityDT) VALUES (5, 1, 77, '2026-07-01'),"
     " (5, 1, 78, '2026-07-01')",
     "ReportRecords run 5 holds 2 rows"},
    {"bad-date", "UPDATE ContractorPost SET ActivityDT = '7/5/2026' WHERE ContractorPostID = 2004",
     "ContractorPost 2004: ActivityDT holds '7/5/2026', which is not a date"},
    {"integrity-check", "", "SQLite integrity check: NULL value in PersonsPost.FinalCol"},
};

class AuditBatch : public ::testing::Test {
protected:
    // The sound database, with the damage of `c` when given.
    QString database(const QString& name, const Case* c = nullptr)
    {
        const QString path = m_dir.filePath(name + QStringLiteral(".db"));
        Connection::createEmbeddedDatabase(path);
        exec(path, kSound);
        if (c && *c->damage) exec(path, c->damage);
        else if (c) quillon::demo::breakNotNull(path, QStringLiteral("PersonsPost"), QStringLiteral("FinalCol"),
                                                QStringLiteral("PersonsPostID = 1004"));
        return path;
    }
    static BatchRun audit(const QString& path, const QStringList& more = {})
    {
        return batch(QStringList{QStringLiteral("audit"), QStringLiteral("--db"), path} + more);
    }
    QTemporaryDir m_dir;
};

TEST_F(AuditBatch, FindsEachKindOfDamageOnceAndNothingInItsSoundTwin)
{
    const BatchRun sound = audit(database(QStringLiteral("sound")));
    EXPECT_EQ(sound.exitCode, 0) << sound.lines.join(QLatin1Char('\n')).toStdString() << sound.err.toStdString();
    EXPECT_EQ(sound.lines.join(QLatin1Char('\n')).toStdString(),
              QStringLiteral("Audit of %1: no findings").arg(m_dir.filePath(QStringLiteral("sound.db"))).toStdString());

    for (const Case& c : kCases) {
        SCOPED_TRACE(c.rule);
        const BatchRun run = audit(database(QString::fromLatin1(c.rule), &c));
        EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
        ASSERT_EQ(run.lines.size(), 2) << run.lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(run.lines[0].startsWith(QString::fromLatin1(c.rule) + QStringLiteral(": ")))
            << run.lines[0].toStdString();
        EXPECT_TRUE(run.lines[0].contains(QString::fromUtf8(c.expected))) << run.lines[0].toStdString();
        EXPECT_TRUE(run.lines[1].endsWith(QStringLiteral(": 1 finding (%1 1)").arg(QString::fromLatin1(c.rule))))
            << run.lines[1].toStdString();
    }
}

TEST_F(AuditBatch, JsonCountsEveryRuleAndUnreadableFilesExitWithThree)
{
    const BatchRun run = audit(database(QStringLiteral("amount"), &kCases[7]), {QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 4);
    const QJsonObject o = QJsonDocument::fromJson(run.lines.join(QLatin1Char('\n')).toUtf8()).object();
    EXPECT_FALSE(o.value(QStringLiteral("clean")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("counts")).toObject().size(), 13);
    EXPECT_EQ(o.value(QStringLiteral("counts")).toObject().value(QStringLiteral("equipment-amount")).toInt(), 1);
    const QJsonObject f = o.value(QStringLiteral("findings")).toArray().at(0).toObject();
    EXPECT_EQ(f.value(QStringLiteral("invoice")).toString(), QStringLiteral("2026-CA-TST-000001-000042A"));
    EXPECT_EQ(f.value(QStringLiteral("keys")).toArray().at(0).toInt(), 701);

    QFile text(m_dir.filePath(QStringLiteral("notes.db")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a database, only some notes\n");
    text.close();
    for (const QString& path : {text.fileName(), m_dir.filePath(QStringLiteral("missing.db"))}) {
        const BatchRun bad = audit(path);
        EXPECT_EQ(bad.exitCode, 3) << path.toStdString();
        EXPECT_TRUE(bad.err.startsWith(QStringLiteral("cannot audit ") + path)) << bad.err.toStdString();
    }
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The sample stays clean at scale and the audit leaves the file as it was;
// the damaged sample shows every rule.
TEST_F(AuditBatch, SamplesLargeAndDamaged)
{
    const QString large = m_dir.filePath(QStringLiteral("large.db"));
    ASSERT_EQ(batch({QStringLiteral("demo-db"), large, QStringLiteral("--scale"), QStringLiteral("5")}).exitCode, 0);
    const QByteArray before = fileHash(large);
    const BatchRun run = audit(large);
    EXPECT_EQ(run.exitCode, 0) << run.lines.join(QLatin1Char('\n')).toStdString() << run.err.toStdString();
    EXPECT_EQ(fileHash(large), before);
    EXPECT_FALSE(QFile::exists(large + QStringLiteral("-journal")));

    const QString damaged = m_dir.filePath(QStringLiteral("damaged.db"));
    ASSERT_EQ(batch({QStringLiteral("demo-db"), damaged, QStringLiteral("--damaged")}).exitCode, 0);
    const BatchRun found = audit(damaged, {QStringLiteral("--json")});
    EXPECT_EQ(found.exitCode, 4);
    const QJsonObject counts = QJsonDocument::fromJson(found.lines.join(QLatin1Char('\n')).toUtf8())
                                   .object().value(QStringLiteral("counts")).toObject();
    for (const Case& c : kCases) EXPECT_GE(counts.value(QString::fromLatin1(c.rule)).toInt(), 1) << c.rule;
}

}  // namespace
