// "Choose a symbol".
#include "dialogs/editdialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/dialogparts.h"
#include "view/qpaintercanvas.h"

namespace orvex::gui {

using namespace dialogparts;

namespace {

constexpr int kSymbolPicture = 48;  // px, the side of a symbol's picture

// A bending-point symbol as the plan draws it on a road running from left
// to right through the picture's centre: glyph 128 + item of the stroke
// font, its ±64 font units filling the picture.
QPixmap symbolPicture(const StrokeFont* font, int item)
{
    QPixmap picture(kSymbolPicture, kSymbolPicture);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QPainterCanvas canvas(painter);
    const float c = kSymbolPicture / 2.0f;
    canvas.setPen(PenStyle::Solid, 1, rgb(150, 150, 150));
    canvas.moveTo(0, c);
    canvas.lineTo(float(kSymbolPicture), c);
    if (font) {
        StrokeFont::Point points[128];
        const int n = font->glyphPoints(static_cast<unsigned char>(128 + item), points, 128);
        const float k = (kSymbolPicture - 4) / 128.0f;  // px per font unit
        canvas.setPen(PenStyle::Solid, 1, rgb(0, 0, 0));
        for (int p = 0; p < n; ++p) {
            const float x = c + k * float(points[p].x), y = c - k * float(points[p].y);
            if (points[p].pen == 0)
                canvas.moveTo(x, y);
            else
                canvas.lineTo(x, y);
        }
    }
    canvas.flush();
    return picture;
}

}  // namespace

SymbolDialog::SymbolDialog(const StrokeFont* font, QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Choose a symbol");
    auto* grid = new QGridLayout;
    mItems[kSymbolLine] = new QRadioButton("Line");
    mItems[kSymbolLine]->setObjectName("line");
    mItems[kSymbolNoLine] = new QRadioButton("No line");
    mItems[kSymbolNoLine]->setObjectName("noLine");
    grid->addWidget(mItems[kSymbolLine], 0, 0, 1, 2);
    grid->addWidget(mItems[kSymbolNoLine], 0, 2, 1, 2);
    for (int item = 2; item < kSymbolItems; ++item) {
        auto* picture = new QLabel;
        picture->setObjectName(QString("picture%1").arg(item));
        picture->setPixmap(symbolPicture(font, item));
        picture->setFrameShape(QFrame::Box);
        auto* choice = new QRadioButton;
        choice->setObjectName(QString("symbol%1").arg(item));
        choice->setAccessibleName(QString("symbol %1").arg(item - 1));
        mItems[std::size_t(item)] = choice;
        grid->addWidget(picture, 1, item - 2, Qt::AlignCenter);
        grid->addWidget(choice, 2, item - 2, Qt::AlignCenter);
    }
    mItems[kSymbolLine]->setChecked(true);

    QPushButton* ok = button("OK", "ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttonRow({ok}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    mItems[kSymbolLine]->setFocus();
}

int SymbolDialog::item() const
{
    for (std::size_t i = 0; i < mItems.size(); ++i)
        if (mItems[i]->isChecked())
            return int(i);
    return kSymbolLine;
}

int SymbolDialog::run(QWidget* parent, const StrokeFont* font)
{
    SymbolDialog dialog(font, parent);
    dialog.exec();
    return dialog.item();
}

}  // namespace orvex::gui
