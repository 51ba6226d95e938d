// The connector definition file as read from disk: the first byte chooses
// whether the rest is stored plain, shifted by the key text or mirrored. The
// file loads as the text reader reads those bytes, a second load appends the
// same connectors again at their new positions, the VERSION is kept only
// when the file has one, and the key-text shift of arbitrary bytes with any
// password undoes itself.
#include "ConnectorFile.h"
#include "ConnectorForms.h"
#include "FuzzFolder.h"
#include "WebConnector.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "connector file reader broke its promise: %s\n", what);
        std::abort();
    }
}

const char* FilePath()
{
    static const std::string path = FuzzFolder() + "/fuzz.xml";
    return path.c_str();
}

void CheckPositions(const CWebConnectorDefinitionFile& file)
{
    const std::vector<CWebConnectorDef>& connectors = file.GetConnectors();
    for (size_t c = 0; c < connectors.size(); ++c) {
        for (size_t s = 0; s < connectors[c].m_subtypes.size(); ++s) {
            const CWebConnectorSubtype& subtype = connectors[c].m_subtypes[s];
            Require(subtype.m_nConnectorIndex == static_cast<int>(c) &&
                        subtype.m_nSubtypeIndex == static_cast<int>(s),
                    "a subtype's position");
        }
    }
}

bool SameConnector(const CWebConnectorDef& a, const CWebConnectorDef& b)
{
    if (a.m_strName != b.m_strName || a.m_subtypes.size() != b.m_subtypes.size())
        return false;
    for (size_t s = 0; s < a.m_subtypes.size(); ++s) {
        const CWebConnectorSubtype& x = a.m_subtypes[s];
        const CWebConnectorSubtype& y = b.m_subtypes[s];
        if (x.m_strMenuString != y.m_strMenuString || x.m_strKeywords != y.m_strKeywords ||
            x.m_strDescription != y.m_strDescription || x.m_strVersion != y.m_strVersion)
            return false;
    }
    return true;
}

void ShiftRoundTrip(const std::string& bytes, const std::string& password)
{
    std::istringstream plain(bytes);
    std::ostringstream shifted;
    KeyTextStreamEncode(plain, shifted, password.c_str());
    Require(shifted.str().size() == bytes.size(), "the shift changed the length");
    std::istringstream back(shifted.str());
    std::ostringstream unshifted;
    KeyTextStreamDecode(back, unshifted, password.c_str());
    Require(unshifted.str() == bytes, "the shift does not undo itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string plain(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string stored = StoredConnectorText(data[0] % 3, plain);
    ShiftRoundTrip(plain, plain.substr(0, plain.size() % 3));

    FILE* f = std::fopen(FilePath(), "wb");
    Require(f && std::fwrite(stored.data(), 1, stored.size(), f) == stored.size() && std::fclose(f) == 0,
            "cannot write the file");

    CWebConnectorDefinitionFile expected;
    char* text = nullptr;
    const bool readable = ReadConnectorText(reinterpret_cast<const unsigned char*>(stored.data()), stored.size(),
                                            &text) == 1;
    const bool hasVersion = readable && std::strstr(text, "VERSION") && std::strchr(text, '=');
    if (readable)
        expected.ParseConnectors(text, FilePath());
    delete[] text;

    CWebConnectorDefinitionFile file;
    const int count = file.Load(FilePath());
    Require(count == static_cast<int>(file.GetConnectors().size()), "the count loaded and held differ");
    Require(count == static_cast<int>(expected.GetConnectors().size()), "the file and the text readers disagree");
    Require(readable || count == 0, "an unreadable file gave connectors");
    Require(hasVersion || file.GetVersion().IsEmpty(), "a version from a file without one");
    CheckPositions(file);
    if (count == 0)
        return 0;
    Require(file.GetPath() == FilePath(), "the path of the file loaded");
    Require(file.Load(FilePath()) == 2 * count, "a second load does not append the same connectors");
    CheckPositions(file);
    for (int c = 0; c < count; ++c)
        Require(SameConnector(file.GetConnectors()[c], file.GetConnectors()[c + count]) &&
                    SameConnector(file.GetConnectors()[c], expected.GetConnectors()[c]),
                "a connector read differently");
    std::remove(FilePath());
    return 0;
}
