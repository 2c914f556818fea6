// Stages one large scrambled archive the way the launch call does (read whole, unscramble,
// write the temporary copy) and, in the same run, copies the same file with cp; prints both
// throughputs. Usage: staging_bench [size-in-MiB] [folder]   (defaults: 256, the temp folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "javahost/ArchiveStaging.h"
#include "javahost/JavaVm.h"
#include "platform/Codepage.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    const std::filesystem::path folder =
        (argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path()) /
        "kestrop-staging-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    // The temporary copy goes to the bench's folder, not the user's data folder.
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    {
        std::mt19937_64 random(42);
        std::vector<unsigned long long> block(1 << 17);  // 1 MiB
        std::ofstream out("app.jar", std::ios::binary | std::ios::trunc);
        for (size_t i = 0; i < mib; ++i) {
            for (auto& w : block)
                w = random();
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * 8));
        }
    }
    constexpr int kRounds = 5;

    // Both write over the copy of the previous round, as a start does over the last start's.
    double ours = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        const auto start = Clock::now();
        size_t length = 0;
        const auto jar = ReadJarFile(u"app.jar", length);
        if (!jar)
            return 1;
        WriteTempJar(jar.get(), length);
        ours = std::min(ours, Seconds(start));
    }

    double theirs = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        const auto start = Clock::now();
        if (std::system("cp app.jar copy.bin") != 0)
            return 1;
        theirs = std::min(theirs, Seconds(start));
    }

    // The staged copy must be the unscrambled archive.
    bool same = false;
    {
        std::ifstream scrambled("app.jar", std::ios::binary);
        std::ifstream plain(platform::WideToUtf8(g_szTempJarPath.View()), std::ios::binary);
        std::vector<char> a(1 << 20), b(1 << 20);
        same = true;
        while (same && scrambled.read(a.data(), static_cast<std::streamsize>(a.size()))) {
            plain.read(b.data(), static_cast<std::streamsize>(b.size()));
            for (size_t i = 0; i < a.size() && same; ++i) {
                same = static_cast<unsigned char>(a[i] ^ b[i]) == kJarKey;
            }
        }
        same = same && plain.read(b.data(), 1).eof();
    }
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);

    const double size = static_cast<double>(mib);
    std::printf("archive: %zu MiB, best of %d runs each\n", mib, kRounds);
    std::printf("staging (read, unscramble, write): %.3f s  %.0f MiB/s\n", ours, size / ours);
    std::printf("cp:                                %.3f s  %.0f MiB/s\n", theirs, size / theirs);
    std::printf("ratio (staging / cp throughput): %.2f\n", theirs / ours);
    return same ? 0 : 2;
}
