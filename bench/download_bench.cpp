// Downloads one large package from the local fixture server with CHttpBuffer::FetchWithRetry
// and, in the same run, with curl -o /dev/null, and prints both throughputs; then runs a whole
// update (the worker's sequence, the package verified and written over an older archive) in a
// child process and prints that process's peak resident memory next to the package size.
// Usage: download_bench [size-in-MiB] [folder]   (defaults: 256, the system temp folder)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "env/Log.h"
#include "net/HttpBuffer.h"
#include "net/MD5Checksum.h"
#include "platform/Codepage.h"
#include "platform/File.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"
#include "update/LaunchState.h"
#include "update/UpdateWorker.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Narrow(const CString& s) {
    return platform::WideToUtf8(s.View());
}
CString Wide(const std::string& s) {
    return CString(platform::Utf8ToWide(s));
}

// kB from a line of /proc/self/status ("VmHWM:", "VmRSS:").
long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(key), nullptr, 10);
    }
    return -1;
}

std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe))
        out += buf;
    pclose(pipe);
    return out;
}

std::string Hex(const std::string& text) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : text) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

// The child: one whole update for an installation in exeDir, the working folder current.
int UpdateChild(const std::string& exeDir, const std::string& workDir, const std::string& baseUrl) {
    platform::SetCurrentDir(Wide(workDir));
    const long before = StatusKb("VmRSS:");
    CLaunchState state;
    RunUpdate(Wide(exeDir + "/kestrop"), Wide(baseUrl));
    std::printf("rss_before_kb=%ld peak_kb=%ld progress=%d message=%s\n", before,
                StatusKb("VmHWM:"), state.GetProgress(), Narrow(state.m_strMessage).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--update")
        return UpdateChild(argv[2], argv[3], argv[4]);

    const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    const fs::path root = fs::path(argc > 2 ? argv[2] : fs::temp_directory_path().string()) /
                          "kestrop-download-bench";
    fs::remove_all(root);
    const fs::path fixture = root / "fixture", install = root / "install", work = root / "work";
    for (const auto& d : {fixture, install, work})
        fs::create_directories(d);
    const fs::path package = root / "package.bin";
    {
        std::mt19937_64 random(42);
        std::vector<unsigned long long> block(1 << 17);  // 1 MiB
        std::ofstream out(package, std::ios::binary | std::ios::trunc);
        for (size_t i = 0; i < mib; ++i) {
            for (auto& w : block)
                w = random();
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * 8));
        }
    }
    std::string digest;
    {
        CFile in(Wide(package.string()), CFile::modeRead);
        digest = Narrow(CMD5Checksum::GetMD5(in));
    }

    const std::string server =
        std::string("python3 ") + KESTROP_SOURCE_DIR + "/tests/fixtures/http_server.py";
    const std::string started = Run(server + " start --dir '" + fixture.string() + "'");
    const size_t at = started.find("port=");
    if (at == std::string::npos) {
        std::fprintf(stderr, "the fixture server did not start\n");
        return 1;
    }
    const std::string host =
        "http://127.0.0.1:" + std::to_string(std::atoi(started.c_str() + at + 5));
    {
        std::ofstream routes(fixture / "routes" / "bench.json");
        routes << "{\"/pkg.pak\": {\"file\": \"" << package.string() << "\"},\n"
               << " \"/" << digest << ".pak\": {\"file\": \"" << package.string() << "\"},\n"
               << " \"/update.txt\": {\"body_hex\": \"" << Hex(digest + "\r\n") << "\"},\n"
               << " \"/libs.txt\": {\"status\": 404}}\n";
    }
    const std::string url = host + "/bench/pkg.pak";
    constexpr int kRounds = 3;

    platform::SetCurrentDir(Wide(root.string()));  // t.log goes there
    double ours = 1e9;
    int32_t length = 0;
    for (int r = 0; r < kRounds; ++r) {
        CHttpBuffer buffer;
        const auto start = Clock::now();
        if (!buffer.FetchWithRetry(Wide(url)))
            return 1;
        ours = std::min(ours, Seconds(start));
        length = buffer.m_nLength;
    }

    // curl's own transfer time (connection to last byte), without its process start-up; the
    // wall-clock time of the whole command is printed beside it.
    double theirs = 1e9, theirsWall = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        const auto start = Clock::now();
        const std::string total = Run("curl -s -o /dev/null -w '%{time_total}' '" + url + "'");
        theirsWall = std::min(theirsWall, Seconds(start));
        theirs = std::min(theirs, std::strtod(total.c_str(), nullptr));
    }

    // A whole update in a fresh process: its peak memory is the package and the rest.
    fs::create_directories(install / fs::path(platform::kJvmRelativePath).parent_path());
    std::ofstream(install / fs::path(platform::kJvmRelativePath)) << "runtime";
    std::ofstream(install / "run.d") << host << "/bench/quorvia.jar\r\n";
    std::ofstream(work / "quorvia.jar") << "an older archive";
    const std::string child =
        Run(Narrow(platform::GetModuleFilePath()) + " --update '" + install.string() + "' '" +
            work.string() + "' '" + host + "/bench/install/runtime/'");
    std::string written;
    {
        CFile in(Wide((work / "quorvia.jar").string()), CFile::modeRead);
        written = Narrow(CMD5Checksum::GetMD5(in));
    }
    Run(server + " stop --dir '" + fixture.string() + "'");
    fs::remove_all(root);

    const double size = static_cast<double>(mib);
    std::printf("package: %zu MiB from 127.0.0.1, best of %d runs each\n", mib, kRounds);
    std::printf("CHttpBuffer::FetchWithRetry: %.3f s  %.0f MiB/s  (%d bytes)\n", ours, size / ours,
                length);
    std::printf(
        "curl -o /dev/null:           %.3f s  %.0f MiB/s  (time_total; %.3f s with its start-up)\n",
        theirs, size / theirs, theirsWall);
    std::printf("ratio (ours / curl throughput): %.2f\n", theirs / ours);
    long before = 0, peak = 0;
    std::sscanf(child.c_str(), "rss_before_kb=%ld peak_kb=%ld", &before, &peak);
    std::printf(
        "whole update: peak RSS %.1f MiB (%.1f MiB before it began), package %zu MiB, "
        "limit package + 32 MiB = %zu MiB; archive %s\n",
        peak / 1024.0, before / 1024.0, mib, mib + 32,
        written == digest ? "replaced by the package" : "NOT replaced");
    std::printf("child: %s", child.c_str());
    return written == digest && length == static_cast<int32_t>(mib << 20) ? 0 : 2;
}
