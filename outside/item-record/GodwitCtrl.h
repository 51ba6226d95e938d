// The item record control: one filed entry held as typed properties that
// the main program sets and the access servers read back.
#pragma once
#include <windows.h>

#include "Godwit.h"
#include "GodwitDispIds.h"
#include "QuiControl.h"
#include "QuiDispatch.h"

class CGodwitCtrl : public QuiObjectRoot, public QuiDispatchImpl<IGodwit, &IID_IGodwit>, public QuiControlImpl {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CGodwitCtrl();
    ~CGodwitCtrl();

#define GODWIT_PROPERTY(Name, Type, id)                                           \
    STDMETHODIMP get_##Name(Type* value) override { return Get(id, value); } \
    STDMETHODIMP put_##Name(Type value) override { return Put(id, value); }

    GODWIT_PROPERTY(AlarmAdvance, LONG, DISPID_GODWIT_ALARMADVANCE)
    GODWIT_PROPERTY(AlarmAdvanceUnit, LONG, DISPID_GODWIT_ALARMADVANCEUNIT)
    GODWIT_PROPERTY(Body, BSTR, DISPID_GODWIT_BODY)
    GODWIT_PROPERTY(Completed, SHORT, DISPID_GODWIT_COMPLETED)
    GODWIT_PROPERTY(DueDate, DATE, DISPID_GODWIT_DUEDATE)
    GODWIT_PROPERTY(StartDate, DATE, DISPID_GODWIT_STARTDATE)
    GODWIT_PROPERTY(EndDate, DATE, DISPID_GODWIT_ENDDATE)
    GODWIT_PROPERTY(JournalCategory, VARIANT, DISPID_GODWIT_JOURNALCATEGORY)
    GODWIT_PROPERTY(Note, BSTR, DISPID_GODWIT_NOTE)
    GODWIT_PROPERTY(Priority, SHORT, DISPID_GODWIT_PRIORITY)
    GODWIT_PROPERTY(TaskCategory, VARIANT, DISPID_GODWIT_TASKCATEGORY)
    GODWIT_PROPERTY(Contacts, VARIANT, DISPID_GODWIT_CONTACTS)
    GODWIT_PROPERTY(CCs, VARIANT, DISPID_GODWIT_CCS)
    GODWIT_PROPERTY(Private, SHORT, DISPID_GODWIT_PRIVATE)
    GODWIT_PROPERTY(Pencil, SHORT, DISPID_GODWIT_PENCIL)
    GODWIT_PROPERTY(Type, LONG, DISPID_GODWIT_TYPE)
    GODWIT_PROPERTY(BCCs, VARIANT, DISPID_GODWIT_BCCS)
    GODWIT_PROPERTY(Recipients, VARIANT, DISPID_GODWIT_RECIPIENTS)
    GODWIT_PROPERTY(Database, VARIANT, DISPID_GODWIT_DATABASE)
    GODWIT_PROPERTY(Attachments, VARIANT, DISPID_GODWIT_ATTACHMENTS)
    GODWIT_PROPERTY(AlarmAdvanceDate, VARIANT, DISPID_GODWIT_ALARMADVANCEDATE)
    GODWIT_PROPERTY(Error, VARIANT, DISPID_GODWIT_ERROR)
    GODWIT_PROPERTY(SubType, LONG, DISPID_GODWIT_SUBTYPE)
#undef GODWIT_PROPERTY

    STDMETHODIMP AddSubTypeBit(LONG bit) override;
    STDMETHODIMP AddTypeBit(LONG bit) override;
    STDMETHODIMP AboutBox() override;

private:
    HRESULT Get(DISPID id, LONG* value);
    HRESULT Get(DISPID id, SHORT* value);
    HRESULT Get(DISPID id, BSTR* value);
    HRESULT Get(DISPID id, DATE* value);
    HRESULT Get(DISPID id, VARIANT* value);
    HRESULT Put(DISPID id, LONG value);
    HRESULT Put(DISPID id, SHORT value);
    HRESULT Put(DISPID id, BSTR value);
    HRESULT Put(DISPID id, DATE value);
    HRESULT Put(DISPID id, VARIANT value);

    // One slot per property, indexed by DISPID; each holds its declared type.
    VARIANT m_values[DISPID_GODWIT_SUBTYPE + 1];
};
