#include "foundation/LogFile.h"

#include "foundation/DateTime.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/TextWriter.h"

LogFile::LogFile() = default;

LogFile::~LogFile()
{
    close();
}

bool LogFile::open(const String& path)
{
    if (isOpen() && path == m_path)
        return true;
    close();
    m_path = path;
    if (path.isEmpty())
        return false;
    auto stream = std::make_unique<FileOutputStream>(path, true);
    if (!stream->isOpen())
        return false;
    m_writer = std::make_unique<TextWriter>(stream.get(), TextUtf16);
    m_stream = std::move(stream);
    return true;
}

void LogFile::close()
{
    if (m_writer)
        m_writer->detach();
    m_writer.reset();
    m_stream.reset();
}

bool LogFile::isOpen() const
{
    return m_writer && m_stream && m_stream->isOpen();
}

bool LogFile::restartEmpty()
{
    const String path = m_path;
    close();
    return FileSystem::createEmpty(path) && open(path);
}

bool LogFile::writeLine(const String& text)
{
    if (!isOpen())
        return false;
    if (m_stream->size() >= m_sizeLimit && !restartEmpty())
        return false;
    if (!m_writer->attach())
        return false;
    const DateTime now = DateTime::currentUtc();
    const String line = now.date().toString(String(L"dd.MM.yyyy")) + L' ' + now.time().toString(String(L"hh:mm:ss")) +
                        L" | " + text;
    const bool wrote = m_writer->writeLine(line);
    m_writer->detach();
    return wrote;
}
