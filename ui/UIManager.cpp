#include "ui/UIManager.h"

#include "foundation/Application.h"
#include "foundation/DataPack.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "graphics/FontSystem.h"
#include "graphics/ImageCodec.h"
#include "graphics/PaintEngine.h"
#include "ui/Cursor.h"
#include "ui/PlatformServices.h"
#include "ui/UITheme.h"
#include "ui/UIToolkitHooks.h"
#include "ui/UIWidget.h"

#include <memory>

namespace {

// The toolkit's answers to the lower layers: the busy cursor goes through
// the manager's override cursor, icons and thumbnails come from the shell,
// and messages and progress show in the windows of the widget set and the
// program above it.
class ToolkitUiHooks : public UiHooks {
public:
    void setOverrideCursor(int cursorId) override { UIManager::instance()->setOverrideCursor(cursorId); }
    void restoreOverrideCursor() override { UIManager::instance()->restoreOverrideCursor(); }

    int information(const String& title, const String& text, const String& extraText, int buttons,
                    int flags) override
    {
        return toolkitHooks().information(title, text, extraText, buttons, flags);
    }

    std::unique_ptr<ProgressWindow> createProgressWindow() override { return toolkitHooks().createProgressWindow(); }

    bool shellFileIcon(const String& path, int size, Bitmap& image) override
    {
        return fillIfFound(::shellFileIcon(path, size), image);
    }

    bool shellThumbnail(const String& path, int size, Bitmap& image) override
    {
        return fillIfFound(::shellThumbnail(path, size), image);
    }

private:
    static bool fillIfFound(const Bitmap& found, Bitmap& image)
    {
        if (found.isNull())
            return false;
        image = found;
        return true;
    }
};

ToolkitUiHooks toolkitUiHooks;

Bitmap packImage(const DataPack* pack, const wchar_t* fileName)
{
    const PackFile* file = pack ? pack->findFile(L"images", fileName) : nullptr;
    return file ? Bitmap::fromData(file->data(), file->size(), L"png") : Bitmap();
}

// The style file for a name, or empty when there is none.
String styleFilePath(const String& name)
{
    if (name.contains(L'\\'))
        return fileExists(name) ? name : String();
    const String folder = Application::instance() ? Application::instance()->applicationDirectory() : String();
    const String beside = folder + L'\\' + name + L".style";
    if (fileExists(beside))
        return beside;
    const String inStyles = folder + L"\\styles\\" + name + L".style";
    return fileExists(inStyles) ? inStyles : String();
}

void repaintVisibleWindows(const List<UIWidget*>& widgets)
{
    for (UIWidget* widget : widgets) {
        if (widget->isWindow() && widget->isVisible())
            widget->repaint();
    }
}

} // namespace

UIManager* UIManager::instance()
{
    static UIManager manager;
    return &manager;
}

UIManager::UIManager() : m_messageSoundPlayer(&::playMessageSound), m_titleSeparator(L" \u2013 ")
{
    registerGdiPaintEngine();
    initImageCodecs();
    const DataPack* pack = Application::instance() ? Application::instance()->findPack(L"data") : nullptr;
    m_smallIcon = packImage(pack, L"window_icon_small.png");
    m_bigIcon = packImage(pack, L"window_icon_big.png");
    setUiHooks(&toolkitUiHooks);
}

UIManager::~UIManager()
{
    delete m_theme;
    if (&uiHooks() == &toolkitUiHooks)
        setUiHooks(nullptr);
    shutdownImageCodecs();
    destroyPaintEngines();
}

void UIManager::registerWidget(UIWidget* widget)
{
    m_widgets.append(widget);
}

void UIManager::unregisterWidget(UIWidget* widget)
{
    m_widgets.removeValue(widget);
    if (m_mainWindow == widget)
        m_mainWindow = nullptr;
}

bool UIManager::isRegistered(const void* widget) const
{
    for (UIWidget* registered : m_widgets) {
        if (registered == widget)
            return true;
    }
    return false;
}

