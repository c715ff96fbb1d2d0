#pragma once

#include "foundation/List.h"
#include "foundation/Lockable.h"
#include "foundation/PlainObject.h"

#include <concepts>
#include <cstdint>
#include <set>
#include <type_traits>

class SignalReceiver;

// The arguments of one emission. Each delegate kind reads the part that its
// member function takes: nothing, the pointer-sized value, the two ints
// (first and second), or the double. Parts the emission did not set are 0.
struct SignalArguments {
    std::intptr_t first = 0;
    std::intptr_t second = 0;
    double real = 0.0;
};

// One connection of a Signal: a receiver and one of its member functions.
class Delegate : public PlainObject {
public:
    // The receiver that connection and disconnection compare.
    virtual SignalReceiver* receiver() const = 0;
    virtual void invoke(const SignalArguments& arguments) = 0;
    // The same kind and member function bound to another receiver; null when
    // that receiver is not of the member function's class.
    virtual Delegate* cloneForReceiver(SignalReceiver* receiver) const = 0;
    virtual Delegate* clone() const = 0;
};

namespace SignalDetail {

// A single handler parameter the pointer-sized value converts to: an
// integer, an enumeration or a pointer (event records are passed this way).
template <typename P>
concept PointerSized = std::is_integral_v<P> || std::is_enum_v<P> || std::is_pointer_v<P>;

template <typename P>
P fromArgument(std::intptr_t value)
{
    if constexpr (std::is_pointer_v<P>)
        return reinterpret_cast<P>(value);
    else
        return static_cast<P>(value);
}

template <typename T>
void call(T* object, void (T::*function)(), const SignalArguments&)
{
    (object->*function)();
}

template <typename T, PointerSized P>
void call(T* object, void (T::*function)(P), const SignalArguments& arguments)
{
    (object->*function)(fromArgument<P>(arguments.first));
}

template <typename T>
void call(T* object, void (T::*function)(double), const SignalArguments& arguments)
{
    (object->*function)(arguments.real);
}

template <typename T>
void call(T* object, void (T::*function)(int, int), const SignalArguments& arguments)
{
    (object->*function)(static_cast<int>(arguments.first), static_cast<int>(arguments.second));
}

// The member-function types a Signal connects: no argument, one
// pointer-sized value, one double, or two ints.
template <typename F, typename T>
concept Handler = requires(T* object, F function, const SignalArguments& arguments) { call(object, function, arguments); };

// Plain kind: the member function is called on the receiver itself.
template <typename R, typename T, typename F>
class PlainDelegate final : public Delegate {
public:
    PlainDelegate(R* receiver, F function) : m_receiver(receiver), m_function(function) {}

    SignalReceiver* receiver() const override { return m_receiver; }
    void invoke(const SignalArguments& arguments) override { call<T>(m_receiver, m_function, arguments); }
    Delegate* cloneForReceiver(SignalReceiver* receiver) const override
    {
        R* other = dynamic_cast<R*>(receiver);
        return other ? new PlainDelegate(other, m_function) : nullptr;
    }
    Delegate* clone() const override { return new PlainDelegate(*this); }

private:
    R* m_receiver;
    F m_function;
};

// Adjusting kind: the member function is called on the object that lies
// thisAdjustment bytes from the receiver object (a part of it that is not
// itself a receiver). The receiver stays the one that disconnection compares.
// The offset counts from the receiver's own address, not from its
// SignalReceiver base, which need not be its first base.
template <typename R, typename T, typename F>
class AdjustingDelegate final : public Delegate {
public:
    AdjustingDelegate(R* receiver, F function, int thisAdjustment)
        : m_receiver(receiver), m_function(function), m_thisAdjustment(thisAdjustment)
    {
    }

    SignalReceiver* receiver() const override { return m_receiver; }
    void invoke(const SignalArguments& arguments) override
    {
        auto* object = reinterpret_cast<T*>(reinterpret_cast<char*>(m_receiver) + m_thisAdjustment);
        call<T>(object, m_function, arguments);
    }
    // The offset only means something inside a receiver of the same class.
    Delegate* cloneForReceiver(SignalReceiver* receiver) const override
    {
        R* other = dynamic_cast<R*>(receiver);
        return other ? new AdjustingDelegate(other, m_function, m_thisAdjustment) : nullptr;
    }
    Delegate* clone() const override { return new AdjustingDelegate(*this); }

private:
    R* m_receiver;
    F m_function;
    int m_thisAdjustment;
};

template <typename F>
struct MemberClass;
template <typename T, typename... A>
struct MemberClass<void (T::*)(A...)> {
    using Type = T;
};

} // namespace SignalDetail

