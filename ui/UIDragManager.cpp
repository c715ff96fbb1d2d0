#include "ui/UIDragManager.h"

#include "foundation/Dispatcher.h"
#include "ui/OleDragDrop.h"
#include "ui/TransferFormats.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <memory>

std::uint32_t singleDropAction(std::uint32_t actions)
{
    for (std::uint32_t action : {DropCopy, DropMove, DropLink}) {
        if (actions & action)
            return action;
    }
    return NoDropAction;
}

// ---- UIDragManager ----

void deliverArmedDrop(std::uintptr_t timer);

namespace {

void CALLBACK dropTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    deliverArmedDrop(timer);
}

// Null before the first use and after the exit destroyed the manager.
UIDragManager* liveManager = nullptr;

} // namespace

// The platform calls back with the id it gave; that one is killed, so a
// timer can never tick twice.
void deliverArmedDrop(std::uintptr_t timer)
{
    KillTimer(nullptr, timer);
    UIDragManager& manager = UIDragManager::instance();
    if (timer != manager.m_dropTimer)
        return;
    manager.m_dropTimer = 0;
    UIDragEvent drop(DropEventType);
    if (dispatcher())
        dispatcher()->sendEvent(&drop, manager.m_target);
}

UIDragManager::UIDragManager()
    : m_dragDistanceX(GetSystemMetrics(SM_CXDRAG)), m_dragDistanceY(GetSystemMetrics(SM_CYDRAG))
{
    liveManager = this;
}

UIDragManager::~UIDragManager()
{
    cancelDrop();
    liveManager = nullptr;
}

void UIDragManager::forgetWidget(const UIWidget* widget)
{
    if (!liveManager)
        return;
    UIDragManager& manager = *liveManager;
    if (manager.m_source == widget)
        manager.m_source = nullptr;
    if (manager.m_receiver == widget)
        manager.m_receiver = nullptr;
    if (manager.m_target == widget) {
        manager.cancelDrop();
        manager.m_target = nullptr;
    }
}

UIDragManager& UIDragManager::instance()
{
    static UIDragManager manager;
    return manager;
}

void UIDragManager::reset()
{
    m_source = nullptr;
    m_target = nullptr;
    m_action = 0;
    m_pos = Point();
    m_mouseButtons = 0;
    m_modifiers = 0;
    m_data.clear();
}

void UIDragManager::cancelDrop()
{
    if (m_dropTimer)
        KillTimer(nullptr, m_dropTimer);
    m_dropTimer = 0;
}

// A timer left running would deliver its drop again at every tick, so the
// pending one goes first.
void UIDragManager::armDrop(UIWidget* target)
{
    cancelDrop();
    m_target = target;
    m_dropTimer = SetTimer(nullptr, 0, dropDelay, dropTimerProc);
}

// ---- UIDragEvent ----

UIWidget* UIDragEvent::source() const
{
    return UIDragManager::instance().source();
}

const MimeData& UIDragEvent::currentDragData() const
{
    return UIDragManager::instance().mimeData();
}

Point UIDragEvent::pos() const
{
    return UIDragManager::instance().pos();
}

std::uint32_t UIDragEvent::mouseButtons() const
{
    return UIDragManager::instance().mouseButtons();
}

std::uint32_t UIDragEvent::modifiers() const
{
    return UIDragManager::instance().modifiers();
}

std::uint32_t UIDragEvent::action() const
{
    return UIDragManager::instance().action();
}

void UIDragEvent::acceptAction(std::uint32_t action)
{
    if (action && (action & m_allowedActions) == action)
        UIDragManager::instance().setAction(action);
}

// ---- UIDrag and the outgoing drag ----

UIDrag::UIDrag(UIWidget* source)
{
    UIDragManager::instance().setSource(source);
}

std::uint32_t UIDrag::exec(std::uint32_t allowedActions)
{
    return startDrag(this, allowedActions);
}

namespace {

bool mayStartDrag(const UIDrag* request, std::uint32_t allowedActions)
{
    const UIDragManager& manager = UIDragManager::instance();
    return request && manager.source() && manager.source()->isDragEnabled() && !manager.mimeData().isEmpty() &&
           allowedActions != 0;
}

// The button that drags, and the other one, which cancels.
void noteDragButton(DropSource& source)
{
    if (GetKeyState(VK_LBUTTON) < 0)
        source.setButtons(MK_LBUTTON, MK_RBUTTON);
    else if (GetKeyState(VK_RBUTTON) < 0)
        source.setButtons(MK_RBUTTON, MK_LBUTTON);
}

std::unique_ptr<DragImageHelper> makeDragImage(const UIDrag& request, IDataObject* dataObject)
{
    if (request.image().isNull())
        return nullptr;
    auto helper = std::make_unique<DragImageHelper>(dataObject);
    helper->setImage(request.image(), request.hotSpot());
    return helper;
}

// Windows are dragged with their contents while the drag runs.
class FullWindowDrag {
public:
    FullWindowDrag()
    {
        SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &m_old, 0);
        SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    }
    ~FullWindowDrag() { SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, m_old, nullptr, 0); }
    FullWindowDrag(const FullWindowDrag&) = delete;
    FullWindowDrag& operator=(const FullWindowDrag&) = delete;

private:
    BOOL m_old = FALSE;
};

std::uint32_t runDragLoop(const UIDrag& request, std::uint32_t allowedActions, DataObject* dataObject,
                          DropSource* dropSource)
{
    noteDragButton(*dropSource);
    const std::unique_ptr<DragImageHelper> image = makeDragImage(request, dataObject);
    const FullWindowDrag fullWindows;
    DWORD effect = DROPEFFECT_NONE;
    UIDragManager::instance().setOutgoingDrag(true);
    const HRESULT result = DoDragDrop(dataObject, dropSource, allowedActions & (DropCopy | DropMove | DropLink),
                                      &effect);
    UIDragManager::instance().setOutgoingDrag(false);
    return result == DRAGDROP_S_DROP ? singleDropAction(effect) : NoDropAction;
}

} // namespace

std::uint32_t startDrag(UIDrag* request, std::uint32_t allowedActions)
{
    if (!mayStartDrag(request, allowedActions))
        return NoDropAction;
    UIDragManager& manager = UIDragManager::instance();
    auto* dropSource = new DropSource;
    auto* dataObject = new DataObject;
    std::uint32_t action = NoDropAction;
    const bool rendered = renderDragData(dataObject, manager.mimeData()) > 0;
    if (rendered)
        action = runDragLoop(*request, allowedActions, dataObject, dropSource);
    dataObject->Release();
    dropSource->Release();
    // A drop on one of this program's own windows is still on its way and
    // reads the manager; the next drag resets it then.
    if (rendered && !manager.isDropPending())
        manager.reset();
    return action;
}
