#include "foundation/MessageReceiver.h"

#include "foundation/Dispatcher.h"

#include <atomic>

namespace {

constinit std::atomic<int> lastReceiverId{0};

} // namespace

MessageReceiver::MessageReceiver() : m_id(++lastReceiverId)
{
    if (Dispatcher* d = dispatcher())
        d->registerReceiver(this);
}

MessageReceiver::~MessageReceiver()
{
    if (Dispatcher* d = dispatcher())
        d->unregisterReceiver(this);
}
