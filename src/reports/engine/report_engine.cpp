#include "reports/engine/report_engine.h"

#include "data/dberror.h"
#include "reports/engine/layout.h"
#include "reports/engine/pdf_writer.h"
#include "reports/printing/printer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>

#include <optional>

namespace quillon::reports {

namespace {

QString engineSource() { return QStringLiteral("Report engine"); }

RecordsetPtr savedRows(const std::vector<SavedTable>& saved)
{
    for (const SavedTable& s : saved)
        if (s.table == 1) return Recordset::fromRows(s.fields, s.rows);
    return {};
}

}  // namespace

// What a main report and the subreports opened from it share.
struct ReportState {
    std::shared_ptr<const ReportTemplate> tmpl;
    std::shared_ptr<Printer> printer;
    std::vector<std::unique_ptr<ParameterField>> parameters;
    RecordsetPtr data;
    std::vector<RecordsetPtr> subData;
    bool savedDataDiscarded = false;
    QDate printDate;
    std::optional<Document> rendered;

    void changed() { rendered.reset(); }

    // What the layout takes: the bound rows, else the rows saved in the
    // template (unless discarded), and the parameters' values.
    RenderInput input() const
    {
        RenderInput in;
        in.report = tmpl.get();
        in.data = data;
        if (!in.data && !savedDataDiscarded) in.data = savedRows(tmpl->savedData);
        for (size_t i = 0; i < tmpl->subreports.size(); ++i) {
            RecordsetPtr rs = subData[i];
            if (!rs && !savedDataDiscarded) rs = savedRows(tmpl->subreports[i].report->savedData);
            in.subreportData.push_back(rs);
        }
        for (const auto& p : parameters) in.parameters.push_back(p->value());
        in.printDate = printDate;
        return in;
    }

