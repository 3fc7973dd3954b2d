#include "reports/reportdata.h"

#include "reports/catalogue/catalogue.h"
#include "reports/engine/json_data.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillon {

void writeReportDataJson(const AppState& state, QIODevice& out)
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

    out.write("{\n\"report\": ");
    out.write(QJsonDocument(report).toJson(QJsonDocument::Indented).trimmed());
    const auto table = [&out](const QString& name, const RecordsetPtr& rs) {
        if (!rs || !rs->isOpen()) return;
        out.write(",\n" + QJsonDocument(QJsonArray{name}).toJson(QJsonDocument::Compact).mid(1).chopped(1) + ": ");
        reports::writeRecordsetJson(*rs, out);
    };
    table(QStringLiteral("table1"), state.MainDataSet);
    table(subreportObjectName(), state.SubDataSet);
    out.write("\n}\n");
}

QByteArray reportDataJson(const AppState& state)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeReportDataJson(state, buffer);
    return buffer.data();
}

}  // namespace quillon
