#include "reporter.h"

namespace orvex {

void GatheringReporter::message(const std::string& text, const std::string& caption, MessageKind kind)
{
    if (mCount++ == 0) {
        mText = text;
        mCaption = caption;
        mKind = kind;
        return;
    }
    mText += "\n\n" + text;
    if (int(kind) > int(mKind))
        mKind = kind;
}

Answer GatheringReporter::ask(const std::string& text, const std::string& caption, bool withCancel)
{
    flush();
    return mTarget.ask(text, caption, withCancel);
}

void GatheringReporter::flush()
{
    if (mCount == 0)
        return;
    mCount = 0;
    mTarget.message(mText, mCaption, mKind);
    mText.clear();
}

}  // namespace orvex
