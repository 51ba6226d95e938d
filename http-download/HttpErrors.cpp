#include "HttpErrors.h"

namespace shrike {

const char kOpenConnResolve[] = "E-3-HTTPaccess_OpenConn: could not resolve name";
const char kOpenConnSocket[] = "E-1-HTTPaccess_OpenConn: could not get socket";
const char kOpenConnConnect[] = "E-2-HTTPaccess_OpenConn: could not connect";
const char kGenRequestTooSmall[] = "E-1-HTTPaccess_GenRequest buffer too small";
const char kSendOpenConnection[] = "E-1-HTTPaccess_SendRequest: Could not open connection";
const char kSendWrite11[] = "E-3-HTTPaccess_SendRequest. HTTP/1.1 write error";
const char kSendWrite10[] = "E-2-HTTPaccess_SendRequest: Could not write socket";
const char kReadHeadConfused[] = "E-3-HTTPaccess_ReadHead. Confused headers\n";
const char kReadHeadReadError[] = "E-3-HTTPaccess_ReadHead. read error\n";
const char kReadHeadExcessive[] = "E-1-HTTPaccess_ReadHead. Excessive response header\n";
const char kProcessHeadTransferEncoding[] = "E-3-HTTPaccess_ProcessHead. Unsupported Transfer-Encoding\n";
const char kReadBodyNoCrlf[] = "E-3-HTTPaccess_ReadBody bad chunked coding no CRLF at end of chunk";
const char kReadBodyTrailer[] = "E-3-HTTPaccess_ReadBody bad chunked encoding reading entity-headers";
const char kReadBodySocketRead[] = "E-1-HTTPaccess_ReadBody socket read error";
const char kReadBodyBadChunk[] = "E-3-HTTPaccess_ReadBody bad chunked coding";
const char kReadBodyCallback[] = "E-2-HTTPaccess_ReadBody callback error";
const char kRetrieveBodyError[] = "E-3-HTTPaccess_Retrieve error during ReadBody";
const char kRetrieveStatus[] = "E-1-HTTPaccess_Retrieve Status code is not 200";
const char kRetrieveFailedAfterRetries[] = "E-4-HTTPaccess_Retrieve failure after retries";

int ErrorClass(const char* text)
{
    if (!text || text[0] != 'E' || text[1] != '-' || text[2] < '0' || text[2] > '9' || text[3] != '-')
        return 0;
    return text[2] - '0';
}

}
