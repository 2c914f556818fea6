#include "tests/support/TempDir.h"

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

CString ToWide(const std::filesystem::path& path) {
    const std::u16string text = path.u16string();
    return CString(text);
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "kestrop-test-" + std::to_string(stamp) + "-" + std::to_string(counter++);
        std::filesystem::path candidate = base / name;
        if (std::filesystem::create_directory(candidate)) {
            m_path = std::filesystem::canonical(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

CString TempDir::Wide(const std::filesystem::path& relative) const {
    return ToWide(relative.empty() ? m_path : m_path / relative);
}

CurrentDirScope::CurrentDirScope(const std::filesystem::path& folder)
    : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

CurrentDirScope::~CurrentDirScope() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

void SetEnvVar(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_support
