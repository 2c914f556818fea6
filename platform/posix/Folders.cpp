#include "platform/Folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/posix/Path.h"

namespace platform {
namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    // Without a home folder the process has no Documents folder, as on a Windows account
    // without a profile.
    return home && home[0] == '/' ? std::string(home) : std::string();
}

// An XDG variable when it holds an absolute path, else $HOME followed by the fallback.
bool XdgFolder(const char* variable, const char* fallback, CString& path) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') {
        path = posix::FromNative(value);
        return true;
    }
    const std::string home = HomeFolder();
    if (home.empty()) return false;
    path = posix::FromNative(home + "/" + fallback);
    return true;
}

}  // namespace

CString GetModuleFilePath() {
    std::vector<char> buf(1024);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return CString();
        if (static_cast<size_t>(n) < buf.size()) {
            return posix::FromNative(std::string(buf.data(), static_cast<size_t>(n)));
        }
        if (buf.size() >= 1 << 20) return CString();
        buf.resize(buf.size() * 2);
    }
}

CString GetCurrentDir() {
    std::vector<char> buf(PATH_MAX);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE || buf.size() >= 1 << 20) return CString();
        buf.resize(buf.size() * 2);
    }
    return posix::FromNative(buf.data());
}

bool SetCurrentDir(const char16_t* path) { return chdir(posix::Native(path).c_str()) == 0; }

bool IsDirectory(const char16_t* path) {
    struct stat st;
    return stat(posix::Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const char16_t* path) { return mkdir(posix::Native(path).c_str(), 0755) == 0; }

bool GetDocumentsFolder(CString& path) { return XdgFolder("XDG_DOCUMENTS_DIR", "Documents", path); }
bool GetLocalAppDataFolder(CString& path) { return XdgFolder("XDG_DATA_HOME", ".local/share", path); }

bool MoveFileOver(const char16_t* source, const char16_t* target) {
    return std::rename(posix::Native(source).c_str(), posix::Native(target).c_str()) == 0;
}

bool RemoveFile(const char16_t* path) { return unlink(posix::Native(path).c_str()) == 0; }

}  // namespace platform
