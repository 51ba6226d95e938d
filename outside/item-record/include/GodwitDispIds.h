/* Dispatch identifiers of the item record control "Godwit.GodwitCtrl.1".
   They are the contract: the main program fills a record and Finch reads it
   by these numbers, the other servers by name. Plain defines, so that the
   IDL and C++ read the same file. */
#ifndef GODWIT_DISPIDS_H
#define GODWIT_DISPIDS_H

#define DISPID_GODWIT_ALARMADVANCE 1       /* long */
#define DISPID_GODWIT_ALARMADVANCEUNIT 2   /* long */
#define DISPID_GODWIT_BODY 3               /* string */
#define DISPID_GODWIT_COMPLETED 4          /* short, 1 = done */
#define DISPID_GODWIT_DUEDATE 5            /* date */
#define DISPID_GODWIT_STARTDATE 6          /* date */
#define DISPID_GODWIT_ENDDATE 7            /* date */
#define DISPID_GODWIT_JOURNALCATEGORY 8    /* variant */
#define DISPID_GODWIT_NOTE 9               /* string */
#define DISPID_GODWIT_PRIORITY 10          /* short */
#define DISPID_GODWIT_TASKCATEGORY 11      /* variant: string or array of strings */
#define DISPID_GODWIT_CONTACTS 12          /* variant */
#define DISPID_GODWIT_CCS 13               /* variant */
#define DISPID_GODWIT_PRIVATE 14           /* short */
#define DISPID_GODWIT_PENCIL 15            /* short */
#define DISPID_GODWIT_TYPE 16              /* long bit mask */
#define DISPID_GODWIT_BCCS 17              /* variant */
#define DISPID_GODWIT_RECIPIENTS 18        /* variant: array of strings */
#define DISPID_GODWIT_DATABASE 19          /* variant */
#define DISPID_GODWIT_ATTACHMENTS 20       /* variant */
#define DISPID_GODWIT_ALARMADVANCEDATE 21  /* variant holding a date */
#define DISPID_GODWIT_ERROR 22             /* variant */
#define DISPID_GODWIT_SUBTYPE 23           /* long bit mask */
#define DISPID_GODWIT_ADDSUBTYPEBIT 24     /* method (long): ORs a bit into SubType */
#define DISPID_GODWIT_ADDTYPEBIT 25        /* method (long): ORs a bit into Type */

/* Type bits. */
#define GODWIT_TYPE_TODO 0x01
#define GODWIT_TYPE_JOURNAL 0x02  /* memo for the Palm back end */
#define GODWIT_TYPE_CALENDAR 0x04
#define GODWIT_TYPE_MAIL 0x08     /* Outlook */
#define GODWIT_TYPE_MEMO 0x10     /* mail memo for Notes, note for Outlook */

#endif
