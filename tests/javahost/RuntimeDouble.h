// The test double of the runtime library (tests/jvmdouble), installed the way the private
// runtime lies beside an executable, and a second load of it to steer it and read its record.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "platform/String.h"

namespace testing_support {

// A file the build puts beside the test executables.
std::filesystem::path BuiltFile(const char* fileName);

// Copies the library into folder at the runtime's place beside an executable there and
// returns the runtime's full path.
CString InstallRuntime(const std::filesystem::path& folder, const char* libraryFile);

// What a loaded double has recorded so far, one call per line.
std::vector<std::string> RecordOf(const platform::DynamicLibrary& library);

class RuntimeDouble {
public:
    // Loads the installed double at path: the same module that a later load of path gets.
    explicit RuntimeDouble(const CString& path);
    // "create", "class", "method" or "" (none): the step that fails from now on.
    void FailAt(const char* step);
    std::vector<std::string> Record() const { return RecordOf(m_library); }

private:
    platform::DynamicLibrary m_library;
};

}  // namespace testing_support
