// Resource identifiers of Shrike's own resources.
#pragma once

#define IDD_PROXY 101
#define IDC_USE_PROXY 1000
#define IDC_PROXY_HOST 1001
#define IDC_PROXY_PORT 1002

// What the proxy dialog says when it refuses the address.
#define IDS_PROXY_NO_ADDRESS 201
#define IDS_PROXY_NOT_A_HOST 202
#define IDS_PROXY_BAD_PORT 203
#define IDS_PROXY_TOO_LONG 204
