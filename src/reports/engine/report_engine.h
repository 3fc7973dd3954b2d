#pragma once
// The report engine as the program uses it: an application object opens a
// template file and gives a report object; the report takes parameter values
// and data tables (record sets), finds subreports by section number and
// object name, and renders to pages, PDF or the default printer.
//
//   ReportApplication app;
//   ReportPtr r = app.openReport(folder + "/SummHours.rpt", 1);
//   r->parameter("StartDate").clearCurrentValueAndRange();
//   r->parameter("StartDate").addCurrentValue(Value(QDate(2024, 6, 1)));
//   r->database().table(1).setDataSource(main);
//   r->section(8).reportObject("subreport1").openSubreport()->database().table(1).setDataSource(debits);
//   r->printOut();
//
// Every failure raises DbError: ReportTemplate (missing or malformed file),
// ReportParameter (no such parameter, value of the wrong kind),
// ReportSubreport (no such section, object or data table), Printer.

#include "data/recordset.h"
#include "reports/engine/document.h"
#include "reports/engine/layout.h"
#include "reports/engine/template_model.h"

#include <QByteArray>
#include <QIODevice>
#include <QDate>

#include <map>
#include <memory>

namespace quillon::reports {

class PdfStream;
class Printer;
class Report;
using ReportPtr = std::shared_ptr<Report>;
struct ReportState;

class ParameterField {
public:
    const QString& name() const;
    Value::Type valueType() const;
    void clearCurrentValueAndRange();
    // Adds a value, converted to the parameter's kind (date, text, double,
    // boolean); throws DbError(ReportParameter) when it does not convert.
    void addCurrentValue(const Value& v);
    const std::vector<Value>& currentValues() const { return m_values; }
    // The first current value, else the template's default, else Null.
    Value value() const;

private:
    friend class ReportApplication;
    ParameterField(ReportState* state, int index) : m_state(state), m_index(index) {}
    ReportState* m_state;
    int m_index;
    std::vector<Value> m_values;
};

class ReportObject {
public:
    const QString& name() const { return m_element->name; }
    bool isSubreport() const { return m_element->kind == ElementDef::Subreport; }
    // Opens the subreport this object holds; throws DbError(ReportSubreport)
    // when the object is not a subreport.
    ReportPtr openSubreport();

private:
    friend class Section;
    ReportObject(std::shared_ptr<ReportState> state, const ElementDef* e) : m_state(std::move(state)), m_element(e) {}
    std::shared_ptr<ReportState> m_state;
    const ElementDef* m_element;
};

class Section {
public:
    int number() const { return m_band->number; }
    // The object of this section with the given name (case-insensitive);
    // throws DbError(ReportSubreport) when there is none.
    ReportObject& reportObject(const QString& name);

private:
    friend class Report;
    Section(std::shared_ptr<ReportState> state, const BandDef* band) : m_state(std::move(state)), m_band(band) {}
    std::shared_ptr<ReportState> m_state;
    const BandDef* m_band;
    std::map<QString, std::unique_ptr<ReportObject>> m_objects;
};

class DatabaseTable {
public:
    // The report renders from these rows; the record set must stay open
    // until the report has rendered.
    void setDataSource(RecordsetPtr rs);

private:
    friend class Database;
    DatabaseTable(ReportState* state, int subreport) : m_state(state), m_subreport(subreport) {}
    ReportState* m_state;
    int m_subreport;   // -1: the main report
};

class Database {
public:
    // Data table n; a report has one (n = 1). Throws DbError(ReportSubreport)
    // for any other number.
    DatabaseTable& table(int n);

private:
    friend class Report;
    Database(ReportState* state, int subreport) : m_table(state, subreport), m_subreport(subreport) {}
    DatabaseTable m_table;
    int m_subreport;
    ReportState* state() const { return m_table.m_state; }
};

class Report : public std::enable_shared_from_this<Report> {
public:
    ~Report();

    const QString& name() const;
    const QString& title() const;
    bool isSubreport() const { return m_subreport >= 0; }

    // Parameters belong to the main report; a subreport shares them.
    ParameterField& parameter(const QString& name);
    Section& section(int number);
    Database& database() { return m_database; }
    // The subreport of that name wherever it sits (a shortcut for tools that
    // do not know its section); throws DbError(ReportSubreport).
    ReportPtr subreport(const QString& name);

    // Drops rows saved in the template and any rendering kept from before.
    void discardSavedData();
    // Prints the whole report on the printer of the application that opened
    // it (or on the one given) without asking; laid out a page at a time
    // (nothing is kept for render()).
    void printOut();
    void printOut(Printer& printer);

    // Lays the report out (kept until parameters or data change). A subreport
    // renders its main report.
    const Document& render();
    // The same, telling `observer` of the pages as they are laid out (when
    // the report is not laid out already); a cancelled layout throws
    // LayoutCancelled and keeps nothing.
    const Document& render(const LayoutObserver& observer);
    QByteArray renderPdf();
    // Lays the report out and writes its PDF to `out` page by page, keeping
    // no more than the page being laid out (nothing is kept for render());
    // returns the pages written. Throws DbError as render() does, and when
    // the device cannot be written.
    int renderPdfTo(QIODevice& out);
    // The same into a stream the caller holds (which finishes it), telling
    // `observer` of the pages as they are laid out: the pages settled by
    // then are in the stream. Returns the document without the pages'
    // items (their count and sizes, the title); a cancelled layout throws
    // LayoutCancelled. A report laid out already is written from its pages.
    Document renderPdfTo(PdfStream& stream, const LayoutObserver& observer);

    void setPrintDate(const QDate& d);

private:
    friend class ReportApplication;
    friend class ReportObject;
    Report(std::shared_ptr<ReportState> state, int subreport);
    std::shared_ptr<ReportState> m_state;
    int m_subreport;
    Database m_database;
    std::map<int, std::unique_ptr<Section>> m_sections;
};

class ReportApplication {
public:
    // Reports print on `printer`; by default on systemPrinter().
    explicit ReportApplication(std::shared_ptr<Printer> printer = {});
    ~ReportApplication();

    // Opens a template file. Mode 1 opens a temporary copy, 0 the file itself;
    // either way the template is read once and never written. The report
    // object lives on after the application object is gone.
    ReportPtr openReport(const QString& path, int openMode = 1);

    // Where the program keeps a template: the program folder (or the folder
    // named by QUILLON_TEMPLATE_DIR), "/", the template name and ".rpt".
    static QString templatePath(const QString& templateName);

private:
    std::shared_ptr<Printer> m_printer;
};

}  // namespace quillon::reports
