#pragma once

// A unique temporary folder that removes itself; with it the raw file
// access that bypasses the code under test.

#include "devkit/Bytes.h"
#include "devkit/RawFiles.h"
#include "tests/support/StringPrinting.h"

#include "foundation/String.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

// A fresh folder under the user's temp folder, removed with all its
// contents when the object goes.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        static int serial = 0;
        for (int attempt = 0; attempt < 1000; ++attempt) {
            wchar_t name[64];
            swprintf(name, 64, L"kestrola-test-%lu-%d", GetCurrentProcessId(), ++serial);
            m_folder = std::wstring(base) + name;
            if (CreateDirectoryW(m_folder.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder() { removeTree(m_folder); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing '\'.
    String path() const { return String(m_folder.c_str()) + L'\\'; }
    // The folder without the trailing '\'.
    String bare() const { return String(m_folder.c_str()); }
    String file(const wchar_t* name) const { return path() + name; }

    // Writes the bytes to the named file in the folder; its full path. A
    // failed write fails the test.
    String writeFile(const wchar_t* name, const Bytes& bytes) const
    {
        const String full = file(name);
        if (!writeRaw(full, bytes))
            ADD_FAILURE() << "could not write " << name;
        return full;
    }
    // Creates the named subfolder (one level); its full path with '\'.
    String makeFolder(const wchar_t* name) const
    {
        const String full = file(name);
        CreateDirectoryW(full.c_str(), nullptr);
        return full + L'\\';
    }

private:
    std::wstring m_folder;
};
