#include "dialogs/displaysettingdialog.h"
#include "dialogs/dialogparts.h"
#include "dialogs/numbertext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <optional>

namespace orvex::gui {

namespace {

// Up to four decimals, without trailing zeros: 0.65, 10, 12.5.
QString fourDecimalText(float value)
{
    QString text = numberLocale().toString(double(value), 'f', 4);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    if (text == "-0")
        text = "0";
    return text;
}

QLineEdit* numberField(const QString& name, const QString& text)
{
    auto* field = new QLineEdit(text);
    field->setObjectName(name);
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QString(12, '0')));
    return field;
}

template <std::size_t N>
QComboBox* kindList(const QString& name, const std::array<const char*, N>& entries, int kind)
{
    constexpr int count = int(N);
    auto* list = new QComboBox;
    list->setObjectName(name);
    for (const char* entry : entries)
        list->addItem(QString::fromUtf8(entry));
    list->setMaxVisibleItems(count);
    // A kind from an older profile that is not in the list shows no entry.
    list->setCurrentIndex(kind >= 0 && kind < count ? kind : -1);
    return list;
}

QSpinBox* digitsField(const QString& name, int digits)
{
    auto* spin = new QSpinBox;
    spin->setObjectName(name);
    spin->setRange(0, kMaxDisplayDigits);
    spin->setValue(digits);
    spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QString(6, '0')));
    return spin;
}

QCheckBox* bracketBox(const QString& name, bool on)
{
    auto* box = new QCheckBox("bracket");
    box->setObjectName(name);
    box->setChecked(on);
    return box;
}

}  // namespace

struct DisplaySettingDialog::Impl {
    Reporter& reporter;
    ColourChooser chooser;
    DisplayChoice given;   // the view's values when the dialog opened
    DisplayChoice choice;  // what OK hands back
    ColourSlots colours;   // the copy the Color dialog works on

    QLineEdit* figureSize = nullptr;
    QLineEdit* charSize = nullptr;
    QLineEdit* angle = nullptr;
    QLineEdit* nodeRadius = nullptr;
    QComboBox* onlineKind = nullptr;
    QComboBox* underlineKind = nullptr;
    QComboBox* nodeKind = nullptr;
    QCheckBox* onlineBracket = nullptr;
    QCheckBox* underlineBracket = nullptr;
    QSpinBox* onlineDigits = nullptr;
    QSpinBox* underlineDigits = nullptr;
    QSpinBox* nodeDigits = nullptr;
    QString shownFigureSize, shownCharSize, shownNodeRadius;
    QComboBox* roadColour = nullptr;
    QComboBox* nodeColour = nullptr;
    QCheckBox* automaticLimits = nullptr;
    QLineEdit* colourLow = nullptr;
    QLineEdit* colourHigh = nullptr;
    QCheckBox* widthByFlow = nullptr;
    QCheckBox* arrows = nullptr;
    QCheckBox* screenLabels = nullptr;
    QSpinBox* labelPixels = nullptr;
    QCheckBox* titleBlock = nullptr;

    Impl(Reporter& r, ColourChooser c) : reporter(r), chooser(std::move(c)) {}

    // A field refused on OK: say why and put the person back in it.
    void refuse(QLineEdit* field, const std::string& text)
    {
        reporter.message(text, kViewCaption, MessageKind::Warning);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }

    bool read();
    QGroupBox* planBox();
    QGroupBox* valuesBox(const DisplaySettings& s);
    QGroupBox* lookBox(const PlanLook& look);
};

