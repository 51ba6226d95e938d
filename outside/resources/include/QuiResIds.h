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
#define IDS_NOTE_NOT_PARSED      60155  /* a parse failed: the panes may not show the text */
#define IDS_NO_PDF_VIEWER        57712
#define IDS_SPLASH_CONNECTORS    60056
#define IDS_SPLASH_EDITION       60065  /* printf format, one text: the edition's name */

/* Buttons and small controls (controls.rc). */
#define IDB_DROP_ARROW           148  /* after a menu button's caption; green is transparent */

/* Datastore (datastore.rc): base item types, edition names, messages. */
#define IDS_NO_RECORD_CONTROL    57707
#define IDS_WEB_ACTION_TYPE      57716  /* display name, a line feed, the example */
#define IDS_WEB_PIMDEST_TYPE     57726  /* as above */
#define IDS_EDITION_NOTES        60059
#define IDS_EDITION_OUTLOOK      60060
#define IDS_EDITION_PALM         60061
#define IDS_EDITION_WEB          60068
#define IDS_KEYWORDS_KEPT_ASIDE  60120  /* printf format, two texts: the keyword file, the name it was kept under */
#define IDS_KEYWORDS_NOT_KEPT_ASIDE 60121  /* printf format, one text: the keyword file */

/* PIM editions' notes (pimnotes.rc): what a filing reports and what the
   note window asks. */
#define IDS_PIM_FILED_TODO       60047
#define IDS_PIM_FILED_CALENDAR   60048
#define IDS_PIM_FILED_JOURNAL    60049
#define IDS_PIM_WEB_ACTION_LATER 60054
#define IDS_PIM_FILED_TASK       60062
#define IDS_PIM_LONG_NOTE        57710
#define IDS_PIM_FILE_EMPTY_NOTE  57695  /* Yes/No(/Cancel): file an empty note? */

/* Preferences (prefs.rc): the sheet's caption, the hot-key message and the
   spoken commands. */
#define IDR_SPEECH_COMMANDS      176  /* first pop-up: one item per spoken command */
#define IDS_PREFS_CAPTION        183
#define IDS_HOTKEY_TAKEN         184  /* printf format, one text: the names of the hot keys */
#define IDS_HOTKEYS_SAME         60150  /* printf format, one text: the name of the combination */
#define IDS_HOTKEY_NEEDS_MODIFIER 60151 /* printf format, one text: the name of the hot key */
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

/* Web browsers (browsers.rc): DDE verbs and services, the Notes pane's page. */
#define IDS_DDE_NAME_BASE        107
#define IDS_DDE_SERVICE          108
#define IDS_DDE_ACTIVATE         600
#define IDS_DDE_ALERT            601
#define IDS_DDE_BEGIN_PROGRESS   602
#define IDS_DDE_CANCEL_PROGRESS  603
#define IDS_DDE_END_PROGRESS     604
#define IDS_DDE_EXIT             605
#define IDS_DDE_LIST_WINDOWS     606
#define IDS_DDE_MAKING_PROGRESS  607
#define IDS_DDE_OPEN_URL         608
#define IDS_DDE_PARSE_ANCHOR     609
#define IDS_DDE_QUERY_VIEWER     610
#define IDS_DDE_REGISTER_PROTOCOL 611
#define IDS_DDE_REGISTER_URL_ECHO 612
#define IDS_DDE_REGISTER_VIEWER  613
#define IDS_DDE_REGISTER_WINDOW_CHANGE 614
#define IDS_DDE_QUERY_URL_FILE   615
#define IDS_DDE_SET_PROGRESS_RANGE 616
#define IDS_DDE_SHOW_FILE        617
#define IDS_DDE_UNREGISTER_PROTOCOL 618
#define IDS_DDE_UNREGISTER_URL_ECHO 619
#define IDS_DDE_UNREGISTER_VIEWER 620
#define IDS_DDE_UNREGISTER_WINDOW_CHANGE 621
#define IDS_DDE_URL_ECHO         622
#define IDS_DDE_VERSION          623
#define IDS_DDE_VIEW_DOC_FILE    624
#define IDS_DDE_WINDOW_CHANGE    625
#define IDS_DDE_GET_WINDOW_INFO  626
#define IDS_NOTES_PANE_PAGE      57718
#define IDS_NEOPLANET_DDE_SERVICE 60063
#define IDS_NEOPLANET_DDE_NAME   60064

