#include "foundation/OwnFileSave.h"

#include "foundation/Application.h"
#include "foundation/FileInUse.h"
#include "foundation/FileStream.h"
#include "foundation/Hooks.h"
#include "foundation/NameBeside.h"
#include "foundation/OwnFile.h"

#include <utility>

namespace {

// Enough for a file held beside the target and one more refused; a folder
// that refuses every name is not tried all over.
constexpr int besideAttempts = 3;

// Every line the user may read about one kind of file, each with "^" for a
// path.
struct Wording {
    const wchar_t* waiting;
    const wchar_t* inUse;
    const wchar_t* changed;
    const wchar_t* notRead;
    const wchar_t* notWritten;
    const wchar_t* failedBeside;
    const wchar_t* savedBeside;
    const wchar_t* backAndRemoved;
    const wchar_t* backAndLeft;
};

constexpr Wording libraryWording = {
    L"Waiting for the library, which another program is using...",
    L"The library file ^ is in use by another program, so it is left as it is.",
    L"The library file ^ was changed by another program while this session ran, so it is left as it is.",
    L"The library file ^ could not be read when this session began, so it is left as it is.",
    L"The library file ^ could not be written, so it is left as it is.",
    L"This session's library could not be saved as ^.",
    L"This session's library was saved as ^.",
    L"This session's library was saved in its place again; the copy beside it, ^, was removed.",
    L"This session's library was saved in its place again; the copy beside it, ^, was changed by another program "
    L"and is left as it is.",
};

constexpr Wording settingsWording = {
    L"Waiting for the settings, which another program is using...",
    L"The settings file ^ is in use by another program, so it is left as it is.",
    L"The settings file ^ was changed by another program while this session ran, so it is left as it is.",
    L"The settings file ^ could not be read when this session began, so it is left as it is.",
    L"The settings file ^ could not be written, so it is left as it is.",
    L"This session's settings could not be saved as ^.",
    L"This session's settings were saved as ^.",
    L"This session's settings were saved in their place again; the copy beside them, ^, was removed.",
    L"This session's settings were saved in their place again; the copy beside them, ^, was changed by another "
    L"program and is left as it is.",
};

const Wording& wordingOf(OwnFileSave::Kind kind)
{
    return kind == OwnFileSave::Kind::Library ? libraryWording : settingsWording;
}

String line(const wchar_t* text, const String& path)
{
    return translate(String(text), String(L"OwnFiles")).arg(path);
}

void tellUser(const String& text)
{
    uiHooks().information(String(), text, String(), UiHooks::OkButton, 0);
}

} // namespace

String OwnFileSave::waitingText(Kind kind)
{
    return translate(String(wordingOf(kind).waiting), String(L"OwnFiles"));
}

void OwnFileSave::reset()
{
    m_own.reset();
    m_besidePath.clear();
    m_besideVersion.reset();
}

bool OwnFileSave::save(const String& path, const Writer& write, bool silent, bool keptBeside)
{
    m_unwritten.clear();
    // A hold at a save is as short as one at start (backup, sync, scanning).
    const bool inUse =
        m_own && (keptBeside ? isFileInUse(path) : !waitForHeldFile(path, waitingText(m_kind), silent));
    // Through a link, the file it leads to is replaced, not the link.
    const String target = FileSystem::finalPath(path);
    const std::optional<KeptBecause> kept = writeInPlace(target, write, inUse);
    if (!kept) {
        tellBackInPlace();
        return true;
    }
    if (keptBeside)
        return true;
    if (*kept == KeptBecause::InUse || *kept == KeptBecause::NotWritten)
        m_unwritten.append(target);
    return keepBeside(target, write, keptText(target, *kept));
}

// Nothing once the session is in its place; otherwise why it is not.
std::optional<OwnFileSave::KeptBecause> OwnFileSave::writeInPlace(const String& target, const Writer& write,
                                                                   bool inUse)
{
    if (!claimOwnFile(target, m_own))
        return inUse ? KeptBecause::InUse : m_own ? KeptBecause::Changed : KeptBecause::NotRead;
    if (replaceWhileOwn(target, m_own, write))
        return std::nullopt;
    if (inUse)
        return KeptBecause::InUse;
    // Another program wrote the file while the new one was being written.
    return mayWriteOver(target, m_own) ? KeptBecause::NotWritten : KeptBecause::Changed;
}

String OwnFileSave::keptText(const String& target, KeptBecause why) const
{
    const Wording& wording = wordingOf(m_kind);
    switch (why) {
    case KeptBecause::InUse:
        return line(wording.inUse, target);
    case KeptBecause::Changed:
        return line(wording.changed, target);
    case KeptBecause::NotRead:
        return line(wording.notRead, target);
    default:
        return line(wording.notWritten, target);
    }
}

// The session goes to the name it was kept under, else to a free one; the
// user learns why and where whenever that name changes, with each name
// that failed.
bool OwnFileSave::keepBeside(const String& target, const Writer& write, const String& reason)
{
    const String extension(sessionExtension);
    StringList failed;
    String next = m_besidePath.isEmpty() ? freeNameBeside(target, extension) : m_besidePath;
    std::optional<FileVersion> written;
    for (int attempt = 0; attempt < besideAttempts && !next.isEmpty() && !written; ++attempt) {
        written = replaceOwnFile(next, write, [] { return true; });
        if (!written) {
            failed.append(next);
            next = freeNameBeside(target, extension, failed);
        }
    }
    m_unwritten.appendList(failed);
    if (!written)
        return false;
    m_besideVersion = std::move(written);
    if (next == m_besidePath)
        return true;
    m_besidePath = next;
    StringList lines;
    lines.append(reason);
    for (const String& name : failed)
        lines.append(line(wordingOf(m_kind).failedBeside, name));
    lines.append(line(wordingOf(m_kind).savedBeside, m_besidePath));
    tellUser(lines.join(String(L"\n")));
    return true;
}

// The file's place holds the whole session again: the copy beside it is
// removed unless another program changed it meanwhile.
void OwnFileSave::tellBackInPlace()
{
    if (m_besidePath.isEmpty())
        return;
    const String copy = std::exchange(m_besidePath, String());
    const bool removed = mayWriteOver(copy, m_besideVersion) && (!fileExists(copy) || FileSystem::remove(copy));
    m_besideVersion.reset();
    const Wording& wording = wordingOf(m_kind);
    tellUser(line(removed ? wording.backAndRemoved : wording.backAndLeft, copy));
}