// Hands the fields to the core's check; false after a refusal.
bool DisplaySettingDialog::Impl::read()
{
    DisplayFields f;
    f.figureSize = numberOf(figureSize->text());
    f.charSize = numberOf(charSize->text());
    f.angle = wholeNumberOf(angle->text());
    f.nodeRadius = numberOf(nodeRadius->text());
    f.figureSizeShown = figureSize->text() == shownFigureSize;
    f.charSizeShown = charSize->text() == shownCharSize;
    f.nodeRadiusShown = nodeRadius->text() == shownNodeRadius;
    f.onlineKind = onlineKind->currentIndex();
    f.underlineKind = underlineKind->currentIndex();
    f.nodeKind = nodeKind->currentIndex();
    f.onlineDigits = onlineDigits->value();
    f.underlineDigits = underlineDigits->value();
    f.nodeDigits = nodeDigits->value();
    f.onlineBracket = onlineBracket->isChecked();
    f.underlineBracket = underlineBracket->isChecked();
    f.colours = colours;
    f.roadColourEntry = roadColour->currentIndex();
    f.nodeColourEntry = nodeColour->currentIndex();
    f.automaticLimits = automaticLimits->isChecked();
    f.colourLow = numberOf(colourLow->text());
    f.colourHigh = numberOf(colourHigh->text());
    f.widthByFlow = widthByFlow->isChecked();
    f.arrows = arrows->isChecked();
    f.screenLabels = screenLabels->isChecked();
    f.labelPixels = labelPixels->value();
    f.titleBlock = titleBlock->isChecked();

    const DisplayTaken taken = takeDisplayFields(given, f);
    using Field = DisplayTaken::Field;
    switch (taken.refused) {
    case Field::None: choice = taken.choice; return true;
    case Field::FigureSize: refuse(figureSize, taken.message); break;
    case Field::CharSize: refuse(charSize, taken.message); break;
    case Field::Angle: refuse(angle, taken.message); break;
    case Field::NodeRadius: refuse(nodeRadius, taken.message); break;
    case Field::ColourLow: refuse(colourLow, taken.message); break;
    case Field::ColourHigh: refuse(colourHigh, taken.message); break;
    }
    return false;
}

// The plan: size, letters, angle and circles.
QGroupBox* DisplaySettingDialog::Impl::planBox()
{
    shownFigureSize = fourDecimalText(given.figureSize);
    shownCharSize = fourDecimalText(given.charSize);
    shownNodeRadius = fourDecimalText(given.nodeRadius);
    figureSize = numberField("figureSize", shownFigureSize);
    charSize = numberField("charSize", shownCharSize);
    angle = numberField("displayAngle", QString::number(given.angle));
    nodeRadius = numberField("nodeRadius", shownNodeRadius);

    auto* box = new QGroupBox;
    auto* planForm = new QFormLayout(box);
    planForm->addRow("figure size (max : 10)", figureSize);
    planForm->addRow("character size (max : 20)", charSize);
    planForm->addRow("display angle", angle);
    planForm->addRow("node radius", nodeRadius);
    return box;
}

QGroupBox* DisplaySettingDialog::Impl::valuesBox(const DisplaySettings& s)
{
    // The quantities written on the plan: one row each for above the
    // roads, below them and on the nodes.
    onlineKind = kindList("onlineKind", kRoadKindNames, s.onlineKind);
    underlineKind = kindList("underlineKind", kRoadKindNames, s.underlineKind);
    nodeKind = kindList("nodeKind", kNodeKindNames, s.nodeKind);
    onlineBracket = bracketBox("onlineBracket", s.onlineBracket);
    underlineBracket = bracketBox("underlineBracket", s.underlineBracket);
    onlineDigits = digitsField("onlineDigits", s.onlineDigits);
    underlineDigits = digitsField("underlineDigits", s.underlineDigits);
    nodeDigits = digitsField("nodeDigits", s.nodeDigits);

    auto* box = new QGroupBox;
    auto* grid = new QGridLayout(box);
    const auto addRow = [grid](int row, const QString& label, QComboBox* list, QCheckBox* bracket,
                               QSpinBox* digits) {
        auto* title = new QLabel(label);
        title->setBuddy(list);
        grid->addWidget(title, row, 0);
        grid->addWidget(list, row, 1);
        if (bracket)
            grid->addWidget(bracket, row, 2);
        grid->addWidget(new QLabel("Decimal digits"), row, 3);
        grid->addWidget(digits, row, 4);
    };
    addRow(0, "values above lines", onlineKind, onlineBracket, onlineDigits);
    addRow(1, "values below lines", underlineKind, underlineBracket, underlineDigits);
    addRow(2, "values on nodes", nodeKind, nullptr, nodeDigits);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, 16);
    grid->setHorizontalSpacing(12);
    return box;
}