/* Drop fields (drops.rc). */
#define IDB_FIELD_PATTERN        171  /* tiled behind the fields and their item lists */
#define IDB_DROP_BUTTON          181  /* the drop button; green is transparent */
#define IDS_ITEM_SEPARATORS      57683  /* between a multi field's names; the first joins them */

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

/* Note box (notebox.rc). The arrows' numbers are also their commands. */
#define ID_NOTEBOX_SCROLL_UP     146
#define IDB_NOTEBOX_GRIP         147    /* green is transparent */
#define ID_NOTEBOX_SCROLL_DOWN   174

/* Note window (notes.rc). The buttons' numbers are also their commands:
   picture, caption and tool tip share them; 167 is also the contacts menu. */
#define IDB_NOTE_TITLE_INACTIVE  117    /* green is transparent, as in 145 and 177 */
#define IDR_NOTE_ACCELERATORS    139
#define IDB_NOTE_TITLE_ACTIVE    145
#define ID_NOTE_REMOVE           164
#define ID_NOTE_CONTACTS         167
#define ID_NOTE_ATTACH           168
#define ID_NOTE_FILE_OTHER       170    /* a third file command, as 27 and 169 */
#define IDB_NOTE_LIST_IMAGES     177    /* 16-pixel images: contact, attached file */
#define ID_NOTE_VIEWER           179
#define IDI_NOTE                 192
#define IDC_NOTE_BOX             110
#define IDC_NOTE_LIST            137
#define IDC_NOTE_PROMPT          11001
#define IDC_NOTE_EDIT_LINE       57722
#define ID_NOTE_NEW_CONTACT      9001   /* the contacts menu's default item */
#define ID_NOTE_MORE_CONTACTS    9003
#define ID_NOTE_NEXT_TAB         40001
#define ID_NOTE_PREVIOUS_TAB     40002
#define ID_NOTE_TO_PANES         40003
#define ID_NOTE_PANE_FIRST       501    /* accelerators that toggle the panes */
#define ID_NOTE_PANE_LAST        530
#define IDS_NOTE_TITLE           57666
#define IDS_ATTACH_FILTER        57681
#define IDS_ATTACH_TITLE         57682
#define IDS_TOO_MANY_NOTES       57708
#define IDS_AUTO_QUEUE_FULL      60130  /* printf format, one number: the texts that may wait */
#define IDS_AUTO_TEXT_TOO_LONG   60131  /* printf format, one number: the characters a note takes */
#define IDS_QUEUED_TEXTS_DROPPED 60132  /* printf format, one number: the texts never opened */
#define IDS_NOTES_BROUGHT_BACK   60160  /* printf format, one number: the notes and texts opened again */
#define IDS_NOTE_PROMPT          60015
#define IDS_SAVED_NOTE           60046  /* printf format: the quoted note, the edition, the kinds */
#define IDS_SAVED_NOTE_PLAIN     60044  /* printf format: the quoted note, the kinds (no edition) */
#define IDS_SAVED_NOTE_AND       60045  /* printf format: the kinds before the last, the last */
#define IDD_SAVED_NOTE           2
#define IDC_SAVED_TEXT           60009
#define IDC_SAVED_DONT_SHOW      60021
#define IDD_MORE_CONTACTS        165
#define IDC_MORE_CONTACTS_LIST   2001

/* Tray window and application (tray.rc). The tray icon, its tip and its
   pop-up menu share one number; the loading icon and its tip another. */
#define IDR_TRAY_LOADING         29
#define IDR_TRAY_FRAME           141    /* the hidden main window's title */
#define IDR_TRAY                 142
#define ID_TRAY_NEW_NOTE         133
#define ID_TRAY_NOTE_FROM_SELECTION 32794
#define ID_TRAY_PREFERENCES      32796
#define ID_TRAY_HELP             32797
#define ID_TRAY_RELOAD           32798
#define ID_TRAY_INFO             32799
#define ID_TRAY_ITEM_VIEWER      32801
#define ID_TRAY_OPEN_PIM         205
#define ID_TRAY_QUICK_START      40005
#define ID_TRAY_TIP              40006
#define ID_TRAY_UPDATE_NOW       50020
#define ID_TRAY_EDITION_FIRST    400    /* the editions' own tray entries */
#define ID_TRAY_EDITION_LAST     404
#define IDC_SPEECH_PHRASES       162    /* the phrase control, the main window's child */
#define IDS_EXIT_FILE_NOTE       57701
#define IDS_BACKEND_VERSION      57711
#define IDS_BACKEND_GAVE_UP      57715
#define IDS_OLE_INIT_FAILED      60011
#define IDS_BACKEND_MISSING      60025  /* replaces the text of error 2055 */
#define IDS_RELOAD_FAILED        60027
#define IDS_RELOAD_VIEWER_OPEN   60028
#define IDS_PARSER_FAILED        60029
#define IDS_PARSER_RELOAD_FAILED 60161  /* the parser did not load again after a reload */
#define IDS_RELOAD_CONNECTORS_OPEN 60071
#define IDS_RELOAD_NOTES_OPEN    60077
#define IDS_EDITION_MISSING      60090  /* an edition this program does not carry */
#define IDS_CONNECT_NO_MEMORY    60157  /* loading the items at start ran out of memory */
#define IDS_WAIT_FOR_FILING      60133  /* settings refused while a note is being sent */

