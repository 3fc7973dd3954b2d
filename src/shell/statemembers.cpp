#include "shell/statemembers.h"

#include "reports/catalogue/reportinputs.h"

#include <utility>
#include <vector>

namespace quillon {

namespace {

// The members that are not report inputs: texts and two flags.
struct OtherMember {
    QString name;
    QString AppState::*text = nullptr;
    bool AppState::*flag = nullptr;
};

const std::vector<OtherMember>& otherMembers()
{
    static const std::vector<OtherMember> members = {
        {QStringLiteral("ConfigFilePath"), &AppState::ConfigFilePath},
        {QStringLiteral("DatabasePath"), &AppState::DatabasePath},
        {QStringLiteral("ServerName"), &AppState::ServerName},
        {QStringLiteral("CatalogName"), &AppState::CatalogName},
        {QStringLiteral("ConnectionText"), &AppState::ConnectionText},
        {QStringLiteral("LaunchSelection"), &AppState::LaunchSelection},
        {QStringLiteral("TimingTest"), nullptr, &AppState::TimingTest},
        {QStringLiteral("SelectedIncidentNumber"), &AppState::SelectedIncidentNumber},
        {QStringLiteral("IncidentStartYear"), &AppState::IncidentStartYear},
        {QStringLiteral("ReprintReason"), &AppState::ReprintReason},
        {QStringLiteral("InvoiceNumberText"), &AppState::InvoiceNumberText},
        {QStringLiteral("ReportTitle"), &AppState::ReportTitle},
        {QStringLiteral("ReportTitle2"), &AppState::ReportTitle2},
        {QStringLiteral("HasDebits"), nullptr, &AppState::HasDebits},
    };
    return members;
}

}  // namespace

QStringList stateMemberNames()
{
    QStringList names = reportInputNames();
    for (const OtherMember& m : otherMembers()) names << m.name;
    return names;
}

bool assignStateMember(AppState& state, const QString& name, const QString& text, QString* error)
{
    for (const OtherMember& m : otherMembers()) {
        if (m.name.compare(name, Qt::CaseInsensitive) != 0) continue;
        if (m.text) {
            state.*m.text = text;
            return true;
        }
        const QString v = text.trimmed().toLower();
        if (v == QLatin1String("true") || v == QLatin1String("1")) {
            state.*m.flag = true;
        } else if (v == QLatin1String("false") || v == QLatin1String("0")) {
            state.*m.flag = false;
        } else {
            if (error) *error = QStringLiteral("%1: cannot take the value \"%2\"").arg(m.name, text);
            return false;
        }
        return true;
    }
    QString inputError;
    if (assignReportInput(state, name, text, &inputError)) return true;
    if (error) {
        *error = reportInputNames().contains(name, Qt::CaseInsensitive)
                     ? inputError
                     : QStringLiteral("the shared state has no member \"%1\"").arg(name);
    }
    return false;
}

}  // namespace quillon
