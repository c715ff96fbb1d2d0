#pragma once

// UIWidget: the base class of every widget of the toolkit. A widget is a
// rectangle inside its parent; it owns its children, receives every event
// through one dispatcher (event), reports each kind of event through a
// Signal, and paints itself into its own back buffer. A window widget
// (flag WidgetWindow) also owns a native top-level window.
//
// Where the operations are defined:
//   UIWidget.cpp          construction, destruction, tree, geometry, mapping,
//                         flags, styling, tool-tip options, cursor, user values
//   UIWidgetEvents.cpp    the dispatcher (event), timerEvent, showToolTipAt
//   UIWidgetFocus.cpp     focus, grab, Tab chain, visibility, enabling,
//                         destroy and the modal loop
//   UIWidgetWindow.cpp    window operations: flags, state, title, opacity,
//                         placement (showWindow) and hot keys
//   UIWidgetLayout.cpp    layout record operations, preferredSize, updateLayout
//   UIWidgetPaint.cpp     repaint, back buffers, window surface, flushRect,
//                         drawCaret, attachments
// TimerClient (TimerService.cpp), Cursor (Cursor.cpp), setInputMethodEnabled
// (KeyTranslator.cpp), UIManager (UIManager.cpp) and createNativeWindow
// (UIWin32Window.cpp) are defined with their own classes.

#include "foundation/Event.h"
#include "foundation/Geometry.h"
#include "ui/UIGridLayout.h"
#include "foundation/List.h"
#include "foundation/MessageReceiver.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "ui/Cursor.h"
#include "ui/HotKey.h"
#include "ui/TimerClient.h"
#include "ui/UIEvents.h"

#include <cstdint>

class Font;
class GdiDrawingSurface;
class Region;
class UINativeWindow;
class UISkin;
class XmlElement;
class UIWidgetAttachment;
class UIWidgetPrivate;

// Bits of the widget flag word.
enum UIWidgetFlag : std::uint32_t {
    WidgetWindow = 1,
    WidgetCreated = 4,
    WidgetBeingDestroyed = 8,
    WidgetTakesDoubleClicks = 16,
    WidgetEnabled = 32,
    WidgetVisible = 64,
    WidgetUnderMouse = 128,
    WidgetPressed = 256,
    WidgetKeyHeld = 512,
    WidgetHoverTracking = 1024,
    WidgetUpdatesEnabled = 2048,
    WidgetRelayoutPending = 4096,
    WidgetRepaintPending = 8192,
    // Does not cover its whole rectangle: the parent's pixels are copied
    // under it before it paints.
    WidgetSeeThrough = 16384,
    WidgetTakesInputMethod = 32768,
    WidgetComposing = 65536,
    WidgetTaskbarButton = 131072,
    // Set by input widgets of the widget set; the core does not read it.
    WidgetInputControl = 262144,
    WidgetMouseTransparent = 524288,
    WidgetMouseBlocked = 1048576,
    WidgetKeysBlocked = 2097152,
};

// Focus policy bits; 0 never takes the focus.
enum FocusPolicy : std::uint32_t {
    NoFocus = 0,
    TabFocus = 1,
    ClickFocus = 2,
    WheelFocus = 4,
};

// Drag flag bits.
enum DragFlag : std::uint32_t {
    DragSourceFlag = 1,
    DropTargetFlag = 2,
};

// The hover poll of widgets with WidgetHoverTracking.
constexpr int hoverTimerId = 100000;
constexpr int hoverTimerInterval = 20;

class UIWidget : public SignalReceiver, public MessageReceiver, public TimerClient {
public:
    // A non-zero windowFlags (WindowFlag bits) makes a window widget.
    explicit UIWidget(UIWidget* parent = nullptr, std::uint32_t windowFlags = 0);
    ~UIWidget() override;

    // ---- Virtual operations with their defaults ----

