#pragma once

#include <QDialog>

// The about box, from Help "About...": the program icon, its version and
// release, and the capacities of a network (the core's fixed limits) with an
// OK button.
//
// The labels carry object names for tests and tools: "iconLabel",
// "versionLabel", "releaseLabel", and for each limit a caption and a value,
// "nodeMaxCaption"/"nodeMaxValue", "nodeNumberMaxCaption"/...,
// "roadMaxCaption", "roadPositionDataMaxCaption", "fanMaxCaption" with their
// "...Value" partners.
namespace orvex::gui {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace orvex::gui
