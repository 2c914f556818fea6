#include "platform/VersionInfo.h"

#include <vector>

#include "platform/Folders.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

// The executable's version resource, or an empty block.
std::vector<unsigned char> LoadVersionBlock() {
    const CString path = GetModuleFilePath();
    if (path.IsEmpty()) return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(win32::W(path.GetString()), &ignored);
    if (size == 0) return {};
    std::vector<unsigned char> block(size * 2u, 0);
    if (!GetFileVersionInfoW(win32::W(path.GetString()), 0, static_cast<DWORD>(block.size()), block.data())) {
        return {};
    }
    return block;
}

}  // namespace

bool ReadProductVersion(uint16_t (&fields)[4]) {
    std::vector<unsigned char> block = LoadVersionBlock();
    if (block.empty()) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || info == nullptr ||
        len < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    fields[0] = HIWORD(info->dwProductVersionMS);
    fields[1] = LOWORD(info->dwProductVersionMS);
    fields[2] = HIWORD(info->dwProductVersionLS);
    fields[3] = LOWORD(info->dwProductVersionLS);
    return true;
}

bool ReadProductName(CString& name) {
    std::vector<unsigned char> block = LoadVersionBlock();
    if (block.empty()) return false;
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* list = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&list), &len) ||
        list == nullptr || len < sizeof(Translation)) {
        return false;
    }
    wchar_t subBlock[260] = {};
    wsprintfW(subBlock, L"\\StringFileInfo\\%04x%04x\\ProductName", list[0].language, list[0].codePage);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), subBlock, reinterpret_cast<void**>(&value), &len) || value == nullptr) {
        return false;
    }
    name = CString(win32::U(value));
    return !name.IsEmpty();
}

}  // namespace platform
