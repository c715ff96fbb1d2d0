#pragma once

#include "foundation/String.h"

class UIEvent;

// Base of every object that receives Dispatcher events (every widget). It
// registers with the Dispatcher when constructed and unregisters when
// destroyed, so no event reaches it afterwards.
class MessageReceiver {
public:
    MessageReceiver();
    virtual ~MessageReceiver();

    MessageReceiver(const MessageReceiver&) = delete;
    MessageReceiver& operator=(const MessageReceiver&) = delete;

    // True when the event was handled. The caller keeps the event.
    virtual bool handleEvent(UIEvent* event) = 0;

    // Unique in the process and never reused, from 1 up: a posted event
    // carries it, so an object that takes a dead receiver's address does not
    // get the dead one's events.
    int id() const { return m_id; }
    const String& name() const { return m_name; }
    bool isBeingDestroyed() const { return m_beingDestroyed; }

protected:
    // Derived classes call this when their destruction starts; from then on
    // no event reaches the object. A widget lifts it briefly so that its
    // own hide event still arrives while it is torn down.
    void setBeingDestroyed(bool on = true) { m_beingDestroyed = on; }

private:
    String m_name;
    bool m_beingDestroyed = false;
    int m_id;
};
