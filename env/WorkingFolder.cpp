#include "env/WorkingFolder.h"

#include <algorithm>
#include <string>

#include "env/Log.h"
#include "platform/Codepage.h"
#include "platform/File.h"
#include "platform/Folders.h"

bool g_bLiteMode = false;

namespace {
constexpr const char16_t* kRecordFile = u"record.d";
// Only "true" turns lite mode on, and the text ends at the first zero byte: nothing past the
// first few bytes can change the answer, so a huge file is never read whole.
constexpr size_t kRecordReadLimit = 4096;
}  // namespace

bool SetupWorkingFolder() {
    CString documents;
    if (!platform::GetDocumentsFolder(documents)) {
        theLog.Write(u"get document dir fail!");
        return false;
    }
    const CString folder = documents + platform::kDirSeparator + u"quorvia";
    if (!platform::IsDirectory(folder)) platform::MakeDirectory(folder);
    platform::SetCurrentDir(folder);
    // The run's first line: t.log is created in the folder that has just become current.
    theLog.Write(u"get document dir success: %s", documents);
    return true;
}

void LoadLiteMode() {
    CFile file;
    if (!file.Open(kRecordFile, CFile::modeRead | CFile::shareExclusive)) return;
    CString text;
    try {
        const uint32_t length = static_cast<uint32_t>(file.GetLength());
        if (length != 0) {
            std::string bytes(std::min<size_t>(length, kRecordReadLimit), '\0');
            bytes.resize(file.Read(bytes.data(), bytes.size()));
            const size_t zero = bytes.find('\0');
            if (zero != std::string::npos) bytes.resize(zero);
            text = platform::ThreadAnsiToWide(bytes);
        }
        file.Close();
    } catch (const CFileException&) {
        return;  // read error after the open: as if the file could not be opened
    }
    g_bLiteMode = (text == u"true");
}

void SaveLiteMode() {
    const std::string bytes = platform::WideToAnsi(g_bLiteMode ? u"true" : u"false");
    CFile file;
    try {
        if (file.Open(kRecordFile, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
            file.Write(bytes.data(), bytes.size());
            file.Flush();
            file.Close();
            return;
        }
    } catch (const CFileException&) {
        // A failed write is reported like a failed open; the choice still holds for this run.
    }
    theLog.Write(u"write config error!!");
}
