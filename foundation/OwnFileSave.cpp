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
// path but the one that needs none.
struct Wording {
    const wchar_t* waiting;
    const wchar_t* inUse;
    const wchar_t* changed;
    const wchar_t* notRead;
    const wchar_t* notWritten;
    const wchar_t* failedBeside;
    const wchar_t* savedBeside;
    const wchar_t* backInPlace;
    // What became of the copy beside, by CopyState.
    const wchar_t* copyRemoved;
    const wchar_t* copyGone;
    const wchar_t* copyChanged;
    const wchar_t* copyInUse;
    const wchar_t* copyReadOnly;
    const wchar_t* copyFolder;
    const wchar_t* copyNotRemoved;
};

constexpr Wording libraryWording = {
    L"Waiting for the library, which another program is using...",
    L"The library file ^ is in use by another program, so it is left as it is.",
    L"The library file ^ was changed by another program while this session ran, so it is left as it is.",
    L"The library file ^ could not be read when this session began, so it is left as it is.",
    L"The library file ^ could not be written, so it is left as it is.",
    L"This session's library could not be saved as ^.",
    L"This session's library was saved as ^.",
    L"This session's library was saved in its place again.",
    L"The copy of this session's library, ^, was removed.",
    L"The copy of this session's library, ^, is no longer there.",
    L"The copy of this session's library, ^, was changed by another program, so it is left as it is.",
    L"The copy of this session's library, ^, is in use by another program, so it is left as it is.",
    L"The copy of this session's library, ^, is read-only, so it is left as it is.",
    L"A folder stands at the name of the copy of this session's library, ^, so it is left as it is.",
    L"The copy of this session's library, ^, could not be removed, so it is left as it is.",
};

constexpr Wording settingsWording = {
    L"Waiting for the settings, which another program is using...",
    L"The settings file ^ is in use by another program, so it is left as it is.",
    L"The settings file ^ was changed by another program while this session ran, so it is left as it is.",
    L"The settings file ^ could not be read when this session began, so it is left as it is.",
    L"The settings file ^ could not be written, so it is left as it is.",
    L"This session's settings could not be saved as ^.",
    L"This session's settings were saved as ^.",
    L"This session's settings were saved in their place again.",
    L"The copy of this session's settings, ^, was removed.",
    L"The copy of this session's settings, ^, is no longer there.",
    L"The copy of this session's settings, ^, was changed by another program, so it is left as it is.",
    L"The copy of this session's settings, ^, is in use by another program, so it is left as it is.",
    L"The copy of this session's settings, ^, is read-only, so it is left as it is.",
    L"A folder stands at the name of the copy of this session's settings, ^, so it is left as it is.",
    L"The copy of this session's settings, ^, could not be removed, so it is left as it is.",
};

const Wording& wordingOf(OwnFileSave::Kind kind)
{
    return kind == OwnFileSave::Kind::Library ? libraryWording : settingsWording;
}

String translated(const wchar_t* text)
{
    return translate(String(text), String(L"OwnFiles"));
}

String line(const wchar_t* text, const String& path)
{
    return translated(text).arg(path);
}

const wchar_t* copyText(const Wording& wording, CopyState state)
{
    switch (state) {
    case CopyState::Removed:
        return wording.copyRemoved;
    case CopyState::Gone:
        return wording.copyGone;
    case CopyState::Changed:
        return wording.copyChanged;
    case CopyState::InUse:
        return wording.copyInUse;
    case CopyState::ReadOnly:
        return wording.copyReadOnly;
    case CopyState::Folder:
        return wording.copyFolder;
    default:
        return wording.copyNotRemoved;
    }
}

void tellUser(const String& text)
{
    uiHooks().information(String(), text, String(), UiHooks::OkButton, 0);
}

} // namespace

String OwnFileSave::waitingText(Kind kind)
{
    return translated(wordingOf(kind).waiting);
}

void OwnFileSave::reset()
{
    m_own.reset();
    m_ownWrittenPath.clear();
    m_besidePath.clear();
    m_besideVersion.reset();
}

// Read through one handle: the common answer, yes, costs one read of the
// file and nothing more. A link at the copy's name is another program's,
// though it lead to the very copy.
bool OwnFileSave::keepsWhatWasWritten() const
{
    if (!m_besidePath.isEmpty())
        return !FileSystem::isLink(m_besidePath) && keepsVersion(m_besidePath, m_besideVersion);
    return m_ownWrittenPath.isEmpty() || keepsVersion(m_ownWrittenPath, m_own);
}

