#pragma once

// Holds one reference to a COM interface and releases it when it goes.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (m_pointer)
            m_pointer->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return m_pointer; }
    Interface* get() const { return m_pointer; }
    // For the calls that hand out an interface through a void** or a
    // typed out-parameter.
    void** receive() { return reinterpret_cast<void**>(&m_pointer); }
    Interface** receiveTyped() { return &m_pointer; }

private:
    Interface* m_pointer = nullptr;
};
