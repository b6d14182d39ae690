#pragma once

#include <QMessageLogContext>
#include <QString>
#include <QStringList>
#include <QtTest>

// Qt's warning that a dialog set its tab order between widgets that are not
// yet in one window, which leaves the order Qt's own: gathered from
// install() on (initTestCase); each dialog suite's cleanup() fails on any
// of them, with check().
namespace orvex::gui::test {

class TabOrderWarnings {
public:
    static void install() { previous() = qInstallMessageHandler(&handle); }
    static void check()
    {
        QStringList warnings;
        warnings.swap(gathered());
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (text.contains(QLatin1String("setTabOrder")))
            gathered() << text;
        if (previous())
            previous()(type, context, text);
    }
    static QtMessageHandler& previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static QStringList& gathered()
    {
        static QStringList warnings;
        return warnings;
    }
};

}  // namespace orvex::gui::test

