#include "dialogs/infodialog.h"
#include "dialogs/dialogparts.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace orvex::gui {

namespace {

// Titles are UTF-8; one read from an older network file may still be in the
// Chinese GBK code page and is shown decoded from it.
QString titleText(const std::string& title)
{
    const QByteArray bytes = QByteArray::fromStdString(title);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
    if (gbk.isValid()) {
        const QString decoded = gbk.decode(bytes);
        if (!gbk.hasError())
            return decoded;
    }
    return QString::fromLatin1(bytes);
}

}  // namespace

struct InfoDialog::Impl {
    Reporter& reporter;
    std::string given;
    QString shown;
    QPlainTextEdit* field = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

    bool tooLong() const { return titleTooLong(field->toPlainText().toStdString()); }

    void refuse()
    {
        reporter.message(kTooManyLetters, kViewCaption, MessageKind::Warning);
        field->setFocus(Qt::OtherFocusReason);
    }
};

InfoDialog::InfoDialog(const std::string& title, Reporter& reporter, QWidget* parent)
    : QDialog(parent), d(new Impl{reporter, title, {}})
{
    setWindowTitle("File Information");

    d->field = new QPlainTextEdit(titleText(title));
    d->shown = d->field->toPlainText();
    d->field->setObjectName("title");
    d->field->setTabChangesFocus(true);
    const QFontMetrics metrics = d->field->fontMetrics();
    d->field->setMinimumSize(metrics.horizontalAdvance(QString(44, 'x')),
                             metrics.lineSpacing() * 4);
    d->field->installEventFilter(this);

    auto* buttons = dialogparts::okCancelButtons();
    d->ok = buttons->button(QDialogButtonBox::Ok);
    d->cancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (d->tooLong())
            d->refuse();
        else
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(d->field);
    layout->addWidget(buttons);

    d->field->setFocus(Qt::OtherFocusReason);
}

InfoDialog::~InfoDialog() = default;

// The title left as it was shown comes back byte for byte, in whatever
// code page it came.
std::string InfoDialog::title() const
{
    const QString text = d->field->toPlainText();
    if (text == d->shown)
        return d->given;
    return text.toStdString();
}

// Leaving the title field with too many letters brings the person back to
// it. The check waits until the focus has settled: a mouse press on OK or
// Cancel is left to the button (OK says the same itself, and Cancel leaves
// without a word), and losing the focus to another window is not leaving.
bool InfoDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->field && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QMetaObject::invokeMethod(
                this,
                [this, reason] {
                    if (!isVisible() || d->field->hasFocus() || !d->tooLong())
                        return;
                    QWidget* now = focusWidget();
                    if (reason == Qt::MouseFocusReason && (now == d->ok || now == d->cancel))
                        return;
                    d->refuse();
                },
                Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orvex::gui
