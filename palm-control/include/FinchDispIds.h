/* Dispatch identifiers of the Palm control "Finch.FinchCtrl.1": the main
   program calls it by these numbers. Plain defines, so that the IDL and C++
   read the same file. */
#ifndef FINCH_DISPIDS_H
#define FINCH_DISPIDS_H

#define DISPID_FINCH_TODOCATEGORIES 1      /* VARIANT; a set only marks the control modified */
#define DISPID_FINCH_MEMOCATEGORIES 2      /* VARIANT; the same */
#define DISPID_FINCH_CONTACTS 3            /* VARIANT; the same */
#define DISPID_FINCH_CURRENTITEMTEXT 4     /* BSTR, read-only */
#define DISPID_FINCH_CONTACTFIELDORDER 5   /* BSTR of 25 characters, read-only */
#define DISPID_FINCH_CATEGORYFIELDORDER 6  /* BSTR of 25 characters, read-only */
#define DISPID_FINCH_USERS 7               /* VARIANT, read-only */
#define DISPID_FINCH_CURRENTUSER 8         /* BSTR */
#define DISPID_FINCH_USERDIRECTORY 9       /* BSTR, read-only */
#define DISPID_FINCH_FILEKEYNOTE 10        /* short (IDispatch* keynote) */
#define DISPID_FINCH_NEWCONTACT 11         /* long (BSTR* contactName) */
#define DISPID_FINCH_OPENDESKTOPAPP 12     /* long () */
#define DISPID_FINCH_GETSHOWINLIST 13      /* BSTR (BSTR* first, BSTR* last, BSTR* company) */
#define DISPID_FINCH_GETEMAIL 14           /* BSTR (BSTR* first, BSTR* last, BSTR* company) */
#define DISPID_FINCH_DATAREFRESH 15        /* long () */
#define DISPID_FINCH_GETCALENDARDAY 16     /* long (VARIANT* date, VARIANT* items) */
#define DISPID_FINCH_CONNECT 17            /* long (long): 0 usable, 1 not */

/* Event of _DFinchEvents. */
#define DISPID_FINCH_USERINFOCHANGE 1

#endif
