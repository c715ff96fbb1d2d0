#pragma once

#include "foundation/List.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "ui/Clipboard.h"

#include <cstdint>

class UITheme;
class UIWidget;

// Filter bits of UIManager::countWindows.
enum WindowCountFilter : std::uint8_t {
    CountVisibleOnly = 1,
    CountSkipMenus = 2,
    CountSkipToolTips = 4,
    CountSkipBalloonTips = 8,
    CountAddModalDialogs = 16,
};

// The toolkit's process-wide service: the registry of every live widget in
// construction order, the main window, the theme, the window icons, the
// clipboard, the override cursor, the sound switch and the window-title
// separator.
//
// Made on the first instance() call, which starts the image codecs, makes
// the GDI paint engine current, reads the window icons from the data pack
// "data" and installs the toolkit's UiHooks (busy cursor, shell icons and
// thumbnails, and the message box through the toolkit hooks) for the lower
// layers; destroyed at process exit, which undoes all of that. UI thread
// only.
class UIManager {
public:
    static UIManager* instance();

    virtual ~UIManager();
    UIManager(const UIManager&) = delete;
    UIManager& operator=(const UIManager&) = delete;

    void registerWidget(UIWidget* widget);
    // Also forgets the main window when it is that widget.
    void unregisterWidget(UIWidget* widget);
    bool isRegistered(const void* pointer) const;
    const List<UIWidget*>& widgets() const { return m_widgets; }
    // A new list of the registered window widgets.
    List<UIWidget*> windows() const;
    UIWidget* widgetForHandle(void* handle) const;
    void retranslateAll();

    int countWindows(std::uint8_t filter) const;

    void setMainWindow(UIWidget* widget);
    UIWidget* mainWindow() const { return m_mainWindow; }

    void beginModal() { ++m_modalCount; }
    void endModal() { --m_modalCount; }

    void setSmallIcon(const Bitmap& icon) { m_smallIcon = icon; }
    const Bitmap& smallIcon() const { return m_smallIcon; }
    void setBigIcon(const Bitmap& icon) { m_bigIcon = icon; }
    const Bitmap& bigIcon() const { return m_bigIcon; }

    Clipboard& clipboard() { return m_clipboard; }

    // Null until a style is loaded; owned.
    UITheme* theme() const { return m_theme; }
    // Takes the theme, deletes the current one, and relayouts and repaints
    // every visible window. False for null. Widgets already styled keep
    // what they took from the old theme.
    bool setTheme(UITheme* theme);
    // A name holding "\\" is the path itself; otherwise "<name>.style" in
    // the application folder, then in its "styles" subfolder. On failure
    // the current theme stays.
    bool loadStyle(const String& name);
    bool loadStyleFromMemory(const std::uint8_t* data, std::int64_t size);

    // With sounds off nothing plays; a sound file plays only when it exists.
    void setSoundsEnabled(bool enabled) { m_soundsEnabled = enabled; }
    bool soundsEnabled() const { return m_soundsEnabled; }
    void playMessageSound(int kind);
    // Message sounds asked for since start, played or not: how tests count
    // refusals.
    int messageSoundCount() const { return m_messageSoundCount; }
    void playSoundFile(const String& path);
    // Where message sounds go: the platform's at first, null puts it back.
    // Tests count sounds here instead of listening for them.
    using MessageSoundPlayer = void (*)(int kind);
    void setMessageSoundPlayer(MessageSoundPlayer player);

    // Between the parts of a window title and before the product name;
    // " \u2013 " at start.
    void setTitleSeparator(const String& separator) { m_titleSeparator = separator; }
    const String& titleSeparator() const { return m_titleSeparator; }

    // Nested: each restore shows the shape that was current when its set
    // ran, and the override of the level below is in force again. A
    // restore without a set does nothing; shape 0 is never shown.
    void setOverrideCursor(int shape);
    void restoreOverrideCursor();
    // 0 when none is set.
    int overrideCursor() const { return m_overrideCursor; }

    // The ClearType switch for fonts made from now on; a change repaints
    // every visible window.
    void setSmoothText(bool on);
    bool smoothText() const;

private:
    UIManager();

    List<UIWidget*> m_widgets;
    UIWidget* m_mainWindow = nullptr;
    int m_modalCount = 0;
    Bitmap m_smallIcon;
    Bitmap m_bigIcon;
    UITheme* m_theme = nullptr;
    Clipboard m_clipboard;
    bool m_soundsEnabled = true;
    MessageSoundPlayer m_messageSoundPlayer;
    int m_messageSoundCount = 0;
    String m_titleSeparator;
    int m_overrideCursor = 0;
    // Per override level still set, innermost last: the shape shown before
    // it, and its own shape.
    List<int> m_savedCursors;
    List<int> m_overrideShapes;
};
