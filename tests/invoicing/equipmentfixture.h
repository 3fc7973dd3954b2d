#pragma once
// A small incident database for the equipment invoice tests, and a report
// pipeline double that records what it was asked to build and show.
//
// Incident CA-XYZ-001 of 2005; contractor 20 with agreement 30; equipment 42
// ("Dozer O'Brien", resource 13, assigned 7/2/2005) with use postings on
// 7/2 (300, guarantee 500), 7/3 (700, guarantee 500), 7/4 (400, guarantee
// 400) and 7/10 (100, guarantee 100), a debit of 50 on 7/2, an addition of 20
// on 7/3 and a debit of 5 on 7/10. Equipment 43 is a contract crew without
// postings.

#include "data/connection.h"
#include "invoicing/equipmentinvoice.h"
#include "invoicing/equipmentreports.h"
#include "ui/dialogs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "printers.h"

#include <functional>
#include <vector>
#include "test_connection.h"

namespace eqtest {

using namespace quillon;

class EquipmentDb {
public:
    EquipmentDb()
    {
        path = dir.filePath(QStringLiteral("incidents.db"));
        Connection::createEmbeddedDatabase(path);
        openTestDatabase(db, path);
        const char* const rows[] = {
            "INSERT INTO Incidents VALUES (1, 'Ridge Fire', 'CA-XYZ-001', '2005-07-01', 'Ridge', 'CA')",
            "INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection, KindCode, AssignDate) VALUES"
            " (13, 1, 'Dozer 7', 'E-10', 0, 'DOZ2', '2005-07-02'), (14, 1, 'Crew X', 'C-3', 1, 'CRW1', NULL)",
            "INSERT INTO AccountingCodes VALUES (1, 'P5ABC1', 1)",
            "INSERT INTO L_Kind VALUES ('DOZ2', 'Dozer Type 2'), ('CRW1', 'Crew Type 1')",
            "INSERT INTO L_Time VALUES ('0600'), ('0730'), ('1800')",
            "INSERT INTO AdminOffice VALUES (1, 'North Office', '1 Main St', NULL, 'Redding', 'CA', '96001')",
            "INSERT INTO Contractor VALUES (20, 1, 'K-1', 'Ace Rentals', '2 Oak Rd', 'Chico', 'CA', '95926')",
            "INSERT INTO Agreement VALUES (30, 20, 1, 'AG-77', 'Chico', '2005-01-01', '2005-12-31')",
            "INSERT INTO Equipment VALUES (42, 30, 13, 'Dozer O''Brien', 'Cat', 'D6', 'N', 'N', 'N'),"
            " (43, 30, 14, 'Crew X', NULL, NULL, 'N', 'N', 'N')",
            "INSERT INTO ContractorPost (EquipmentID, ActivityDT, Units, UOM, Rate, Amt, SUnits, SUOM, SRate, SAmt,"
            " GuarAmt, AccountingID, InvoiceID) VALUES"
            " (42, '2005-07-02', 10, 'HR', 30, 300, 0, 'HR', 0, 0, 500, 1, 0),"
            " (42, '2005-07-03', 10, 'HR', 70, 700, 0, 'HR', 0, 0, 500, 1, 0),"
            " (42, '2005-07-04', 10, 'HR', 40, 400, 0, 'HR', 0, 0, 400, 1, 0),"
            " (42, '2005-07-10', 10, 'HR', 10, 100, 0, 'HR', 0, 0, 100, 1, 0)",
            "INSERT INTO ContractorAdjustments VALUES (1, 20, 42, '2005-07-02', 50, 'Fuel', 0),"
            " (2, 20, 42, '2005-07-03', -20, 'Move', 0), (3, 20, 42, '2005-07-10', 5, 'Meals', 0)",
        };
        for (const char* sql : rows) db.execute(QString::fromUtf8(sql));
    }

    // The first field of the first row of a query (Null when there is none).
    Value scalar(const QString& sql)
    {
        RecordsetPtr rs = db.openRecordset(sql, CursorType::Static, LockType::ReadOnly);
        return rs->eof() ? Value() : rs->value(0);
    }
    std::int64_t count(const QString& sql) { return scalar("Select count(*) from " + sql).toInt(); }

    // Every row of the tables an issuance or a deletion writes, as text, to
    // compare whole states before and after.
    QStringList snapshot()
    {
        QStringList out;
        for (const char* table : {"EquipInvoices", "EquipInvoicesReason", "ContractorPost", "ContractorAdjustments",
                                  "KeyCounters"}) {
            RecordsetPtr rs = db.openRecordset(QStringLiteral("Select * from ") + table, CursorType::Static,
                                               LockType::ReadOnly);
            for (; !rs->eof(); rs->moveNext()) {
                QStringList cells;
                for (int i = 0; i < rs->fieldCount(); ++i) cells << rs->value(i).toString();
                out << QString::fromLatin1(table) + ": " + cells.join('|');
            }
        }
        return out;
    }

    // A trigger that makes the next statement of that kind on the table fail.
    void failOn(const QString& event, const QString& table)
    {
        db.execute("CREATE TRIGGER injected_failure BEFORE " + event + " ON " + table
                   + " BEGIN SELECT RAISE(ABORT, 'injected failure'); END");
    }

