#pragma once

#include <QDialog>

class QCheckBox;

// "Print": the small modeless window of the page preview. Its buttons send
// their commands to the view; "Simple" switches between the simple preview
// (the plan's lines only, drawn inverted, quick to move) and the full one.
namespace orvex::gui {

class PrintToolDialog : public QDialog {
    Q_OBJECT
public:
    PrintToolDialog(bool simple, QWidget* parent);
    bool simple() const;
    void setSimple(bool simple);  // without the signal

signals:
    void startPrinting();
    void printerSetup();
    void colourSetup();
    void simpleToggled(bool simple);

private:
    QCheckBox* mSimple;
};

}  // namespace orvex::gui
