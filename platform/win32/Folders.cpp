#include "platform/Folders.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

bool ShellFolder(int csidl, CString& path) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || items == nullptr) return false;
    wchar_t buf[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListW(items, buf);
    CoTaskMemFree(items);
    if (!ok) return false;
    path = CString(win32::U(buf));
    return true;
}

}  // namespace

CString GetModuleFilePath() {
    std::vector<wchar_t> buf(512);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return CString();
        if (n < buf.size()) return CString(win32::U(buf.data()), static_cast<int>(n));
        if (buf.size() >= 32768) return CString();
        buf.resize(buf.size() * 2);
    }
}

CString GetCurrentDir() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return CString();
    std::vector<wchar_t> buf(n + 1);
    const DWORD got = GetCurrentDirectoryW(static_cast<DWORD>(buf.size()), buf.data());
    if (got == 0 || got >= buf.size()) return CString();
    return CString(win32::U(buf.data()), static_cast<int>(got));
}

bool SetCurrentDir(const char16_t* path) { return SetCurrentDirectoryW(win32::W(path)) != FALSE; }
bool IsDirectory(const char16_t* path) { return PathIsDirectoryW(win32::W(path)) != FALSE; }
bool MakeDirectory(const char16_t* path) { return CreateDirectoryW(win32::W(path), nullptr) != FALSE; }

bool GetDocumentsFolder(CString& path) { return ShellFolder(CSIDL_PERSONAL, path); }
bool GetLocalAppDataFolder(CString& path) { return ShellFolder(CSIDL_LOCAL_APPDATA, path); }

bool MoveFileOver(const char16_t* source, const char16_t* target) {
    return MoveFileExW(win32::W(source), win32::W(target),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool RemoveFile(const char16_t* path) { return DeleteFileW(win32::W(path)) != FALSE; }

}  // namespace platform
