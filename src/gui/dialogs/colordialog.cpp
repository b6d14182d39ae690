#include "dialogs/colordialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace orvex::gui {

namespace {

QColor qColourOf(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
Colour colourOf(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

// The buttons in the order they are listed, filled column by column: the
// first four in the left column, the last four in the right.
struct Slot {
    const char* text;
    const char* name;
    Colour ColourSlots::*colour;
};
const std::array<Slot, 8> kSlots{{
    {"values on lines", "colour_online", &ColourSlots::online},
    {"number of nodes", "colour_onnode", &ColourSlots::onnode},
    {"values on nodes", "colour_nodedata", &ColourSlots::nodedata},
    {"values under lines", "colour_underline", &ColourSlots::underline},
    {"nodes / fans", "colour_node", &ColourSlots::node},
    {"roads", "colour_road", &ColourSlots::road},
    {"background", "colour_back", &ColourSlots::back},
    {"emphasizing", "colour_strong", &ColourSlots::strong},
}};
constexpr int kRowsPerColumn = 4;
const QSize kSwatchSize(44, 16);
constexpr int kSwatchGap = 8;  // between the patch and the button's text

// A filled patch with a dark rim, so white and black both stand out from
// the button face.
QIcon swatch(Colour colour)
{
    QPixmap patch(kSwatchSize);
    patch.fill(Qt::transparent);
    QPainter painter(&patch);
    const QRect box(0, 0, kSwatchSize.width() - kSwatchGap, kSwatchSize.height());
    painter.fillRect(box, qColourOf(colour));
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    return QIcon(patch);
}

}  // namespace

ColourChooser platformColourChooser()
{
    return [](Colour current, QWidget* parent) -> std::optional<Colour> {
        const QColor chosen = QColorDialog::getColor(qColourOf(current), parent);
        if (!chosen.isValid())
            return std::nullopt;
        return colourOf(chosen);
    };
}

struct ColorDialog::Impl {
    ColourSlots colours;
    ColourChooser chooser;
    std::array<QPushButton*, kSlots.size()> buttons{};
};

ColorDialog::ColorDialog(const ColourSlots& colours, bool forPagePreview, QWidget* parent,
                         ColourChooser chooser)
    : QDialog(parent), d(new Impl{colours, std::move(chooser), {}})
{
    setWindowTitle("Color");

    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kSlots.size(); ++i) {
        const Slot& slot = kSlots[i];
        auto* button = new QPushButton(swatch(d->colours.*slot.colour), slot.text);
        button->setObjectName(slot.name);
        button->setIconSize(kSwatchSize);
        button->setAutoDefault(false);
        button->setStyleSheet("text-align: left; padding: 4px 8px");
        connect(button, &QPushButton::clicked, this, [this, i] {
            Colour& colour = d->colours.*kSlots[i].colour;
            if (const std::optional<Colour> chosen = d->chooser(colour, this)) {
                colour = *chosen;
                d->buttons[i]->setIcon(swatch(colour));
            }
        });
        // The page preview keeps the screen's background and emphasis.
        const bool screenOnly =
            slot.colour == &ColourSlots::back || slot.colour == &ColourSlots::strong;
        button->setEnabled(!(forPagePreview && screenOnly));
        d->buttons[i] = button;
        grid->addWidget(button, int(i) % kRowsPerColumn, int(i) / kRowsPerColumn);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("ok");
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton("cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ColorDialog::~ColorDialog() = default;

ColourSlots ColorDialog::colours() const { return d->colours; }

}  // namespace orvex::gui