// Colours by a quantity, line widths, arrows and screen-sized labels.
// Kept whole: it builds the box's widgets in the order they show.
QGroupBox* DisplaySettingDialog::Impl::lookBox(const PlanLook& look)
{
    const auto kindList = [](const QString& name, const auto& kinds, const auto& names, int kind) {
        auto* list = new QComboBox;
        list->setObjectName(name);
        for (const int k : kinds) {
            list->addItem(k == 0 ? QString("none")
                          : k == kCheckStateKind ? QString(kCheckStateName)
                                                 : QString::fromUtf8(names[std::size_t(k)]));
            if (k == kind)
                list->setCurrentIndex(list->count() - 1);
        }
        list->setMaxVisibleItems(list->count());
        return list;
    };
    roadColour = kindList("roadColour", kRoadColourKinds, kRoadKindNames, look.roadColourKind);
    nodeColour = kindList("nodeColour", kNodeColourKinds, kNodeKindNames, look.nodeColourKind);
    automaticLimits = new QCheckBox("automatic");
    automaticLimits->setObjectName("automaticLimits");
    automaticLimits->setChecked(look.limits.automatic);
    colourLow = numberField("colourLow", fourDecimalText(float(look.limits.low)));
    colourHigh = numberField("colourHigh", fourDecimalText(float(look.limits.high)));
    const auto typed = [this](bool automatic) {
        colourLow->setEnabled(!automatic);
        colourHigh->setEnabled(!automatic);
    };
    typed(look.limits.automatic);
    QObject::connect(automaticLimits, &QCheckBox::toggled, automaticLimits, typed);
    const auto check = [](const QString& text, const QString& name, bool on) {
        auto* box = new QCheckBox(text);
        box->setObjectName(name);
        box->setChecked(on);
        return box;
    };
    widthByFlow = check("line width by airflow", "widthByFlow", look.widthByFlow);
    arrows = check("flow arrows", "arrows", look.arrows);
    screenLabels = check("labels at screen size", "screenLabels", look.screenLabels);
    titleBlock = check("title block on paper and in exports", "titleBlock", look.titleBlock);
    labelPixels = new QSpinBox;
    labelPixels->setObjectName("labelPixels");
    labelPixels->setRange(kSmallestLabelPixels, kLargestLabelPixels);
    labelPixels->setValue(look.labelPixels);
    labelPixels->setSuffix(" px");

    auto* box = new QGroupBox("Colours and arrows");
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel("colour roads by"), 0, 0);
    grid->addWidget(roadColour, 0, 1);
    grid->addWidget(automaticLimits, 0, 2);
    auto* limits = new QHBoxLayout;
    limits->addWidget(new QLabel("from"));
    limits->addWidget(colourLow);
    limits->addWidget(new QLabel("to"));
    limits->addWidget(colourHigh);
    grid->addLayout(limits, 0, 3);
    grid->addWidget(new QLabel("colour nodes by"), 1, 0);
    grid->addWidget(nodeColour, 1, 1);
    grid->addWidget(widthByFlow, 2, 0, 1, 2);
    grid->addWidget(arrows, 2, 2);
    auto* labels = new QHBoxLayout;
    labels->addWidget(screenLabels);
    labels->addWidget(labelPixels);
    labels->addStretch(1);
    labels->addWidget(titleBlock);
    grid->addLayout(labels, 3, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    return box;
}

DisplaySettingDialog::DisplaySettingDialog(const PlanView& view, Reporter& reporter,
                                           QWidget* parent, ColourChooser chooser)
    : QDialog(parent), d(new Impl(reporter, std::move(chooser)))
{
    setWindowTitle("Display setting");

    d->given = displayChoiceOf(view);
    d->choice = d->given;
    d->colours = view.settings.colours;

    auto* planBox = d->planBox();
    auto* valuesBox = d->valuesBox(view.settings);
    auto* lookBox = d->lookBox(view.settings.look);

    auto* colourButton = new QPushButton("color setting");
    colourButton->setObjectName("colourSetting");
    colourButton->setAutoDefault(false);
    connect(colourButton, &QPushButton::clicked, this, [this] {
        // Window-modal, so the Color dialog works on this dialog's copy
        // and takes its colours over only when it is left with OK.
        auto* colourDialog = new ColorDialog(d->colours, false, this, d->chooser);
        colourDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(colourDialog, &QDialog::accepted, this,
                [this, colourDialog] { d->colours = colourDialog->colours(); });
        colourDialog->open();
    });

    auto* buttons = dialogparts::okCancelButtons();
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (d->read())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(colourButton);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(planBox);
    layout->addWidget(valuesBox);
    layout->addWidget(lookBox);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    d->figureSize->setFocus(Qt::OtherFocusReason);
    d->figureSize->selectAll();
}

DisplaySettingDialog::~DisplaySettingDialog() = default;

DisplayChoice DisplaySettingDialog::choice() const { return d->choice; }

}  // namespace orvex::gui
