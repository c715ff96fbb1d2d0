#pragma once

// The private record of a UIWidget, shared by the files that define
// UIWidget's operations. Not for widget classes.

#include "foundation/Geometry.h"
#include "foundation/List.h"
#include "foundation/String.h"
#include "ui/Cursor.h"
#include "ui/HotKey.h"
#include "ui/UIGridLayout.h"

#include <cstdint>

class EventLoop;
class GdiDrawingSurface;
class UINativeWindow;
class UIWidget;
class UIWidgetAttachment;

// A window that a running modal loop has blocked, with its widget id, so a
// new widget at a reused address is left alone.
struct BlockedWindow {
    UIWidget* widget = nullptr;
    int id = 0;
    bool operator==(const BlockedWindow&) const = default;
};

constexpr std::uint32_t initialWidgetFlags = 32 | 2048 | 8192 | 16384;

class UIWidgetPrivate {
public:
    UIWidgetPrivate(UIWidget* owner, std::uint32_t windowFlags);
    ~UIWidgetPrivate();
    UIWidgetPrivate(const UIWidgetPrivate&) = delete;
    UIWidgetPrivate& operator=(const UIWidgetPrivate&) = delete;

    // Makes the native window when there is none.
    void ensureNativeWindow();
    // Frees the back buffer and the window surface (defined with the painting).
    void releaseSurfaces();

    UIWidget* owner;
    UIWidget* parent = nullptr;
    UINativeWindow* nativeWindow = nullptr;
    mutable UIWidget* topLevel = nullptr;
    UIWidget* contextMenu = nullptr;
    int id;
    String styleName;
    std::uint64_t styleNameHash = 0;
    std::uint32_t flags = initialWidgetFlags;
    int placeOnScreen = 0;
    std::uint32_t windowAlignment = 0;
    bool keyAcceptedByPreview = false;
    bool showMaximizedOnce = false;
    bool showMinimizedOnce = false;
    std::uint32_t focusPolicy = 0;
    std::uint32_t dragFlags = 0;
    GdiDrawingSurface* windowSurface = nullptr;
    GdiDrawingSurface* backBuffer = nullptr;
    String toolTip;
    int toolTipMaxLength = -1;
    int toolTipKey = 0;
    int toolTipShowDelay = 0;
    int toolTipHideDelay = 0;
    bool autoToolTip = true;
    void* userPointer = nullptr;
    std::uint64_t userValue = 0;
    String userText;
    int tabOrder = 0;
    Cursor cursor;
    List<HotKey> hotKeys;
    // The running modal loop (it lives on runModalLoop's stack); null when none.
    EventLoop* modalLoop = nullptr;
    List<BlockedWindow> blockedWindows;
    List<UIWidgetAttachment*> attachments;
    UIGridLayout layout{owner};
    Size cachedSizeHint;
    Size cachedLayoutSize;
    // A window's size and preferred size at its last relayout.
    Size layoutWindowSize;
    Size layoutPreferredSize;
};