    virtual void retranslate();
    virtual Size sizeHint() const;
    virtual Size minimumSizeHint() const;
    virtual void setStyleProperty(const String& name, const String& value);
    // A second style entry point that no class uses; kept empty.
    virtual void setStyleOption(const String& name, const String& value);
    virtual void setStyleImage(const String& skinName, UISkin* skin);
    virtual Cursor cursorAt(Point p) const;
    virtual void setContentOffset(int horizontal, int vertical);
    virtual void move(int x, int y);
    virtual void resize(int width, int height);
    virtual void setVisible(bool visible);
    virtual void enable();
    virtual void disable();
    // Editors answer their text cursor; the empty rectangle otherwise.
    virtual Rect inputMethodRect() const;
    virtual Font inputMethodFont() const;
    virtual String toolTip(Point p) const;
    virtual void setStyleName(const String& name);

    // ---- Events ----

    // The dispatcher: updates the flags, calls the handler, then emits the
    // Signal. The event's accepted flag after dispatch; false when dropped.
    bool event(UIEvent* event);
    bool handleEvent(UIEvent* event) override;
    // A tick becomes a custom event with the timer id as its code.
    void timerEvent(int id) override;

    // Emitted with the event as argument, after the handler.
    Signal painted;
    Signal resized;
    Signal moved;
    Signal shown;
    Signal hidden;
    Signal changed;
    Signal closed;
    // When Windows asks whether it may end the session, with a pointer to a
    // bool that starts true; a handler that needs the session to wait (data
    // not yet saved) sets it false.
    Signal shutdownRequested;
    Signal mousePressed;
    Signal mouseReleased;
    Signal mouseMoved;
    Signal clicked;
    Signal doubleClicked;
    Signal entered;
    Signal left;
    // Custom codes and timer ticks (a member may not share the handler's name).
    Signal customReceived;
    Signal focusedIn;
    Signal focusedOut;
    Signal hotKeyPressed;
    Signal dragEntered;
    Signal dragMoved;
    Signal dragLeft;
    Signal dropped;
    Signal wheelTurned;
    Signal keyPressed;
    Signal keyReleased;
    Signal messageReceived;

    // ---- Tree ----

    UIWidget* parent() const;
    bool hasParent() const { return parent() != nullptr; }
    void setParent(UIWidget* parent);
    const List<UIWidget*>& children() const { return m_children; }
    bool hasChildren() const { return !m_children.isEmpty(); }
    // i below 1 gives the first; i must be below the child count.
    UIWidget* child(int i) const;
    UIWidget* topLevelWidget() const;
    UIWidget* nativeParentWidget() const;
    bool isWindow() const { return testFlag(WidgetWindow); }
    bool isDescendantOf(const UIWidget* widget) const;
    bool isAncestorOf(const UIWidget* widget) const;
    int depth() const;
    UIWidget* childAt(Point p) const;
    List<UIWidget*> descendants() const;
    List<UIWidget*> ancestors(bool stopAtWindow) const;

    // The widget counter (1 for the first widget), not the receiver id.
    int id() const;
    int receiverId() const { return MessageReceiver::id(); }
    const String& styleName() const;
    std::uint64_t styleNameHash() const;
    // Stores the name without styling.
    void storeStyleName(const String& name);
    // Hands each property of the style element named like this widget's
    // style name (the first one; models itself when it bears the name) to
    // setStyleProperty, in document order. Nothing for null.
    void applyModelProperties(const XmlElement* models);

    void setUserPointer(void* pointer);
    void* userPointer() const;
    void setUserValue(std::uint64_t value);
    std::uint64_t userValue() const;
    void setUserText(const String& text);
    const String& userText() const;

    // Posts an accepted close event; a handler vetoes by not accepting it.
    void close();

    void setFlag(std::uint32_t bit, bool on);
    // True when any bit of the mask is set.
    bool testFlag(std::uint32_t mask) const;

    // ---- Geometry ----

