// Peak memory of a message box holding one long paragraph, each length in a
// process of its own: the box is shown, the back buffers of its widgets are
// read, and the box is answered. The buffers should stay near the box's own
// size whatever the length, and the peak near that of a short message; a
// label buffer of 0 x 0 could not be made, and its box shows blank.

#include "BenchProcess.h"
#include "BenchWindow.h"

#include "foundation/Application.h"
#include "graphics/DrawingSurface.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIMessageBox.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

UIMessageBox* shownBox = nullptr;
std::uint64_t bufferBytes = 0;
Size labelBuffer;
Size boxSize;

// Words of 1 to 8 letters, as a message's text has them, or the folders of
// a path without a space.
String paragraph(int length, bool path)
{
    const wchar_t* words[] = {L"library ", L"tag ", L"a ", L"pictures ", L"folder ", L"of ", L"holiday "};
    const wchar_t* folders[] = {L"\\Pictures", L"\\2024", L"\\Holiday"};
    String text = path ? String(L"C:") : String();
    for (int i = 0; text.length() < length; ++i)
        text.append(path ? folders[i % 3] : words[i % 7]);
    return text.mid(0, length);
}

// Runs inside the box's modal loop until the box is on the screen.
void CALLBACK readAndAnswer(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (!shownBox->isVisible())
        return;
    KillTimer(nullptr, timer);
    boxSize = shownBox->size();
    for (const UIWidget* widget : shownBox->descendants()) {
        const GdiDrawingSurface* buffer = widget->backBuffer();
        bufferBytes += std::uint64_t(buffer->width()) * std::uint64_t(buffer->height()) * 4;
        if (dynamic_cast<const UILabel*>(widget))
            labelBuffer = {buffer->width(), buffer->height()};
    }
    shownBox->done(MessageBoxOk);
}

double megabytes(std::uint64_t bytes)
{
    return double(bytes) / 1e6;
}

int measureOne(int length, bool path)
{
    Application application(L"KestrolaMessageBoxBench", L"1.0");
    UIWidget* window = bench::openStyledWindow(application, 200, 100);
    if (!window)
        return 1;
    PROCESS_MEMORY_COUNTERS before = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    UIMessageBox box(MessageInformation, L"Bench", paragraph(length, path), MessageBoxOk);
    shownBox = &box;
    SetTimer(nullptr, 0, 50, readAndAnswer);
    const int result = box.exec();
    PROCESS_MEMORY_COUNTERS after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    printf("%6d characters%s: box %4d x %4d, label buffer %6d x %5d, its widgets' buffers %7.1f MB, "
           "peak working set %7.1f MB (%6.1f MB before the box)%s\n",
           length, path ? " of a path" : "", boxSize.width, boxSize.height, labelBuffer.width, labelBuffer.height, megabytes(bufferBytes),
           megabytes(after.PeakWorkingSetSize), megabytes(before.WorkingSetSize),
           result == MessageBoxOk ? "" : ", not answered");
    delete window;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2)
        return measureOne(std::atoi(argv[1]), argc == 3);
    for (const int length : {200, 2000, 10000, 20000, 30000})
        runSelf(std::to_wstring(length));
    runSelf(L"32000 path");
    return 0;
}
