// Kestrola's doors to the rest of Windows: a list of what is dropped on it
// (formats, paths, text, an image) beside a small source that starts a
// drag; buttons for the open, save and folder dialogs, printing their
// results; copy and paste of text and of an image; a right click on a
// listed path shows Explorer's menu for it; a notification-area icon with
// a tip, a balloon and a menu (Xvfb has no notification area, so it only
// shows on a desktop that has one). With --script the program
// drags its own source onto the list, opens Explorer's menu on the first
// path, closes it with Escape and quits.

#include "demos/WidgetDemo.h"
#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "foundation/StringList.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/Clipboard.h"
#include "ui/FileDialog.h"
#include "ui/MimeData.h"
#include "ui/PlatformServices.h"
#include "ui/TrayIcon.h"
#include "ui/UITheme.h"
#include "ui/UIDragManager.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UIWidgetHooks.h"

#include <windows.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr int lineHeight = 20;
constexpr int imageSide = 64;

void report(const String& text)
{
    wprintf(L"%ls\n", text.c_str());
    fflush(stdout);
}

// Shows what the last drop carried; a right click on a path line opens
// Explorer's menu for that path.
class DropList : public UIWidget {
public:
    explicit DropList(UIWidget* parent) : UIWidget(parent)
    {
        setStyleName(L"DemoDropList");
        setDropEnabled(true);
        setSizePolicy(SizeExpanding, SizeExpanding);
        lines.push_back({L"Drop files, folders, text or an image here.", String()});
    }

    // The screen point of the first path's line, for the script.
    Point firstPathPoint() const
    {
        for (int i = 0; i < int(lines.size()); ++i) {
            if (!lines[std::size_t(i)].second.isEmpty())
                return mapToGlobal(Point(40, 8 + i * lineHeight + lineHeight / 2));
        }
        return mapToGlobal(Point(40, 8));
    }

    void showPathMenu(Point global)
    {
        const int index = (mapFromGlobal(global).y - 8) / lineHeight;
        if (index < 0 || index >= int(lines.size()) || lines[std::size_t(index)].second.isEmpty())
            return;
        StringList paths;
        paths.append(lines[std::size_t(index)].second);
        showShellContextMenu(paths, global.x, global.y, topLevelWidget()->nativeHandle());
    }

protected:
    void dragEnterEvent(UIDragEvent* e) override { takeDrag(e); }
    void dragMoveEvent(UIDragEvent* e) override { takeDrag(e); }
    static void takeDrag(UIDragEvent* e)
    {
        e->acceptAction(DropCopy);
        e->setAccepted(true);
    }
    void dropEvent(UIDragEvent* e) override
    {
        const MimeData& data = e->currentDragData();
        lines.clear();
        lines.push_back({L"Formats: " + String::join(data.formats(), L", "), String()});
        for (const String& path : data.filePaths())
            lines.push_back({L"    " + path, path});
        if (data.hasText())
            lines.push_back({L"Text: " + data.text(), String()});
        image = data.image();
        for (const auto& line : lines)
            report(line.first);
        repaint();
    }
    void mousePressEvent(UIMouseEvent* e) override
    {
        if (e->button() == RightButton)
            showPathMenu(mapToGlobal(e->position()));
    }
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), Colour(255, 255, 255));
        g.setPenColour(Colour(200, 205, 211));
        g.drawRect(0, 0, width() - 1, height() - 1);
        g.setPenColour(Colour(33, 37, 41));
        int y = 8;
        for (const auto& line : lines) {
            g.drawText(line.first, Rect(8, y, width() - 16, lineHeight), AlignLeft | AlignVCenter, 1, 0);
            y += lineHeight;
        }
        if (!image.isNull())
            g.drawBitmapScaled(image, image.rect(), Rect(8, y + 8, imageSide, imageSide));
    }

private:
    // The shown text and, for a path line, its path.
    std::vector<std::pair<String, String>> lines;
    Bitmap image;
};

// A little square that starts a drag of a text, two paths and an image.
class DragSource : public UIWidget {
public:
    explicit DragSource(UIWidget* parent) : UIWidget(parent)
    {
        setStyleName(L"DemoDragSource");
        setDragEnabled(true);
        setMinimumSize(140, 60);
        setSizePolicy(SizeFixed, SizeFixed);
    }

    Size sizeHint() const override { return Size{140, 60}; }

    std::uint32_t startDrag()
    {
        MimeData data;
        data.setText(L"Tagged with Kestrola");
        StringList paths;
        paths.append(Application::instance()->executablePath());
        paths.append(Application::instance()->applicationDirectory());
        data.setFilePaths(paths);
        data.setImage(swatch());
        UIDragManager::instance().setMimeData(data);
        UIDrag drag(this);
        drag.setImage(swatch());
        drag.setHotSpot(Point(16, 16));
        return drag.exec(DropCopy);
    }

protected:
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), Colour(234, 243, 252));
        g.setPenColour(Colour(79, 145, 214));
        g.drawRect(0, 0, width() - 1, height() - 1);
        g.drawText(L"Drag me", rect(), AlignCenter, 0, 0);
    }
    void mousePressEvent(UIMouseEvent* e) override
    {
        if (e->button() == LeftButton)
            startDrag();
    }

