#include "rosters/incidenttimereportwindow.h"

#include "shell/postingdates.h"
#include "ui/errorboundary.h"
#include "ui/keyboardaccess.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillon {

namespace {

constexpr int NodeIndexRole = Qt::UserRole;

QDateEdit* datePicker(const QString& name, QWidget* parent)
{
    auto* d = new QDateEdit(parent);
    d->setObjectName(name);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    // A date counts once it is complete, not at every keystroke.
    d->setKeyboardTracking(false);
    return d;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

}  // namespace

IncidentTimeReportWindow::IncidentTimeReportWindow(App& app, QWidget* parent)
    : QWidget(parent), m_app(app), m_logic(app, this)
{
    setObjectName(FormName);
    setWindowTitle(QStringLiteral("Personnel Time Report"));
    move(100, 100);

    auto* heading = new QLabel(QStringLiteral("Personnel Time (Fax/Print)"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    heading->setFont(headingFont);

    dtpStartDate = datePicker(QStringLiteral("dtpStartDate"), this);
    dtpEndDate = datePicker(QStringLiteral("dtpEndDate"), this);

    tvwOffices = new QTreeWidget(this);
    tvwOffices->setObjectName(QStringLiteral("tvwOffices"));
    tvwOffices->setColumnCount(1);
    tvwOffices->header()->hide();
    tvwOffices->setMinimumSize(320, 260);

    cmdCheckAll = button(QStringLiteral("cmdCheckAll"), QStringLiteral("Check All"), this);
    cmdClearAll = button(QStringLiteral("cmdClearAll"), QStringLiteral("Clear All"), this);

    txtLeaderName = new QLineEdit(this);
    txtLeaderName->setObjectName(QStringLiteral("txtLeaderName"));
    txtLeaderPhone = new QLineEdit(this);
    txtLeaderPhone->setObjectName(QStringLiteral("txtLeaderPhone"));
    txtLeaderPhone->setInputMask(QStringLiteral("(000)000-0000;_"));

    cmdPrint = button(QStringLiteral("cmdPrint"), QStringLiteral("Preview/Print Report"), this);
    cmdFax = button(QStringLiteral("cmdFax"), QStringLiteral("Fax Report"), this);

    lblCurRpt = new QLabel(QStringLiteral("Current Fax Number"), this);
    lblCurRpt->setObjectName(QStringLiteral("lblCurRpt"));
    txtCurRpt = new QLineEdit(this);
    txtCurRpt->setObjectName(QStringLiteral("txtCurRpt"));
    txtCurRpt->setReadOnly(true);
    lblCurRpt->hide();
    txtCurRpt->hide();

    // Layout: heading; dates; instructions and tree with its buttons on the
    // left, leader and actions on the right.
    auto* dates = new QGridLayout;
    dates->addWidget(new QLabel(QStringLiteral("* Start Date"), this), 0, 0);
    dates->addWidget(dtpStartDate, 1, 0);
    dates->addWidget(new QLabel(QStringLiteral("* End date"), this), 0, 1);
    dates->addWidget(dtpEndDate, 1, 1);
    dates->addWidget(postingDatesHint(m_app, [this](const QDate& first, const QDate& last) {
        const QSignalBlocker startBlock(dtpStartDate), endBlock(dtpEndDate);
        dtpStartDate->setDate(first);
        dtpEndDate->setDate(last);
        finishDates();
    }, this), 2, 0, 1, 2);

    auto* left = new QVBoxLayout;
    left->addLayout(dates);
    left->addWidget(wrappedLabel(
        QStringLiteral("Select Admin Office(s) for payment by checking the box next to the agency or phone number."),
        this));
    left->addWidget(wrappedLabel(
        QStringLiteral("Note: Selecting an individual person, will select all people assigned to the same office "
                       "for payment."),
        this));
    left->addWidget(tvwOffices, 1);
    auto* treeButtons = new QHBoxLayout;
    treeButtons->addWidget(cmdCheckAll);
    treeButtons->addWidget(cmdClearAll);
    treeButtons->addStretch();
    left->addLayout(treeButtons);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Time Unit Leader's Name"), this));
    right->addWidget(txtLeaderName);
    right->addWidget(new QLabel(QStringLiteral("Time Unit Leader's Phone #"), this));
    right->addWidget(txtLeaderPhone);
    right->addSpacing(12);
    right->addWidget(wrappedLabel(
        QStringLiteral("This report includes employees with an employment code of \"FED\" or \"OTHER\" who have a "
                       "valid 10-digit fax number, such as (123) 456-7890, time posted within the dates shown, and "
                       "a status other than \"D\" (Demobilized)."),
        this));
    right->addStretch();
    right->addWidget(cmdPrint);
    right->addWidget(cmdFax);
    right->addWidget(lblCurRpt);
    right->addWidget(txtCurRpt);

    auto* body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addLayout(right, 2);
    auto* top = new QVBoxLayout(this);
    top->addWidget(heading);
    top->addLayout(body);
    // The labels above the inputs name them (Alt+letter).
    labelInput(dates->itemAtPosition(0, 0), dtpStartDate);
    labelInput(dates->itemAtPosition(0, 1), dtpEndDate);
    labelInput(left->itemAt(1), tvwOffices);
    labelInput(right->itemAt(0), txtLeaderName);
    labelInput(right->itemAt(2), txtLeaderPhone);
    lblCurRpt->setBuddy(txtCurRpt);

    Dialogs& dialogs = m_app.dialogs();
    {
        // Load: both dates today, then one date check and tree build.
        const QSignalBlocker startBlock(dtpStartDate);
        const QSignalBlocker endBlock(dtpEndDate);
        dtpStartDate->setDate(QDate::currentDate());
        dtpEndDate->setDate(QDate::currentDate());
    }
    runGuarded(dialogs, [this] { m_logic.load(dtpStartDate->date()); });

    // A date is checked when its edit is finished, never while it is typed
    // or stepped with the arrow keys: a message in mid-typing would take the
    // focus and lose the rest of what is typed.
    for (QDateEdit* box : {dtpStartDate, dtpEndDate}) {
        connect(box, &QDateEdit::editingFinished, this, guarded(dialogs, [this] { finishDates(); }));
        // The calendar sets the date after telling its choice.
        for (auto choice : {&QCalendarWidget::clicked, &QCalendarWidget::activated})
            connect(box->calendarWidget(), choice, this, guarded(dialogs, [this] { finishDates(); }),
                    Qt::QueuedConnection);
    }
    connect(tvwOffices, &QTreeWidget::itemChanged, this,
            guarded(dialogs, [this](QTreeWidgetItem* item) { onItemChanged(item); }));
    connect(cmdCheckAll, &QPushButton::clicked, this, guarded(dialogs, [this] { m_logic.checkAll(); }));
    connect(cmdClearAll, &QPushButton::clicked, this, guarded(dialogs, [this] { m_logic.clearAll(); }));
    connect(txtLeaderName, &QLineEdit::textChanged, this, [this](const QString& t) { m_logic.setLeaderName(t); });
    connect(txtLeaderPhone, &QLineEdit::textChanged, this, [this] { m_logic.setLeaderPhone(phoneText()); });
    connect(cmdPrint, &QPushButton::clicked, this, guarded(dialogs, [this] {
        if (finishDates()) m_logic.cmdPrint_Click();
    }));
    connect(cmdFax, &QPushButton::clicked, this, guarded(dialogs, [this] {
        if (finishDates()) m_logic.cmdFax_Click();
    }));
}

IncidentTimeReportWindow::~IncidentTimeReportWindow() = default;

QString IncidentTimeReportWindow::phoneText() const
{
    // The number as the box shows it, with blanks where digits are missing;
    // a box without any digit gives no phone at all rather than the bare mask.
    const QString shown = txtLeaderPhone->displayText();
    for (const QChar c : shown)
        if (c.isDigit()) return shown;
    return QString();
}

bool IncidentTimeReportWindow::finishDates()
{
    if (!m_logic.finishDates(dtpStartDate->date(), dtpEndDate->date())) {
        // Enter in a date box finishes the edit and then presses the run
        // button: once the date error is shown, that press is passed over.
        m_datesJustRejected = true;
        QTimer::singleShot(0, this, [this] { m_datesJustRejected = false; });
    }
    return !m_datesJustRejected;
}

void IncidentTimeReportWindow::onItemChanged(QTreeWidgetItem* item)
{
    if (m_syncing || !item) return;
    m_logic.nodeToggled(item->data(0, NodeIndexRole).toInt(), item->checkState(0) == Qt::Checked);
}

void IncidentTimeReportWindow::treeRebuilt()
{
    m_syncing = true;
    tvwOffices->clear();
    m_items.clear();
    const OfficeTree& tree = m_logic.tree();
    for (int i = 0; i < tree.size(); ++i) {
        const OfficeNode& n = tree.node(i);
        QTreeWidgetItem* item = n.parent < 0 ? new QTreeWidgetItem(tvwOffices)
                                             : new QTreeWidgetItem(m_items.at(size_t(n.parent)));
        item->setText(0, n.text);
        item->setData(0, NodeIndexRole, i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, n.checked ? Qt::Checked : Qt::Unchecked);
        m_items.push_back(item);
    }
    tvwOffices->expandAll();
    m_syncing = false;
}

void IncidentTimeReportWindow::checksChanged()
{
    m_syncing = true;
    const OfficeTree& tree = m_logic.tree();
    for (int i = 0; i < tree.size() && i < int(m_items.size()); ++i)
        m_items[size_t(i)]->setCheckState(0, tree.node(i).checked ? Qt::Checked : Qt::Unchecked);
    m_syncing = false;
}

void IncidentTimeReportWindow::showFaxProgress(bool visible)
{
    lblCurRpt->setVisible(visible);
    txtCurRpt->setVisible(visible);
}

void IncidentTimeReportWindow::setCurrentFaxText(const QString& text)
{
    txtCurRpt->setText(text);
    if (txtCurRpt->isVisible()) txtCurRpt->repaint();
}

void IncidentTimeReportWindow::focusStartDate()
{
    dtpStartDate->setFocus();
}

}  // namespace quillon
