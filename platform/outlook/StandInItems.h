// The stand-in's items: a task, calendar entry, journal entry, mail message
// and note, each a bag of typed properties that Save, Send and Delete append
// to the message store whole, with its recipients and attachments, as Outlook
// reads them back: the categories apart at the user's list separator, an
// entry all-day only when its times allow it, and a message's To, CC and BCC
// texts made from its recipients.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "OutlookStandIn.h"
#include "QuiComObject.h"
#include "QuiDispatch.h"
#include "QuiErrorInfo.h"

enum class ValueKind { Text, Long, Bool, Date };

struct PropertyDef {
    const char* name;
    ValueKind kind;
    long initial;                   // Long and Bool kinds
    bool (*allowed)(long) = nullptr;  // Long kind: the values Outlook documents
};

struct ItemKindDef {
    const char* name;       // as the store names the kind
    const char* interfaceName;  // as failing calls are named
    const IID* iid;
    const PropertyDef* properties;
    size_t count;
};

struct StoredValue {
    bool set = false;
    std::wstring text;
    long number = 0;
    DATE date = 0.0;
};

struct RecipientData {
    std::wstring name;
    bool resolved = false;
    long type = 1;  // OlMailRecipientType, olTo unless told
};

struct AttachmentData {
    std::wstring source;
    std::wstring displayName;
};

// One item's state, shared by the item and its collections.
struct ItemData {
    explicit ItemData(const ItemKindDef& def);
    const ItemKindDef& kind;
    std::vector<StoredValue> values;
    std::vector<RecipientData> recipients;
    std::vector<AttachmentData> attachments;
    bool saved = false;
    bool gone = false;  // sent or deleted: out of the caller's hands
    DWORD session;      // Outlook's session the item was made in
};

// Sets the thread's error information with the stand-in's source and
// returns hr.
HRESULT StandInError(HRESULT hr, REFIID iid, const std::wstring& text);

namespace StandInItem {
// S_OK while the item's session lasts, else what a server that has gone answers.
HRESULT Closed(const ItemData& item);
// The error of a call on an item sent or deleted.
HRESULT Gone(const ItemData& item);
// A call the object model guard asks the user about ("_MailItem.Send"): S_OK
// when the guard is off or the user allows it; each prompt goes into the store.
HRESULT Guard(const ItemData& item, const char* call);
HRESULT Get(ItemData& item, const char* name, BSTR* out);
HRESULT Get(ItemData& item, const char* name, LONG* out);
HRESULT Get(ItemData& item, const char* name, VARIANT_BOOL* out);
HRESULT Get(ItemData& item, const char* name, DATE* out);
HRESULT Put(ItemData& item, const char* name, BSTR value);
HRESULT Put(ItemData& item, const char* name, LONG value);
HRESULT Put(ItemData& item, const char* name, VARIANT_BOOL value);
HRESULT Put(ItemData& item, const char* name, DATE value);
HRESULT GetRecipients(const std::shared_ptr<ItemData>& item, Recipients** out);
HRESULT GetAttachments(const std::shared_ptr<ItemData>& item, Attachments** out);
HRESULT Save(ItemData& item);
HRESULT Send(ItemData& item);
HRESULT Delete(ItemData& item);
}  // namespace StandInItem

// Creates the item of that kind; E_INVALIDARG for a kind the stand-in lacks.
HRESULT CreateStandInItem(OlItemType type, IDispatch** out);