private:
    static Bitmap swatch()
    {
        Bitmap image(32, 32, true);
        image.fill(Colour(230, 79, 145, 214));
        return image;
    }
};

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = newDemoWindow(L"Exchange", Rect(30, 30, 760, 500));
        addRow({{L"Open files...", &Demo::openFiles}, {L"Save as...", &Demo::saveAs},
                {L"Choose folder...", &Demo::chooseFolder}});
        addRow({{L"Copy text", &Demo::copyText}, {L"Paste text", &Demo::pasteText},
                {L"Copy image", &Demo::copyImage}, {L"Paste image", &Demo::pasteImage}});
        auto* middle = new UIBox(window);
        middle->setLayoutVertical(false);
        middle->applyLayoutSpacingMetrics();
        middle->setSizePolicy(SizeExpanding, SizeExpanding);
        source = new DragSource(middle);
        source->show();
        list = new DropList(middle);
        list->show();
        middle->show();
        status = new UILabel(window);
        status->setSizePolicy(SizeExpanding, SizeFixed);
        status->setText(L"Ready.");
        status->show();
        window->show();
        addTrayIcon();
    }

    UIWindow* window = nullptr;
    DragSource* source = nullptr;
    DropList* list = nullptr;

private:
    using Action = void (Demo::*)();

    void addRow(std::initializer_list<std::pair<const wchar_t*, Action>> buttons)
    {
        auto* row = new UIBox(window);
        row->setLayoutVertical(false);
        row->applyLayoutSpacingMetrics();
        row->setSizePolicy(SizeExpanding, SizeFixed);
        for (const auto& [text, action] : buttons) {
            auto* button = new UIButton(row, text);
            button->clicked.connect(this, action);
            button->show();
        }
        (new UIExpander(row))->show();
        row->show();
    }

    void addTrayIcon()
    {
        auto* menu = new UIMenu;
        menu->addAction(L"Show Kestrola");
        menu->addAction(L"Scan now");
        menu->addSeparator();
        menu->addAction(L"Quit");
        tray.setIcon(UIManager::instance()->theme()->image(ImageInformationSmall));
        tray.setToolTip(L"Kestrola: 1,204 files, 86 tags");
        tray.setMenu(menu);
        tray.show();
        tray.showBalloon(L"Kestrola", L"The library is up to date.", TrayBalloonInformation);
    }

    void say(const String& text)
    {
        status->setText(text);
        report(text);
    }

    void runDialog(int mode, std::uint32_t kinds, bool multiSelect)
    {
        FileDialog dialog(window);
        dialog.setMode(mode);
        dialog.setKindBits(kinds);
        dialog.setMultiSelect(multiSelect);
        dialog.addFilter(L"Images", L"*.png;*.jpg", L"png");
        dialog.addFilter(L"All files", L"*.*", String());
        if (!dialog.exec()) {
            say(L"The dialog was cancelled.");
            return;
        }
        say(L"Chosen: " + String::join(dialog.selectedPaths(), L"; "));
    }

    void openFiles() { runDialog(FileDialog::OpenMode, FileDialog::KindFiles, true); }
    void saveAs() { runDialog(FileDialog::SaveMode, FileDialog::KindFiles, false); }
    void chooseFolder() { runDialog(FileDialog::OpenMode, FileDialog::KindFolders, false); }

    void copyText() { say(clipboard().setText(L"Copied by Kestrola") ? L"Text copied." : L"Nothing copied."); }
    void pasteText() { say(L"Pasted text: " + clipboard().text()); }
    void copyImage()
    {
        Bitmap image(48, 32, true);
        image.fill(Colour(255, 242, 169, 0));
        say(clipboard().setImage(image) ? L"Image copied." : L"Nothing copied.");
    }
    void pasteImage()
    {
        const Bitmap image = clipboard().image();
        say(image.isNull() ? String(L"No image on the clipboard.")
                           : L"Pasted an image of " + String::number(image.width()) + L" x " +
                                 String::number(image.height()));
    }

    static Clipboard& clipboard() { return UIManager::instance()->clipboard(); }

    UILabel* status = nullptr;
    TrayIcon tray;
};

Demo* demo = nullptr;
int step = 0;

void sendLeftButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Drops from inside the drag loop, and closes Explorer's menu from inside
// its own loop.
void CALLBACK releaseLeftButton(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    sendLeftButton(MOUSEEVENTF_LEFTUP);
}

void CALLBACK pressEscape(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
}

// Presses the button over the list and waits until this thread sees it
// held, as the drag loop will; lets go from inside that loop.
void dragSourceOntoList()
{
    const Point target = demo->list->mapToGlobal(Point(demo->list->width() / 2, demo->list->height() / 2));
    SetCursorPos(target.x, target.y);
    sendLeftButton(MOUSEEVENTF_LEFTDOWN);
    const DWORD start = GetTickCount();
    MSG message;
    while (GetKeyState(VK_LBUTTON) >= 0 && GetTickCount() - start < 1000) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(5);
    }
    SetTimer(nullptr, 0, 300, releaseLeftButton);
    demo->source->startDrag();
}

void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    switch (step++) {
    case 3:
        dragSourceOntoList();
        break;
    case 8:
        SetTimer(nullptr, 0, 2500, pressEscape);
        demo->list->showPathMenu(demo->list->firstPathPoint());
        break;
    case 10:
        dispatcher()->quitAll(0);
        break;
    default:
        break;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    return runWidgetDemo(demo, argc, argv, scriptStep);
}
