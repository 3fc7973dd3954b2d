#pragma once
// The office tree of the personnel time report: agency codes, under each the
// fax numbers of its administrative offices, under each office the persons
// paid through it. Every node has a check box; the report selects the fax
// numbers of the checked office nodes.
//
// Nodes are kept in the order they were added, which is also the order they
// are shown in (depth first): the report and the fax loop walk them from
// first to last.
//
// The check rules keep the office nodes in step with the nodes above and
// below them, so that what the user ticks is what gets reported:
//  - checking a person checks its office and every person of that office;
//  - unchecking a person of a checked office is refused (the office must be
//    unchecked instead);
//  - checking or unchecking an office does the same to its persons, and the
//    agency is checked exactly when all of its offices are;
//  - checking an agency checks everything under it; unchecking it changes
//    only the agency itself.

#include "reports/catalogue/officenodes.h"

#include <QString>

#include <vector>

namespace quillon {

class Recordset;

enum class OfficeNodeLevel { Agency, Office, Person };

struct OfficeNode {
    OfficeNodeLevel level = OfficeNodeLevel::Agency;
    int parent = -1;          // index of the parent node, -1 for an agency
    std::vector<int> children;
    QString key;              // unique among agencies and offices; empty for persons
    QString text;
    QString tag;              // "Agency", the stored fax number, or empty
    bool checked = false;
};

// What became of a toggle.
enum class ToggleOutcome {
    Applied,
    // A person of a checked office was unchecked: it was checked again, and
    // the user should be told to uncheck the office instead.
    PersonKeptChecked,
};

class OfficeTree : public OfficeNodes {
public:
    static inline const QString AgencyTag = QStringLiteral("Agency");

    // "(123)456-7890" for "1234567890".
    static QString formatFaxNumber(const QString& stored);

    void clear() { m_nodes.clear(); }
    // Builds the tree from rows of agencycode, faxphone and fullname, where the
    // rows of one agency and, within it, of one fax number are adjacent. Rows
    // whose number is not ten digits are left out. All nodes start unchecked.
    void build(Recordset& rows);
    // Adds one row's nodes: a new agency, a new office of the last agency, or
    // a person of the last office.
    void addRow(const QString& agencyCode, const QString& faxNumber, const QString& fullName);

    int size() const { return int(m_nodes.size()); }
    bool isEmpty() const { return m_nodes.empty(); }
    const OfficeNode& node(int index) const { return m_nodes.at(size_t(index)); }
    // The first node showing this text, -1 when none.
    int find(const QString& text) const;

    // The user set a node's check box to `checked`; applies the check rules.
    ToggleOutcome toggle(int index, bool checked);
    // Every node checked or unchecked, without the check rules.
    void setAll(bool checked);

    // Indexes of the checked office nodes, first to last.
    std::vector<int> checkedOffices() const;

    // OfficeNodes, for the report builder.
    int nodeCount() const override { return size(); }
    QString nodeTag(int index) const override { return node(index).tag; }
    bool nodeChecked(int index) const override { return node(index).checked; }

private:
    int addNode(OfficeNodeLevel level, int parent, const QString& key, const QString& text, const QString& tag);
    void setSubtree(int index, bool checked);
    void updateAgency(int agency);

    std::vector<OfficeNode> m_nodes;
    int m_lastAgency = -1;
    int m_lastOffice = -1;
};

}  // namespace quillon
