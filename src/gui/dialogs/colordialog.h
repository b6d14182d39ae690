#pragma once

#include <QDialog>
#include <memory>
#include <functional>
#include <optional>

#include "display/displaysettings.h"

// "Color": eight buttons, each showing its colour and opening the colour
// chooser on it. OK hands all eight back; cancel hands back nothing. Opened
// for the page preview, "background" and "emphasizing" are disabled.
namespace orvex::gui {

// Asks for a colour starting from current; nullopt when the person
// cancelled. The program uses QColorDialog; tests answer themselves.
using ColourChooser = std::function<std::optional<Colour>(Colour current, QWidget* parent)>;
ColourChooser platformColourChooser();

class ColorDialog : public QDialog {
    Q_OBJECT
public:
    ColorDialog(const ColourSlots& colours, bool forPagePreview, QWidget* parent = nullptr,
                ColourChooser chooser = platformColourChooser());
    ~ColorDialog() override;

    ColourSlots colours() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace orvex::gui
