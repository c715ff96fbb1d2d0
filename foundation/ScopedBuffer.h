#pragma once

#include <cstdint>

// Scratch buffers that free themselves, for platform calls that fill memory
// of a size they reported first.

// n wide characters, zeroed.
class WideBuffer {
public:
    explicit WideBuffer(int n);
    ~WideBuffer();
    WideBuffer(const WideBuffer&) = delete;
    WideBuffer& operator=(const WideBuffer&) = delete;

    wchar_t* data() { return m_data; }
    int size() const { return m_size; }

private:
    wchar_t* m_data;
    int m_size;
};

// n raw bytes, not initialised.
class ScopedBuffer {
public:
    explicit ScopedBuffer(int n);
    ~ScopedBuffer();
    ScopedBuffer(const ScopedBuffer&) = delete;
    ScopedBuffer& operator=(const ScopedBuffer&) = delete;

    std::uint8_t* data() { return m_data; }
    int size() const { return m_size; }

private:
    std::uint8_t* m_data;
    int m_size;
};
