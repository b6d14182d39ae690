#pragma once

#include <memory>
#include <vector>

#include "edit/editops.h"
#include "model/briscodoc.h"

// The document of one network window with the views that show it. The
// document's arrays (some 400 KB) live on the heap, one per window.
namespace orvex::gui {

class CBriscoView;

class NetworkDocument : public DocumentViews {
public:
    NetworkDocument(AppContext& app, Reporter& reporter);
    ~NetworkDocument() override;

    CBriscoDoc& doc() { return *mDoc; }
    const CBriscoDoc& doc() const { return *mDoc; }

    void addView(CBriscoView* view);
    void removeView(CBriscoView* view);
    const std::vector<CBriscoView*>& views() const { return mViews; }

    // Copies the document into every view that shows it and repaints them.
    void updateAllViews();
    void redrawAll() override { updateAllViews(); }

private:
    std::unique_ptr<CBriscoDoc> mDoc;
    std::vector<CBriscoView*> mViews;
};

}  // namespace orvex::gui
