#include "reports/catalogue/reportinputs.h"

#include <QLocale>

#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace quillon {

namespace {

using Setter = std::function<bool(AppState&, const QString&)>;

template <typename Int>
Setter intSetter(Int AppState::*member)
{
    return [member](AppState& s, const QString& t) {
        bool ok = false;
        const qlonglong v = t.trimmed().toLongLong(&ok);
        if (!ok || v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) return false;
        s.*member = Int(v);
        return true;
    };
}

Setter textSetter(QString AppState::*member)
{
    return [member](AppState& s, const QString& t) {
        s.*member = t;
        return true;
    };
}

Setter boolSetter(bool AppState::*member)
{
    return [member](AppState& s, const QString& t) {
        const QString v = t.trimmed().toLower();
        if (v == QLatin1String("true") || v == QLatin1String("1")) s.*member = true;
        else if (v == QLatin1String("false") || v == QLatin1String("0")) s.*member = false;
        else return false;
        return true;
    };
}

Setter dateSetter(QDate AppState::*member)
{
    return [member](AppState& s, const QString& t) {
        const QString v = t.trimmed();
        QDate d = QDate::fromString(v, QStringLiteral("MM/dd/yyyy"));
        if (!d.isValid()) d = QDate::fromString(v, QStringLiteral("M/d/yyyy"));
        if (!d.isValid()) return false;
        s.*member = d;
        return true;
    };
}

Setter doubleSetter(double AppState::*member)
{
    return [member](AppState& s, const QString& t) {
        bool ok = false;
        const double v = QLocale::c().toDouble(t.trimmed(), &ok);
        if (!ok) return false;
        s.*member = v;
        return true;
    };
}

Setter currencySetter(Currency AppState::*member)
{
    return [member](AppState& s, const QString& t) {
        bool ok = false;
        const Currency v = Currency::fromString(t.trimmed(), &ok);
        if (!ok) return false;
        s.*member = v;
        return true;
    };
}

const std::vector<std::pair<QString, Setter>>& setters()
{
    static const std::vector<std::pair<QString, Setter>> table = {
        {QStringLiteral("ReportNumber"), intSetter(&AppState::ReportNumber)},
        {QStringLiteral("SelectedIncidentId"), intSetter(&AppState::SelectedIncidentId)},
        {QStringLiteral("ManageIncidentsAsOne"), boolSetter(&AppState::ManageIncidentsAsOne)},
        {QStringLiteral("SelectedPersonId"), intSetter(&AppState::SelectedPersonId)},
        {QStringLiteral("SelectedResourceId"), intSetter(&AppState::SelectedResourceId)},
        {QStringLiteral("SelectedContractorId"), intSetter(&AppState::SelectedContractorId)},
        {QStringLiteral("SelectedEquipmentId"), intSetter(&AppState::SelectedEquipmentId)},
        {QStringLiteral("ReportRunId"), intSetter(&AppState::ReportRunId)},
        {QStringLiteral("ReportStartDate"), dateSetter(&AppState::ReportStartDate)},
        {QStringLiteral("ReportEndDate"), dateSetter(&AppState::ReportEndDate)},
        {QStringLiteral("ReportMinValue"), doubleSetter(&AppState::ReportMinValue)},
        {QStringLiteral("ReportSortField"), textSetter(&AppState::ReportSortField)},
        {QStringLiteral("ReportFinalFlag"), textSetter(&AppState::ReportFinalFlag)},
        {QStringLiteral("ReportDebitTotal"), currencySetter(&AppState::ReportDebitTotal)},
        {QStringLiteral("ReportAdditionTotal"), currencySetter(&AppState::ReportAdditionTotal)},
        {QStringLiteral("ContractType"), textSetter(&AppState::ContractType)},
        {QStringLiteral("InvoicePrintMode"), intSetter(&AppState::InvoicePrintMode)},
        {QStringLiteral("OrigRptCode"), textSetter(&AppState::OrigRptCode)},
        {QStringLiteral("OriginalNumber"), intSetter(&AppState::OriginalNumber)},
        {QStringLiteral("PrevInvoicesText"), textSetter(&AppState::PrevInvoicesText)},
        {QStringLiteral("LeaderName"), textSetter(&AppState::LeaderName)},
        {QStringLiteral("LeaderPhone"), textSetter(&AppState::LeaderPhone)},
        {QStringLiteral("FaxMode"), boolSetter(&AppState::FaxMode)},
        {QStringLiteral("CurrentFaxNumber"), textSetter(&AppState::CurrentFaxNumber)},
        {QStringLiteral("SelectedInvoiceId"), intSetter(&AppState::SelectedInvoiceId)},
        {QStringLiteral("DatabaseKind"),
         [](AppState& s, const QString& t) {
             const QString v = t.trimmed();
             if (v.compare(QLatin1String("SqlServer"), Qt::CaseInsensitive) == 0) s.DatabaseKind = DbKind::SqlServer;
             else if (v.compare(QLatin1String("Access"), Qt::CaseInsensitive) == 0) s.DatabaseKind = DbKind::Access;
             else return false;
             return true;
         }},
    };
    return table;
}

}  // namespace

QStringList reportInputNames()
{
    QStringList names;
    for (const auto& entry : setters()) names << entry.first;
    return names;
}

bool assignReportInput(AppState& state, const QString& name, const QString& text, QString* error)
{
    for (const auto& [member, set] : setters()) {
        if (member.compare(name, Qt::CaseInsensitive) != 0) continue;
        if (set(state, text)) return true;
        if (error) *error = QStringLiteral("%1: cannot take the value \"%2\"").arg(member, text);
        return false;
    }
    if (error) *error = QStringLiteral("no report input is called \"%1\"").arg(name);
    return false;
}

}  // namespace quillon