/* Web actions pane (webpane.rc): its check button's caption and tool tip and
   its menu button's menu, whose pop-up the pane fills with the web actions
   (commands 52000 to 52099); the help topics of the destination window while
   the pane is checked or not. */
#define IDR_WEB_ACTIONS_PANE     514
#define ID_WEB_ACTION_FIRST      52000
#define ID_WEB_ACTION_LAST       52099
#define IDH_WEB_ACTIONS_CHECKED  24
#define IDH_WEB_ACTIONS          26

/* Update hand-off (update.rc): its questions and reports. */
#define IDS_UPDATE_ASK_INSTALL   60021  /* Yes/No: install the fetched files */
#define IDS_UPDATE_NOTHING_NEW   60051
#define IDS_UPDATE_NEW_CONNECTORS 60072 /* before the list of new connectors */
#define IDS_UPDATE_NEW_CONNECTORS_END 60073 /* after it */
#define IDS_UPDATE_COPY_FAILED   60095  /* before the files that could not be copied */
#define IDS_UPDATE_REPLACES      60096  /* behind a fetched file's name in 60021's list */

/* Web editions (webeditions.rc): the web calendar, web to-do and web
   calendar edition's panes (picture, caption and tip, menu by the pane's
   number), their fields' texts and the filing messages. */
