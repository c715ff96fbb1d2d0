#include "graphics/BoundedStream.h"

#include <windows.h>

#include <objidl.h>

#include "foundation/ComObject.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>

namespace {

// The bytes as the stream and its clones see them (each holds a
// reference); cut off when the owning BoundedStream goes.
struct Source {
    std::atomic<StreamBytes*> bytes;
    std::uint64_t size;
    std::atomic<int> references{1};

    void release()
    {
        if (--references == 0)
            delete this;
    }
};

class CutOffStream final : public ComObject<IStream, ISequentialStream> {
public:
    // Takes over one reference to source.
    CutOffStream(Source* source, std::uint64_t position) : m_source(source), m_position(position) {}

    void detach() { m_source->bytes = nullptr; }

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override
    {
        if (read)
            *read = 0;
        if (!buffer)
            return STG_E_INVALIDPOINTER;
        StreamBytes* bytes = m_source->bytes;
        ULONG taken = 0;
        if (bytes && m_position < m_source->size) {
            taken = ULONG(std::min<std::uint64_t>(count, m_source->size - m_position));
            if (!bytes->readAt(m_position, buffer, taken))
                return STG_E_READFAULT;
            m_position += taken;
        }
        if (read)
            *read = taken;
        return taken == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* written) override
    {
        if (written)
            *written = 0;
        return STG_E_ACCESSDENIED;
    }

    // A position past the end is kept (reads there give nothing), as any
    // stream allows; one before the start is refused.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
    {
        std::int64_t base = 0;
        if (origin == STREAM_SEEK_CUR)
            base = std::int64_t(m_position);
        else if (origin == STREAM_SEEK_END)
            base = std::int64_t(m_source->size);
        else if (origin != STREAM_SEEK_SET)
            return STG_E_INVALIDFUNCTION;
        std::int64_t target = 0;
        if (__builtin_add_overflow(base, move.QuadPart, &target) || target < 0)
            return STG_E_INVALIDFUNCTION;
        m_position = std::uint64_t(target);
        if (position)
            position->QuadPart = m_position;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    // The stream has no name of its own; one asked for is empty, allocated
    // as the caller will free it.
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override
    {
        if (!stat)
            return STG_E_INVALIDPOINTER;
        *stat = {};
        if (!(flags & STATFLAG_NONAME)) {
            stat->pwcsName = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof(OLECHAR)));
            if (!stat->pwcsName)
                return STG_E_INSUFFICIENTMEMORY;
            stat->pwcsName[0] = 0;
        }
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = m_source->size;
        stat->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override
    {
        if (!out)
            return E_POINTER;
        ++m_source->references;
        *out = new (std::nothrow) CutOffStream(m_source, m_position);
        if (*out)
            return S_OK;
        m_source->release();
        return E_OUTOFMEMORY;
    }

private:
    ~CutOffStream() { m_source->release(); }

    Source* m_source;
    std::uint64_t m_position;
};

} // namespace

BoundedStream::BoundedStream(StreamBytes& bytes)
{
    auto* source = new (std::nothrow) Source{&bytes, bytes.size()};
    if (!source)
        return;
    m_stream = new (std::nothrow) CutOffStream(source, 0);
    if (!m_stream)
        source->release();
}

BoundedStream::~BoundedStream()
{
    if (!m_stream)
        return;
    static_cast<CutOffStream*>(m_stream)->detach();
    m_stream->Release();
}
