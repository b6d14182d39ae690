#include "app/qtreporter.h"

#include <QApplication>
#include <QMessageBox>

#include "model/meanings.h"
#include "view/displaytext.h"

namespace orvex::gui {

namespace {

// A text in Chinese gets its English meaning below it, for a person who
// cannot read it and for a system without a font for it.
void addMeaning(QMessageBox& box, const std::string& text)
{
    const std::string meaning = englishMeaning(text);
    if (!meaning.empty())
        box.setInformativeText(displayText(meaning));
}

}  // namespace

QWidget* QtReporter::parent() const
{
    if (QWidget* active = QApplication::activeModalWidget())
        return active;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return mMainWindow;
}

void QtReporter::message(const std::string& text, const std::string& caption, MessageKind kind)
{
    const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                   : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                                    : QMessageBox::Critical;
    QMessageBox box(icon, displayText(caption), displayText(text), QMessageBox::Ok, parent());
    addMeaning(box, text);
    box.exec();
}

Answer QtReporter::ask(const std::string& text, const std::string& caption, bool withCancel)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, displayText(caption), displayText(text), buttons, parent());
    addMeaning(box, text);
    box.setDefaultButton(QMessageBox::Yes);
    if (withCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return withCancel ? Answer::Cancel : Answer::No;
    }
}

}  // namespace orvex::gui
