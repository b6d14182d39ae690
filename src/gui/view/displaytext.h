#pragma once

#include <QString>
#include <string>

// Text of the model as the person reads it: the program's own texts are
// UTF-8; titles and names from older network files may be in the Chinese
// GBK code page, which is decoded when the bytes are not UTF-8.
namespace orvex::gui {

QString displayText(const std::string& text);

}  // namespace orvex::gui