    const ReportTemplate& templateOf(int subreport) const
    {
        return subreport < 0 ? *tmpl : *tmpl->subreports[subreport].report;
    }
    QString displayName(int subreport) const
    {
        if (subreport >= 0) return tmpl->subreports[subreport].name;
        return tmpl->name.isEmpty() ? QFileInfo(tmpl->path).completeBaseName() : tmpl->name;
    }
};

// ---- ParameterField ---------------------------------------------------------

const QString& ParameterField::name() const { return m_state->tmpl->parameters[m_index].name; }

Value::Type ParameterField::valueType() const { return m_state->tmpl->parameters[m_index].type; }

void ParameterField::clearCurrentValueAndRange()
{
    m_values.clear();
    m_state->changed();
}

void ParameterField::addCurrentValue(const Value& v)
{
    m_values.push_back(convertParameterValue(m_state->tmpl->parameters[m_index], v));
    m_state->changed();
}

Value ParameterField::value() const
{
    if (!m_values.empty()) return m_values.front();
    return m_state->tmpl->parameters[m_index].defaultValue;
}

// ---- sections and objects -----------------------------------------------------

ReportObject& Section::reportObject(const QString& name)
{
    const QString key = name.trimmed().toLower();
    auto it = m_objects.find(key);
    if (it != m_objects.end()) return *it->second;
    for (const ElementDef& e : m_band->elements) {
        if (!e.name.isEmpty() && e.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            auto obj = std::unique_ptr<ReportObject>(new ReportObject(m_state, &e));
            ReportObject& ref = *obj;
            m_objects[key] = std::move(obj);
            return ref;
        }
    }
    throw DbError(ErrorNumber::ReportSubreport,
                  QStringLiteral("Section %1 of the report %2 has no object named %3")
                      .arg(m_band->number)
                      .arg(m_state->displayName(-1), name),
                  engineSource());
}

ReportPtr ReportObject::openSubreport()
{
    if (m_element->kind != ElementDef::Subreport)
        throw DbError(ErrorNumber::ReportSubreport,
                      QStringLiteral("The object %1 of the report %2 is not a subreport")
                          .arg(m_element->name, m_state->displayName(-1)),
                      engineSource());
    return ReportPtr(new Report(m_state, m_element->subreport));
}

// ---- data tables --------------------------------------------------------------

void DatabaseTable::setDataSource(RecordsetPtr rs)
{
    if (m_subreport < 0) m_state->data = std::move(rs);
    else m_state->subData[m_subreport] = std::move(rs);
    m_state->changed();
}

DatabaseTable& Database::table(int n)
{
    if (n != 1)
        throw DbError(ErrorNumber::ReportSubreport,
                      QStringLiteral("The report %1 has no data table %2; its data is table 1")
                          .arg(state()->displayName(m_subreport))
                          .arg(n),
                      engineSource());
    return m_table;
}

// ---- Report -------------------------------------------------------------------

Report::Report(std::shared_ptr<ReportState> state, int subreport)
    : m_state(std::move(state)), m_subreport(subreport), m_database(m_state.get(), subreport)
{
}

Report::~Report() = default;

const QString& Report::name() const
{
    return m_subreport < 0 ? m_state->tmpl->name : m_state->tmpl->subreports[m_subreport].name;
}

const QString& Report::title() const { return m_state->templateOf(m_subreport).title; }

ParameterField& Report::parameter(const QString& name)
{
    const int i = m_state->tmpl->parameterIndex(name);
    if (i < 0)
        throw DbError(ErrorNumber::ReportParameter,
                      QStringLiteral("The report %1 has no parameter named %2").arg(m_state->displayName(-1), name),
                      engineSource());
    return *m_state->parameters[i];
}

Section& Report::section(int number)
{
    auto it = m_sections.find(number);
    if (it != m_sections.end()) return *it->second;
    const BandDef* band = m_state->templateOf(m_subreport).bandByNumber(number);
    if (!band)
        throw DbError(ErrorNumber::ReportSubreport,
                      QStringLiteral("The report %1 has no section %2").arg(m_state->displayName(m_subreport)).arg(number),
                      engineSource());
    auto s = std::unique_ptr<Section>(new Section(m_state, band));
    Section& ref = *s;
    m_sections[number] = std::move(s);
    return ref;
}

ReportPtr Report::subreport(const QString& name)
{
    for (const BandDef& band : m_state->templateOf(m_subreport).bands)
        for (const ElementDef& e : band.elements)
            if (e.kind == ElementDef::Subreport && e.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
                return section(band.number).reportObject(e.name).openSubreport();
    throw DbError(ErrorNumber::ReportSubreport,
                  QStringLiteral("The report %1 has no subreport named %2").arg(m_state->displayName(m_subreport), name),
                  engineSource());
}

void Report::discardSavedData()
{
    m_state->savedDataDiscarded = true;
    m_state->changed();
}

void Report::setPrintDate(const QDate& d)
{
    m_state->printDate = d;
    m_state->changed();
}

const Document& Report::render() { return render(LayoutObserver()); }

const Document& Report::render(const LayoutObserver& observer)
{
    ReportState& s = *m_state;
    if (!s.rendered) {
        s.rendered = layoutReport(s.input(), observer);
        if (s.rendered->title.isEmpty()) s.rendered->title = s.displayName(-1);
    }
    return *s.rendered;
}

QByteArray Report::renderPdf() { return PdfWriter::toPdf(render()); }

int Report::renderPdfTo(QIODevice& out)
{
    ReportState& s = *m_state;
    if (s.rendered) {
        const QByteArray pdf = PdfWriter::toPdf(*s.rendered);
        if (out.write(pdf) != pdf.size())
            throw DbError(ErrorNumber::FileAccess, QStringLiteral("The PDF could not be written whole"), engineSource());
        return s.rendered->pageCount();
    }
    PdfStream stream(out);
    return renderPdfTo(stream, LayoutObserver()).pageCount();
}

Document Report::renderPdfTo(PdfStream& stream, const LayoutObserver& observer)
{
    ReportState& s = *m_state;
    Document doc;
    if (s.rendered) {
        doc.title = s.rendered->title;
        for (const Page& page : s.rendered->pages) {
            stream.page(page, {});
            doc.pages.push_back(Page{page.width, page.height, {}});
        }
    } else {
        doc = layoutReport(s.input(), observer, &stream);
        if (doc.title.isEmpty()) doc.title = s.displayName(-1);
    }
    stream.finish(doc.title);
    return doc;
}

void Report::printOut()
{
    if (!m_state->printer)
        throw DbError(ErrorNumber::Printer, QStringLiteral("No printer is set up for reports"), engineSource());
    printOut(*m_state->printer);
}

void Report::printOut(Printer& printer)
{
    // Written a page at a time: a long report's laid-out pages are not kept.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    PdfStream stream(pdf);
    const Document doc = renderPdfTo(stream, LayoutObserver());
    printer.printPdf(pdf.data(), doc.title);
}

// ---- ReportApplication ----------------------------------------------------------

ReportApplication::ReportApplication(std::shared_ptr<Printer> printer)
    : m_printer(printer ? std::move(printer) : systemPrinter())
{
}

ReportApplication::~ReportApplication() = default;

QString ReportApplication::templatePath(const QString& templateName)
{
    // QUILLON_TEMPLATE_DIR points a template author's or a test's own folder
    // in place of the program folder.
    const QString folder = qEnvironmentVariableIsSet("QUILLON_TEMPLATE_DIR")
        ? qEnvironmentVariable("QUILLON_TEMPLATE_DIR")
        : QCoreApplication::applicationDirPath();
    return folder + QLatin1Char('/') + templateName + QStringLiteral(".rpt");
}

ReportPtr ReportApplication::openReport(const QString& path, int openMode)
{
    if (openMode != 0 && openMode != 1)
        throw DbError(ErrorNumber::ReportTemplate,
                      QStringLiteral("Open mode %1 is not known (0 opens the file, 1 a temporary copy)").arg(openMode),
                      engineSource());
    auto state = std::make_shared<ReportState>();
    state->tmpl = readTemplate(path);
    state->printer = m_printer;
    for (int i = 0; i < int(state->tmpl->parameters.size()); ++i)
        state->parameters.push_back(std::unique_ptr<ParameterField>(new ParameterField(state.get(), i)));
    state->subData.resize(state->tmpl->subreports.size());
    return ReportPtr(new Report(state, -1));
}

}  // namespace quillon::reports
