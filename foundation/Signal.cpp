#include "foundation/Signal.h"

namespace {

// Holds a Lockable for the length of a block, an exception included.
class LockGuard {
public:
    explicit LockGuard(const Lockable* lockable) : m_lockable(const_cast<Lockable*>(lockable)) { m_lockable->lock(); }
    ~LockGuard() { m_lockable->unlock(); }

    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lockable* m_lockable;
};

} // namespace

// One running emission, on the emitting thread's stack. It holds the
// Signal's lock while it runs; when the Signal is destroyed from inside a
// handler, the destructor marks every running emission so that each one
// returns without touching the freed Signal.
struct Signal::Emission {
    // The Signal keeps this frame's address only while the frame runs; the
    // destructor takes it back out.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
    explicit Emission(Signal* signal) : signal(signal)
    {
        signal->lock();
        outer = signal->m_emission;
        signal->m_emission = this;
    }
#pragma GCC diagnostic pop

    ~Emission()
    {
        if (signalDestroyed)
            return;
        signal->m_emission = outer;
        if (!outer)
            signal->purgeRemoved();
        signal->unlock();
    }

    Emission(const Emission&) = delete;
    Emission& operator=(const Emission&) = delete;

    Signal* signal;
    Emission* outer = nullptr;
    bool signalDestroyed = false;
};

Signal::~Signal()
{
    disconnectAll();
}

void Signal::add(Delegate* delegate)
{
    LockGuard guard(this);
    m_delegates.append(delegate);
    delegate->receiver()->registerSignal(this);
}

void Signal::emitArguments(const SignalArguments& arguments)
{
    if (!m_enabled)
        return;
    Emission emission(this);
    // The next node is read only after the call returns, so delegates
    // appended meanwhile are called too; removed ones leave a null value.
    for (auto* node = m_delegates.first(); node; node = node->next) {
        Delegate* delegate = node->value;
        if (!delegate)
            continue;
        delegate->invoke(arguments);
        if (emission.signalDestroyed)
            return;
    }
}

void Signal::disconnectReceiver(SignalReceiver* receiver)
{
    LockGuard guard(this);
    for (auto* node = m_delegates.first(); node;) {
        auto* next = node->next;
        if (node->value && node->value->receiver() == receiver)
            removeDelegate(node);
        node = next;
    }
    // Without this a receiver disconnected here would keep a pointer to the
    // Signal and use it after the Signal is gone.
    receiver->unregisterSignal(this);
}

void Signal::duplicate(SignalReceiver* oldReceiver, SignalReceiver* newReceiver)
{
    LockGuard guard(this);
    auto* lastPresent = m_delegates.last();
    bool cloned = false;
    for (auto* node = m_delegates.first(); node; node = node->next) {
        Delegate* delegate = node->value;
        if (delegate && delegate->receiver() == oldReceiver) {
            if (Delegate* clone = delegate->cloneForReceiver(newReceiver)) {
                m_delegates.append(clone);
                cloned = true;
            }
        }
        if (node == lastPresent)
            break;
    }
    // Registered so that the new receiver's destruction disconnects the clones.
    if (cloned)
        newReceiver->registerSignal(this);
}

int Signal::count() const
{
    LockGuard guard(this);
    int live = 0;
    for (Delegate* delegate : m_delegates) {
        if (delegate)
            ++live;
    }
    return live;
}

bool Signal::isConnected(const SignalReceiver* receiver) const
{
    LockGuard guard(this);
    for (Delegate* delegate : m_delegates) {
        if (delegate && delegate->receiver() == receiver)
            return true;
    }
    return false;
}

void Signal::removeDelegate(List<Delegate*>::Node* node)
{
    if (m_emission) {
        m_removed.append(node->value);
        node->value = nullptr;
        return;
    }
    delete node->value;
    m_delegates.removeNode(node);
}

void Signal::purgeRemoved()
{
    for (Delegate* delegate : m_removed)
        delete delegate;
    m_removed.clear();
    for (auto* node = m_delegates.first(); node;) {
        if (node->value)
            node = node->next;
        else
            m_delegates.removeNode(node);
    }
}

void Signal::disconnectAll()
{
    LockGuard guard(this);
    for (Emission* emission = m_emission; emission; emission = emission->outer)
        emission->signalDestroyed = true;
    m_emission = nullptr;
    for (Delegate* delegate : m_delegates) {
        if (!delegate)
            continue;
        delegate->receiver()->unregisterSignal(this);
        delete delegate;
    }
    m_delegates.clear();
    for (Delegate* delegate : m_removed)
        delete delegate;
    m_removed.clear();
}

SignalReceiver::~SignalReceiver()
{
    disconnectAll();
}

void SignalReceiver::registerSignal(Signal* signal)
{
    LockGuard guard(this);
    m_signals.insert(signal);
}

bool SignalReceiver::unregisterSignal(Signal* signal)
{
    LockGuard guard(this);
    return m_signals.erase(signal) != 0;
}

void SignalReceiver::disconnectAll()
{
    LockGuard guard(this);
    // Taken out first: each disconnection also unregisters from this set.
    std::set<Signal*> signals;
    signals.swap(m_signals);
    for (Signal* signal : signals)
        signal->disconnectReceiver(this);
}

bool SignalReceiver::isConnectedTo(const Signal* signal) const
{
    LockGuard guard(this);
    return m_signals.count(const_cast<Signal*>(signal)) != 0;
}

int SignalReceiver::signalCount() const
{
    LockGuard guard(this);
    return static_cast<int>(m_signals.size());
}
