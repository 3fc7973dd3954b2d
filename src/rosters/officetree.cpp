#include "rosters/officetree.h"

#include "data/recordset.h"

#include <algorithm>

namespace quillon {

QString OfficeTree::formatFaxNumber(const QString& stored)
{
    return QLatin1Char('(') + stored.mid(0, 3) + QLatin1Char(')') + stored.mid(3, 3) + QLatin1Char('-')
        + stored.mid(6, 4);
}

int OfficeTree::addNode(OfficeNodeLevel level, int parent, const QString& key, const QString& text,
                        const QString& tag)
{
    OfficeNode n;
    n.level = level;
    n.parent = parent;
    n.key = key;
    n.text = text;
    n.tag = tag;
    m_nodes.push_back(std::move(n));
    const int index = int(m_nodes.size()) - 1;
    if (parent >= 0) m_nodes[size_t(parent)].children.push_back(index);
    return index;
}

void OfficeTree::addRow(const QString& agencyCode, const QString& faxNumber, const QString& fullName)
{
    const QString formatted = formatFaxNumber(faxNumber);
    // The first row always starts an agency, even one without a code.
    const bool newAgency = m_nodes.empty() || m_lastAgency < 0 || node(m_lastAgency).text != agencyCode;
    if (newAgency) {
        m_lastAgency = addNode(OfficeNodeLevel::Agency, -1, agencyCode, agencyCode, AgencyTag);
        m_lastOffice = -1;
    }
    if (m_lastOffice < 0 || node(m_lastOffice).text != formatted) {
        // Keyed by agency and number: two agencies may share a fax number.
        m_lastOffice = addNode(OfficeNodeLevel::Office, m_lastAgency, agencyCode + QLatin1Char('|') + faxNumber,
                               formatted, faxNumber);
    }
    addNode(OfficeNodeLevel::Person, m_lastOffice, QString(), fullName, QString());
}

void OfficeTree::build(Recordset& rows)
{
    clear();
    m_lastAgency = m_lastOffice = -1;
    if (rows.recordCount() == 0) return;
    const int agency = rows.requireField(QStringLiteral("agencycode"));
    const int fax = rows.requireField(QStringLiteral("faxphone"));
    const int name = rows.requireField(QStringLiteral("fullname"));
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        // Ten characters that are not ten digits ("530-555-01") reach no fax.
        const QString number = rows.value(fax).toString();
        if (!isFaxNumber(number)) continue;
        addRow(rows.value(agency).toString(), number, rows.value(name).toString());
    }
}

int OfficeTree::find(const QString& text) const
{
    for (int i = 0; i < size(); ++i)
        if (node(i).text == text) return i;
    return -1;
}

void OfficeTree::setSubtree(int index, bool checked)
{
    OfficeNode& n = m_nodes.at(size_t(index));
    n.checked = checked;
    for (int child : n.children) setSubtree(child, checked);
}

void OfficeTree::updateAgency(int agency)
{
    OfficeNode& a = m_nodes.at(size_t(agency));
    a.checked = std::all_of(a.children.begin(), a.children.end(),
                            [this](int office) { return node(office).checked; });
}

ToggleOutcome OfficeTree::toggle(int index, bool checked)
{
    OfficeNode& n = m_nodes.at(size_t(index));
    n.checked = checked;
    switch (n.level) {
    case OfficeNodeLevel::Person:
        if (!checked) {
            if (node(n.parent).checked) {
                n.checked = true;
                return ToggleOutcome::PersonKeptChecked;
            }
            return ToggleOutcome::Applied;
        }
        // One person stands for the whole office.
        setSubtree(n.parent, true);
        return ToggleOutcome::Applied;
    case OfficeNodeLevel::Office:
        setSubtree(index, checked);
        updateAgency(n.parent);
        return ToggleOutcome::Applied;
    case OfficeNodeLevel::Agency:
        if (checked) setSubtree(index, true);
        return ToggleOutcome::Applied;
    }
    return ToggleOutcome::Applied;
}

void OfficeTree::setAll(bool checked)
{
    for (OfficeNode& n : m_nodes) n.checked = checked;
}

std::vector<int> OfficeTree::checkedOffices() const
{
    std::vector<int> out;
    for (int i = 0; i < size(); ++i)
        if (node(i).level == OfficeNodeLevel::Office && node(i).checked) out.push_back(i);
    return out;
}

}  // namespace quillon
