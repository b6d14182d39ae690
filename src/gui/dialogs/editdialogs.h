#pragma once

#include <QDialog>
#include <array>
#include <initializer_list>
#include <string>

#include "display/strokefont.h"
#include "edit/dialogforms.h"
#include "edit/editdialogs.h"
#include "model/reporter.h"

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The node and road dialogs of the network editor, "Choose a symbol", and
// the editor's dialog interface on top of them. Each dialog is built in
// code, shows the values it is given and hands them back as OK (or "Change
// a location") left them; cancel hands back nothing. Where a dialog steps
// through its fields with the Enter key, a hidden default button is pressed
// by Enter and the dialog's form (edit/dialogforms.h) says where the focus
// goes next. A field that does not hold a number is refused when the dialog
// takes its values: the reporter says so and the person is put back in that
// field with its text selected; the dialog stays open.
namespace orvex::gui {

// What the edit dialogs have in common: number fields that remember the
// value they show, the refusal of text that is not a number, and the
// hidden button that the Enter key presses.
class EditDialog : public QDialog {
    Q_OBJECT
public:
    ~EditDialog() override;

protected:
    EditDialog(const QString& title, Reporter& reporter, QWidget* parent);

    // A number field called `name`; `label` is the text beside it, and the
    // name its refusal gives the field.
    QLineEdit* numberField(const char* name, const QString& label, int digits = 12);
    static void showNumber(QLineEdit* field, float value);
    static void showNumber(QLineEdit* field, int value);
    // A form of float fields, one row each, in the order Enter goes through
    // them; each field is kept in fields at the row's index.
    struct NumberRow {
        std::size_t index;
        const char* name;
        const char* label;
        float value;
    };
    QFormLayout* numberRows(std::initializer_list<NumberRow> rows, QLineEdit** fields);
    // The field's value, or false after refusing it. A float field that
    // still shows the text it was given hands back that value to the last bit.
    bool readNumber(QLineEdit* field, float& into);
    bool readNumber(QLineEdit* field, int& into);
    void refuse(QLineEdit* field, const std::string& text);
    // The group "node number" with a road's two ends ("first", "second"), shown only.
    QGroupBox* roadEnds(int first, int second);
    // Moves the focus to a field (its text selected) or a button.
    static void enterField(QWidget* widget);

    // Adds the hidden default button ("ZZ"); Enter in a field or on a
    // radio button or check box presses it, which calls enterPressed().
    void addEnterKey(const QString& text);
    virtual void enterPressed() {}
    // A number field got the focus; left it (called once the focus has
    // settled, not when the window lost the focus or the dialog moved it).
    virtual void fieldFocused(QLineEdit*) {}
    virtual void fieldLeft(QLineEdit*, Qt::FocusReason) {}

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    Reporter& mReporter;
    QPushButton* mEnterKey = nullptr;
};

// "Make new node": number, elevation, the kind (preset by the caller to the
// kind chosen last) and "Insert to a road". Enter goes number -> elevation
// -> the chosen kind's radio button -> "Insert to a road" -> OK.
class NewNodeDialog : public EditDialog {
    Q_OBJECT
public:
    NewNodeDialog(const NewNodeValues& values, Reporter& reporter, QWidget* parent = nullptr);
    NewNodeValues values() const { return mValues; }
    static DialogResult run(QWidget* parent, Reporter& reporter, NewNodeValues& values);

private:
    void fieldFocused(QLineEdit* field) override;
    void enterPressed() override;
    void okPressed();

    NewNodeForm mForm;
    NewNodeValues mValues;
    QLineEdit* mNumber = nullptr;
    QLineEdit* mElevation = nullptr;
    QRadioButton* mSurface = nullptr;
    QRadioButton* mUnderground = nullptr;
    QCheckBox* mInsert = nullptr;
};

// "change node data": the number and the kind are shown only; Enter accepts
// at once, and OK takes over the elevation alone.
class NodeDataDialog : public EditDialog {
    Q_OBJECT
public:
    NodeDataDialog(const NodeDataValues& values, Reporter& reporter, QWidget* parent = nullptr);
    NodeDataValues values() const { return mValues; }
    static DialogResult run(QWidget* parent, Reporter& reporter, NodeDataValues& values);

private:
    void enterPressed() override { okPressed(); }
    void okPressed();

    NodeDataValues mValues;
    QLineEdit* mElevation = nullptr;
};

// "make new road" between two nodes: "normal road" with its five values or
// "fixed flow road" with its airflow. The fields of the kind not chosen are
// read-only and keep what was typed into them; OK reads the chosen kind's
// fields only, the others come back as they came in.
class NewRoadDialog : public EditDialog {
    Q_OBJECT
public:
    NewRoadDialog(const NewRoadValues& values, Reporter& reporter, QWidget* parent = nullptr);
    NewRoadValues values() const { return mValues; }
    static DialogResult run(QWidget* parent, Reporter& reporter, NewRoadValues& values);

private:
    using Field = NewRoadForm::Field;
    void showWritable();
    void fieldFocused(QLineEdit* field) override;
    void enterPressed() override;
    void okPressed();

