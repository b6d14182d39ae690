#include "print/printtool.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace orvex::gui {

PrintToolDialog::PrintToolDialog(bool simple, QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setWindowTitle("Print");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    const struct {
        const char* name;
        const char* text;
        void (PrintToolDialog::*signal)();
    } buttons[] = {
        {"startPrinting", "start printing", &PrintToolDialog::startPrinting},
        {"printerSetup", "printer setup", &PrintToolDialog::printerSetup},
        {"colorSetup", "color setup", &PrintToolDialog::colourSetup},
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text);
        button->setObjectName(b.name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.signal);
        layout->addWidget(button);
    }
    mSimple = new QCheckBox("Simple");
    mSimple->setObjectName("simple");
    mSimple->setChecked(simple);
    connect(mSimple, &QCheckBox::toggled, this, &PrintToolDialog::simpleToggled);
    layout->addWidget(mSimple);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PrintToolDialog::setSimple(bool simple)
{
    const QSignalBlocker quiet(mSimple);
    mSimple->setChecked(simple);
}

bool PrintToolDialog::simple() const
{
    return mSimple->isChecked();
}

}  // namespace orvex::gui
