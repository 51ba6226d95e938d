// The connector reader on arbitrary text, stored plain or in either
// scrambled form (the first byte chooses). Whatever it reads must parse
// without reading past the text, give it back unchanged, and keep the
// records' promises: values of at most 1023 characters, positions that match
// where the records stand, and one web action item per identifier.
#include "ConnectorFile.h"
#include "ConnectorForms.h"
#include "WebActionItem.h"
#include "WebConnector.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "connector reader broke its promise: %s\n", what);
        std::abort();
    }
}

void CheckRecords(const CWebConnectorDefinitionFile& file)
{
    const std::vector<CWebConnectorDef>& connectors = file.GetConnectors();
    for (size_t c = 0; c < connectors.size(); ++c) {
        Require(connectors[c].m_strName.GetLength() <= 1023, "connector name too long");
        const std::vector<CWebConnectorSubtype>& subtypes = connectors[c].m_subtypes;
        for (size_t s = 0; s < subtypes.size(); ++s) {
            const CWebConnectorSubtype& subtype = subtypes[s];
            Require(subtype.m_nSubtypeIndex == static_cast<int>(s), "subtype index");
            Require(subtype.m_nConnectorIndex == static_cast<int>(c), "connector index");
            Require(subtype.m_strConnectorName == connectors[c].m_strName, "connector name of a subtype");
            Require(subtype.m_strMenuString.GetLength() <= 1023 && subtype.m_strKeywords.GetLength() <= 1023 &&
                        subtype.m_strDescription.GetLength() <= 1023,
                    "value too long");
        }
    }
}

void MakeItems(CWebConnectorDefinitionFile& file)
{
    QuiKestrel database;
    for (const char* id : {WEB_ACTION_TYPE_ID, WEB_PIMDEST_TYPE_ID, WEB_HIDDEN_TYPE_ID}) {
        QuiItem* prototype = std::strcmp(id, WEB_PIMDEST_TYPE_ID) == 0 ? new CWebPimDestItem : new CWebActionItem;
        database.registerType(new QuiItemType(QuiItemID(id), id, prototype), QuiItemID());
    }
    int made = AddWebActionItems(database, file);
    int held = 0;
    QuiItemList* items = database.getItemList();
    int cursor = items->fetchBegin(nullptr);
    while (QuiItem* item = items->fetchNext(cursor)) {
        ++held;
        CWebActionItem* action = dynamic_cast<CWebActionItem*>(item);
        Require(action && action->GetSubtype(), "an item without its subtype");
    }
    items->fetchEnd(cursor);
    Require(made == held, "items made and held differ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string plain(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string stored = StoredConnectorText(data[0] % 3, plain);

    char* text = nullptr;
    if (ReadConnectorText(reinterpret_cast<const unsigned char*>(stored.data()), stored.size(), &text)) {
        const std::string read(text);
        CWebConnectorDefinitionFile file;
        file.ParseConnectors(text, "fuzz.xml");
        Require(read == text, "the text was not given back as it came");
        CheckRecords(file);
        MakeItems(file);
        delete[] text;
    } else {
        Require(text == nullptr, "a refused text was handed out");
    }

    CWebConnectorSubtype subtype;
    subtype.ReadTag(plain.c_str());
    return 0;
}
