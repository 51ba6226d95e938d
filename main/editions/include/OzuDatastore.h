// COzuDatastore: the back end of the Lotus Notes edition (ActivePIM 1),
// through the Notes access server Heron.
#pragma once
#include "PimDatastore.h"

class COzuDatastore : public CPimDatastore {
public:
    // Finds Notes (asking the user for its folder when the lookup fails),
    // registers and creates Heron. Throws COzuExcept 60019 when Notes is not
    // found, 57706 when the server cannot be made.
    COzuDatastore();
    ~COzuDatastore() override;

    long Connect() override;
    // A record the server did not take throws COzuExcept.
    long FileRecord(IDispatch* record) override;
    long OpenBackEnd() override;
    long GetDefaultDuration() override;
    long GetBackEndVersion() override;
    BOOL GetFolderList(CStringArray& folders) override;
    BOOL LoadItems() override;
    int GetType() override;
    void RegisterTypes() override;
    UINT GetResourceId() override;
    const char* const* GetItemTypeIds() override;
    void AddTrayMenuItems(CMenu* menu, UINT pos) override;

    // The new-contact dialog; on OK its line goes to the server. 0 either way.
    long NewContact();
    // The calendar entry kind a new calendar entry starts with, as its
    // SubType bit (0x100 appointment ... 0x1000 reminder); 0 until read.
    int GetDefaultEntryType() const { return m_nDefaultEntryType; }

    // The calendar profile's entry type as the server gives it (the kind's
    // bit in decimal, or a Notes entry type 0 to 4) as a SubType bit; 0 for
    // anything else.
    static int EntryTypeBit(long value);

protected:
    IHeronWrapper* Heron() const { return dynamic_cast<IHeronWrapper*>(m_pWrapper); }
    void ReadCalendarProfile();

    long m_nVersion = 0;
    int m_nDefaultEntryType = 0;
    int m_nDefaultDuration = 0;
    OzuRegistry m_registry;
};
