#pragma once

#include <QMdiSubWindow>
#include <memory>

#include "view/viewservices.h"

class QMdiArea;

// A network window: the frame of one document and its plan view. It opens
// maximised unless a placement is stored, asks the view before it closes,
// and remembers its placement when it goes.
namespace orvex::gui {

class CBriscoView;
class NetworkDocument;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // untitledNumber names the window while its document has no title.
    CChildFrame(ViewServices& services, int untitledNumber, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CBriscoView* view() const { return mView; }
    NetworkDocument& document() { return *mDocument; }

    // Shows the frame in the area: where the profile placed network windows
    // last, or maximised.
    void showPlaced(QMdiArea& area);

    // Closes the window after the person already answered the save question.
    void closeAnswered();

    // The caption follows the document's title and modified flag.
    void updateCaption();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ViewServices& mServices;
    int mUntitledNumber;
    std::unique_ptr<NetworkDocument> mDocument;  // outlives the view
    CBriscoView* mView = nullptr;
    QRect mNormalGeometry;  // the last geometry neither maximised nor minimised
    bool mAnswered = false;
};

}  // namespace orvex::gui
