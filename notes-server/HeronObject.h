// Heron's one class: the Notes access server object that the main program's
// Notes edition creates by ProgID and calls by DISPID.
#pragma once
#include <windows.h>

#include <functional>

#include "GodwitDispIdCache.h"
#include "Heron.h"
#include "HeronConnection.h"
#include "HeronRecordNames.h"
#include "HeronRes.h"
#include "QuiComObject.h"
#include "QuiDispatch.h"
#include "QuiErrorInfo.h"

class CHeron : public QuiObjectRoot,
               public QuiDispatchImpl<IHeron, &IID_IHeron>,
               public QuiSupportErrorInfoImpl<&IID_IHeron> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CHeron();
    ~CHeron();

    // The type library's Invoke turns every success code into S_OK; a
    // member's own answer (87 for a missing argument) goes back as it is.
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

    STDMETHODIMP get_Contacts(VARIANT* pVal) override;
    STDMETHODIMP get_TodoCategories(VARIANT* pVal) override;
    STDMETHODIMP Connect(LONG reserved) override;
    STDMETHODIMP FileKeynote(IDispatch* keynote) override;
    STDMETHODIMP OpenNotes() override;
    STDMETHODIMP get_JournalCategories(VARIANT* pVal) override;
    STDMETHODIMP CreateJournalFolder(BSTR folderName) override;
    STDMETHODIMP GetModifiedContacts(VARIANT* contacts) override;
    STDMETHODIMP GetModifiedJournalCategories(VARIANT* categories) override;
    STDMETHODIMP GetModifiedDatabaseFolders(BSTR database, VARIANT* folders) override;
    STDMETHODIMP GetModifiedTodoCategories(VARIANT* categories) override;
    STDMETHODIMP get_CalendarPrefs(VARIANT* pVal) override;
    STDMETHODIMP get_UserInfo(VARIANT* pVal) override;
    STDMETHODIMP CreateContact(VARIANT* line) override;
    STDMETHODIMP get_NotesVersion(LONG* pVal) override;
    STDMETHODIMP AddTaskCategory(BSTR category) override;
    STDMETHODIMP QuickConflictCheck(IDispatch* keynote) override;
    STDMETHODIMP get_Servers(VARIANT* pVal) override;
    STDMETHODIMP GetCalendarDay(VARIANT day, VARIANT* entries) override;

private:
    // A worker result as an HRESULT with error information; without a
    // worker `result` is the string id of the description.
    HRESULT ReturnError(int result, DWORD helpContext = 0);
    // Called in a catch block: records what was thrown as the worker's last
    // error under the operation's context and answers it.
    HRESULT ReturnThrown(HERON* worker, UINT contextId);
    HRESULT NullKeynote(const char* member);
    // Files every kind of the record that its "Type" names.
    HRESULT FileKinds(IDispatch* keynote);
    // The worker's answer to `work` as an HRESULT: before a connect made a
    // worker the not-connected error; anything thrown on the way becomes
    // the error of the operation's context text.
    HRESULT Served(UINT contextId, const std::function<int(HERON*)>& work);
    // The same for a member with an out VARIANT, which is cleared first.
    HRESULT Served(VARIANT* out, UINT contextId, const std::function<int(HERON*, VARIANT*)>& work);
    // Clears the out VARIANT and hands it to `work` with the worker; before
    // a connect made one, the answer is the not-connected error.
    template <class Work>
    HRESULT WithWorker(VARIANT* out, Work work)
    {
        if (!out)
            return E_POINTER;
        VariantInit(out);
        HERON* worker = m_connection.Worker();
        return worker ? work(worker, out) : ReturnError(IDS_NOT_CONNECTED);
    }
    HRESULT Answer(HRESULT hr);

    GodwitDispIdCache m_cache;
    HeronConnection m_connection;
    HRESULT m_answer = S_OK;
};
