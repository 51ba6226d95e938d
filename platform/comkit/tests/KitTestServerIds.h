// Identifiers shared by the kit's test server and its tests.
#pragma once

#define IDS_TABLE_FAILURE 101
#define KITTEST_TABLE_FAILURE_CODE ((HRESULT)0x80040777L)
#define KITTEST_MISC_STATUS 0x20191L  // registered as "131473"
