// The close question as the person sees it: the system's Chinese text with
// its English meaning beside it, each drawn in a font that has every one of
// its characters.
#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QMessageBox>
#include <QRawFont>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>

#include "app/qtreporter.h"
#include "edit/editor.h"
#include "model/networkio.h"

using namespace orvex;
using namespace orvex::gui;

namespace {

// The characters of text that the font (with the system's fall-backs) draws
// as the empty box of a missing glyph, each laid out as the label lays it out.
QString missingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    for (const uint c : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        QTextLayout layout(one, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        bool drawn = !runs.isEmpty() && QFontMetrics(font).inFontUcs4(c);
        for (const QGlyphRun& run : runs)
            drawn = drawn && run.rawFont().supportsCharacter(c) && !run.glyphIndexes().contains(0);
        if (!drawn && !one.trimmed().isEmpty())
            missing += one;
    }
    return missing;
}

}  // namespace

class MessagesTest : public QObject {
    Q_OBJECT

private slots:
    void closeQuestionIsReadable()
    {
        QtReporter reporter;
        int checked = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY2(box, "no message box is open");
            QCOMPARE(box->text(), QString::fromStdString(kSaveQuestion));
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                if (label->text().isEmpty() ||
                    (label->text() != box->text() && label->text() != box->informativeText()))
                    continue;
                const QString missing = missingGlyphs(label->text(), label->font());
                QVERIFY2(missing.isEmpty(), qPrintable(QString("no glyph for \"%1\" of \"%2\" (font %3): install a "
                                                               "font with Chinese glyphs")
                                                           .arg(missing, label->text(), label->font().family())));
                ++checked;
            }
            box->reject();
        });
        reporter.ask(kSaveQuestion, kViewCaption, true);
        QCOMPARE(checked, 2);  // the question and its meaning
    }
};

QTEST_MAIN(MessagesTest)
#include "messages_test.moc"