List<UIWidget*> UIManager::windows() const
{
    List<UIWidget*> result;
    for (UIWidget* widget : m_widgets) {
        if (widget->isWindow())
            result.append(widget);
    }
    return result;
}

UIWidget* UIManager::widgetForHandle(void* handle) const
{
    for (UIWidget* widget : m_widgets) {
        if (widget->isWindow() && widget->nativeHandle() == handle)
            return widget;
    }
    return nullptr;
}

void UIManager::retranslateAll()
{
    for (UIWidget* widget : m_widgets)
        widget->retranslate();
}

int UIManager::countWindows(std::uint8_t filter) const
{
    struct Skip {
        std::uint8_t bit;
        const wchar_t* styleName;
    };
    static const Skip skips[] = {{CountSkipMenus, L"UIMenu"}, {CountSkipToolTips, L"UIToolTip"},
                                 {CountSkipBalloonTips, L"UIBalloonTip"}};
    int count = 0;
    for (UIWidget* widget : m_widgets) {
        if (!widget->isWindow() || ((filter & CountVisibleOnly) && !widget->isVisible()))
            continue;
        bool skipped = false;
        for (const Skip& skip : skips)
            skipped = skipped || ((filter & skip.bit) && widget->styleName() == skip.styleName);
        count += skipped ? 0 : 1;
    }
    return count + ((filter & CountAddModalDialogs) ? m_modalCount : 0);
}

void UIManager::setMainWindow(UIWidget* widget)
{
    m_mainWindow = widget;
    if (Application::instance())
        Application::instance()->setMainWindow(widget ? widget->nativeHandle() : nullptr);
}

void UIManager::playMessageSound(int kind)
{
    ++m_messageSoundCount;
    if (m_soundsEnabled)
        m_messageSoundPlayer(kind);
}

void UIManager::setMessageSoundPlayer(MessageSoundPlayer player)
{
    m_messageSoundPlayer = player ? player : &::playMessageSound;
}

void UIManager::playSoundFile(const String& path)
{
    if (m_soundsEnabled && fileExists(path))
        ::playSoundFile(path);
}

// Each level remembers the shape shown before it, so nested sets unwind in
// order. Shape 0 is never shown: the platform would hide the pointer.
void UIManager::setOverrideCursor(int shape)
{
    m_savedCursors.append(static_cast<int>(Cursor::current().shape()));
    m_overrideShapes.append(shape);
    m_overrideCursor = shape;
    if (shape != 0)
        Cursor(shape).apply();
}

void UIManager::restoreOverrideCursor()
{
    auto* saved = m_savedCursors.last();
    if (!saved)
        return;
    const int shape = saved->value;
    m_savedCursors.removeNode(saved);
    auto* own = m_overrideShapes.last();
    m_overrideShapes.removeNode(own);
    m_overrideCursor = m_overrideShapes.count() > 0 ? m_overrideShapes.last()->value : 0;
    if (shape != 0)
        Cursor(shape).apply();
}

void UIManager::setSmoothText(bool on)
{
    if (on == isSmoothTextEnabled())
        return;
    setSmoothTextEnabled(on);
    repaintVisibleWindows(m_widgets);
}

bool UIManager::setTheme(UITheme* theme)
{
    if (!theme)
        return false;
    if (theme == m_theme)
        return true;
    delete m_theme;
    m_theme = theme;
    for (UIWidget* widget : m_widgets) {
        if (widget->isWindow() && widget->isVisible()) {
            widget->updateLayout();
            widget->repaint();
        }
    }
    return true;
}

bool UIManager::loadStyle(const String& name)
{
    const String path = styleFilePath(name);
    if (path.isEmpty())
        return false;
    auto theme = std::make_unique<UITheme>();
    return theme->load(path) && setTheme(theme.release());
}

bool UIManager::loadStyleFromMemory(const std::uint8_t* data, std::int64_t size)
{
    auto theme = std::make_unique<UITheme>();
    return theme->loadFromMemory(data, size) && setTheme(theme.release());
}

bool UIManager::smoothText() const
{
    return isSmoothTextEnabled();
}
