#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "edit/dialogforms.h"
#include "model/reporter.h"

// "File Information": the document's title in a multi-line field. Leaving
// the field, or pressing OK, with 80 characters or more says "Too many
// letters(- 80)" and puts the focus back (titleTooLong decides).
namespace orvex::gui {

class InfoDialog : public QDialog {
    Q_OBJECT
public:
    InfoDialog(const std::string& title, Reporter& reporter, QWidget* parent = nullptr);
    ~InfoDialog() override;

    // The field's text as UTF-8; the title as given while it is unchanged.
    std::string title() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace orvex::gui
