#include "foundation/ScopedBuffer.h"

#include <cstddef>

WideBuffer::WideBuffer(int n)
    : m_data(new wchar_t[static_cast<std::size_t>(n > 0 ? n : 1)]())
    , m_size(n > 0 ? n : 0)
{
}

WideBuffer::~WideBuffer()
{
    delete[] m_data;
}

ScopedBuffer::ScopedBuffer(int n)
    : m_data(new std::uint8_t[static_cast<std::size_t>(n > 0 ? n : 1)])
    , m_size(n > 0 ? n : 0)
{
}

ScopedBuffer::~ScopedBuffer()
{
    delete[] m_data;
}
