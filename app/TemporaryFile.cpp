#include "app/TemporaryFile.h"

#include <windows.h>

TemporaryFile::TemporaryFile(const char* prefix)
{
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) return;
    char name[MAX_PATH];
    if (GetTempFileNameA(folder, prefix, 0, name) == 0) return;
    m_path = name;
}

TemporaryFile::~TemporaryFile()
{
    Delete();
}

void TemporaryFile::Delete()
{
    if (m_path.empty()) return;
    DeleteFileA(m_path.c_str());
    m_path.clear();
}
