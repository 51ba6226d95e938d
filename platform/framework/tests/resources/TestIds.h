// Resource numbers shared by the test resources and the tests.
#pragma once

#define IDS_GREETING 100
#define IDS_FORMAT 101
#define IDS_LONG 102
#define IDS_FRAME_TITLE 103

#define IDD_DATA 200
#define IDC_NAME 1001
#define IDC_COUNT 1002
#define IDC_ENABLED 1003
#define IDC_RADIO_FIRST 1004
#define IDC_RADIO_SECOND 1005
#define IDC_RADIO_THIRD 1006
#define IDC_CHOICES 1007
#define IDC_AFTER_RADIOS 1008

#define IDD_PAGE_TEXT 300
#define IDC_PAGE_TEXT 1101
#define IDD_PAGE_CHECK 301
#define IDC_PAGE_CHECK 1201
#define IDS_PAGE_TEXT 310
#define IDS_PAGE_CHECK 311

#define IDM_CHOICES 400
#define IDM_FIRST 401
#define IDM_SECOND 402
#define IDM_THIRD 403
