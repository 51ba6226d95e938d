// lcppn20.dll: forms, keywords fields and formulas.
#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStore.h"

namespace {

bool ListHas(const LNText& list, const char* name)
{
    for (DWORD i = 0; i < list.GetCount(); ++i) {
        if (lstrcmpiA(list[i].GetPlatformTextPtr(), name) == 0)
            return true;
    }
    return false;
}

}  // namespace

BOOL LNDatabase::FormExists(const char* name) const
{
    LNForm form;
    return name && DoGetForm(name, &form) == 0;
}

LNSTATUS LNDatabase::DoGetForm(const char* name, LNForm* form) const
{
    if (LNSTATUS status = NotesCheckCall("LNDatabase::GetForm"))
        return status;
    if (!m_handle || !name || !form)
        return NOTES_ERR_BAD_HANDLE;
    char file[MAX_PATH];
    if (LNSTATUS status = NotesDatabaseFile(m_handle, file, sizeof file))
        return status;
    try {
        std::vector<NotesNote> notes;
        if (!ReadNotesDatabase(file, &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        for (const NotesNote& note : notes) {
            if (note.Text("$NoteClass") == "4" && lstrcmpiA(note.Text("$Title").c_str(), name) == 0) {
                form->Bind(file, note.id);
                return 0;
            }
        }
        return NOTES_ERR_NOT_FOUND;
    } catch (const std::bad_alloc&) {
        return NOTES_ERR_BAD_HANDLE;
    }
}

BOOL LNForm::HasFormField(const char* name) const
{
    LNText fields;
    return name && DoGetItem("$Fields", &fields) == 0 && ListHas(fields, name);
}

LNSTATUS LNForm::DoGetFormField(const char* name, LNKeywordsField* field) const
{
    if (!name || !field)
        return NOTES_ERR_BAD_HANDLE;
    LNText fields;
    if (LNSTATUS status = DoGetItem("$Fields", &fields))
        return status;
    if (!ListHas(fields, name))
        return NOTES_ERR_NOT_FOUND;
    LNText option, formula;
    DoGetItem((std::string("$ChoicesOption.") + name).c_str(), &option);
    DoGetItem((std::string("$ChoicesFormula.") + name).c_str(), &formula);
    LNString formulaText;
    formula.GetText(&formulaText);
    field->Bind(option.GetCount() ? atoi(option[0].GetPlatformTextPtr()) : 0, formulaText.GetPlatformTextPtr());
    return 0;
}

LNKeywordsField::LNKeywordsField() : m_choicesOption(0) {}

void LNKeywordsField::Bind(int choicesOption, const char* formula)
{
    m_choicesOption = choicesOption;
    m_formula = LNString(formula);
}

int LNKeywordsField::GetChoicesOption() const
{
    return m_choicesOption;
}

LNSTATUS LNKeywordsField::DoGetChoicesFormula(LNFormula* formula) const
{
    if (LNSTATUS status = NotesCheckCall("LNKeywordsField::GetChoicesFormula"))
        return status;
    if (!formula || m_choicesOption != 1 || m_formula.GetByteLength() == 0)
        return NOTES_ERR_NOT_FOUND;
    *formula = LNFormula(m_formula.GetPlatformTextPtr());
    return 0;
}

LNFormula::LNFormula() = default;

LNFormula::LNFormula(const char* text) : m_text(text) {}

const char* LNFormula::GetText() const
{
    return m_text.GetPlatformTextPtr();
}

LNSTATUS LNFormula::DoEvaluate(LNText* result) const
{
    if (LNSTATUS status = NotesCheckCall("LNFormula::Evaluate"))
        return status;
    if (!result)
        return NOTES_ERR_BAD_HANDLE;
    LNText values;
    const char* p = m_text.GetPlatformTextPtr();
    while (true) {
        while (*p == ' ')
            ++p;
        if (*p != '"')
            return NOTES_ERR_FORMULA;
        const char* end = strchr(p + 1, '"');
        if (!end)
            return NOTES_ERR_FORMULA;
        values.Append(std::string(p + 1, end).c_str());
        p = end + 1;
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        if (*p++ != ':')
            return NOTES_ERR_FORMULA;
    }
    *result = values;
    return 0;
}
