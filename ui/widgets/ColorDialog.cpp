#include "ui/widgets/ColorDialog.h"

#include "ui/UIManager.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <commdlg.h>

namespace {

// Move only: keep the size, the z-order and the activation.
constexpr UINT placementFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS;

int systemChooser(tagCHOOSECOLORW* record)
{
    return ChooseColorW(record);
}

ColorDialog::Chooser chooser = systemChooser;

UINT_PTR CALLBACK placementHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    const auto* record = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    const auto* self = reinterpret_cast<const ColorDialog*>(record->lCustData);
    RECT frame;
    GetWindowRect(dialog, &frame);
    const Rect placed = self->placement(Size(frame.right - frame.left, frame.bottom - frame.top));
    SetWindowPos(dialog, nullptr, placed.x, placed.y, 0, 0, placementFlags);
    return 0;
}

Colour opaqueColour(COLORREF value)
{
    return Colour(GetRValue(value), GetGValue(value), GetBValue(value));
}

// Counts the dialog as a modal window while it runs.
class ModalScope {
public:
    ModalScope() { UIManager::instance()->beginModal(); }
    ~ModalScope() { UIManager::instance()->endModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

} // namespace

ColorDialog::ColorDialog(UIWidget* owner) : m_owner(owner) {}

void ColorDialog::setChooser(Chooser replacement)
{
    chooser = replacement ? replacement : systemChooser;
}

Rect ColorDialog::placement(Size dialogSize) const
{
    const Rect over = m_owner ? m_owner->topLevelWidget()->geometry() : Rect();
    return over.alignedRect(dialogSize.width, dialogSize.height, AlignCenter, true);
}

bool ColorDialog::exec()
{
    // Fresh custom colours for every showing; the dialog may write them.
    COLORREF customColours[16] = {};
    CHOOSECOLORW record = {};
    // The size of the record on this build: a 64-bit dialog refuses the
    // 32-bit size, and every pick would read as cancelled.
    record.lStructSize = sizeof(record);
    record.Flags = CC_RGBINIT | CC_ANYCOLOR | (m_fullOpen ? CC_FULLOPEN : 0);
    record.rgbResult = m_initialColor.colorRef();
    record.lpCustColors = customColours;
    if (m_owner) {
        record.Flags |= CC_ENABLEHOOK;
        record.hwndOwner = static_cast<HWND>(m_owner->windowHandle());
        record.lCustData = reinterpret_cast<LPARAM>(this);
        record.lpfnHook = placementHook;
    }
    bool chosen;
    {
        ModalScope modal;
        chosen = chooser(&record) != 0;
    }
    m_resultColor = chosen ? opaqueColour(record.rgbResult) : Colour(0, 0, 0);
    return chosen;
}
