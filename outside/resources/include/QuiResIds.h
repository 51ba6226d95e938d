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

/* Note box (notebox.rc). The arrows' numbers are also their commands. */
#define ID_NOTEBOX_SCROLL_UP     146
#define IDB_NOTEBOX_GRIP         147    /* green is transparent */
#define ID_NOTEBOX_SCROLL_DOWN   174

#endif
