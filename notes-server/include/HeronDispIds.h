/* Heron, the Notes access server: its ProgID and the dispatch identifiers
   of IHeron. They are the contract with the main program's Notes edition,
   which creates the server by ProgID and calls it only through IDispatch.
   Plain defines, so that the IDL and C++ read the same file. */
#ifndef HERON_DISPIDS_H
#define HERON_DISPIDS_H

#define HERON_PROGID "Heron.Heron.1"
#define HERON_VERSION_INDEPENDENT_PROGID "Heron.Heron"

#define DISPID_HERON_CONTACTS 1                      /* property get -> VARIANT: array of strings */
#define DISPID_HERON_TODOCATEGORIES 2                /* property get -> VARIANT: array of strings */
#define DISPID_HERON_CONNECT 3                       /* method (long, not used) */
#define DISPID_HERON_FILEKEYNOTE 4                   /* method (IDispatch* item record) */
#define DISPID_HERON_OPENNOTES 5                     /* method () */
#define DISPID_HERON_JOURNALCATEGORIES 6             /* property get -> VARIANT */
#define DISPID_HERON_CREATEJOURNALFOLDER 7           /* method (string folder name) */
#define DISPID_HERON_GETMODIFIEDCONTACTS 8           /* method () -> VARIANT */
#define DISPID_HERON_GETMODIFIEDJOURNALCATEGORIES 9  /* method () -> VARIANT */
#define DISPID_HERON_GETMODIFIEDDATABASEFOLDERS 10   /* method (string database) -> VARIANT */
#define DISPID_HERON_GETMODIFIEDTODOCATEGORIES 11    /* method () -> VARIANT; always fails */
#define DISPID_HERON_CALENDARPREFS 12                /* property get -> VARIANT: four strings */
#define DISPID_HERON_USERINFO 13                     /* property get -> VARIANT: three strings */
#define DISPID_HERON_CREATECONTACT 14                /* method (VARIANT* string line) */
#define DISPID_HERON_NOTESVERSION 15                 /* property get -> long */
#define DISPID_HERON_ADDTASKCATEGORY 16              /* method (string category) */
#define DISPID_HERON_QUICKCONFLICTCHECK 17           /* method (IDispatch* item record) */
#define DISPID_HERON_SERVERS 18                      /* property get -> VARIANT */
#define DISPID_HERON_GETCALENDARDAY 19               /* method (VARIANT day) -> VARIANT */

#endif
