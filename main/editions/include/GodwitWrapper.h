// CGodwitWrapper: the program's side of one item record of the outside
// control "Godwit.GodwitCtrl.1". A destination fills it by DISPID; the
// datastore hands its IDispatch to the back end's server.
#pragma once
#include <afxquill.h>

class CGodwitWrapper : public COleDispatchDriver {
public:
    // Creates the record; a record that cannot be made throws the filled-in
    // COleException*.
    CGodwitWrapper();
    ~CGodwitWrapper();
    CGodwitWrapper(const CGodwitWrapper&) = delete;
    CGodwitWrapper& operator=(const CGodwitWrapper&) = delete;

    // Does nothing while a record is held.
    void Create();

    long GetAlarmAdvance();
    void SetAlarmAdvance(long value);
    long GetAlarmAdvanceUnit();
    void SetBody(LPCTSTR text);
    short GetCompleted();
    DATE GetDueDate();
    void SetDueDate(DATE value);
    DATE GetStartDate();
    void SetStartDate(DATE value);
    DATE GetEndDate();
    void SetEndDate(DATE value);
    // Variants come back owned by the caller.
    VARIANT GetJournalCategory();
    void SetJournalCategory(const VARIANT& value);
    short GetPriority();
    void SetPriority(short value);
    VARIANT GetTaskCategory();
    void SetTaskCategory(const VARIANT& value);
    VARIANT GetContacts();
    VARIANT GetCCs();
    short GetPrivate();
    short GetPencil();
    long GetType();
    VARIANT GetBCCs();
    VARIANT GetRecipients();
    void SetRecipients(const VARIANT& value);
    VARIANT GetDatabase();
    VARIANT GetAttachments();
    VARIANT GetAlarmAdvanceDate();
    VARIANT GetError();
    long GetSubType();
    // Type and SubType change only by adding bits.
    void AddSubTypeBit(long bit);
    void AddTypeBit(long bit);

private:
    VARIANT GetVariant(DISPID id);
};
