// Resource identifiers of Shrike's own resources.
#pragma once

#define IDD_PROXY 101
#define IDC_USE_PROXY 1000
#define IDC_PROXY_HOST 1001
#define IDC_PROXY_PORT 1002
