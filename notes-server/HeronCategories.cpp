// The worker's to-do categories and its access to the calendar profile.
#include <cstring>
#include <memory>

#include "HeronOptions.h"
#include "HeronRes.h"
#include "HeronWorker.h"
#include "VariantArray.h"

namespace {

const char kProfile[] = "CalendarProfile";
const WORD kProfileLength = 15;
const char kUserCategories[] = "UserCategories";
// The status a missing form, field or formula is raised with.
const LNSTATUS kNoChoices = 3;
// Runtime builds before this one keep no categories Heron can read.
const WORD kFirstCategoriesBuild = 160;
// The form is opened in the library's shared memory mode.
const WORD kOpenShared = 0x0020;

FARPROC NotesFunction(const char* name)
{
    HMODULE library = GetModuleHandleA("nnotes");
    return library ? GetProcAddress(library, name) : nullptr;
}

void GeneratedCategories(VARIANT* out)
{
    QuiMakeStringArray(out);
    for (char digit = '0'; digit <= '7'; ++digit) {
        char name[] = {'C', 'a', 't', 'e', 'g', 'o', 'r', 'y', digit, 0};
        QuiAppendAnsiString(out, name);
    }
}

}  // namespace

std::string KeywordBeforeBar(const std::string& keyword)
{
    return keyword.substr(0, keyword.find('|'));
}

std::vector<std::string> SplitUserCategories(const char* text)
{
    std::vector<std::string> pieces;
    std::string rest = text;
    for (size_t separator; (separator = rest.find(';')) != std::string::npos; rest.erase(0, separator + 1))
        pieces.push_back(rest.substr(0, separator));
    if (!rest.empty())
        pieces.push_back(rest);
    return pieces;
}

OpenedNote::~OpenedNote()
{
    if (handle && LNNotes().NSFNoteClose)
        LNNotes().NSFNoteClose(handle);
}

int HERON::GetCategories(VARIANT* out)
{
    try {
        WORD build = 0;
        m_session.Session().GetNotesVersion(&build, LNString(""));
        if (build < kFirstCategoriesBuild) {
            if (HeronOptions::Number(HERON_OPT_GENERATE_DATA))
                GeneratedCategories(out);
            return 0;
        }
        QuiMakeStringArray(out);
        GetSystemCategories(out);
        return GetUserCategories(out);
    } catch (LNSTATUS status) {
        SetStatusError(status, "GetCategories", IDS_CTX_CATEGORIES);
        return status;
    } catch (...) {
        SetError(NTS5_ERROR_CANT_GET_CATEGORIES_BAD, "GetCategories", IDS_CTX_CATEGORIES);
        return NTS5_ERROR_CANT_GET_CATEGORIES_BAD.code;
    }
}

int HERON::GetSystemCategories(VARIANT* out)
{
    return Recorded(IDS_CTX_SYSTEM_CATEGORIES, [&]() -> int {
        LNDatabase mail;
        m_session.Session().GetMailDatabase(&mail);
        mail.Open();
        if (!mail.FormExists("To do"))
            throw kNoChoices;
        LNForm form;
        mail.GetForm("To do", &form);
        form.Open(0);
        if (!form.HasFormField("Categories"))
            throw kNoChoices;
        LNKeywordsField field;
        form.GetFormField("Categories", &field);
        if (field.GetChoicesOption() != 1)
            throw kNoChoices;
        LNFormula formula;
        field.GetChoicesFormula(&formula);
        LNText choices;
        LNSTATUS status = formula.Evaluate(&choices);
        std::vector<std::string> keywords;
        for (DWORD i = 0; i < choices.GetCount(); ++i)
            keywords.push_back(KeywordBeforeBar(choices[i].GetPlatformTextPtr()));
        for (const std::string& keyword : keywords)
            QuiAppendAnsiString(out, keyword.c_str());
        return status;
    });
}

void HERON::OpenUserProfile(OpenedProfile* opened)
{
    m_session.GetMailDatabase(&opened->mail);
    opened->mail.Open();
    if (OpenCalendarProfile(&opened->note.handle, opened->Database()))
        throw NTS5_ERROR_CANT_OPEN_CALENDAR_PROFILE;
}

