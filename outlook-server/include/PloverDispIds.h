/* Plover, the Outlook access server: its ProgID and the dispatch
   identifiers of IPlover. They are the contract with the main program's
   Outlook edition, which creates the server by ProgID and calls it only
   through IDispatch. Plain defines, so that the IDL and C++ read the same
   file. */
#ifndef PLOVER_DISPIDS_H
#define PLOVER_DISPIDS_H

#define PLOVER_PROGID "Quillmate.Plover.1"

#define DISPID_PLOVER_CONTACTS 1        /* property get -> VARIANT (stays empty) */
#define DISPID_PLOVER_TODOCATEGORIES 2  /* property get -> VARIANT: array of strings */
#define DISPID_PLOVER_CONNECT 3         /* method (long), no result */
#define DISPID_PLOVER_CREATECONTACT 4   /* method (string), no result */
#define DISPID_PLOVER_FILEKEYNOTE 5     /* method (IDispatch* item record), no result */
#define DISPID_PLOVER_FOLDERS 6         /* property get -> VARIANT (stays empty) */
#define DISPID_PLOVER_CREATECATEGORY 7  /* method (string), no result */
#define DISPID_PLOVER_OPENOUTLOOK 8     /* method (), no result */

#endif
