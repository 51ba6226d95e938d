/* Resource identifiers of Finch.ocx. */
#ifndef FINCH_RESOURCE_H
#define FINCH_RESOURCE_H

#define IDS_FINCH 1
#define IDS_FINCH_PPG 2
#define IDS_TODOITEM 3
#define IDS_TODOITEM_PPG 4
#define IDS_MEMOITEM 5
#define IDS_MEMOITEM_PPG 6
#define IDS_DATEBOOKITEM 7
#define IDS_DATEBOOKITEM_PPG 8
#define IDS_CONTACTDATA 9
#define IDS_CONTACTDATA_PPG 10
#define IDS_FINCH_PPG_CAPTION 100

#define IDB_FINCH 1
#define IDD_ABOUTBOX_FINCH 1

#endif