    int x() const { return m_x; }
    int y() const { return m_y; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Point pos() const { return {m_x, m_y}; }
    Size size() const { return {m_width, m_height}; }
    Rect rect() const { return {0, 0, m_width, m_height}; }
    // For a window widget: the client area's screen position.
    Rect geometry() const;
    Rect frameGeometry() const;
    Size frameSize() const;
    Size preferredFrameSize();
    void setGeometry(int x, int y, int width, int height);
    void setGeometry(const Rect& r) { setGeometry(r.x, r.y, r.width, r.height); }
    void move(Point p) { move(p.x, p.y); }
    void resize(Size s) { resize(s.width, s.height); }
    void setMinimumSize(int width, int height);
    void setMinimumSize(Size s) { setMinimumSize(s.width, s.height); }
    void setMaximumSize(int width, int height);
    void setMaximumSize(Size s) { setMaximumSize(s.width, s.height); }
    void setMinimumWidth(int width);
    void setMinimumHeight(int height);
    // A bound of 0 means none.
    void setMaximumWidth(int width);
    void setMaximumHeight(int height);
    int minimumWidth() const { return m_minimumWidth; }
    int minimumHeight() const { return m_minimumHeight; }
    int maximumWidth() const { return m_maximumWidth; }
    int maximumHeight() const { return m_maximumHeight; }
    int contentOffsetX() const { return m_contentOffsetX; }
    int contentOffsetY() const { return m_contentOffsetY; }

    Point mapToParent(Point p) const;
    Point mapFromParent(Point p) const;
    Point mapToWindow(Point p) const;
    Point mapFromWindow(Point p) const;
    Point mapToGlobal(Point p) const;
    Point mapFromGlobal(Point p) const;
    Point mapTo(const UIWidget* other, Point p) const;
    Point mapFrom(const UIWidget* other, Point p) const;
    Rect globalRect() const;

    // ---- Layout (UIWidgetLayout.cpp) ----
    // None of the setters relayouts by itself.

    // True when it moved or resized something.
    bool updateLayout();
    // The larger of the size hint and the layout size, within the minimum
    // and maximum sizes (the maximum wins).
    Size preferredSize();
    // The laid-out children with spacing and margins; (0, 0) without any.
    Size layoutSize();
    const UIGridLayout& gridLayout() const;
    UIGridLayout& gridLayout();
    void setLayoutVertical(bool vertical);
    bool isLayoutVertical() const;
    void setLayoutSpacing(int spacing);
    void setLayoutSpacing(int horizontal, int vertical);
    void setHorizontalSpacing(int spacing);
    void setVerticalSpacing(int spacing);
    int horizontalSpacing() const;
    int verticalSpacing() const;
    void applyLayoutSpacingMetrics();
    void setLayoutMargins(int left, int top, int right, int bottom);
    void setLayoutMargins(const LayoutMargins& margins);
    void setLayoutMargin(int margin);
    void setLayoutLeftMargin(int margin);
    void setLayoutTopMargin(int margin);
    void setLayoutRightMargin(int margin);
    void setLayoutBottomMargin(int margin);
    LayoutMargins layoutMargins() const;
    void applyLayoutMarginMetrics();
    void setLayoutColumns(int cellsPerRow);
    int layoutColumns() const;
    void setLayoutRows(int cellsPerColumn);
    int layoutRows() const;
    // Factors in percent for columns and rows 0-9; other indexes are ignored.
    void setColumnStretch(int column, float factor);
    float columnStretch(int column) const;
    void setRowStretch(int row, float factor);
    float rowStretch(int row) const;
    void setColumnSpan(int span);
    int columnSpan() const;
    void setRowSpan(int span);
    int rowSpan() const;
    // Rect::alignedRect flags.
    void setLayoutAlignment(int flags);
    int layoutAlignment() const;
    void setSizePolicy(SizePolicy horizontal, SizePolicy vertical);
    SizePolicies sizePolicy() const;
    // Also on every descendant.
    void setLayoutEnabled(bool on);
    bool isLayoutEnabled() const;
    // Turning updates on runs a pending relayout and repaint.
    void setUpdatesEnabled(bool on);
    bool updatesEnabled() const;

    // ---- Tool tip, context menu, cursor ----

    void setToolTip(const String& text);
    const String& toolTipText() const;
    void setToolTipMaxLength(int length);
    int toolTipMaxLength() const;
    void setToolTipOption(int key);
    int toolTipOption() const;
    void setToolTipShowDelay(int ms);
    int toolTipShowDelay() const;
    void setToolTipHideDelay(int ms);
    int toolTipHideDelay() const;
    // Turning it off empties the tool-tip text.
    void setAutoToolTip(bool on);
    bool hasAutoToolTip() const;
    void showToolTipAt(Point p);

    // Takes the menu (a UIMenu); a different menu set before is deleted.
    void setContextMenu(UIWidget* menu);
    UIWidget* contextMenu() const;

    void setCursor(const Cursor& cursor);
    Cursor cursor() const;

    // ---- Focus, grab, visibility, enabling, destruction, modality ----

    static UIWidget* focusWidget();
    bool hasFocus() const { return focusWidget() == this; }
    void setFocusPolicy(std::uint32_t policy);
    std::uint32_t focusPolicy() const;
    void setFocus();
    void clearFocus();
    bool focusNextChild();
    bool focusPreviousChild();
    // The Tab chain of this widget's window, in registration order.
    List<UIWidget*> tabChain() const;

    static UIWidget* mouseGrabber();
    bool isMouseGrabber() const { return mouseGrabber() == this; }
    void grabMouse();
    void releaseMouse();

    void setTabOrder(int order);
    int tabOrder() const;

    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    bool isVisible() const;

    void setEnabledRecursive(bool on);
    bool isEnabled() const { return testFlag(WidgetEnabled); }
    bool isPressed() const { return testFlag(WidgetPressed); }
    bool isUnderMouse() const { return testFlag(WidgetUnderMouse); }
    bool testFlag512() const { return testFlag(WidgetKeyHeld); }

    void setDragFlags(std::uint32_t flags);
    std::uint32_t dragFlags() const;
    void setDragEnabled(bool on);
    void setDropEnabled(bool on);
    bool isDragEnabled() const { return (dragFlags() & DragSourceFlag) != 0; }
    bool isDropEnabled() const { return (dragFlags() & DropTargetFlag) != 0; }

    void destroy();
    bool runModalLoop();
    void endModalLoop();
    bool isInModalLoop() const;

    // ---- Window operations (window widgets) ----

    UINativeWindow* nativeWindow() const;
    // The own window's HWND, and that of the top-level window.
    void* nativeHandle() const;
    void* windowHandle() const;
    void setWindowFlag(std::uint32_t flag, bool on);
    void setWindowFlags(std::uint32_t mask);
    bool testWindowFlag(std::uint32_t mask) const;
    void setStaysOnTop(bool on) { setWindowFlag(16, on); }
    bool staysOnTop() const { return testWindowFlag(16); }
    void setOpacity(float opacity);
    float opacity() const;
    void setModal(bool modal);
    bool isModal() const;
    void flash(int count);
    std::uint32_t windowState() const;
    void setWindowState(std::uint32_t state);
    bool isMinimized() const;
    bool isMaximized() const;
    bool isNormal() const;
    void activateWindow();
    bool isActiveWindow() const;
    void showMaximized();
    void showMinimized();
    void setWindowTitle(const String& text, bool withAppName);
    void setWindowTitle(const StringList& parts, bool withAppName);
    String windowTitle() const;
    void setTitleSuffix(const String& suffix);
    void setWindowAlignment(std::uint32_t flags);
    std::uint32_t windowAlignment() const;
    void setPlaceOnScreen(int place);
    int placeOnScreen() const;
    void showWindow();
    bool registerHotKey(const HotKey& hotKey);
    void unregisterHotKey(int id);
    const List<HotKey>& hotKeys() const;

    // ---- Painting (UIWidgetPaint.cpp) ----

    void repaint();
    // Only area (widget coordinates) reaches the window surface and the
    // screen; the paint event carries it, so a paint handler may draw just
    // that part. Children are painted whole.
    void repaint(const Rect& area);
    GdiDrawingSurface* backBuffer() const;
    GdiDrawingSurface* windowSurface() const;
    // r in window coordinates.
    void flushRect(const Rect& r);
    void drawCaret(const Rect& r, bool on);
    void copyToScreen(GdiDrawingSurface* surface, const Rect& r, Point source);
    void addAttachment(UIWidgetAttachment* attachment);
    void setAttachmentEnabled(int kind, bool on);
    bool hasAttachment(int kind) const;
    void deleteAttachments();
    Point origin() const;
    void uncoveredRegion(Region& out) const;
    void ensureBackBuffer(int width, int height);
    void ensureWindowSurface(int width, int height);
    // After a resize to (width, height): a back buffer smaller than that,
    // or either way more than twice as large as the size plus 100, becomes
    // the size plus 100 each way; a window surface smaller grows to it.
    void growBuffers(int width, int height);

protected:
    virtual void paintEvent(UIPaintEvent* event);
    virtual void resizeEvent(UIResizeEvent* event);
    virtual void moveEvent(UIMoveEvent* event);
    virtual void keyPressEvent(UIKeyEvent* event);
    virtual void keyReleaseEvent(UIKeyEvent* event);
    virtual void mousePressEvent(UIMouseEvent* event);
    virtual void mouseReleaseEvent(UIMouseEvent* event);
    virtual void mouseClickEvent(UIMouseEvent* event);
    virtual void mouseDoubleClickEvent(UIMouseEvent* event);
    virtual void wheelEvent(UIWheelEvent* event);
    virtual void enterEvent(UIMouseEvent* event);
    virtual void leaveEvent(UIMouseEvent* event);
    virtual void mouseMoveEvent(UIMouseEvent* event);
    virtual void customEvent(UICustomEvent* event);
    virtual void focusInEvent(UIFocusEvent* event);
    virtual void focusOutEvent(UIFocusEvent* event);
    virtual void showEvent(UIShowEvent* event);
    virtual void hideEvent(UIHideEvent* event);
    virtual void changeEvent(UIChangeEvent* event);
    virtual void closeEvent(UICloseEvent* event);
    virtual void messageEvent(UIMessageEvent* event);
    virtual void dragEnterEvent(UIDragEvent* event);
    virtual void dragMoveEvent(UIDragEvent* event);
    virtual void dragLeaveEvent(UIDragEvent* event);
    virtual void dropEvent(UIDragEvent* event);

    UIWidgetPrivate* d() const { return m_private; }
    // The offsets without a repaint, for a widget that paints the change
    // itself; false when they were unchanged.
    bool storeContentOffset(int horizontal, int vertical);

private:
    friend class UIWidgetPrivate;

    void setFlagBit(std::uint32_t bit, bool on);
    void unlinkAndDeleteChildren();
    void forgetTopLevel();
    void deleteOwnedContextMenu();
    void setEnabledFlag(bool on);
    void setVisibleFlag(bool on);
    void showVisible();
    void hideVisible();
    bool syncWindowVisible() const;
    void frameMarginsOf(int* left, int* top, int* right, int* bottom) const;
    Size clampedSize(Size size) const;
    void dispatchResize(UIResizeEvent* event);
    void dispatchPress(UIMouseEvent* event);
    void dispatchRelease(UIMouseEvent* event);
    void dispatchMove(UIMouseEvent* event);
    void dispatchHoverPoll(UICustomEvent* event);
    void dispatchKeyPress(UIKeyEvent* event);
    void dispatchKeyRelease(UIKeyEvent* event);
    void dispatchFocus(UIFocusEvent* event);
    void dispatchClose(UICloseEvent* event);
    void dispatchContextMenu(UIContextMenuEvent* event);
    void dispatchWheel(UIWheelEvent* event);
    bool dispatchMouse(UIEvent* event);
    void dispatchOther(UIEvent* event);
    void postMouse(int type, const UIMouseEvent* like);
    bool focusChainStep(int step);
    void placeWindow();
    Rect placementRect(const Rect& frame) const;
    void paintWidget(Point origin, const Rect& rect);
    void paintChildren(Point origin);
    bool relayoutWindow();
    // Places this widget in cell (unless it is the root) and its children.
    bool placeChildren(const Rect& cell, const UIWidget* root);
    bool placeInCell(const Rect& cell);

    UIWidgetPrivate* m_private;
    int m_x = 0;
    int m_y = 0;
    int m_width = 1;
    int m_height = 1;
    List<UIWidget*> m_children;
    int m_contentOffsetY = 0;
    int m_contentOffsetX = 0;
    int m_minimumWidth = 0;
    int m_minimumHeight = 0;
    int m_maximumWidth = 0;
    int m_maximumHeight = 0;
    Size m_preferredSize;
};

// Attaches the window's input context while a widget that takes
// input-method text has the focus (defined with the key translation).
void setInputMethodEnabled(UIWidget* widget, bool enable);
