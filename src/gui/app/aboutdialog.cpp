#include "app/aboutdialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/icons.h"
#include "model/limits.h"

namespace orvex::gui {

namespace {

QLabel* namedLabel(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("ORVEX");
    setWindowIcon(applicationIcon());

    auto* icon = namedLabel(QString(), "iconLabel", this);
    icon->setPixmap(applicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* version = namedLabel("Tenbrook for Windows 1.01", "versionLabel", this);
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    auto* release = namedLabel("2000.1", "releaseLabel", this);

    // The capacities of a network, as whole numbers.
    struct Limit {
        const char* caption;
        int value;
        const char* name;
    };
    const Limit limits[] = {
        {"Node max", kMaxNodes, "nodeMax"},
        {"Node number max", kMaxNodeNumbers, "nodeNumberMax"},
        {"Road max", kMaxRoads, "roadMax"},
        {"Road position data max", kMaxBendSlots, "roadPositionDataMax"},
        {"Fan max", kMaxFans, "fanMax"},
    };
    auto* table = new QGridLayout;
    table->setHorizontalSpacing(24);
    table->setVerticalSpacing(4);
    int row = 0;
    for (const Limit& limit : limits) {
        const QString name = QString::fromLatin1(limit.name);
        table->addWidget(namedLabel(limit.caption, name + "Caption", this), row, 0);
        auto* value = namedLabel(QString::number(limit.value), name + "Value", this);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->addWidget(value, row, 1);
        ++row;
    }

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(release);
    texts->addSpacing(12);
    texts->addLayout(table);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addLayout(texts);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName("buttons");
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace orvex::gui
