#pragma once

#include <QDialog>
#include <initializer_list>

#include "edit/editdialogs.h"
#include "model/reporter.h"

class QDialogButtonBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The pieces the edit dialogs are built of (editdialogs.cpp).
namespace orvex::gui::dialogparts {

// Read-only fields are drawn on the window's colour and are passed over by
// the Tab key, so the person sees at once which fields take a value.
void setWritable(QLineEdit* field, bool writable);
QPushButton* button(const QString& text, const char* name);
// "OK" and "Cancel" in the platform's order, named "ok" and "cancel".
QDialogButtonBox* okCancelButtons();
// The buttons at the right of a row.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);
// "surface" and "underground", one of them checked.
QHBoxLayout* kindButtons(QRadioButton*& surface, QRadioButton*& underground, NodeKind kind);
// How exec() ended: Ok, ChangeLocation or Cancel.
DialogResult resultOf(int code);

// Runs one of the value dialogs modally; the values change unless it was cancelled.
template <class Dialog, class Values>
DialogResult runModal(QWidget* parent, Reporter& reporter, Values& values)
{
    Dialog dialog(values, reporter, parent);
    const DialogResult result = resultOf(dialog.exec());
    if (result != DialogResult::Cancel)
        values = dialog.values();
    return result;
}

}  // namespace orvex::gui::dialogparts
