#include "DestUtil.h"

#include <algorithm>
#include <cmath>
#include <list>

#include "ActionNote.h"
#include "ButtonProps.h"
#include "Datastore.h"
#include "DateDrop.h"
#include "DateValue.h"
#include "Destination.h"
#include "QuiParseSinks.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"

QuiPrsKeyphrase* KeyphraseOf(INT_PTR nExtra)
{
    return reinterpret_cast<QuiPrsKeyphrase*>(nExtra);
}

void HoldKeyphrase(CActionNote* note, const CDestination* owner, INT_PTR nExtra)
{
    if (note && nExtra != 0)
        note->ClaimKeyphrase(KeyphraseOf(nExtra), owner);
}

void LetKeyphraseGo(CActionNote* note, const CDestination* owner, INT_PTR nExtra)
{
    if (note && nExtra != 0)
        note->ReleaseKeyphrase(KeyphraseOf(nExtra), owner);
}

bool UserChanged(CDestProp* prop)
{
    return prop && (prop->GetFlags() & CDestProp::FLAG_USER_CHANGED) != 0;
}

bool AnyUserChanged(std::initializer_list<CDestProp*> props)
{
    for (CDestProp* prop : props) {
        if (UserChanged(prop))
            return true;
    }
    return false;
}

void SetChecked(CDestination& dest, bool bChecked)
{
    COleVariant value;
    value.vt = VT_BOOL;
    value.boolVal = bChecked ? VARIANT_TRUE : VARIANT_FALSE;
    dest.GetCheckProp()->SetValue(value);
}

bool IsChecked(CDestination& dest)
{
    VARIANT value;
    ::VariantInit(&value);
    dest.GetCheckProp()->GetValue(&value);
    bool checked = value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
    ::VariantClear(&value);
    return checked;
}

bool SwitchedOff(CDestination& dest)
{
    return UserChanged(dest.GetCheckProp()) && !IsChecked(dest);
}

void RegisterDestinationSink(const char* package, const char* typeId, CDestination* dest, CActionNote* note,
                             QuiDestinationSink& sink, QuiPrsContext*& context, bool& registered)
{
    CQuillmateApp* app = QuiGetApp();
    QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr;
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    QuiPrsContext* noteContext = note ? note->GetContext() : nullptr;
    if (!manager || !datastore || !noteContext)
        return;
    // A second attach in the same context must not double every event.
    if (registered && context == noteContext && manager->HasContext(context))
        return;
    UnregisterDestinationSink(package, sink, context, registered);
    QuiItemType* type = datastore->GetItemType(typeId);
    if (!type)
        return;
    context = noteContext;
    sink.SetDestination(dest);
    registered = manager->RegisterSink(package, context, type, &sink);
}

void UnregisterDestinationSink(const char* package, QuiDestinationSink& sink, QuiPrsContext*& context,
                               bool& registered)
{
    if (!registered)
        return;
    registered = false;
    CQuillmateApp* app = QuiGetApp();
    QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr;
    if (manager && context && manager->HasContext(context))
        manager->UnregisterSink(package, context, &sink);
    context = nullptr;
}

void ReplaySink(QuiDestinationSink& sink, QuiPrsContext* context, bool registered)
{
    CQuillmateApp* app = QuiGetApp();
    QuiParserMgr* manager = app ? app->GetParserMgr() : nullptr;
    if (manager && registered && context)
        manager->Replay(context, &sink);
}

void RoleDate(QuiPrsItemRole* role, COleVariant& value)
{
    value.Clear();
    auto* numeric = role ? dynamic_cast<QuiNumericItem*>(role->getItem()) : nullptr;
    DATE date = numeric ? TimeToVariantDate(static_cast<int32_t>(numeric->getValue())) : 0.0;
    if (date == 0.0) {
        // A moment that could not be converted is no date: never 30 Dec 1899.
        value.vt = VT_NULL;
        return;
    }
    value.vt = VT_DATE;
    value.date = date;
}

DATE FieldDate(CDateDrop& field)
{
    DATE date = -1.0;
    if (field.GetSafeHwnd())
        field.GetDate(&date);
    return date;
}

DATE FieldTime(CTimeEdit& field)
{
    DATE time = -1.0;
    if (field.GetSafeHwnd())
        field.GetTime(&time);
    return time;
}

void RewriteTime(CTimeEdit& field)
{
    const DATE time = FieldTime(field);
    if (time >= 0.0)
        field.SetTime(time);
}

int MinutesOfDay(DATE t)
{
    if (t < 0.0)
        return -1;
    double fraction = t - std::floor(t);
    int minutes = static_cast<int>(std::floor(fraction * 24.0 * 60.0 + 0.5));
    return minutes >= 24 * 60 ? 24 * 60 - 1 : minutes;
}

DATE TimeOfDayAfter(DATE start, long minutes)
{
    long end = MinutesOfDay(start) + minutes;
    if (end >= 24 * 60)
        end = 24 * 60 - 1;
    if (end < 0)
        end = 0;
    return static_cast<DATE>(end) / (24.0 * 60.0);
}

CString TextWithoutRanges(const CString& text, const std::vector<std::pair<int, int>>& ranges, UINT codePage)
{
    const int length = text.GetLength();
    if (ranges.empty() || length == 0)
        return text;
    // The engine counted UTF-16 units of the text; a character of a
    // double-byte code page takes two bytes here. bytesBefore[i] is where
    // the i-th unit starts in the text.
    const int units = ::MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (units <= 0)
        return text;
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    ::MultiByteToWideChar(codePage, 0, text, length, wide.data(), units);
    std::vector<int> bytesBefore(static_cast<size_t>(units) + 1, length);
    int bytes = 0;
    for (int i = 0; i < units; i++) {
        bytesBefore[static_cast<size_t>(i)] = bytes < length ? bytes : length;
        bytes += ::WideCharToMultiByte(codePage, 0, &wide[static_cast<size_t>(i)], 1, nullptr, 0, nullptr, nullptr);
    }
    std::vector<bool> cut(static_cast<size_t>(length), false);
    bool any = false;
    for (const std::pair<int, int>& range : ranges) {
        int first = range.first;
        int last = range.second;
        if (first < 0 || first >= units || last < first)
            continue;
        if (last >= units)
            last = units - 1;
        int from = bytesBefore[static_cast<size_t>(first)];
        const int to = bytesBefore[static_cast<size_t>(last) + 1];
        // The blank that parted the phrase from the words before it goes
        // too, but no other character.
        if (from > 0 && (text[from - 1] == ' ' || text[from - 1] == '\t'))
            from--;
        for (int i = from; i < to; i++)
            cut[static_cast<size_t>(i)] = true;
        any = true;
    }
    if (!any)
        return text;
    CString result;
    for (int i = 0; i < length; i++) {
        if (!cut[static_cast<size_t>(i)])
            result += text[i];
    }
    result.TrimLeft();
    result.TrimRight();
    return result;
}

CString TextWithoutKeyphrases(const CString& text, const INT_PTR* keyphrases, int count)
{
    std::vector<std::pair<int, int>> ranges;
    for (int k = 0; k < count; k++) {
        if (keyphrases[k] == 0)
            continue;
        int first = 0, last = 0;
        KeyphraseOf(keyphrases[k])->getOffsets(&first, &last);
        ranges.emplace_back(first, last);
    }
    return TextWithoutRanges(text, ranges);
}
