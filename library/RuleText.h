#pragma once

#include "foundation/String.h"
#include "foundation/StringList.h"

// The text pieces of a scan rule's settings text (its folder, tag names and
// extensions) sit between the separators ";" (fields), "|" (rules), ","
// (names) and ":" (filter parts). Older versions wrote the pieces as they
// are, so a piece holding a separator split its rule on reading. A rule with
// such a piece is now written escaped: a leading escapedMark, and every "%"
// and separator of its pieces as "%" and two hex digits ("%3B" for ";").
// Every other rule is written as before, and a text without the mark, as
// every older one, is read as it stands.
namespace RuleText {

enum class Form : int { Plain = 0, Escaped = 1 };
// Which separators a piece cannot hold as it is.
enum class Piece : int { Folder = 0, Name = 1, Extension = 2 };

// Starts the text of an escaped rule; a plain one starts with a flag digit.
constexpr wchar_t escapedMark = L'%';

bool holdsSeparator(const String& text, Piece piece);
bool anyHoldsSeparator(const StringList& texts, Piece piece);
// The piece as a rule of the form writes it.
String written(const String& text, Piece piece, Form form);
// The pieces written, joined with ",".
String joined(const StringList& texts, Piece piece, Form form);
// A piece as read from a rule of the form; a "%" that starts no escape
// stays as it is.
String read(const String& text, Form form);

} // namespace RuleText
