#pragma once

// ColorDialog: the system's modal colour dialog, centred over its owner's
// window. Colours go through it opaque: the dialog knows no alpha.
//
// The dialog itself is reached through one replaceable function, so that
// tests can answer it without a window.

#include "foundation/Geometry.h"
#include "graphics/Colour.h"

struct tagCHOOSECOLORW;
class UIWidget;

class ColorDialog {
public:
    // Answers like ChooseColorW: non-zero when the user chose a colour,
    // which it leaves in the record's rgbResult.
    using Chooser = int (*)(tagCHOOSECOLORW* record);

    // owner may be null: the dialog then has no owner and stays where the
    // system puts it.
    explicit ColorDialog(UIWidget* owner = nullptr);
    virtual ~ColorDialog() = default;

    // With the custom-colour part expanded.
    void setFullOpen(bool on) { m_fullOpen = on; }
    bool isFullOpen() const { return m_fullOpen; }
    void setInitialColor(Colour colour) { m_initialColor = colour; }
    Colour initialColor() const { return m_initialColor; }
    UIWidget* owner() const { return m_owner; }

    // Modal. True when the user chose a colour: the result is that colour,
    // opaque. Cancelled: the result is opaque black.
    bool exec();
    Colour resultColor() const { return m_resultColor; }

    // Where the dialog of that size goes over the owner's window: centred,
    // even when larger than the window.
    Rect placement(Size dialogSize) const;

    // Null puts the system's dialog back.
    static void setChooser(Chooser chooser);

private:
    bool m_fullOpen = true;
    UIWidget* m_owner;
    Colour m_initialColor = Colour(0, 0, 0);
    Colour m_resultColor = Colour(0, 0, 0);
};
