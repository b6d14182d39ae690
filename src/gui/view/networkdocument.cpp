#include "view/networkdocument.h"

#include <algorithm>

#include "view/briscoview.h"

namespace orvex::gui {

NetworkDocument::NetworkDocument(AppContext& app, Reporter& reporter)
    : mDoc(std::make_unique<CBriscoDoc>(app, reporter))
{
}

NetworkDocument::~NetworkDocument() = default;

void NetworkDocument::addView(CBriscoView* view)
{
    mViews.push_back(view);
}

void NetworkDocument::removeView(CBriscoView* view)
{
    mViews.erase(std::remove(mViews.begin(), mViews.end(), view), mViews.end());
}

void NetworkDocument::updateAllViews()
{
    for (CBriscoView* view : mViews)
        view->updateFromDocument();
}

}  // namespace orvex::gui
