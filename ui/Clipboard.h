#pragma once

#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>

class ClipboardWindow;

// The text of a clipboard block: up to its first zero unit, and only when
// the block holds more than the terminator, whole units, and ends in a
// zero unit; else empty.
String clipboardText(const std::uint8_t* block, std::size_t size);

// What Clipboard::contentKind finds on the system clipboard.
enum ClipboardContent : int { ClipboardEmpty = 0, ClipboardText = 1, ClipboardImage = 2 };

// The program's one door to the system clipboard (UIManager::clipboard):
// plain text and images in and out, through a hidden window that owns the
// clipboard while writing and can join the clipboard-viewer chain. The
// object is itself the Signal emitted when the clipboard changed while it
// watches. A write that cannot be done, and a read that finds nothing,
// beep (message sound 1) and change nothing else. UI thread only.
class Clipboard : public Signal {
public:
    Clipboard();
    ~Clipboard() override;

    // False, leaving the clipboard as it was, for an empty text.
    bool setText(const String& text);
    // Empty when the clipboard holds no well-formed text.
    String text();
    // Written as a 32-bit bottom-up DIB (a 24-bit image is widened first).
    bool setImage(const Bitmap& image);
    // Empty when the clipboard holds text (text wins) or no readable image;
    // an image whose alpha is all 0 comes back opaque. The DIB is read
    // first (it keeps alpha); one it refuses leaves the system's bitmap.
    Bitmap image();
    // Text before image, whatever else is there.
    static ClipboardContent contentKind();

    // Joins or leaves the clipboard-viewer chain; true on success.
    bool setWatching(bool on);
    bool isWatching() const;

    // The hidden window's handle (an HWND).
    void* windowHandle() const;

protected:
    // The sound of a refused write or an empty read.
    virtual void refuse();

private:
    // Takes the block over unless the clipboard refuses it; closes again.
    bool putBlock(unsigned int format, void* block);

    ClipboardWindow* m_window;
};
