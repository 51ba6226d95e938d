#include "PdCommon.h"

#include <algorithm>
#include <cstring>

#include "SafeSave.h"
#include "StandInFault.h"

const char* const kPalmTableFolders[4] = {"todo", "memopad", "datebook", "address"};

namespace {
const char kUsersMagic[4] = {'P', 'D', 'U', '1'};

// The user's folder and one folder per table in it.
bool MakeFolders(const CString& folder)
{
    if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (const char* table : kPalmTableFolders) {
        const CString sub = folder + "\\" + table;
        if (!CreateDirectoryA(sub, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}
} // namespace

int CUserMgr::SetDirectory(LPCTSTR desktopPath)
{
    m_directory = desktopPath;
    m_users.clear();
    m_cursor = 0;
    if (PalmStandInFails("CUserMgr::SetDirectory"))
        return 1;
    const CString path = m_directory + PALM_USERS_FILE;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 0;
    try {
        CFile file(path, CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load);
        char magic[4];
        if (ar.Read(magic, 4) != 4 || std::memcmp(magic, kUsersMagic, 4) != 0)
            AfxThrowArchiveException(CArchiveException::badClass, path);
        unsigned long count = 0;
        ar >> count;
        if (count > ar.BytesLeft())
            AfxThrowArchiveException(CArchiveException::endOfFile, path);
        for (unsigned long i = 0; i < count; ++i) {
            unsigned long id = 0;
            CString name, directory;
            ar >> id >> name >> directory;
            m_users.emplace_back(id, name, directory);
        }
    } catch (CException* e) {
        e->Delete();
        m_users.clear();
        return 1;
    }
    return 0;
}

CUser* CUserMgr::FindFirst()
{
    m_cursor = 0;
    return FindNext();
}

CUser* CUserMgr::FindNext()
{
    return m_cursor < m_users.size() ? &m_users[m_cursor++] : nullptr;
}

CUser* CUserMgr::AddUser(LPCTSTR name, LPCTSTR directory, bool makeFolders)
{
    if (std::any_of(m_users.begin(), m_users.end(), [name](const CUser& u) { return u.GetName() == name; }))
        return nullptr;
    if (makeFolders && !MakeFolders(m_directory + directory))
        return nullptr;
    unsigned long id = 1;
    for (const CUser& user : m_users)
        id = std::max(id, user.GetID() + 1);
    m_users.emplace_back(id, name, directory);
    return &m_users.back();
}

void CUserMgr::Save()
{
    SaveReplacing(m_directory + PALM_USERS_FILE, [this](CArchive& ar) {
        ar.Write(kUsersMagic, 4);
        ar << static_cast<unsigned long>(m_users.size());
        for (const CUser& user : m_users)
            ar << user.GetID() << user.GetName() << user.GetDirectory();
    });
}

CString CUserMgr::Dump() const
{
    CString out;
    for (const CUser& user : m_users) {
        CString line;
        line.Format("user id=%lu name=\"%s\" directory=\"%s\"\r\n", user.GetID(), user.GetName().GetString(),
                    user.GetDirectory().GetString());
        out += line;
    }
    return out;
}