int HERON::GetUserCategories(VARIANT* out)
{
    return Recorded(IDS_CTX_USER_CATEGORIES, [&]() -> int {
        OpenedProfile opened;
        OpenUserProfile(&opened);
        WORD type = 0;
        BLOCKID value = {NULLHANDLE, 0};
        DWORD length = 0;
        GetCalendarProfileField(opened.Database(), opened.note.handle, kUserCategories, &type, &value, &length);
        std::vector<std::string> pieces;
        // A length of 2 is a value of its type alone: nothing in it.
        if (value.pool && length != 0 && length != 2) {
            if (!LNNotes().NSFItemConvertValueToText)
                throw static_cast<LNSTATUS>(LNERR_NO_FUNCTION);
            // The value as the profile gives it, type word included; its
            // entries joined by ";" to be cut apart again.
            std::unique_ptr<char[]> text(new char[length + 1]());
            LNNotes().NSFItemConvertValueToText(type, value, length, text.get(), static_cast<WORD>(length + 1), ';');
            pieces = SplitUserCategories(LNToNative(text.get()).c_str());
        }
        for (const std::string& piece : pieces)
            QuiAppendAnsiString(out, piece.c_str());
        return 0;
    });
}

int HERON::AddTaskCategory(const char* category)
{
    return Recorded(IDS_CTX_ADD_CATEGORY, [&]() -> int {
        OpenedProfile opened;
        OpenUserProfile(&opened);
        const LNNotesFunctions& api = LNNotes();
        auto update = reinterpret_cast<PFN_NSFProfileUpdate>(NotesFunction("NSFProfileUpdate"));
        if (!api.NSFItemInfo || !api.NSFItemAppendTextList)
            throw static_cast<LNSTATUS>(LNERR_NO_FUNCTION);
        if (api.NSFItemInfo(opened.note.handle, kUserCategories, sizeof kUserCategories - 1, nullptr, nullptr, nullptr,
                            nullptr)
            == 0) {
            // Without the function the profile could not be saved: refuse
            // rather than call through a null address.
            if (!update)
                throw NTS5_ERROR_PROFILE_FUNCTION_NOT_FOUND;
            const std::string name = LNToLmbcs(category);
            if (STATUS status = api.NSFItemAppendTextList(opened.note.handle, kUserCategories, name.c_str(),
                                                          static_cast<WORD>(name.size()), FALSE))
                throw static_cast<LNSTATUS>(status);
            if (STATUS status = update(opened.note.handle, kProfile, kProfileLength, nullptr, 0))
                throw static_cast<LNSTATUS>(status);
        }
        return 0;
    });
}

int HERON::OpenCalendarProfile(NOTEHANDLE* profile, DBHANDLE database)
{
    if (!GetModuleHandleA("nnotes"))
        return NTS5_ERROR_CANT_OPEN_CALENDAR_PROFILE.code;
    auto open = reinterpret_cast<PFN_NSFProfileOpen>(NotesFunction("NSFProfileOpen"));
    if (!open)
        return NTS5_ERROR_PROFILE_FUNCTION_NOT_FOUND.code;
    if (STATUS status = open(database, kProfile, kProfileLength, nullptr, 0, TRUE, profile))
        return status;
    const LNNotesFunctions& api = LNNotes();
    auto update = reinterpret_cast<PFN_NSFProfileUpdate>(NotesFunction("NSFProfileUpdate"));
    // A profile without its owner was never computed with its form: do it
    // now, and save it, so that its items have their defaults.
    if (api.NSFItemInfo && api.NIFFindDesignNote && api.NSFNoteOpen && api.NSFNoteComputeWithForm && api.NSFNoteClose
        && api.NSFItemInfo(*profile, "Owner", 5, nullptr, nullptr, nullptr, nullptr) != 0) {
        NOTEID formId = 0;
        NOTEHANDLE form = NULLHANDLE;
        if (api.NIFFindDesignNote(database, kProfile, NOTE_CLASS_FORM, &formId) == 0
            && api.NSFNoteOpen(database, formId, kOpenShared, &form) == 0) {
            if (api.NSFNoteComputeWithForm(*profile, form, 0, nullptr, nullptr) == 0 && update)
                update(*profile, kProfile, kProfileLength, nullptr, 0);
            api.NSFNoteClose(form);
        }
    }
    return 0;
}

int HERON::GetCalendarProfileField(DBHANDLE database, NOTEHANDLE, const char* field, WORD* type, BLOCKID* value,
                                   DWORD* length)
{
    if (!GetModuleHandleA("nnotes")) {
        SetError(NTS5_ERROR_CANT_OPEN_CALENDAR_PROFILE, "GetCalendarProfileField", IDS_CTX_PROFILE);
        return NTS5_ERROR_CANT_OPEN_CALENDAR_PROFILE.code;
    }
    auto get = reinterpret_cast<PFN_NSFProfileGetField>(NotesFunction("NSFProfileGetField"));
    if (!get) {
        SetError(NTS5_ERROR_PROFILE_FUNCTION_NOT_FOUND, "GetCalendarProfileField", IDS_CTX_PROFILE);
        return NTS5_ERROR_PROFILE_FUNCTION_NOT_FOUND.code;
    }
    return get(database, kProfile, kProfileLength, nullptr, 0, field, static_cast<WORD>(std::strlen(field)), type,
               value, length);
}