    QTemporaryDir dir;
    QString path;
    Connection db;
};

// Queues the answers of the boxes to come, then the typed inputs.
inline void answer(ScriptedDialogs& dialogs, std::initializer_list<MsgAnswer> answers, const QStringList& inputs = {})
{
    for (MsgAnswer a : answers) dialogs.queueAnswer(a);
    for (const QString& text : inputs) dialogs.queueInput(text);
}

// The boxes shown, without the answers given to them.
inline QStringList boxes(const ScriptedDialogs& dialogs)
{
    QStringList out;
    for (const QString& line : dialogs.log())
        if (!line.startsWith(QLatin1String("-> "))) out << line;
    return out;
}

// The shared state of an issuance for equipment 42 over 7/1 to 7/5/2005 with
// the totals of that period (additions 20, debits 50).
inline AppState issueState(std::int16_t mode)
{
    AppState s;
    s.InvoicePrintMode = mode;
    s.OrigRptCode = mode == PrintOriginal ? QStringLiteral("O") : QStringLiteral("PLost");
    s.ReprintReason = QStringLiteral("Lost");
    s.SelectedEquipmentId = 42;
    s.SelectedIncidentNumber = QStringLiteral("CA-XYZ-001");
    s.IncidentStartYear = QStringLiteral("2005");
    s.ContractType = QStringLiteral("0");
    s.ReportStartDate = QDate(2005, 7, 1);
    s.ReportEndDate = QDate(2005, 7, 5);
    s.ReportAdditionTotal = Currency::fromInt(20);
    s.ReportDebitTotal = Currency::fromInt(50);
    return s;
}

// One report the pipeline was asked for.
struct ReportCall {
    QString what;            // "build", "show", "print-invoice", "check-printer", "print"
    std::int16_t report = 0;
    std::int32_t key = 0;
    QString origRptCode;
    std::int16_t preview = -1;
    std::int16_t viewer = 0;
    std::int64_t invoicesSeenElsewhere = -1;  // EquipInvoices rows another connection saw then
};

class RecordingReports : public EquipmentReports {
public:
    explicit RecordingReports(EquipmentDb* database = nullptr) : m_database(database) {}

    std::vector<ReportCall> calls;
    bool buildResult = true;
    QString layoutFailure;  // laying a form out fails with this, when set (a template error)
    QString printFailure;   // printing after the commit fails with this, when set
    QTemporaryDir keep;
    // What printInvoice does (the issuance entry after its confirmations).
    std::function<bool(AppState&, std::int16_t, bool)> onPrintInvoice;

    bool buildReport(AppState& state, std::int32_t& key) override
    {
        calls.push_back({"build", state.ReportNumber, key, state.OrigRptCode, -1, 0, seenElsewhere()});
        return buildResult;
    }
    void showReport(AppState& state, std::int16_t preview, std::int16_t viewer) override
    {
        calls.push_back({"show", state.ReportNumber, state.SelectedInvoiceId, state.OrigRptCode, preview, viewer});
    }
    bool printInvoice(AppState& state, std::int16_t viewerSlot, bool fromViewer) override
    {
        calls.push_back({"print-invoice", state.ReportNumber, state.SelectedInvoiceId, state.OrigRptCode, -1,
                         viewerSlot});
        return onPrintInvoice ? onPrintInvoice(state, viewerSlot, fromViewer) : false;
    }
    LaidOut layOut(AppState& state) override
    {
        if (!layoutFailure.isEmpty()) throw DbError(ErrorNumber::ReportTemplate, layoutFailure);
        return {QByteArray("%PDF form ") + QByteArray::number(state.ReportNumber), QStringLiteral("form")};
    }
    void checkPrinter() override { calls.push_back({"check-printer"}); }
    void printLaidOut(AppState& state, const LaidOut&) override
    {
        calls.push_back({"print", state.ReportNumber, state.SelectedInvoiceId, state.OrigRptCode, -1, 0,
                         seenElsewhere()});
        if (!printFailure.isEmpty()) throw DbError(ErrorNumber::Printer, printFailure);
    }
    QString keepFolder() override { return keep.path(); }

    // "build 7 OA" / "show 7 OA 0/1" / "print 7 OA" lines, for comparing whole sequences.
    QStringList trace() const
    {
        QStringList out;
        for (const ReportCall& c : calls) {
            QString line = c.what;
            if (c.what != "check-printer") line += ' ' + QString::number(c.report) + ' ' + c.origRptCode;
            if (c.what == "show") line += QStringLiteral(" %1/%2").arg(c.preview).arg(c.viewer);
            if (c.what == "print-invoice") line += QStringLiteral(" /%1").arg(c.viewer);
            out << line;
        }
        return out;
    }

private:
    // A second connection sees only what was committed.
    std::int64_t seenElsewhere() const
    {
        if (!m_database) return -1;
        Connection other;
        other.openEmbedded(m_database->path);
        return other.openRecordset("Select count(*) from EquipInvoices")->value(0).toInt();
    }
    EquipmentDb* m_database;
};

}  // namespace eqtest
