// The office tree on its own: how rows become nodes, and the check rules.
#include "rosters/officetree.h"

#include <QStringList>

#include "printers.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// Persons A and B share an agency and fax number, C has another number of
// the same agency, D the first number under a second agency.
OfficeTree sampleTree()
{
    OfficeTree t;
    t.addRow(QStringLiteral("USFS"), QStringLiteral("5415550100"), QStringLiteral("Ann Able"));
    t.addRow(QStringLiteral("USFS"), QStringLiteral("5415550100"), QStringLiteral("Bob Baker"));
    t.addRow(QStringLiteral("USFS"), QStringLiteral("5415550199"), QStringLiteral("Cy Cole"));
    t.addRow(QStringLiteral("BLM"), QStringLiteral("5415550100"), QStringLiteral("Dee Dunn"));
    return t;
}

QString texts(const OfficeTree& t)
{
    QStringList out;
    for (int i = 0; i < t.size(); ++i) {
        const OfficeNode& n = t.node(i);
        out << QString(n.parent < 0 ? 0 : t.node(n.parent).parent < 0 ? 1 : 2, QLatin1Char('.')) + n.text
                + (n.tag.isEmpty() ? QString() : QLatin1Char('[') + n.tag + QLatin1Char(']'));
    }
    return out.join(QLatin1Char(' '));
}

QString checks(const OfficeTree& t)
{
    QString out;
    for (int i = 0; i < t.size(); ++i) out += t.node(i).checked ? QLatin1Char('x') : QLatin1Char('-');
    return out;
}

}  // namespace

TEST(OfficeTree, RowsBecomeAgencyOfficeAndPersonNodes)
{
    EXPECT_EQ(OfficeTree::formatFaxNumber(QStringLiteral("1234567890")), QStringLiteral("(123)456-7890"));

    const OfficeTree t = sampleTree();
    EXPECT_EQ(texts(t), QStringLiteral("USFS[Agency] .(541)555-0100[5415550100] ..Ann Able ..Bob Baker "
                                       ".(541)555-0199[5415550199] ..Cy Cole "
                                       "BLM[Agency] .(541)555-0100[5415550100] ..Dee Dunn"));
    // The same number under two agencies: two office nodes with their own keys.
    EXPECT_NE(t.node(1).key, t.node(7).key);
    EXPECT_EQ(checks(t), QStringLiteral("---------"));
    EXPECT_EQ(t.nodeTag(0), QStringLiteral("Agency"));
    EXPECT_TRUE(t.nodeTag(2).isEmpty());

    // A first row without an agency code still starts an agency node.
    OfficeTree noCode;
    noCode.addRow(QString(), QStringLiteral("5415550100"), QStringLiteral("Ann Able"));
    noCode.addRow(QString(), QStringLiteral("5415550199"), QStringLiteral("Cy Cole"));
    EXPECT_EQ(texts(noCode), QStringLiteral("[Agency] .(541)555-0100[5415550100] ..Ann Able "
                                            ".(541)555-0199[5415550199] ..Cy Cole"));
}

// The window tests tick through the widgets; these are the rules' remaining corners.
TEST(OfficeTree, OfficesCarryTheirPersonsAndDecideTheAgency)
{
    OfficeTree t = sampleTree();  // 0 USFS, 1 office, 2 Ann, 3 Bob, 4 office, 5 Cy, 6 BLM, 7 office, 8 Dee
    t.toggle(1, true);
    t.toggle(4, true);
    EXPECT_EQ(checks(t), QStringLiteral("xxxxxx---"));  // both offices: agency checked
    t.toggle(4, false);
    EXPECT_EQ(checks(t), QStringLiteral("-xxx-----"));  // either unchecked: agency and its persons unchecked

    // Under an unchecked office a person may be unchecked without a note.
    EXPECT_EQ(t.toggle(5, false), ToggleOutcome::Applied);
    EXPECT_EQ(t.toggle(2, false), ToggleOutcome::PersonKeptChecked);

    t.toggle(6, true);
    EXPECT_EQ(checks(t), QStringLiteral("-xxx--xxx"));
    t.toggle(6, false);  // only the agency itself
    EXPECT_EQ(t.checkedOffices(), (std::vector<int>{1, 7}));
}
