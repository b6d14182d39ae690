#include "plotwidget.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace orvex::vistrel {

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("plot"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotWidget::setInput(const PlotInput& input)
{
    mInput = input;
    update();
}

void PlotWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintPlot(painter, QRectF(rect()), mInput);
}

bool PlotWidget::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<PointRef> ref = PlotLayout(mInput, QRectF(rect())).pointAt(help->pos());
    if (ref)
        QToolTip::showText(help->globalPos(), pointDescription(mInput, *ref), this);
    else
        QToolTip::hideText();
    event->accept();
    return true;
}

}  // namespace orvex::vistrel
