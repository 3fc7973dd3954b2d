#include "ui/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace quillon {

namespace {

// About the height of a window manager's title bar.
constexpr int kTitleBar = 32;

// A scroll area that asks for the whole of its body (a plain one asks for a
// fixed part of it) but can do with a few lines of it.
class BodyScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override
    {
        const QWidget* body = widget();
        if (!body) return QScrollArea::sizeHint();
        const int frame = 2 * frameWidth();
        return body->sizeHint() + QSize(frame, frame);
    }
    QSize minimumSizeHint() const override
    {
        const QWidget* body = widget();
        if (!body) return QScrollArea::minimumSizeHint();
        const int frame = 2 * frameWidth();
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        return QSize(body->minimumSizeHint().width() + frame + bar, 8 * fontMetrics().height());
    }
};

}  // namespace

QVBoxLayout* scrollingBody(QWidget* window)
{
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new BodyScrollArea(window);
    scroll->setObjectName(QStringLiteral("bodyScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* body = new QWidget(scroll);
    body->setObjectName(QStringLiteral("body"));
    auto* layout = new QVBoxLayout(body);
    scroll->setWidget(body);
    outer->addWidget(scroll);
    return layout;
}

void fitOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize room = screen->availableGeometry().size() - QSize(0, kTitleBar);
    const QSize wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    if (!wanted.isValid() || (wanted.width() <= room.width() && wanted.height() <= room.height())) return;
    window->resize(wanted.boundedTo(room).expandedTo(window->minimumSizeHint()));
}

}  // namespace quillon
