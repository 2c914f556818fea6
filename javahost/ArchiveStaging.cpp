#include "javahost/ArchiveStaging.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <new>

#include "env/Log.h"
#include "javahost/JavaVm.h"
#include "net/MD5Checksum.h"
#include "platform/File.h"
#include "platform/Folders.h"
#include "platform/Memory.h"

namespace {

void Unscramble(unsigned char* data, size_t length) {
    for (size_t i = 0; i < length; ++i)
        data[i] ^= kJarKey;
}

// The data folder may be missing on a fresh Linux account; a folder that always exists on
// Windows must not stop the start there.
void EnsureFolder(const CString& folder) {
    if (folder.IsEmpty() || platform::IsDirectory(folder))
        return;
    const int slash = folder.ReverseFind(platform::kDirSeparator);
    if (slash > 0)
        EnsureFolder(folder.Left(slash));
    platform::MakeDirectory(folder);
}

// Writes the whole block to an open file; a failure is logged and leaves the file incomplete.
bool WriteAll(CFile& file, const unsigned char* data, size_t length) {
    try {
        file.Write(data, length);
        file.Close();
        return true;
    } catch (const CFileException& e) {
        LogException(e);
        file.Abort();
        return false;
    }
}

// Where an open file can be shared (Linux), rewriting the temporary archive in place would
// change the file under the virtual machine of an instance that is running from it. A new
// file renamed over the path leaves that instance its own copy.
void WriteByRename(const CString& path, const unsigned char* data, size_t length) {
    // Two instances that stage at once must not write into one new file; the clock's low bits
    // tell them apart without anything that could throw.
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    const CString fresh = fmt::Format(u"%s.%08x", path, static_cast<unsigned>(tick));
    CFile file;
    if (!file.Open(fresh, CFile::modeCreate | CFile::modeWrite))
        return;
    if (!WriteAll(file, data, length)) {
        platform::RemoveFile(fresh);
        return;
    }
    if (!platform::MoveFileOver(fresh, path)) {
        theLog.Write(u"move jar to:%s fail", path);
        platform::RemoveFile(fresh);
    }
}

// On Windows the exclusive open is the protection: a file held by a running instance cannot be
// opened, and the start goes ahead with the copy that is there.
void WriteInPlace(const CString& path, const unsigned char* data, size_t length) {
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite))
        return;
    WriteAll(file, data, length);
}

}  // namespace

std::unique_ptr<unsigned char[]> ReadJarFile(const char16_t* path, size_t& length) {
    CFile file;
    if (!file.Open(path, CFile::modeRead))
        return nullptr;
    try {
        const uint64_t size = file.GetLength();
        if (size == 0)
            return nullptr;
        // The whole length: an archive cut to what fits a smaller number would start as a
        // broken application.
        std::unique_ptr<unsigned char[]> block;
        if (size <= SIZE_MAX)
            block.reset(new (std::nothrow) unsigned char[static_cast<size_t>(size)]);
        if (!block) {
            theLog.Write(u"read jar file fail: no memory for %u bytes", size);
            return nullptr;
        }
        const size_t count = static_cast<size_t>(size);
        // Filling the block is most of the staging's time; huge pages cut its page faults.
        platform::AdviseLargeBlock(block.get(), count);
        const size_t got = file.Read(block.get(), count);
        if (got != count) {
            theLog.Write(u"read jar file fail: %u of %u bytes read", got, count);
            return nullptr;
        }
        file.Close();
        Unscramble(block.get(), count);
        length = count;
        return block;
    } catch (const CFileException& e) {
        LogException(e);
        return nullptr;
    }
}

void MakeTempJarPath() {
    CString folder;
    if (!platform::GetLocalAppDataFolder(folder)) {
        theLog.Write(u"SHGetSpecialFolderLocation fail !");
        return;
    }
    EnsureFolder(folder);
    // The digest of the whole path: two installations never share one temporary file.
    const CString digest = CMD5Checksum::GetMD5(platform::GetModuleFilePath());
    g_szTempJarPath = folder + platform::kDirSeparator + u"_Temp_" + digest;
    theLog.WriteText(g_szTempJarPath);
}

void WriteTempJar(const unsigned char* data, size_t length) {
    MakeTempJarPath();
    theLog.Write(u"write jar to:%s", g_szTempJarPath);
    // No folder, no file: as when the open fails.
    if (g_szTempJarPath.IsEmpty())
        return;
    if constexpr (platform::kTargetIsWindows) {
        WriteInPlace(g_szTempJarPath, data, length);
    } else {
        WriteByRename(g_szTempJarPath, data, length);
    }
}

int CreateJarAndRun(const char16_t* jvmPath, const char16_t* jarFile, const char16_t* libList) {
    theLog.Write(u"create JarAnd Run: jvm=%s, jar=%s", jvmPath, jarFile);
    {
        size_t length = 0;
        const std::unique_ptr<unsigned char[]> jar = ReadJarFile(jarFile, length);
        if (!jar) {
            // Standard output, not the log: the launch window reports the code itself.
            std::fputs("can't find jar file\n", stdout);
            std::fflush(stdout);
            return kJarMissing;
        }
        WriteTempJar(jar.get(), length);
    }
    return CreateJvmAndRun(jvmPath, libList);
}
