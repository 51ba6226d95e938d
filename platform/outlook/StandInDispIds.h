/* Dispatch identifiers of the stand-in's interfaces, shared by its IDL and
   its tests. Plain defines, so that the IDL and C++ read the same file.
   They are the stand-in's own: clients find members by their documented
   names. */
#ifndef STANDIN_DISPIDS_H
#define STANDIN_DISPIDS_H

#define DISPID_OL_NAME 1
#define DISPID_OL_COUNT 2
#define DISPID_OL_ADD 3
#define DISPID_OL_RESOLVEALL 4
#define DISPID_OL_RESOLVED 5
#define DISPID_OL_DISPLAYNAME 6
#define DISPID_OL_TYPE 7

#define DISPID_OL_SUBJECT 10
#define DISPID_OL_BODY 11
#define DISPID_OL_CATEGORIES 12
#define DISPID_OL_IMPORTANCE 13
#define DISPID_OL_SENSITIVITY 14
#define DISPID_OL_ATTACHMENTS 15
#define DISPID_OL_SAVE 16
#define DISPID_OL_CONTACTNAMES 20
#define DISPID_OL_COMPLETE 21
#define DISPID_OL_STARTDATE 22
#define DISPID_OL_DUEDATE 23
#define DISPID_OL_START 24
#define DISPID_OL_END 25
#define DISPID_OL_ALLDAYEVENT 26
#define DISPID_OL_MEETINGSTATUS 27
#define DISPID_OL_RECIPIENTS 28
#define DISPID_OL_TO 29
#define DISPID_OL_CC 30
#define DISPID_OL_BCC 31
#define DISPID_OL_SEND 32
#define DISPID_OL_DELETE 33
#define DISPID_OL_CONTACTS 34

#define DISPID_OL_LOGON 40
#define DISPID_OL_GETDEFAULTFOLDER 41
#define DISPID_OL_CATEGORYLIST 42
#define DISPID_OL_GETNAMESPACE 50
#define DISPID_OL_CREATEITEM 51

#endif