bool OwnFileSave::save(const String& path, const Writer& write, bool silent, bool unchanged)
{
    const bool kept = unchanged && keepsWhatWasWritten();
    if (kept && m_besidePath.isEmpty())
        return true;
    m_unwritten.clear();
    // A hold at a save is as short as one at start (backup, sync, scanning).
    const bool inUse = m_own && (kept ? isFileInUse(path) : !waitForHeldFile(path, waitingText(m_kind), silent));
    // Through a link, the file it leads to is replaced, not the link.
    const String target = FileSystem::finalPath(path);
    const std::optional<KeptBecause> why = writeInPlace(target, write, inUse);
    if (!why) {
        tellBackInPlace();
        return true;
    }
    if (kept)
        return true;
    if (*why == KeptBecause::InUse || *why == KeptBecause::NotWritten)
        m_unwritten.append(target);
    return keepBeside(target, write, keptText(target, *why));
}

// Nothing once the session is in its place; otherwise why it is not.
std::optional<OwnFileSave::KeptBecause> OwnFileSave::writeInPlace(const String& target, const Writer& write,
                                                                   bool inUse)
{
    if (!mayWriteOver(target, m_own))
        return inUse ? KeptBecause::InUse : m_own ? KeptBecause::Changed : KeptBecause::NotRead;
    std::optional<FileVersion> written = writeOwnFile(target, m_own, write);
    if (written) {
        m_own = std::move(written);
        m_ownWrittenPath = target;
        return std::nullopt;
    }
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

// The session goes to the copy it was kept in while that is still what
// this run wrote there, or gone; else to a free name, and the other file
// stays. The user learns why and where whenever that name changes or the
// copy was not as this run left it, with each name that failed.
bool OwnFileSave::keepBeside(const String& target, const Writer& write, const String& reason)
{
    const Wording& wording = wordingOf(m_kind);
    StringList lines;
    lines.append(reason);
    StringList passedOver;
    bool tell = m_besidePath.isEmpty();
    if (!tell) {
        const CopyState copy = copyState(m_besidePath, m_besideVersion);
        if (copy != CopyState::AsWritten) {
            lines.append(line(copyText(wording, copy), m_besidePath));
            tell = true;
        }
        if (copy != CopyState::AsWritten && copy != CopyState::Gone)
            passedOver.append(m_besidePath);
    }
    Beside beside = writeBeside(target, write, passedOver);
    m_unwritten.appendList(beside.failed);
    if (!beside.written)
        return false;
    m_besideVersion = std::move(beside.written);
    tell = tell || beside.name != m_besidePath;
    m_besidePath = beside.name;
    if (!tell)
        return true;
    for (const String& name : beside.failed)
        lines.append(line(wording.failedBeside, name));
    lines.append(line(wording.savedBeside, m_besidePath));
    tellUser(lines.join(String(L"\n")));
    return true;
}

// The name kept, unless passed over, else free names beside the target,
// three in all.
OwnFileSave::Beside OwnFileSave::writeBeside(const String& target, const Writer& write,
                                             StringList passedOver) const
{
    const String extension(sessionExtension);
    const bool keepName = !m_besidePath.isEmpty() && !passedOver.containsIgnoreCase(m_besidePath);
    Beside beside;
    beside.name = keepName ? m_besidePath : freeNameBeside(target, extension, passedOver);
    for (int attempt = 0; attempt < besideAttempts && !beside.name.isEmpty(); ++attempt) {
        const bool kept = beside.name == m_besidePath;
        beside.written = writeOwnFile(beside.name, kept ? m_besideVersion : std::nullopt, write);
        if (beside.written)
            return beside;
        beside.failed.append(beside.name);
        passedOver.append(beside.name);
        beside.name = freeNameBeside(target, extension, passedOver);
    }
    return beside;
}

// The file's place holds the whole session again: the copy beside it goes,
// through the handle that compared it, while it is still exactly what this
// run wrote there; the user learns what became of it.
void OwnFileSave::tellBackInPlace()
{
    if (m_besidePath.isEmpty())
        return;
    const String copy = std::exchange(m_besidePath, String());
    const CopyState state =
        m_besideVersion ? FileSystem::removeVersion(copy, *m_besideVersion) : CopyState::Changed;
    m_besideVersion.reset();
    const Wording& wording = wordingOf(m_kind);
    tellUser(translated(wording.backInPlace) + L'\n' + line(copyText(wording, state), copy));
}
