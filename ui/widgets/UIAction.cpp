#include "ui/widgets/UIAction.h"

#include "ui/widgets/UIMenu.h"

UIAction::UIAction(const String& text, const StateImages& images, const KeySequence& shortcut)
    : m_displayKind(ActionTextOnly), m_images(images)
{
    UIItem::setText(text);
    setShortcut(shortcut);
}

UIAction::UIAction(const Bitmap& image) : m_displayKind(ActionImageOnly), m_image(image) {}

UIAction::UIAction(const Bitmap& image, const String& text) : m_displayKind(ActionImageAndText), m_image(image)
{
    UIItem::setText(text);
}

UIAction::~UIAction()
{
    delete m_submenu;
}

void UIAction::setSubmenu(UIMenu* menu)
{
    if (m_submenu != menu)
        delete m_submenu;
    m_submenu = menu;
}

void UIAction::setText(const String& text)
{
    if (text == this->text())
        return;
    UIItem::setText(text);
    repaintOwner();
}

void UIAction::setShortcut(const KeySequence& shortcut)
{
    m_shortcut = shortcut;
    m_shortcutText = shortcut.toString(L"+");
}

void UIAction::setChecked(bool on)
{
    if (!m_checkable || on == m_checked)
        return;
    if (m_checkKind == ActionRadio) {
        if (!on)
            return;
        clearRadioNeighbours();
    }
    m_checked = on;
    repaintOwner();
}

// Quietly unchecks the radio entries next to this one, up to the first
// entry on each side that is not a radio entry.
void UIAction::clearRadioNeighbours()
{
    if (!m_owner)
        return;
    auto* node = m_owner->actions().findNode(this);
    if (!node)
        return;
    for (auto* n = node->prev; n && n->value->isRadio(); n = n->prev)
        n->value->m_checked = false;
    for (auto* n = node->next; n && n->value->isRadio(); n = n->next)
        n->value->m_checked = false;
}

void UIAction::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    repaintOwner();
}

bool UIAction::isEnabled() const
{
    if (m_submenu && m_submenu->isEmpty())
        return false;
    return m_enabled;
}

void UIAction::setVisible(bool on)
{
    m_visible = on;
    if (!on)
        m_rect = Rect();
}

void UIAction::repaintOwner()
{
    if (m_owner)
        m_owner->repaint();
}