// A member of its sender that receivers connect member functions to.
// Emitting calls every connected function synchronously, on the emitting
// thread, in connection order, under the Signal's re-entrant lock. Handlers
// may emit, connect, disconnect, destroy their receiver or destroy the
// Signal itself (with its sender) while it is being emitted: removed
// delegates are never called again, and a destroyed Signal stops emitting.
class Signal : public Lockable {
public:
    Signal() = default;
    ~Signal() override;

    // A copy would silently double every connection.
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // Appends a delegate bound to the receiver. The same pair may be
    // connected twice; each emission then calls it twice.
    template <typename R, typename F>
        requires std::derived_from<R, SignalReceiver> && std::derived_from<R, typename SignalDetail::MemberClass<F>::Type>
        && SignalDetail::Handler<F, typename SignalDetail::MemberClass<F>::Type>
    void connect(R* receiver, F function)
    {
        using T = typename SignalDetail::MemberClass<F>::Type;
        add(new SignalDetail::PlainDelegate<R, T, F>(receiver, function));
    }

    // Calls the member function on the object thisAdjustment bytes from
    // the receiver (0 for the receiver itself).
    template <typename R, typename F>
        requires std::derived_from<R, SignalReceiver>
        && SignalDetail::Handler<F, typename SignalDetail::MemberClass<F>::Type>
    void connect(R* receiver, F function, int thisAdjustment)
    {
        using T = typename SignalDetail::MemberClass<F>::Type;
        add(new SignalDetail::AdjustingDelegate<R, T, F>(receiver, function, thisAdjustment));
    }

    void emit() { emitArguments({}); }

    // One pointer-sized value: an index, a flag or an event pointer.
    template <typename V>
        requires std::is_integral_v<V> || std::is_enum_v<V>
    void emit(V value)
    {
        emitArguments({static_cast<std::intptr_t>(value), 0, 0.0});
    }
    template <typename P>
    void emit(P* pointer)
    {
        emitArguments({reinterpret_cast<std::intptr_t>(pointer), 0, 0.0});
    }
    // Two ints, such as an old and a new position.
    void emit(int first, int second) { emitArguments({first, second, 0.0}); }
    void emit(double value) { emitArguments({0, 0, value}); }

    // Removes every delegate bound to the receiver and forgets the receiver.
    virtual void disconnectReceiver(SignalReceiver* receiver);
    // Appends, for each delegate of the old receiver present now and in
    // order, a clone bound to the new receiver, and registers this Signal
    // with the new receiver so that its destruction disconnects the clones.
    virtual void duplicate(SignalReceiver* oldReceiver, SignalReceiver* newReceiver);

    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }

    // The number of live delegates.
    int count() const;
    bool isConnected(const SignalReceiver* receiver) const;

private:
    struct Emission;

    void add(Delegate* delegate);
    void emitArguments(const SignalArguments& arguments);
    void removeDelegate(List<Delegate*>::Node* node);
    void purgeRemoved();
    void disconnectAll();

    bool m_enabled = true;
    // Owned delegates in connection order. A delegate removed during an
    // emission leaves a null value behind until the outermost emission ends,
    // so the walk never meets a freed node.
    List<Delegate*> m_delegates;
    // Delegates removed during an emission, freed when the outermost one
    // ends (one of them may still be running).
    List<Delegate*> m_removed;
    // The innermost running emission; each links to the one it runs in.
    Emission* m_emission = nullptr;
};

// Base of every object whose member functions are connected to Signals. It
// remembers the Signals it is connected to; destroying it disconnects it
// from all of them, so a Signal never calls a destroyed receiver.
class SignalReceiver : public Lockable {
public:
    SignalReceiver() = default;
    // A copy is a new receiver with its own lock and no connections: the
    // original's delegates are bound to the original's member functions,
    // and a copy still under construction cannot take them over safely.
    SignalReceiver(const SignalReceiver& other) : Lockable(other) {}
    SignalReceiver& operator=(const SignalReceiver&) { return *this; }
    ~SignalReceiver() override;

    void registerSignal(Signal* signal);
    // True when the Signal was registered.
    bool unregisterSignal(Signal* signal);
    void disconnectAll();

    bool isConnectedTo(const Signal* signal) const;
    int signalCount() const;

private:
    std::set<Signal*> m_signals;
};
