#include "shell/buildreport.h"

#include "reports/catalogue/reportplan.h"

namespace quillon {

namespace {

void closeDataSet(RecordsetPtr& rs)
{
    if (rs && rs->isOpen()) rs->close();
}

MsgIcon messageIcon(BuildMessageIcon icon)
{
    return icon == BuildMessageIcon::Critical ? MsgIcon::Critical : MsgIcon::Information;
}

}  // namespace

bool BuildReport(App& app, std::int32_t& InvoiceKey)
{
    return BuildPlannedReport(app, planReport(app.state, InvoiceKey, app.officeNodes()));
}

bool BuildPlannedReport(App& app, const ReportPlan& plan, RecordsetPtr firstDataSet)
{
    AppState& s = app.state;
    closeDataSet(s.MainDataSet);
    closeDataSet(s.SubDataSet);

    if (plan.message)
        app.dialogs().messageBox(plan.message->text, MsgButtons::OK, messageIcon(plan.message->icon),
                                 plan.message->title);
    if (!plan.proceed) {
        if (!plan.entry) s.MainSql.clear();
        return false;
    }
    s.MainSql = plan.mainSql();
    s.SubSql = plan.subSql();
    storeTitle(plan, s);

    s.EngineApplication = std::make_shared<reports::ReportApplication>(app.printer());
    s.OpenReport = s.EngineApplication->openReport(reports::ReportApplication::templatePath(plan.templateName), 1);
    s.OpenTemplateName = plan.templateName;

    s.OpenReportParameters.clear();
    for (const ReportParameter& p : plan.parameters) {
        reports::ParameterField& field = s.OpenReport->parameter(p.name);
        field.clearCurrentValueAndRange();
        field.addCurrentValue(p.value);
        s.OpenReportParameters.emplace_back(p.name, p.value);
    }

    Connection& db = app.SharedConnection();
    for (int j = 1; j <= plan.dataSetSql.size(); ++j) {
        RecordsetPtr rs = j == 1 && firstDataSet
                              ? std::move(firstDataSet)
                              : db.openRecordset(plan.dataSetSql.at(j - 1), CursorType::Static, LockType::Optimistic);
        if (j == 1) {
            s.MainDataSet = rs;
            s.OpenReport->database().table(1).setDataSource(rs);
            continue;
        }
        s.SubDataSet = rs;
        if (s.ReportNumber == 6) s.HasDebits = rs->recordCount() >= 1;
        if (plan.entry && plan.entry->subreportSection > 0) {
            reports::ReportPtr sub = s.OpenReport->section(plan.entry->subreportSection)
                                         .reportObject(subreportObjectName())
                                         .openSubreport();
            sub->database().table(1).setDataSource(rs);
        } else {
            s.OpenReport->database().table(2).setDataSource(rs);
        }
    }
    return true;
}

void ShowReport(App& app, std::int16_t preview, std::int16_t viewer)
{
    AppState& s = app.state;
    app.output().showReport(preview, viewer, s.OpenReport, s.ReportTitle, s.ReportTitle2, &s.EngineApplication);
}

}  // namespace quillon
