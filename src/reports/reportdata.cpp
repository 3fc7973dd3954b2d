#include "reports/reportdata.h"

#include "reports/catalogue/catalogue.h"
#include "reports/engine/json_data.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillon {

QByteArray reportDataJson(const AppState& state)
{
    QJsonObject report;
    report.insert(QStringLiteral("number"), state.ReportNumber);
    report.insert(QStringLiteral("template"), state.OpenTemplateName);
    report.insert(QStringLiteral("title"), state.ReportTitle);
    report.insert(QStringLiteral("title2"), state.ReportTitle2);
    QJsonArray sql{state.MainSql};
    if (!state.SubSql.isEmpty()) sql.append(state.SubSql);
    report.insert(QStringLiteral("sql"), sql);
    QJsonObject parameters;
    for (const auto& [name, value] : state.OpenReportParameters)
        parameters.insert(name, reports::jsonFromValue(value));
    report.insert(QStringLiteral("parameters"), parameters);

    QJsonObject root;
    root.insert(QStringLiteral("report"), report);
    if (state.MainDataSet && state.MainDataSet->isOpen())
        root.insert(QStringLiteral("table1"), reports::recordsetToJson(*state.MainDataSet));
    if (state.SubDataSet && state.SubDataSet->isOpen())
        root.insert(subreportObjectName(), reports::recordsetToJson(*state.SubDataSet));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace quillon
