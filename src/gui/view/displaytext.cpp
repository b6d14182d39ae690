#include "view/displaytext.h"

#include <QStringDecoder>

namespace orvex::gui {

QString displayText(const std::string& text)
{
    const QByteArray bytes = QByteArray::fromStdString(text);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (!utf8.hasError())
        return decoded;
    QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
    if (gbk.isValid()) {
        decoded = gbk.decode(bytes);
        if (!gbk.hasError())
            return decoded;
    }
    return QString::fromLatin1(bytes);
}

}  // namespace orvex::gui
