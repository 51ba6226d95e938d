// Resource and control ids of the Palm data library (its .rc and its code).
#pragma once

#define IDS_ADDRESS_PAGE 1
#define IDS_NOTE_PAGE 2
#define IDS_NAME_PAGE 3
#define IDS_PHONE_LABELS 4
#define IDS_NEW_CONTACT 6

#define IDD_CONTACT_ADDRESS 2050
#define IDD_CONTACT_NOTE 2051
#define IDD_CONTACT_NAME 2151

#define IDC_LAST_NAME 2075
#define IDC_FIRST_NAME 2076
#define IDC_TITLE 2077
#define IDC_COMPANY 2078
#define IDC_PHONE1 2080
#define IDC_PHONE2 2082
#define IDC_PHONE3 2084
#define IDC_PHONE4 2086
#define IDC_PHONE5 2087
#define IDC_ADDRESS 2088
#define IDC_CITY 2089
#define IDC_STATE 2090
#define IDC_ZIP 2091
#define IDC_COUNTRY 2092
#define IDC_CUSTOM1 2093
#define IDC_CUSTOM2 2094
#define IDC_CUSTOM3 2095
#define IDC_CUSTOM4 2096
#define IDC_NOTE 2097
#define IDC_CUSTOM1_LABEL 2106
#define IDC_CUSTOM2_LABEL 2108
#define IDC_CUSTOM3_LABEL 2110
#define IDC_CUSTOM4_LABEL 2112
#define IDC_LABEL1 2113
#define IDC_LABEL2 2114
#define IDC_LABEL4 2115
#define IDC_LABEL3 2116
#define IDC_LABEL5 2120
#define IDC_SHOWN1 2139
#define IDC_SHOWN2 2141
#define IDC_SHOWN3 2143
#define IDC_SHOWN4 2145
#define IDC_SHOWN5 2147
#define IDC_SAVE_AS_DEFAULT 2149

// The controls the New Contact sheet adds to itself.
#define IDC_CONTACT_PRIVATE 0xABCD
#define IDC_CONTACT_CATEGORY 0xABCE

// The help context of the New Contact sheet.
#define HELP_NEW_CONTACT 2516
