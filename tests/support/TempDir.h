// A fresh folder for one test, removed with everything in it afterwards; and a scope in which
// another folder is the current directory.
#pragma once

#include <filesystem>
#include <string>

#include "platform/String.h"

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder, or a file inside it, as the program's own text type.
    CString Wide(const std::filesystem::path& relative = {}) const;
    std::filesystem::path operator/(const std::filesystem::path& relative) const { return m_path / relative; }

private:
    std::filesystem::path m_path;
};

class CurrentDirScope {
public:
    explicit CurrentDirScope(const std::filesystem::path& folder);
    ~CurrentDirScope();

private:
    std::filesystem::path m_previous;
};

CString ToWide(const std::filesystem::path& path);
// Sets (value non-null) or removes an environment variable of this process.
void SetEnvVar(const char* name, const char* value);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace testing_support
