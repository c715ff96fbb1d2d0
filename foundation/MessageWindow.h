#pragma once

#include "foundation/NativeWindow.h"

// The Dispatcher's hidden message-only window: it receives one private
// message per posted event and hands it to the Dispatcher for delivery.
class MessageWindow : public NativeWindow {
public:
    MessageWindow();

    bool handleMessage(NativeMessage& message) override;
};
