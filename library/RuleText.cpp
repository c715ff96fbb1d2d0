#include "library/RuleText.h"

namespace {

struct Escape {
    wchar_t character;
    const wchar_t* code;
};

constexpr Escape escapes[] = {
    {L'%', L"%25"}, {L';', L"%3B"}, {L'|', L"%7C"}, {L',', L"%2C"}, {L':', L"%3A"},
};

// A folder is never split at "," or ":" (every path has one after its
// drive letter), so it keeps them as they are.
const wchar_t* separators(RuleText::Piece piece)
{
    switch (piece) {
    case RuleText::Piece::Folder:
        return L";|";
    case RuleText::Piece::Name:
        return L";|,";
    default:
        return L";|,:";
    }
}

bool isSeparator(wchar_t c, RuleText::Piece piece)
{
    for (const wchar_t* separator = separators(piece); *separator; ++separator) {
        if (*separator == c)
            return true;
    }
    return false;
}

const wchar_t* codeOf(wchar_t c)
{
    for (const Escape& escape : escapes) {
        if (escape.character == c)
            return escape.code;
    }
    return nullptr;
}

// The character escaped at the position, or 0 when none is.
wchar_t escapedAt(const String& text, int at)
{
    const String candidate = text.mid(at, 3);
    for (const Escape& escape : escapes) {
        if (String::equalsIgnoreCase(candidate, escape.code))
            return escape.character;
    }
    return 0;
}

} // namespace

bool RuleText::holdsSeparator(const String& text, Piece piece)
{
    for (int i = 0; i < text.length(); ++i) {
        if (isSeparator(text.at(i), piece))
            return true;
    }
    return false;
}

bool RuleText::anyHoldsSeparator(const StringList& texts, Piece piece)
{
    for (const String& text : texts) {
        if (holdsSeparator(text, piece))
            return true;
    }
    return false;
}

String RuleText::written(const String& text, Piece piece, Form form)
{
    if (form == Form::Plain)
        return text;
    String out;
    for (int i = 0; i < text.length(); ++i) {
        const wchar_t c = text.at(i);
        if (c == escapedMark || isSeparator(c, piece))
            out.append(codeOf(c));
        else
            out.append(c);
    }
    return out;
}

String RuleText::joined(const StringList& texts, Piece piece, Form form)
{
    StringList pieces;
    for (const String& text : texts)
        pieces.append(written(text, piece, form));
    return pieces.join(L",");
}

String RuleText::read(const String& text, Form form)
{
    if (form == Form::Plain || !text.contains(escapedMark))
        return text;
    String out;
    for (int i = 0; i < text.length(); ++i) {
        const wchar_t escaped = text.at(i) == escapedMark ? escapedAt(text, i) : 0;
        if (escaped) {
            out.append(escaped);
            i += 2;
        } else {
            out.append(text.at(i));
        }
    }
    return out;
}
