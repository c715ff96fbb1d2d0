#include "foundation/MessageWindow.h"

#include "foundation/Dispatcher.h"

// Message-only: no other process can find it or broadcast to it, and it
// needs no display.
MessageWindow::MessageWindow() : NativeWindow(L"DE488461-975A-4c0c-B8BC-FAADED591024", messageOnlyParent()) {}

bool MessageWindow::handleMessage(NativeMessage& message)
{
    if (message.message != Dispatcher::postedEventMessage)
        return false;
    Dispatcher::deliverPosted(message.wParam, message.lParam);
    message.result = 0;
    return true;
}
