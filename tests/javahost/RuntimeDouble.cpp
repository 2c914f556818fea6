#include "tests/javahost/RuntimeDouble.h"

#include <stdexcept>

#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"

namespace testing_support {

std::filesystem::path BuiltFile(const char* fileName) {
    const std::filesystem::path exe(platform::GetModuleFilePath().Str());
    return exe.parent_path() / fileName;
}

CString InstallRuntime(const std::filesystem::path& folder, const char* libraryFile) {
    const std::filesystem::path target = folder / std::u16string(platform::kJvmRelativePath);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(BuiltFile(libraryFile), target,
                               std::filesystem::copy_options::overwrite_existing);
    return CString(target.u16string());
}

std::vector<std::string> RecordOf(const platform::DynamicLibrary& library) {
    using RecordProc = const char* (*)();
    const auto record = reinterpret_cast<RecordProc>(library.Symbol("KestropJvmDouble_Record"));
    if (record == nullptr)
        throw std::runtime_error("not the runtime double");
    std::vector<std::string> lines;
    std::string text = record();
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

RuntimeDouble::RuntimeDouble(const CString& path) {
    if (!m_library.Load(path)) {
        throw std::runtime_error("cannot load the runtime double: " +
                                 platform::WideToUtf8(m_library.GetLoadErrorText().View()));
    }
}

void RuntimeDouble::FailAt(const char* step) {
    using FailAtProc = void (*)(const char*);
    reinterpret_cast<FailAtProc>(m_library.Symbol("KestropJvmDouble_FailAt"))(step);
}

}  // namespace testing_support
