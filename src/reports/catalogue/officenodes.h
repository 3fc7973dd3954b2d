#pragma once
// The office tree of the personnel time report as the report builder sees it:
// its nodes from first to last, each with its tag and check state. Office
// nodes carry a fax number as their tag; agency nodes carry "Agency" and
// person nodes no tag.

#include <QString>

#include <utility>
#include <vector>

namespace quillon {

// Whether a stored number is a fax number the report may select: ten digits.
inline bool isFaxNumber(const QString& number)
{
    if (number.size() != 10) return false;
    for (const QChar c : number)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

class OfficeNodes {
public:
    virtual ~OfficeNodes() = default;
    virtual int nodeCount() const = 0;
    virtual QString nodeTag(int index) const = 0;
    virtual bool nodeChecked(int index) const = 0;
};

// A plain list of nodes, for callers without a tree (the batch tool, scripts).
class OfficeNodeList : public OfficeNodes {
public:
    void add(const QString& tag, bool checked) { m_nodes.emplace_back(tag, checked); }
    int nodeCount() const override { return int(m_nodes.size()); }
    QString nodeTag(int index) const override { return m_nodes.at(size_t(index)).first; }
    bool nodeChecked(int index) const override { return m_nodes.at(size_t(index)).second; }

private:
    std::vector<std::pair<QString, bool>> m_nodes;
};

}  // namespace quillon
