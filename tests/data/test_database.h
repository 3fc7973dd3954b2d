#pragma once
// A small incident database in a temporary folder, built from the real schema,
// for the data-layer tests.

#include "data/connection.h"

#include <QTemporaryDir>
#include "test_connection.h"

namespace quillon::testdb {

class TestDatabase {
public:
    TestDatabase()
    {
        m_path = m_dir.filePath(QStringLiteral("incidents.db"));
        Connection::createEmbeddedDatabase(m_path);
        openTestDatabase(db, m_path);
    }

    const QString& path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

    // Two incidents, crews and equipment, three persons with postings,
    // debits and one earlier invoice, and a contractor with one machine.
    void fill()
    {
        const char* const statements[] = {
            "INSERT INTO Incidents VALUES (1, 'Ridge Fire', 'CA-ABC-000123', '2005-07-01', 'Ridge', 'CA'),"
            " (2, 'Lake Fire', 'OR-XYZ-000001', '2024-06-01', 'Lake', 'OR')",
            "INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection, KindCode, AssignDate) VALUES"
            " (10, 1, 'Hotshots A', 'C-12', 1, 'CRW1', '2005-07-01'), (11, 1, 'Hotshots B', 'C-5', 1, 'CRW1', '2005-07-01'),"
            " (12, 1, 'Engine 1', 'E-2', 0, 'ENG3', '2005-07-01'), (13, 1, 'Dozer 7', 'E-10', 0, 'DOZ2', '2005-07-02'),"
            " (14, 1, 'Crew C', 'C-12.1', 1, 'CRW1', '2005-07-03'), (15, 2, 'Overhead', 'O-1', 0, 'OVH', '2024-06-02')",
            "INSERT INTO AccountingCodes VALUES (1, 'P5ABC1', 1), (2, 'P5ABC2', 1), (3, 'OR1', 2)",
            "INSERT INTO Persons (PersonID, ResourceID, FirstName, LastName, SSN, FaxPhone, FedCode, AgencyCode, PStatus,"
            " KindCode, Rate, AccountingID) VALUES"
            " (100, 10, 'Ann', 'Adams', '123456789', '5551234567', 'FED', 'USFS', 'A', 'FFT2', 25.5, 1),"
            " (101, 10, 'Bob', 'Baker', '987654321', '555123', 'FED', 'USFS', 'A', 'FFT1', 30, 1),"
            " (102, 11, 'Cy', 'Cole', NULL, '5559876543', 'AD', 'BLM', 'D', 'FFT2', 25.5, 2)",
            "INSERT INTO PersonsPost (PersonsPostID, PersonID, ActivityDT, StartTime, StopTime, Hours, KindCode, Rate,"
            " AccountingID, FinalCol, InvoiceID) VALUES"
            " (1000, 100, '2005-07-01', '1899-12-30 06:00:00', '1899-12-30 14:00:00', 8, 'FFT2', 25.5, 1, 0, 0),"
            " (1001, 100, '2005-07-02', '1899-12-30 06:00:00', '1899-12-30 23:00:00', 17, 'FFT2', 25.5, 1, 0, NULL),"
            " (1002, 100, '2005-07-03', '1899-12-30 06:00:00', '1899-12-30 22:00:00', 16, 'FFT2', 25.5, 1, 0, 0),"
            " (1003, 101, '2005-07-02', '1899-12-30 07:00:00', '1899-12-30 19:30:00', 12.5, 'FFT1', 30, 1, 0, 0),"
            " (1004, 102, '2005-06-20', '1899-12-30 07:00:00', NULL, 10, 'FFT2', NULL, 2, 0, 500)",
            "INSERT INTO PersonsDebit VALUES (1, 100, '2005-07-02', 12.5, 'Boots', 0), (2, 100, '2005-07-03', 3.25, 'Socks', NULL)",
            "INSERT INTO PersonsInvoices VALUES (500, 102, '2005-06-01', '2005-06-30', 'A', 1, 10, 0)",
            "INSERT INTO L_Kind VALUES ('CRW1', 'Crew Type 1'), ('ENG3', 'Engine Type 3'), ('DOZ2', 'Dozer Type 2')",
            "INSERT INTO AdminOffice VALUES (1, 'North Office', '1 Main St', NULL, 'Redding', 'CA', '96001')",
            "INSERT INTO Contractor VALUES (20, 1, 'K-1', 'Ace Rentals', '2 Oak Rd', 'Chico', 'CA', '95926')",
            "INSERT INTO Agreement VALUES (30, 20, 1, 'AG-77', 'Chico', '2005-01-01', '2005-12-31')",
            "INSERT INTO Equipment VALUES (42, 30, 13, 'Dozer O''Brien', 'Cat', 'D6', 'N', 'N', 'N')",
            "INSERT INTO ContractorPost (EquipmentID, ActivityDT, Units, UOM, Rate, Amt, SUnits, SUOM, SRate, SAmt, GuarAmt,"
            " AccountingID, InvoiceID) VALUES"
            " (42, '2005-07-02', 10, 'HR', 30, 300, 0, 'HR', 0, 0, 500, 1, 0),"
            " (42, '2005-07-03', 10, 'HR', 70, 700, 0, 'HR', 0, 0, 500, 1, 0)",
            "INSERT INTO ContractorAdjustments VALUES (1, 20, 42, '2005-07-02', 50, 'Fuel', 0), (2, 20, 42, '2005-07-03', -20, 'Move', 0)",
        };
        Transaction tx(db);
        for (const char* s : statements) db.execute(QString::fromUtf8(s));
        tx.commit();
    }

    Connection db;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

}  // namespace quillon::testdb
