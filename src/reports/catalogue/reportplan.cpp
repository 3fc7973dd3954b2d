#include "reports/catalogue/reportplan.h"

#include "reports/catalogue/reportsql_p.h"

namespace quillon {

const ReportParameter* ReportPlan::parameter(const QString& name) const
{
    for (const ReportParameter& p : parameters)
        if (p.name == name) return &p;
    return nullptr;
}

ReportParameter parameterFromState(const QString& name, const AppState& s)
{
    auto date = [&](const QDate& d) { return ReportParameter{name, ParamKind::Date, Value(d)}; };
    auto text = [&](const QString& t) { return ReportParameter{name, ParamKind::Text, Value(t)}; };
    auto number = [&](double v) { return ReportParameter{name, ParamKind::Double, Value(v)}; };

    if (name == QLatin1String("StartDate")) return date(s.ReportStartDate);
    if (name == QLatin1String("EndDate")) return date(s.ReportEndDate);
    if (name == QLatin1String("SortField")) return text(s.ReportSortField);
    if (name == QLatin1String("MinValue")) return number(s.ReportMinValue);
    if (name == QLatin1String("FinalFlag")) return text(s.ReportFinalFlag);
    if (name == QLatin1String("OrigRpt")) return text(s.OrigRptCode);
    if (name == QLatin1String("DebitTotal")) return number(s.ReportDebitTotal.toDouble());
    if (name == QLatin1String("AdditionTotal")) return number(s.ReportAdditionTotal.toDouble());
    if (name == QLatin1String("ContCrew")) {
        // Contract crews (1) and other contracts (2) print as crews.
        const bool crew = s.ContractType == QLatin1String("1") || s.ContractType == QLatin1String("2");
        return ReportParameter{name, ParamKind::Boolean, Value(crew)};
    }
    if (name == QLatin1String("PrevInvoices")) return text(s.PrevInvoicesText);
    if (name == QLatin1String("InclusiveDates"))
        return text(QStringLiteral("(") + Value(s.ReportStartDate).toString() + QStringLiteral(" - ")
                    + Value(s.ReportEndDate).toString() + QStringLiteral(")"));
    if (name == QLatin1String("LeaderName")) return text(s.LeaderName);
    if (name == QLatin1String("LeaderPhone")) return text(s.LeaderPhone);
    return ReportParameter{name, ParamKind::Text, Value()};
}

namespace {

reportsql::Draft draftFor(int reportNumber, const reportsql::Inputs& in)
{
    using namespace reportsql;
    switch (reportNumber) {
    case 1: return workRest(in);
    case 2: return commissaryCharges(in);
    case 3: return summaryOfHours(in);
    case 4: return equipmentUsageSummary(in);
    case 5: return excessHours(in);
    case 6: return of288(in);
    case 7: return of286(in);
    case 9: return commissaryAuthorization(in);
    case 10: return contractorDebits(in);
    case 11: return equipmentManagement(in);
    case 12: return crewRoster(in);
    case 13: return equipmentDeductions(in);
    case 14: return commissaryDetail(in);
    case 15: return incidentTime(in);
    default: return Draft::reject();
    }
}

}  // namespace

ReportPlan planReport(const AppState& state, std::int32_t invoiceKey, const OfficeNodes* offices)
{
    ReportPlan plan;
    plan.entry = catalogueEntry(state.ReportNumber);
    if (!plan.entry) {
        plan.message = BuildMessage{QStringLiteral("No Report Identified to Create SQL For"), BuildMessageIcon::Critical,
                                    QStringLiteral("Modulerpts.GetSQL")};
        return plan;
    }
    const CatalogueEntry& entry = *plan.entry;

    const reportsql::Draft draft = draftFor(entry.number, reportsql::Inputs{state, invoiceKey, offices});
    if (draft.rejected) {
        if (!draft.message.isEmpty())
            plan.message = BuildMessage{draft.message, BuildMessageIcon::Information,
                                        applicationTitle() + QStringLiteral(": GetSQLRS")};
        return plan;
    }

    plan.proceed = true;
    plan.templateName = entry.templateName;
    plan.title = draft.title.isEmpty() ? entry.title : draft.title;
    plan.titleSlot = entry.titleSlot;
    plan.dataSetSql = draft.sql;
    for (const QString& name : entry.parameters) plan.parameters.push_back(parameterFromState(name, state));
    return plan;
}

void storeTitle(const ReportPlan& plan, AppState& state)
{
    if (!plan.proceed) return;
    (plan.titleSlot == TitleSlot::ReportTitle2 ? state.ReportTitle2 : state.ReportTitle) = plan.title;
}

}  // namespace quillon
