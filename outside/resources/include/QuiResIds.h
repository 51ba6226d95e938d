/* Numbers of the resources in the language resource library QuiRes<LANGID>.dll.
   The main program loads every dialog, menu, string, bitmap and icon by these
   numbers; each area's resources live in that area's .rc file. */
#ifndef QUI_RES_IDS_H
#define QUI_RES_IDS_H

/* Item files (itemfile.rc): the default system item file, type "KWDB". */
#define QUI_RES_KWDB_TYPE        "KWDB"
#define IDR_DEFAULT_ITEMFILE     104

/* Application shell (shell.rc): about box, tip of the day, splash, help. */
#define IDD_ABOUTBOX             100
#define IDD_TIP                  111
#define IDC_TIP_FRAME            1002
#define IDC_TIP_STARTUP          1007
#define IDC_TIP_NEXT             1009
#define IDC_TIP_TEXT             1013
#define IDB_TIP_BULB             107
#define IDB_SPLASH               172
#define IDS_TIP_HEADING          118
#define IDS_TIP_MISSING          119
#define IDS_TIP_FILE_ERROR       122
#define IDS_HELP_FOLDER          130
#define IDS_SPLASH_VERSION       57702  /* printf format, one text: the program's file version */
#define IDS_UNEXPECTED_ERROR     57709
#define IDS_NO_PDF_VIEWER        57712
#define IDS_SPLASH_CONNECTORS    60056
#define IDS_SPLASH_EDITION       60065  /* printf format, one text: the edition's name */

/* Buttons and small controls (controls.rc). */
#define IDB_DROP_ARROW           148  /* after a menu button's caption; magenta is transparent */

/* Datastore (datastore.rc): base item types, edition names, messages. */
#define IDS_NO_RECORD_CONTROL    57707
#define IDS_WEB_ACTION_TYPE      57716  /* display name, a line feed, the example */
#define IDS_WEB_PIMDEST_TYPE     57726  /* as above */
#define IDS_EDITION_NOTES        60059
#define IDS_EDITION_OUTLOOK      60060
#define IDS_EDITION_PALM         60061
#define IDS_EDITION_WEB          60068

/* Preferences (prefs.rc): the sheet's caption, the hot-key message and the
   spoken commands. */
#define IDR_SPEECH_COMMANDS      176  /* first pop-up: one item per spoken command */
#define IDS_PREFS_CAPTION        183
#define IDS_HOTKEY_TAKEN         184  /* printf format, one text: the names of the hot keys */
/* Destination window and panes (destwnd.rc). The buttons' numbers are also
   their commands: picture, caption and tool tip share them. */
#define IDB_DEST_BACKGROUND      28     /* tiled behind the panes and the destination window */
#define ID_DEST_FILE_AND_SEND    27     /* file button while web actions are offered */
#define ID_DEST_CLOSE_NOTE       166
#define ID_DEST_FILE             169    /* file button otherwise */
#define ID_DEST_HELP             178
#define IDS_DEST_FILING          109    /* status text while the note files */
#define IDS_DEST_LABEL           57667
#define IDS_DEST_LABEL_WEB       57689  /* the label while web actions are offered */

/* Preferences sheet (prefsheet.rc): its five pages, their controls, help
   topics and messages. */
#define IDD_PREFS_BASIC          199
#define IDD_PREFS_TEXT           188
#define IDD_PREFS_SPEECH         628
#define IDD_PREFS_PROFILE        35
#define IDD_PREFS_ADVANCED       36
#define IDH_PREFS_BASIC          509
#define IDH_PREFS_PROFILE        505
#define IDH_PREFS_ADVANCED       504
#define IDC_PREFS_HOTKEYS_OFF    1104   /* radio group: off, on */
#define IDC_PREFS_HOTKEYS_ON     1105
#define IDC_PREFS_NEW_HOTKEY     1008
#define IDC_PREFS_NEW_LABEL      1012
#define IDC_PREFS_GRAB_HOTKEY    1102
#define IDC_PREFS_GRAB_LABEL     1103
#define IDC_PREFS_RETURN_KEY     1502
#define IDC_PREFS_SAVE_NEW_OFF   1100   /* radio group: off, on */
#define IDC_PREFS_SAVE_NEW_ON    1101
#define IDC_PREFS_PROMPT_TEXT    1500
#define IDC_PREFS_VOICE          1001
#define IDC_PREFS_FIRSTNAME      320
#define IDC_PREFS_LASTNAME       321
#define IDC_PREFS_EMAIL          322
#define IDC_PREFS_ADDRESS        323
#define IDC_PREFS_CITY           324
#define IDC_PREFS_STATE          325    /* drop-down list */
#define IDC_PREFS_POSTALCODE     326
#define IDC_PREFS_COUNTRY        327    /* drop-down list */
#define IDC_PREFS_WAIT_TIMEOUT   1501
#define IDC_PREFS_NETSCAPE       203    /* radio group: Netscape, Internet Explorer */
#define IDC_PREFS_EXPLORER       204
#define IDC_PREFS_UPDATE_CHECK   60036
#define IDC_PREFS_UPDATE_LABEL   60037
#define IDC_PREFS_UPDATE_FREQ    60038  /* at most 2 characters */
#define IDC_PREFS_UPDATE_DAYS    1503
#define IDC_PREFS_ITEM_VIEWER    60058
#define IDC_PREFS_CONNECTORS     60059
#define IDC_PREFS_PROXY          60061
#define IDS_PREFS_NO_PROXY_LIB   60076
#define IDS_PREFS_SYSTEM_PROXY   60078

#endif
