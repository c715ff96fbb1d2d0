#pragma once

// One entry of a pop-up menu: a command, a check or radio entry, a
// separator, or the opener of a submenu. The menu that holds it paints it
// and reports its activation; the entry owns its submenu.

#include "foundation/Geometry.h"
#include "foundation/Shortcut.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "graphics/StateImages.h"
#include "ui/UIItem.h"

#include <cstdint>

class UIMenu;

// How an entry shows its text and its image.
enum UIActionDisplayKind : std::int32_t {
    ActionTextOnly = 0,
    ActionImageOnly = 1,
    ActionImageAndText = 2,
};

// Check kinds: a plain check entry, or one of a run of radio entries.
enum UIActionCheckKind : std::int32_t {
    ActionCheckBox = 0,
    ActionRadio = 1,
};

class UIAction : public UIItem {
public:
    // Text only.
    explicit UIAction(const String& text, const StateImages& images = StateImages(),
                      const KeySequence& shortcut = KeySequence());
    // Image only.
    explicit UIAction(const Bitmap& image);
    // Image, then text.
    UIAction(const Bitmap& image, const String& text);
    // Deletes the submenu.
    ~UIAction() override;

    // Emitted after the menu's own triggered when the entry is activated.
    Signal triggered;

    UIMenu* owner() const { return m_owner; }
    void setOwner(UIMenu* menu) { m_owner = menu; }

    // Takes the menu; a different submenu set before is deleted.
    void setSubmenu(UIMenu* menu);
    UIMenu* submenu() const { return m_submenu; }
    // Lets go of the submenu without deleting it.
    UIMenu* takeSubmenu()
    {
        UIMenu* menu = m_submenu;
        m_submenu = nullptr;
        return menu;
    }

    void setDisplayKind(std::int32_t kind) { m_displayKind = kind; }
    std::int32_t displayKind() const { return m_displayKind; }

    // Repaints the owner when the text changes (the text is the item's).
    void setText(const String& text);
    void setImage(const Bitmap& image) { m_image = image; }
    const Bitmap& image() const { return m_image; }
    void setImages(const StateImages& images) { m_images = images; }
    const StateImages& images() const { return m_images; }

    // Builds the shown text: the key names joined by "+".
    void setShortcut(const KeySequence& shortcut);
    const KeySequence& shortcut() const { return m_shortcut; }
    const String& shortcutText() const { return m_shortcutText; }
    void setShowShortcut(bool on) { m_showShortcut = on; }
    bool showsShortcut() const { return m_showShortcut; }

    void setCheckable(bool on) { m_checkable = on; }
    bool isCheckable() const { return m_checkable; }
    // Only for a checkable entry whose state differs. A checked radio entry
    // stays checked; checking one clears the unbroken run of radio entries
    // around it.
    void setChecked(bool on);
    bool isChecked() const { return m_checked; }
    void setCheckKind(std::int32_t kind) { m_checkKind = kind; }
    std::int32_t checkKind() const { return m_checkKind; }
    bool isRadio() const { return m_checkable && m_checkKind == ActionRadio; }

    void setSeparator(bool on) { m_separator = on; }
    bool isSeparator() const { return m_separator; }

    // Repaints the owner when the flag changes.
    void setEnabled(bool on);
    // An entry whose submenu has no entries is disabled whatever its flag.
    bool isEnabled() const;
    bool enabledFlag() const { return m_enabled; }

    // Hiding empties the stored rectangle.
    void setVisible(bool on);
    bool isVisible() const { return m_visible; }

    // In menu coordinates, written by the menu's painting.
    const Rect& rect() const { return m_rect; }
    void setRect(const Rect& r) { m_rect = r; }

private:
    void clearRadioNeighbours();
    void repaintOwner();

    UIMenu* m_owner = nullptr;
    UIMenu* m_submenu = nullptr;
    std::int32_t m_displayKind = ActionTextOnly;
    Bitmap m_image;
    StateImages m_images;
    KeySequence m_shortcut;
    String m_shortcutText;
    bool m_checkable = false;
    bool m_checked = false;
    bool m_showShortcut = true;
    std::int32_t m_checkKind = ActionCheckBox;
    bool m_separator = false;
    Rect m_rect;
    bool m_enabled = true;
    bool m_visible = true;
};
