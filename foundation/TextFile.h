#pragma once

#include "foundation/String.h"

class OutputStream;

// Encodings of text files: 1 the system ANSI code page (no mark), 3 UTF-8
// (mark EF BB BF), 4 UTF-16 little-endian (mark FF FE). There is no 2.
enum TextEncoding : int { TextAnsi = 1, TextUtf8 = 3, TextUtf16 = 4 };

bool isTextEncoding(int encoding);

// Replaces the file with the text in the encoding, through a temporary file
// (writeFileAtomically), so a failed save keeps the old file.
bool replaceFileWithText(const String& path, const String& text, int encoding);
// The bytes that replaceFileWithText writes, to the stream; false when a
// write fails.
bool writeTextTo(OutputStream& stream, const String& text, int encoding);
