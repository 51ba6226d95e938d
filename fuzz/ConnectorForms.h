// A connector text in the form a connector file stores it: plain (0),
// shifted by the key text (1) or mirrored (2).
#pragma once

#include "ConnectorFile.h"

#include <sstream>
#include <string>
#include <vector>

inline std::string StoredConnectorText(int form, const std::string& plain)
{
    if (form == 1) {
        std::istringstream in(plain);
        std::ostringstream out;
        KeyTextStreamEncode(in, out, kConnectorPassword);
        return out.str();
    }
    if (form == 2) {
        std::vector<char> out(plain.size() + 1);
        CSimpleEncrypt().Decrypt(plain.c_str(), out.data());
        return std::string(out.data());
    }
    return plain;
}
