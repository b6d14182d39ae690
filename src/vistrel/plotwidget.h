#pragma once

#include <QWidget>

#include "curveplot.h"

// The plot on the screen. It paints with the same routine as the exported
// images, fills whatever size the window gives it and names the point under
// the mouse in a tool tip.
namespace orvex::vistrel {

class PlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit PlotWidget(QWidget* parent = nullptr);

    // What to show; the set must outlive the widget or the next setInput.
    void setInput(const PlotInput& input);
    const PlotInput& input() const { return mInput; }

    QSize sizeHint() const override { return {760, 480}; }
    QSize minimumSizeHint() const override { return {320, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    PlotInput mInput;
};

}  // namespace orvex::vistrel
