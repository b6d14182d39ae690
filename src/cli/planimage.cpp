#include "planimage.h"

#include <memory>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "canvas/qpaintercanvas.h"
#include "display/planview.h"

namespace orvex::cli {

namespace {

bool endsWith(const std::string& text, const std::string& tail)
{
    if (text.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i])
            return false;
    return true;
}

void preparePlan(PlanView& view, CBriscoDoc& doc, const PlanOptions& options, Reporter& reporter)
{
    view.font.load(doc.app().programFolder, reporter);
    view.settings.onlineKind = options.aboveKind;
    view.settings.underlineKind = options.belowKind;
    view.settings.nodeKind = options.nodeKind;
    view.settings.onlineDigits = view.settings.underlineDigits = view.settings.nodeDigits = options.digits;
    if (options.printColours) {
        view.settings.colours.back = rgb(255, 255, 255);
        usePrintColours(view.settings.colours, view.settings.print);
    }
    view.geo.clientWidth = options.width;
    view.geo.clientHeight = options.height;
    view.networkLoaded = true;
    view.update(doc);
    view.fitToWindow();
}

}  // namespace

bool writePlanImage(CBriscoDoc& doc, const PlanOptions& options, const std::string& path,
                    Reporter& reporter)
{
    auto view = std::make_unique<PlanView>();
    preparePlan(*view, doc, options, reporter);
    const QString file = QString::fromStdString(path);
    bool ok = false;
    if (endsWith(path, ".pdf")) {
        QPdfWriter writer(file);
        writer.setResolution(96);
        writer.setPageSize(QPageSize(QSizeF(options.width, options.height), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (painter.begin(&writer)) {
            painter.scale(double(writer.width()) / options.width, double(writer.height()) / options.height);
            QPainterCanvas canvas(painter);
            view->paint(canvas);
            canvas.flush();
            ok = painter.end();
        }
    } else {
        QImage image(options.width, options.height, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            QPainterCanvas canvas(painter);
            view->paint(canvas);
        }
        ok = image.save(file, "PNG");
    }
    if (!ok)
        reporter.message(path + "  :write ?", kDocumentCaption, MessageKind::Error);
    return ok;
}

}  // namespace orvex::cli
