#include "update/FileReplace.h"

#include "platform/File.h"
#include "platform/Folders.h"

bool ReplaceFileContents(const CString& path, const void* data, size_t size,
                         CFileException& error) {
    if (path.IsEmpty()) {
        error = CFileException(CFileException::badPath, 0, path, CString(u"no file name"));
        return false;
    }
    const CString temp = path + u".part";
    CFile file;
    if (!file.Open(temp, CFile::modeCreate | CFile::modeWrite, &error))
        return false;
    try {
        file.Write(data, size);
        file.Flush();
        file.Close();
    } catch (const CFileException& e) {
        error = e;
        file.Abort();
        platform::RemoveFile(temp);
        return false;
    }
    if (!platform::MoveFileOver(temp, path)) {
        error = CFileException(CFileException::generic, 0, path,
                               CString(u"cannot move the new file over it"));
        platform::RemoveFile(temp);
        return false;
    }
    return true;
}