#define IDR_WEB_NOTE_ACCELERATORS 4
#define IDR_MYTIME_NOTE_ACCELERATORS 5
#define IDB_WEBCAL_DISABLED      23
#define IDB_WEBTODO_DISABLED     25
#define IDR_MYTIME_PANE          31
#define IDB_MYTIME_NOTE          33
#define IDR_WEBCAL_DROPDOWN      175
#define IDR_WEBTODO_PANE         507
#define IDR_WEBCAL_PANE          510
#define IDM_WEBCAL_LAYOUT_TIMED  7001
#define IDM_WEBCAL_LAYOUT_COUNT  7002
#define IDM_WEBCAL_LAYOUT_START  7003
#define IDM_WEBCAL_LAYOUT_DATE   7004
#define IDM_WEBCAL_LAYOUT_NONE   7005
#define IDM_WEBCAL_DROP_FIRST    8001
#define IDM_WEBCAL_DROP_NONE     8003
#define IDM_WEBCAL_DROP_LAST     8006
#define IDM_WEBCAL_EVENT_FIRST   57727  /* the web calendar's event types, to 57741 */
#define IDM_MYTIME_EVENT_FIRST   50022  /* the calendar edition's event types, to 50034 */
#define IDS_WEBTODO_DATE_PROMPT  57669
#define IDS_WEBCAL_DATE_PROMPT   57671
#define IDS_WEBCAL_TO            57672
#define IDS_WEBCAL_START_PROMPT  57673
#define IDS_WEBCAL_END_PROMPT    57674
#define IDS_WEBCAL_AT_PROMPT     57676
#define IDS_WEBCAL_COUNT_AFTER   57677
#define IDS_WEBCAL_COUNT_BEFORE  57678
#define IDS_WEBCAL_BAD_DATE      57684
#define IDS_WEBCAL_BAD_END       57687
#define IDS_WEBTODO_DUE          57690
#define IDS_WEBCAL_BAD_START     57694
#define IDS_WEB_ENTRY_MISSING    57713
#define IDS_WEB_ENTRY_FAILED     57696
#define IDS_OFFLINE_KEPT         57761  /* printf format, one number: the actions kept and not sent */
#define IDS_OFFLINE_CACHE_FAILED 57762  /* printf format, one text: the cache file's path */
#define IDS_OFFLINE_NOT_SAVED    57763  /* printf format, one text: the cache file's path */
#define IDS_OFFLINE_CACHE_UNREAD 57764  /* printf format, two texts: the cache file's path, where it was moved */
#define IDS_OFFLINE_CACHE_HELD   57765  /* printf format, one text: the cache file's path */
#define IDS_CONNECTOR_TOO_LARGE  60156  /* printf format, one text: the refused files' paths, one a line */
#define IDS_WEB_NOTHING_TO_FILE  57714
/* Item database viewer, its edit dialog and the connector dialogs (viewer.rc). */
#define IDI_QUILLMATE            141    /* the viewer's and the connector dialog's icon */
#define IDD_KESTREL_VIEWER       102
#define IDC_VIEWER_LIST          1001
#define IDC_VIEWER_CATEGORY      1007
#define IDC_VIEWER_LABEL         1131
#define IDC_VIEWER_DETAIL        1132
#define IDC_VIEWER_EXAMPLE       1133
#define IDC_VIEWER_EDIT          121
#define IDC_VIEWER_REMOVE        1005
#define ID_VIEWER_HELP           60025
#define IDH_KESTREL_VIEWER       507
#define IDS_VIEWER_ALL           60006
#define IDS_VIEWER_LABEL         60016
#define IDS_VIEWER_CAPTION       60017
#define IDS_VIEWER_COLUMN_NAME   57723
#define IDS_VIEWER_COLUMN_WORDS  57725
#define IDS_VIEWER_PREFS_CATEGORY 60070 /* the category selected when opened from the preferences */
#define IDS_VIEWER_REMOVE_PROMPT 60101
#define IDS_VIEWER_BAD_CHARACTER 60102  /* printf format, one text: the character */
#define IDS_VIEWER_CONTROL_CHARACTER 60152 /* printf format, one number: the invisible character's code */
#define IDS_VIEWER_NO_WORDS      60103
#define IDS_VIEWER_SAVE_FAILED   60104
#define IDD_EDIT_ITEM            129
#define IDC_EDIT_ITEM_NAME       60005
#define IDC_EDIT_ITEM_KEYWORDS   1005
#define IDC_EDIT_ITEM_TYPE       1004
#define IDD_CONNECTORS           34
#define IDC_CONNECTORS_TAB       1015
#define IDC_CONNECTORS_PLACE     1017   /* the lists start below it */
#define IDC_CONNECTORS_LONGDESC  1016
#define IDC_CONNECTORS_DESC      1010
#define IDC_CONNECTORS_LABEL     1011
#define IDC_CONNECTORS_BOTTOM    1012   /* the lists end above it */
#define IDC_CONNECTORS_HELP      1014
#define IDC_CONNECTORS_LIST_FIRST 555   /* one list per tab, in tab order */
#define ID_CONNECTORS_CANCEL     60055
#define ID_CONNECTORS_APPLY      60056
#define IDH_CONNECTORS           506
#define IDS_CONNECTORS_COLUMN_NAME 60066
#define IDS_CONNECTORS_COLUMN_CATEGORY 60067
#define IDS_CONNECTORS_OTHER     60069  /* the tab of connectors without a service type */
#define IDS_CONNECTORS_NOT_MOVED 60105  /* printf format, one text: the connectors, one a line */
#define IDS_CONNECTORS_SAME_FILE 60153  /* printf format, two texts: the connector, the others of its file, one a line */
#define IDS_CONNECTORS_NOT_FOUND 60154  /* printf format, one text: the connectors, one a line */
#define IDD_CONNECTOR_INFO       30
#define IDC_CONNECTOR_INFO_LIST  1121
#define IDS_CONNECTOR_INFO_ACTION 60057
#define IDS_CONNECTOR_INFO_VERSION 60058
/* PIM editions (editions.rc): the Lotus Notes, Palm Desktop and Outlook
   datastores: their item types, tray entries, messages, the Notes
   new-contact dialog and the note windows' accelerator tables of the Palm
   and Outlook editions. */