    NewRoadForm mForm;
    NewRoadValues mValues;
    std::array<QLineEdit*, 6> mFields{};  // by NewRoadForm::Field
};

// "change normal road data": the road's five values; "Change a location"
// takes them over like OK and ends the dialog with ChangeLocation.
class RoadDataDialog : public EditDialog {
    Q_OBJECT
public:
    RoadDataDialog(const RoadDataValues& values, Reporter& reporter, QWidget* parent = nullptr);
    RoadDataValues values() const { return mValues; }
    // Ok, Cancel or ChangeLocation.
    static DialogResult run(QWidget* parent, Reporter& reporter, RoadDataValues& values);

private:
    using Field = ChangeRoadForm::Field;
    void fieldFocused(QLineEdit* field) override;
    void enterPressed() override;
    void finish(DialogResult result);

    ChangeRoadForm mForm;
    RoadDataValues mValues;
    std::array<QLineEdit*, 5> mFields{};  // by ChangeRoadForm::Field
};

// "change fixed flow road data": the road's airflow. OK is the default
// button, so Enter accepts; "change a location" ends with ChangeLocation.
class FixedRoadDialog : public EditDialog {
    Q_OBJECT
public:
    FixedRoadDialog(const FixedRoadValues& values, Reporter& reporter, QWidget* parent = nullptr);
    FixedRoadValues values() const { return mValues; }
    // Ok, Cancel or ChangeLocation.
    static DialogResult run(QWidget* parent, Reporter& reporter, FixedRoadValues& values);

private:
    void finish(DialogResult result);

    FixedRoadValues mValues;
    QLineEdit* mAirflow = nullptr;
};

// "Insert node": node n and road k are shown only; the person enters the
// resistance and length of the part from k's first node to n. When one of
// the two fields is left it is kept within 0 .. k's value (empty counts as
// 0) and the part from n to k's second node shows the rest. Enter does
// nothing here; OK takes both fields as leaving them would.
class InsertNodeDialog : public EditDialog {
    Q_OBJECT
public:
    InsertNodeDialog(const InsertNodeValues& values, Reporter& reporter,
                     QWidget* parent = nullptr);
    InsertNodeValues values() const { return mValues; }
    static DialogResult run(QWidget* parent, Reporter& reporter, InsertNodeValues& values);

private:
    void fieldLeft(QLineEdit* field, Qt::FocusReason reason) override;
    bool take(QLineEdit* field);
    void showResistances();
    void showLengths();
    void okPressed();
    // A field that shows a value and takes none.
    template <typename Number>
    QLineEdit* shown(const char* name, const QString& label, Number value, int digits);
    QGroupBox* nodeBox();
    QGroupBox* roadBox();
    QGroupBox* partsBox();

    InsertNodeForm mForm;
    InsertNodeValues mValues;
    QLineEdit* mFirstResistance = nullptr;
    QLineEdit* mSecondResistance = nullptr;
    QLineEdit* mFirstLength = nullptr;
    QLineEdit* mSecondLength = nullptr;
    QPushButton* mOk = nullptr;
    QPushButton* mCancel = nullptr;
};

// "Choose a symbol": "Line", "No line" and the six bending-point symbols,
// each drawn from its glyph of the stroke font (none drawn without a font).
class SymbolDialog : public QDialog {
    Q_OBJECT
public:
    explicit SymbolDialog(const StrokeFont* font, QWidget* parent = nullptr);
    // The chosen item: kSymbolLine, kSymbolNoLine or 2..7 for the symbols.
    int item() const;
    // Runs the dialog modally; the chosen item however it was closed.
    static int run(QWidget* parent, const StrokeFont* font);

private:
    std::array<QRadioButton*, kSymbolItems> mItems{};
};

// The editor's dialogs as modal dialogs over the network view. The fan
// dialogs are FanDialog's. symbolFont draws the symbols of "Choose a
// symbol"; the view passes its own font and outlives this object.
class QtEditDialogs : public EditDialogs {
public:
    QtEditDialogs(QWidget* parent, Reporter& reporter, const StrokeFont* symbolFont = nullptr);

    DialogResult makeNode(NewNodeValues& values) override;
    DialogResult changeNode(NodeDataValues& values) override;
    DialogResult makeRoad(NewRoadValues& values) override;
    DialogResult changeNormalRoad(RoadDataValues& values) override;
    DialogResult changeFixedRoad(FixedRoadValues& values) override;
    DialogResult insertNode(InsertNodeValues& values) override;
    int chooseSymbol() override;
    DialogResult makeFan(int inlet, int outlet, FanCurve& curve) override;
    DialogResult changeFan(int inlet, int outlet, FanCurve& curve) override;

private:
    QWidget* mParent;
    Reporter& mReporter;
    const StrokeFont* mSymbolFont;
};

}  // namespace orvex::gui
