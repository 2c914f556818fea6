#include "update/RuntimeLibraries.h"

#include <vector>

#include "ProductInfo.h"
#include "env/Log.h"
#include "net/HttpBuffer.h"
#include "platform/File.h"
#include "platform/Folders.h"
#include "update/FileReplace.h"
#include "update/LaunchState.h"

namespace {

// The entries between semicolons, in order, duplicates kept; runs of semicolons give none.
std::vector<CString> SplitEntries(const CString& text) {
    std::vector<CString> entries;
    int start = 0;
    while (start <= text.GetLength()) {
        int end = text.Find(u';', start);
        if (end < 0)
            end = text.GetLength();
        if (end > start)
            entries.push_back(text.Mid(start, end - start));
        start = end + 1;
    }
    return entries;
}

// Any file that opens for reading counts as present and complete.
bool IsPresent(const CString& path) {
    CFile probe;
    if (!probe.Open(path, CFile::modeRead | CFile::shareCompat))
        return false;
    probe.Close();
    return true;
}

}  // namespace

bool IsSafeLibraryEntry(const CString& entry) {
    if (entry.IsEmpty() || entry[0] == u'/')
        return false;
    if (entry.Find(u':') >= 0 || entry.Find(u'\\') >= 0)
        return false;
    int start = 0;
    for (;;) {
        int end = entry.Find(u'/', start);
        if (end < 0)
            end = entry.GetLength();
        if (end - start == 2 && entry[start] == u'.' && entry[start + 1] == u'.')
            return false;
        if (end == entry.GetLength())
            return true;
        start = end + 1;
    }
}

void DownloadRuntimeLibraries(const char16_t* libsUrl) {
    DownloadRuntimeLibrariesFrom(libsUrl, CString(KESTROP_RUNTIME_BASE_URL));
}

void DownloadRuntimeLibrariesFrom(const char16_t* libsUrl, const CString& baseUrl) {
    CHttpBuffer buffer;
    if (!buffer.Fetch(libsUrl))
        return;  // one attempt: libs.txt is not retried
    if (buffer.m_pData[0] == 0)
        return;

    // The text stays as the server sent it: it is also the tail of the class path.
    const CString text = buffer.ToString();
    theLog.Write(u"set lib text:%s", text);
    SetLibList(text);

    for (const CString& entry : SplitEntries(text)) {
        if (!IsSafeLibraryEntry(entry)) {
            theLog.Write(u"skip library outside the working folder: %s", entry);
            continue;
        }
        CString local = entry;
        local.Replace(u'/', platform::kDirSeparator);
        if (IsPresent(local))
            continue;

        // Only the first folder level is made, as the list's entries are "folder/file".
        const int slash = entry.Find(u'/');
        if (slash >= 0) {
            const CString folder = entry.Left(slash);
            if (!platform::IsDirectory(folder))
                platform::MakeDirectory(folder);
        }

        const CString url = baseUrl + entry;
        if (!buffer.FetchWithRetry(url))
            continue;  // absent now; the next start tries again
        CFileException error(CFileException::none, 0, CString(), CString());
        if (!ReplaceFileContents(local, buffer.Data(), static_cast<size_t>(buffer.m_nLength),
                                 error)) {
            LogException(error);
            continue;
        }
        theLog.Write(u"download file %s, from %s", entry, url);
    }
}