#define IDR_PALM_ACCELERATORS    3
#define IDR_OUTLOOK_ACCELERATORS 140
#define IDD_OZU_NEW_CONTACT      3000
#define IDC_OZU_LABEL_FIRST      1001   /* statics 1001 to 1006 */
#define IDC_OZU_FIRST_NAME       3013
#define IDC_OZU_LAST_NAME        3017
#define IDC_OZU_COMPANY          3019
#define IDC_OZU_EMAIL            3021
#define IDC_OZU_PHONE            3023
#define IDC_OZU_FAX              3025
#define IDS_OZU_LABEL_FIRST_NAME 3014   /* the six labels, in order */
#define IDS_OZU_LABEL_LAST_NAME  3016
#define IDS_OZU_LABEL_COMPANY    3018
#define IDS_OZU_LABEL_EMAIL      3020
#define IDS_OZU_LABEL_PHONE      3022
#define IDS_OZU_LABEL_FAX        3024
#define IDS_CONTACT_TYPE         4000   /* Notes contacts */
#define IDS_JOURNAL_TYPE         4003   /* Notes journal folders */
#define IDS_NOTES_SERVER_FAILED  57706  /* Heron or the item record cannot be made */
#define IDS_PALM_CONTROL_FAILED  60012
#define IDS_OUTLOOK_SERVER_FAILED 60013
#define IDS_NOTES_NOT_FOUND      60018  /* Yes/No: look for the Notes folder? */
#define IDS_NOTES_NOT_CHOSEN     60019
#define IDS_TRAY_OPEN_PALM       60030
#define IDS_TRAY_OPEN_NOTES      60031
#define IDS_TRAY_OPEN_OUTLOOK    60032
#define IDS_TRAY_PALM_USERS      60033
#define IDS_TODO_CATEGORY_TYPE   60034
#define IDS_MEMO_CATEGORY_TYPE   60035
#define IDS_PALM_CONTACT_TYPE    60036
#define IDS_TODO_CATEGORY_EXAMPLE 60037
#define IDS_MEMO_CATEGORY_EXAMPLE 60038
#define IDS_CONTACT_EXAMPLE      60039
#define IDS_NOTES_TODO_CATEGORY_EXAMPLE 60040
#define IDS_NOTES_JOURNAL_EXAMPLE 60041
#define IDS_RECORD_REFUSED       60050  /* the back end did not take a filed entry */
#define IDS_OUTLOOK_NOT_FOUND    60052
#define IDS_PALM_NOT_CONNECTED   60055


/* PIM editions' destination panes: pictures, captions and menus by pane id.
   The Notes to-do and calendar panes keep the web panes' control ids 507 and
   510 but take their own resources: 508 and 512 under Notes release 5, 506
   and 511 under the releases before it. */
#define IDR_OZU_TODO_OLD_PANE    506
#define IDR_OZU_TODO_PANE        508
#define IDR_OZU_CAL_OLD_PANE     511
#define IDR_OZU_CAL_PANE         512
#define IDR_OZU_JOURNAL_PANE     505
#define IDR_PIM_EMAIL_PANE       509
#define IDR_OZU_SELF_PANE        516
#define IDR_IBE_MEMO_PANE        502
#define IDR_IBE_TODO_PANE        503
#define IDR_IBE_CAL_PANE         504
#define IDR_RUK_TODO_PANE        525
#define IDR_RUK_CAL_PANE         519
#define IDB_JOURNAL_DISABLED     24
#define IDR_PIM_TODO_KINDS       158  /* texts of the to-do's date kinds, items 6004 and 6005 */
#define IDM_PIM_TODO_NO_DUE      6004
#define IDM_PIM_TODO_DUE         6005
#define IDR_PIM_EMAIL_FIELDS     163  /* the e-mail pane's recipient fields, items 6301 to 6303 */
#define IDS_PIM_CALENDAR_BOX     106
#define IDS_IBE_MEMO_PROMPT      57668
#define IDS_PIM_DUE_PROMPT       57670
#define IDS_PIM_LIKE_TODO        57675  /* printf format: the text of item 6004 or 6005 of menu 158 */
#define IDS_OZU_JOURNAL_PROMPT   57679
#define IDS_PIM_TO_PROMPT        57680
#define IDS_PIM_NO_DATE          57685
#define IDS_PIM_CC_PROMPT        57691
#define IDS_PIM_BCC_PROMPT       57692
#define IDS_PIM_BAD_CAL_DATE     57693
#define IDS_OZU_SELF_LINK        57699
#define IDS_OZU_BAD_DAYS         57703
#define IDS_PIM_START_AFTER_DUE  60026
#define IDS_PIM_DATE_OUT_OF_RANGE 60074

#endif
