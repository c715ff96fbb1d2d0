#pragma once

#include "foundation/String.h"

class ByteArray;
class StringList;

// Encodings of text files: 1 the system ANSI code page (no mark), 3 UTF-8
// (mark EF BB BF), 4 UTF-16 little-endian (mark FF FE). There is no 2.
enum TextEncoding : int { TextAnsi = 1, TextUtf8 = 3, TextUtf16 = 4 };

bool isTextEncoding(int encoding);

// Whole-file operations beside String::fromFile and String::saveToFile.

// The lines of a text file, empty lines kept; empty on any failure.
StringList loadStringListFromFile(const String& path, int encoding);
// Replaces the file with each string followed by "\r\n".
void saveStringListToFile(const StringList& list, const String& path, int encoding);
// The whole file, read in one go. False, with bytes emptied, for a missing
// or empty file, one of 2^31 - 1 bytes or more, or a short read.
bool loadByteArrayFromFile(ByteArray& bytes, const String& path);
// Replaces the file with the bytes; false for an empty array (the file is
// left empty) or a short write.
bool saveByteArrayToFile(const ByteArray& bytes, const String& path);
