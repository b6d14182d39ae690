#pragma once

#include <QStringList>
#include <QtTest>
#include <utility>

// Qt's warning that a dialog set its tab order between widgets that are not
// yet in one window (the order is then Qt's own): gathered once install()
// ran (initTestCase); check() in a suite's cleanup() fails on any of them.
namespace orvex::gui::test {

struct TabOrderWarnings {
    static inline QtMessageHandler previous = nullptr;
    static inline QStringList gathered;

    static void install()
    {
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.contains(QLatin1String("setTabOrder")))
                gathered << text;
            if (previous)
                previous(type, context, text);
        });
    }
    static void check()
    {
        const QStringList warnings = std::exchange(gathered, {});
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }
};

}  // namespace orvex::gui::test
