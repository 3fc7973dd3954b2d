#pragma once
// A hint beside a window's date boxes: a line saying which dates hold data
// and a button that puts those dates in the boxes.
//
// The hint asks its source again each time the window is shown or becomes
// active, and whenever the source's stamp (what the dates depend on, such as
// the chosen incident) changes while it shows: so it follows the incident
// chosen meanwhile in the main menu.
//
//   auto* hint = new DateRangeHint([&] { return DateRangeHint::Range{...}; },
//                                  [&](const QDate& first, const QDate& last) { ... });
//   form->addRow(QString(), hint);

#include <QDate>
#include <QVariant>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace quillon {

class DateRangeHint : public QWidget {
    Q_OBJECT
public:
    struct Range {
        QString text;   // what the hint says
        QDate first;    // invalid when there is nothing to use
        QDate last;
    };
    using Source = std::function<Range()>;
    using Use = std::function<void(const QDate& first, const QDate& last)>;
    using Stamp = std::function<QVariant()>;

    // buttonText: the button's caption, with its mnemonic.
    DateRangeHint(Source source, Use use, const QString& buttonText = QStringLiteral("&Use these dates"),
                  QWidget* parent = nullptr);
    // Looked at twice a second while the hint shows; a new value asks the
    // source again.
    void setStamp(Stamp stamp);

    // Asks the source again.
    void refresh();
    const Range& range() const { return m_range; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void checkStamp();

    Source m_source;
    Use m_use;
    Stamp m_stamp;
    QVariant m_lastStamp;
    QTimer* m_stampTimer;
    Range m_range;
    QLabel* m_text;
    QPushButton* m_button;
};

}  // namespace quillon
