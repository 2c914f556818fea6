// Paths and folders of the operating system: the executable, the current directory, the
// user's shell folders and the few file-system operations the program needs.
#pragma once

#include "platform/String.h"

namespace platform {

#ifdef _WIN32
inline constexpr char16_t kDirSeparator = u'\\';
#else
inline constexpr char16_t kDirSeparator = u'/';
#endif

// Full path of the running executable, however long; empty when it cannot be determined.
CString GetModuleFilePath();

CString GetCurrentDir();
bool SetCurrentDir(const char16_t* path);
bool IsDirectory(const char16_t* path);
// One level, default security. False when it could not be created (it may exist already).
bool MakeDirectory(const char16_t* path);

// The user's Documents folder (CSIDL_PERSONAL; XDG documents folder on Linux), exactly as the
// system reports it. False when the system has none for this process.
bool GetDocumentsFolder(CString& path);
// The user's local application-data folder (CSIDL_LOCAL_APPDATA; XDG data home on Linux).
bool GetLocalAppDataFolder(CString& path);

// Replaces target with source in one step, written through to the disk; false on failure.
bool MoveFileOver(const char16_t* source, const char16_t* target);
bool RemoveFile(const char16_t* path);

}  // namespace platform

namespace platform {
#ifdef _WIN32
inline constexpr bool kTargetIsWindows = true;
#else
inline constexpr bool kTargetIsWindows = false;
#endif
}  // namespace platform
