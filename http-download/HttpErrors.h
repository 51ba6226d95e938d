// The engine's fixed error texts. A failing step answers one of these; the
// digit after "E-" is its class, and class 3 is worth another try.
#pragma once

namespace shrike {

extern const char kOpenConnResolve[];
extern const char kOpenConnSocket[];
extern const char kOpenConnConnect[];
extern const char kGenRequestTooSmall[];
extern const char kSendOpenConnection[];
extern const char kSendWrite11[];
extern const char kSendWrite10[];
extern const char kReadHeadConfused[];
extern const char kReadHeadReadError[];
extern const char kReadHeadExcessive[];
extern const char kProcessHeadTransferEncoding[];
extern const char kReadBodyNoCrlf[];
extern const char kReadBodyTrailer[];
extern const char kReadBodySocketRead[];
extern const char kReadBodyBadChunk[];
extern const char kReadBodyCallback[];
extern const char kRetrieveBodyError[];
extern const char kRetrieveStatus[];
extern const char kRetrieveFailedAfterRetries[];

// The class digit of a fixed text; 0 for anything else.
int ErrorClass(const char* text);

}
