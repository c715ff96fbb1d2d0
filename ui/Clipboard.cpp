#include "ui/Clipboard.h"

#include "foundation/ByteArray.h"
#include "foundation/LittleEndian.h"
#include "foundation/NativeWindow.h"
#include "ui/TransferFormats.h"
#include "ui/UIManager.h"

#include <windows.h>

// The hidden window that owns the clipboard while the program writes, and
// that passes the viewer chain's messages on.
class ClipboardWindow : public NativeWindow {
public:
    explicit ClipboardWindow(Clipboard* owner)
        : NativeWindow(L"6F6C82DD-D848-4b56-B1B7-E67DE88F7425"), m_owner(owner)
    {
    }

    bool handleMessage(NativeMessage& message) override
    {
        if (message.message == WM_DRAWCLIPBOARD) {
            m_owner->emit();
            passOn(message);
            return false;
        }
        if (message.message != WM_CHANGECBCHAIN)
            return false;
        if (reinterpret_cast<HWND>(message.wParam) == m_nextViewer)
            m_nextViewer = reinterpret_cast<HWND>(message.lParam);
        else
            passOn(message);
        return true;
    }

    bool join()
    {
        SetLastError(0);
        m_nextViewer = SetClipboardViewer(hwnd());
        m_watching = GetLastError() == 0;
        return m_watching;
    }

    bool leave()
    {
        const bool left = ChangeClipboardChain(hwnd(), m_nextViewer);
        m_nextViewer = nullptr;
        m_watching = false;
        return left;
    }

    bool isWatching() const { return m_watching; }
    HWND hwnd() const { return static_cast<HWND>(handle()); }

private:
    void passOn(const NativeMessage& message) const
    {
        if (m_nextViewer)
            PostMessageW(m_nextViewer, message.message, message.wParam, message.lParam);
    }

    Clipboard* m_owner;
    HWND m_nextViewer = nullptr;
    bool m_watching = false;
};

namespace {

// Closes the clipboard when it goes, when it was opened.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : m_open(OpenClipboard(owner) == TRUE) {}
    ~OpenedClipboard()
    {
        if (m_open)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    bool isOpen() const { return m_open; }

private:
    bool m_open;
};

String textOfBlock(const ByteArray& block)
{
    return clipboardText(block.data(), std::size_t(block.size()));
}

constexpr int bitFieldsMaskBytes = 12;

// A 32-bit DIB whose bit fields are the standard masks (red 0xFF0000,
// green 0xFF00, blue 0xFF), as screenshots and browsers put them on the
// clipboard, holds the same bytes as an uncompressed one once the masks
// are dropped from behind the header. Any other block stays as it is.
ByteArray withoutStandardMasks(const ByteArray& block)
{
    const std::uint8_t* at = block.data();
    if (block.size() < dibHeaderSize + bitFieldsMaskBytes || loadLittleEndian(at, 4) != dibHeaderSize
        || loadLittleEndian(at + 14, 2) != 32 || loadLittleEndian(at + 16, 4) != BI_BITFIELDS
        || loadLittleEndian(at + 40, 4) != 0x00FF0000u || loadLittleEndian(at + 44, 4) != 0x0000FF00u
        || loadLittleEndian(at + 48, 4) != 0x000000FFu)
        return block;
    ByteArray plain = block.mid(0, dibHeaderSize);
    storeLittleEndian(plain.data() + 16, BI_RGB, 4);
    plain.append(at + dibHeaderSize + bitFieldsMaskBytes, block.size() - dibHeaderSize - bitFieldsMaskBytes);
    return plain;
}

Bitmap imageOfDib(HANDLE handle)
{
    const ByteArray block = withoutStandardMasks(bytesOfGlobalBlock(handle));
    return bitmapFromDibBlock(block.data(), std::size_t(block.size()));
}

Bitmap imageOfBitmap(HANDLE handle)
{
    return handle ? Bitmap::fromHBitmap(static_cast<HBITMAP>(handle), true) : Bitmap();
}

// With the clipboard open: the DIB first, since it keeps the alpha channel
// that the system's bitmap loses; a DIB the reader refuses (16 bits,
// top-down, other masks) leaves the bitmap, which the system makes of any
// DIB it can read.
Bitmap openClipboardImage()
{
    Bitmap image;
    if (IsClipboardFormatAvailable(CF_DIB))
        image = imageOfDib(GetClipboardData(CF_DIB));
    if (image.isNull() && IsClipboardFormatAvailable(CF_BITMAP))
        image = imageOfBitmap(GetClipboardData(CF_BITMAP));
    return image;
}

} // namespace

String clipboardText(const std::uint8_t* block, std::size_t size)
{
    if (!block || size <= 2 || size % 2 != 0 || block[size - 1] != 0 || block[size - 2] != 0)
        return String();
    return textFromBlock(block, size).value_or(String());
}

Clipboard::Clipboard() : m_window(new ClipboardWindow(this)) {}

Clipboard::~Clipboard()
{
    delete m_window;
}

void* Clipboard::windowHandle() const
{
    return m_window->handle();
}

void Clipboard::refuse()
{
    UIManager::instance()->playMessageSound(1);
}

bool Clipboard::putBlock(unsigned int format, void* block)
{
    OpenedClipboard clipboard(m_window->hwnd());
    if (!block || !clipboard.isOpen() || !EmptyClipboard() || !SetClipboardData(format, block)) {
        // The clipboard owns a block only once it took it.
        if (block)
            GlobalFree(block);
        return false;
    }
    return true;
}

bool Clipboard::setText(const String& text)
{
    if (!text.isEmpty() && putBlock(CF_UNICODETEXT, globalBlockOf(textBlock(text))))
        return true;
    refuse();
    return false;
}

String Clipboard::text()
{
    String result;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        OpenedClipboard clipboard(m_window->hwnd());
        if (clipboard.isOpen())
            result = textOfBlock(bytesOfGlobalBlock(GetClipboardData(CF_UNICODETEXT)));
    }
    if (result.isEmpty())
        refuse();
    return result;
}

bool Clipboard::setImage(const Bitmap& image)
{
    if (!image.isNull() && putBlock(CF_DIB, globalBlockOf(dibBlock(image))))
        return true;
    refuse();
    return false;
}

Bitmap Clipboard::image()
{
    Bitmap result;
    if (contentKind() == ClipboardImage) {
        OpenedClipboard clipboard(m_window->hwnd());
        if (clipboard.isOpen())
            result = openClipboardImage();
    }
    if (result.isNull()) {
        refuse();
        return result;
    }
    if (!result.hasNonZeroAlpha())
        result.setAlpha(255);
    return result;
}

ClipboardContent Clipboard::contentKind()
{
    if (IsClipboardFormatAvailable(CF_UNICODETEXT))
        return ClipboardText;
    if (IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB))
        return ClipboardImage;
    return ClipboardEmpty;
}

bool Clipboard::setWatching(bool on)
{
    return on ? m_window->join() : m_window->leave();
}

bool Clipboard::isWatching() const
{
    return m_window->isWatching();
}
