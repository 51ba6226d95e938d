/* The Notes C API, as its public reference documents it: the types, structures,
   constants and function signatures of the Notes function library
   (nnotes.dll) that this system uses, in our own declaration. Heron's class
   layer resolves the functions by name from the library it loads; the
   stand-in library exports them under the same names.

   On 32-bit Windows the library's functions use the standard calling
   convention and its structures are packed on byte boundaries; on 64-bit
   Windows memory handles are pointer-sized and structures are naturally
   aligned. */
#ifndef QUI_NOTESAPI_H
#define QUI_NOTESAPI_H

#include <windows.h>

#define LNPUBLIC __stdcall

#ifndef _WIN64
#pragma pack(push, 1)
#endif

typedef WORD STATUS;
#define NOERROR 0
/* No note of the classes asked for changed since the given time: an answer
   of NSFDbGetModifiedNoteTable to be checked for, not a failure. */
#define ERR_NO_MODIFIED_NOTES 0x023C
/* The status without its "displayed" and "remote" flag bits. */
#define ERR_MASK 0x3FFF
#define ERR(status) ((STATUS)((status) & ERR_MASK))

#ifdef _WIN64
typedef ULONG_PTR DHANDLE;
#else
typedef DWORD DHANDLE;
#endif
typedef DHANDLE DBHANDLE;
typedef DHANDLE NOTEHANDLE;
typedef DHANDLE MEMHANDLE;
typedef DWORD HCOLLECTION;
typedef void* HCOMPUTE;
typedef void* NLS_PINFO;
#define NULLHANDLE 0

typedef DWORD NOTEID;
typedef WORD BLOCK;
typedef double NUMBER;
typedef DWORD FONTID;

/* The location of an item or value: a memory pool and a block in it. */
typedef struct {
    DHANDLE pool;
    BLOCK block;
} BLOCKID;

typedef struct {
    DWORD Innards[2];
} TIMEDATE;

typedef TIMEDATE DBID;

/* A time broken down: weekday 1 is Sunday; zone in hours west of GMT;
   dst TRUE where daylight-saving time is observed; GM the time stamp. */
typedef struct {
    int year;
    int month;
    int day;
    int weekday;
    int hour;
    int minute;
    int second;
    int hundredth;
    int dst;
    int zone;
    TIMEDATE GM;
} TIME;

typedef struct {
    DBID File;
    TIMEDATE Note;
} UNIVERSALNOTEID;
typedef UNIVERSALNOTEID UNID;

typedef struct {
    DBID File;
    TIMEDATE Note;
    DWORD Sequence;
    TIMEDATE SequenceTime;
} ORIGINATORID;

typedef struct {
    TIMEDATE ID;
    WORD Flags;
    WORD CutoffInterval;
    TIMEDATE Cutoff;
} DBREPLICAINFO;

/* A list value: the count, then a length per entry, then the entries. */
typedef struct {
    WORD ListEntries;
} LIST;

/* A number or time list value: the counts, then the entries, then the
   pairs. */
typedef struct {
    WORD ListEntries;
    WORD RangeEntries;
} RANGE;

/* Room for a user name and for a path, each without its terminator. */
#define MAXUSERNAME 256
#define MAXPATH 256

#define MAXTUMBLERLEVELS 32
typedef struct {
    WORD Level;
    BYTE MinLevel;
    BYTE MaxLevel;
    DWORD Tumbler[MAXTUMBLERLEVELS];
} COLLECTIONPOSITION;

#define MAXTABS 20
typedef struct {
    WORD JustifyMode;
    WORD LineSpacing;
    WORD ParagraphSpacingBefore;
    WORD ParagraphSpacingAfter;
    WORD LeftMargin;
    WORD RightMargin;
    WORD FirstLineLeftMargin;
    WORD Tabs;
    SHORT Tab[MAXTABS];
    WORD Flags;
} COMPOUNDSTYLE;

/* The components of a distinguished name as the V4 structure has them; the
   caller passes its size, and the library fills what it holds. */
#define DN_OUNITS 4
typedef struct {
    DWORD Flags;
    WORD CLength;
    char* C;
    WORD OLength;
    char* O;
    WORD OULength[DN_OUNITS];
    char* OU[DN_OUNITS];
    WORD CNLength;
    char* CN;
    WORD DomainLength;
    char* Domain;
    WORD PRMDLength;
    char* PRMD;
    WORD ADMDLength;
    char* ADMD;
    WORD GLength;
    char* G;
    WORD SLength;
    char* S;
    WORD ILength;
    char* I;
    WORD QLength;
    char* Q;
} DN_COMPONENTS;

/* A routine of NSFNoteComputeWithForm that hears of each field's failure;
   none is given here. */
typedef void* CWF_ERROR_PROC;

#ifndef _WIN64
#pragma pack(pop)
#endif

/* Item value types. */
#define TYPE_ERROR 0
#define TYPE_COMPOSITE 1
#define TYPE_NUMBER 0x0300
#define TYPE_NUMBER_RANGE 0x0301
#define TYPE_TIME 0x0400
#define TYPE_TIME_RANGE 0x0401
#define TYPE_TEXT 0x0500
#define TYPE_TEXT_LIST 0x0501

/* Item flags. */
#define ITEM_SIGN 0x0001
#define ITEM_SEAL 0x0002
#define ITEM_SUMMARY 0x0004
#define ITEM_READWRITERS 0x0020
#define ITEM_NAMES 0x0040

/* NSFNoteComputeWithForm: a field whose validation fails does not fail the
   call. */
#define CWF_CONTINUE_ON_ERROR 0x0001

/* OSTranslate: the platform's character set to the library's (LMBCS), and
   back. */
#define OS_TRANSLATE_NATIVE_TO_LMBCS 0
#define OS_TRANSLATE_LMBCS_TO_NATIVE 1

/* Note classes. */
#define NOTE_CLASS_DOCUMENT 0x0001
#define NOTE_CLASS_FORM 0x0004
#define NOTE_CLASS_VIEW 0x0008
#define NOTE_CLASS_ALL 0x7FFF
#define NOTE_CLASS_ALLNONDATA 0x7FFE

/* Members of a note for NSFNoteGetInfo and NSFNoteSetInfo. */
#define _NOTE_DB 0
#define _NOTE_ID 1
#define _NOTE_OID 2
#define _NOTE_CLASS 3
#define _NOTE_MODIFIED 4
#define _NOTE_ADDED_TO_FILE 13

/* Set in an id of a modified-note table for a deleted note. */
#define RRV_DELETED 0x80000000UL
/* Set in an id a collection answers for a category entry. */
#define NOTEID_CATEGORY 0x80000000UL

/* Time constants. */
#define TIMEDATE_MINIMUM 0
#define TIMEDATE_MAXIMUM 1
#define TIMEDATE_WILDCARD 2
/* In Innards[0]: a date without a time of day. */
#define ALLDAY 0xFFFFFFFFUL
/* In Innards[1]: a time of day without a date. */
#define ANYDAY 0xFFFFFFFFUL

/* Collections. */
#define NAVIGATE_NEXT 1
#define READ_MASK_NOTEID 0x00000001UL
#define SIGNAL_MORE_TO_DO 0x0020

/* Database classes of NSFDbCreate: the class follows the file's extension. */
#define DBCLASS_BY_EXTENSION 0

/* Attachments: the file of this machine, compressed. */
#define HOST_LOCAL 0x0F00
#define COMPRESS_NONE 0
#define COMPRESS_HUFF 1

/* Compound text. */
#define COMP_PRESERVE_LINES 0x00000002UL
#define COMP_PARA_LINE 0x00000004UL
/* A font id: face, attributes, colour and size, a byte each. */
#define FONT_FACE_SWISS 1
#define MAKE_FONTID(face, attrib, color, size) \
    ((FONTID)((face) | ((attrib) << 8) | ((color) << 16) | ((DWORD)(size) << 24)))

/* Rich text records: a byte signature with the length in the high byte, or
   one whose high byte marks a word or double-word length that follows. */
#define WORDRECORDLENGTH 0xFF00
#define LONGRECORDLENGTH 0x0000
#define BYTERECORDLENGTH 0
#define SIG_CD_FIELD (138 | WORDRECORDLENGTH)
#define SIG_CD_HOTSPOTBEGIN (169 | WORDRECORDLENGTH)
#define SIG_CD_HOTSPOTEND (170 | BYTERECORDLENGTH)
#define HOTSPOTREC_TYPE_FILE 4
#define HOTSPOTREC_RUNFLAG_BEGIN 0x00000001UL
#define HOTSPOTREC_RUNFLAG_NOBORDER 0x00000008UL

/* Folder types of FolderCreate. */
#define DESIGN_TYPE_SHARED 0

/* Every function of the library this system calls:
   X(return type, name, (parameters), (argument names)). */
#define NOTES_API_FUNCTIONS(X) \
    X(STATUS, NotesInitExtended, (int argc, char** argv), (argc, argv)) \
    X(void, NotesTerm, (void), ()) \
    X(STATUS, NotesInitThread, (void), ()) \
    X(void, NotesTermThread, (void), ()) \
    X(BOOL, OSGetEnvironmentString, (const char* VariableName, char* retValueBuffer, WORD BufferLength), \
      (VariableName, retValueBuffer, BufferLength)) \
    X(WORD, OSLoadString, (HMODULE hModule, STATUS StringCode, char* retBuffer, WORD BufferLength), \
      (hModule, StringCode, retBuffer, BufferLength)) \
    X(WORD, OSTranslate, (WORD TranslateMode, const char* In, WORD InLength, char* Out, WORD OutLength), \
      (TranslateMode, In, InLength, Out, OutLength)) \
    X(WORD, OSGetDataDirectory, (char* retPathName), (retPathName)) \
    X(STATUS, SECKFMGetUserName, (char* retUserName), (retUserName)) \
    X(STATUS, DNParse, \
      (DWORD Flags, const char* TemplateName, const char* InName, DN_COMPONENTS* Comp, WORD CompSize), \
      (Flags, TemplateName, InName, Comp, CompSize)) \
    X(STATUS, OSPathNetConstruct, \
      (const char* PortName, const char* ServerName, const char* FileName, char* retPathName), \
      (PortName, ServerName, FileName, retPathName)) \
    X(STATUS, OSPathNetParse, \
      (const char* PathName, char* retPortName, char* retServerName, char* retFileName), \
      (PathName, retPortName, retServerName, retFileName)) \
    X(STATUS, NSGetServerList, (char* pPortName, DHANDLE* retServerTextList), (pPortName, retServerTextList)) \
    X(STATUS, NAMEGetAddressBooks, \
      (const char* pszServer, WORD wOptions, WORD* pwReturnCount, WORD* pwReturnLength, DHANDLE* phReturnBuffer), \
      (pszServer, wOptions, pwReturnCount, pwReturnLength, phReturnBuffer)) \
    X(void*, OSLockObject, (DHANDLE Handle), (Handle)) \
    X(BOOL, OSUnlockObject, (DHANDLE Handle), (Handle)) \
    X(STATUS, OSMemFree, (DHANDLE Handle), (Handle)) \
    X(void, OSCurrentTIMEDATE, (TIMEDATE* retTimeDate), (retTimeDate)) \
    X(void, OSCurrentTimeZone, (int* retZone, int* retDST), (retZone, retDST)) \
    X(BOOL, TimeLocalToGM, (TIME* Time), (Time)) \
    X(BOOL, TimeGMToLocal, (TIME* Time), (Time)) \
    X(void, TimeConstant, (WORD TimeConstantType, TIMEDATE* td), (TimeConstantType, td)) \
    X(int, TimeDateCompare, (const TIMEDATE* t1, const TIMEDATE* t2), (t1, t2)) \
    X(STATUS, NSFDbOpen, (const char* PathName, DBHANDLE* rethDB), (PathName, rethDB)) \
    X(STATUS, NSFDbClose, (DBHANDLE hDB), (hDB)) \
    X(STATUS, NSFDbCreate, (const char* PathName, USHORT DbClass, BOOL ForceCreation), \
      (PathName, DbClass, ForceCreation)) \
    X(STATUS, NSFDbCopy, (DBHANDLE hSrcDB, DBHANDLE hDstDB, TIMEDATE Since, WORD NoteClassMask), \
      (hSrcDB, hDstDB, Since, NoteClassMask)) \
    X(STATUS, NSFDbGetBuildVersion, (DBHANDLE hDB, WORD* retVersion), (hDB, retVersion)) \
    X(STATUS, NSFDbGetModifiedNoteTable, \
      (DBHANDLE hDB, WORD NoteClassMask, TIMEDATE Since, TIMEDATE* retUntil, DHANDLE* rethTable), \
      (hDB, NoteClassMask, Since, retUntil, rethTable)) \
    X(STATUS, NSFDbGenerateOID, (DBHANDLE hDB, ORIGINATORID* retOID), (hDB, retOID)) \
    X(STATUS, NSFDbReplicaInfoGet, (DBHANDLE hDB, DBREPLICAINFO* retReplicationInfo), (hDB, retReplicationInfo)) \
    X(STATUS, NIFFindDesignNote, (DBHANDLE hFile, const char* Name, WORD Class, NOTEID* retNoteID), \
      (hFile, Name, Class, retNoteID)) \
    X(STATUS, NSFNoteCreate, (DBHANDLE db_handle, NOTEHANDLE* note_handle), (db_handle, note_handle)) \
    X(STATUS, NSFNoteOpen, (DBHANDLE db_handle, NOTEID note_id, WORD open_flags, NOTEHANDLE* note_handle), \
      (db_handle, note_id, open_flags, note_handle)) \
    X(STATUS, NSFNoteClose, (NOTEHANDLE note_handle), (note_handle)) \
    X(STATUS, NSFNoteUpdate, (NOTEHANDLE note_handle, WORD update_flags), (note_handle, update_flags)) \
    X(STATUS, NSFNoteDelete, (DBHANDLE db_handle, NOTEID note_id, WORD update_flags), \
      (db_handle, note_id, update_flags)) \
    X(void, NSFNoteGetInfo, (NOTEHANDLE note_handle, WORD note_member, void* value_ptr), \
      (note_handle, note_member, value_ptr)) \
    X(void, NSFNoteSetInfo, (NOTEHANDLE note_handle, WORD note_member, void* value_ptr), \
      (note_handle, note_member, value_ptr)) \
    X(STATUS, NSFNoteCopy, (NOTEHANDLE note_handle_src, NOTEHANDLE* note_handle_dst_ptr), \
      (note_handle_src, note_handle_dst_ptr)) \
    X(STATUS, NSFNoteComputeWithForm, \
      (NOTEHANDLE hNote, NOTEHANDLE hFormNote, DWORD dwFlags, CWF_ERROR_PROC ErrorRoutine, void* CallersContext), \
      (hNote, hFormNote, dwFlags, ErrorRoutine, CallersContext)) \
    X(STATUS, NSFNoteAttachFile, \
      (NOTEHANDLE note_handle, const char* item_name, WORD item_name_length, const char* file_name, \
       const char* orig_path_name, WORD encoding_type), \
      (note_handle, item_name, item_name_length, file_name, orig_path_name, encoding_type)) \
    X(STATUS, NSFItemInfo, \
      (NOTEHANDLE note_handle, const char* item_name, WORD name_len, BLOCKID* item_blockid, WORD* value_datatype, \
       BLOCKID* value_blockid, DWORD* value_len), \
      (note_handle, item_name, name_len, item_blockid, value_datatype, value_blockid, value_len)) \
    X(STATUS, NSFItemInfoNext, \
      (NOTEHANDLE note_handle, BLOCKID NextItem, const char* item_name, WORD name_len, BLOCKID* item_blockid, \
       WORD* value_datatype, BLOCKID* value_blockid, DWORD* value_len), \
      (note_handle, NextItem, item_name, name_len, item_blockid, value_datatype, value_blockid, value_len)) \
    X(STATUS, NSFItemDelete, (NOTEHANDLE note_handle, const char* item_name, WORD name_len), \
      (note_handle, item_name, name_len)) \
    X(STATUS, NSFItemAppend, \
      (NOTEHANDLE note_handle, WORD item_flags, const char* item_name, WORD name_len, WORD item_type, \
       const void* item_value, DWORD value_len), \
      (note_handle, item_flags, item_name, name_len, item_type, item_value, value_len)) \
    X(STATUS, NSFItemSetText, (NOTEHANDLE hNote, const char* ItemName, const char* ItemText, WORD TextLength), \
      (hNote, ItemName, ItemText, TextLength)) \
    X(WORD, NSFItemGetTextListEntries, (NOTEHANDLE note_handle, const char* item_name), (note_handle, item_name)) \
    X(WORD, NSFItemGetTextListEntry, \
      (NOTEHANDLE note_handle, const char* item_name, WORD entry_position, char* retEntry_text, WORD text_len), \
      (note_handle, item_name, entry_position, retEntry_text, text_len)) \
    X(STATUS, NSFItemAppendTextList, \
      (NOTEHANDLE hNote, const char* ItemName, const char* Text, WORD TextLength, BOOL fAllowDuplicates), \
      (hNote, ItemName, Text, TextLength, fAllowDuplicates)) \
    X(WORD, NSFItemConvertValueToText, \
      (WORD value_type, BLOCKID value_bid, DWORD value_len, char* text_buf_ptr, WORD text_buf_len, char separator), \
      (value_type, value_bid, value_len, text_buf_ptr, text_buf_len, separator)) \
    X(BOOL, NSFItemGetTime, (NOTEHANDLE note_handle, const char* td_item_name, TIMEDATE* td_item_value), \
      (note_handle, td_item_name, td_item_value)) \
    X(BOOL, NSFItemGetNumber, (NOTEHANDLE hNote, const char* ItemName, NUMBER* retNumber), \
      (hNote, ItemName, retNumber)) \
    X(STATUS, IDCreateTable, (DWORD Alignment, DHANDLE* rethTable), (Alignment, rethTable)) \
    X(STATUS, IDDestroyTable, (DHANDLE hTable), (hTable)) \
    X(STATUS, IDInsert, (DHANDLE hTable, NOTEID id, BOOL* retfInserted), (hTable, id, retfInserted)) \
    X(STATUS, IDDelete, (DHANDLE hTable, NOTEID id, BOOL* retfDeleted), (hTable, id, retfDeleted)) \
    X(BOOL, IDScan, (DHANDLE hTable, BOOL fFirst, NOTEID* retID), (hTable, fFirst, retID)) \
    X(STATUS, IDTableCopy, (DHANDLE hOriginalTable, DHANDLE* rethTable), (hOriginalTable, rethTable)) \
    X(STATUS, NSFDbGetUnreadNoteTable, \
      (DBHANDLE hDB, char* UserName, WORD UserNameLength, BOOL fCreateIfNotAvailable, DHANDLE* rethUnreadList), \
      (hDB, UserName, UserNameLength, fCreateIfNotAvailable, rethUnreadList)) \
    X(STATUS, NSFDbUpdateUnread, (DBHANDLE hDataDB, DHANDLE hUnreadList), (hDataDB, hUnreadList)) \
    X(STATUS, NSFDbSetUnreadNoteTable, \
      (DBHANDLE hDB, char* UserName, WORD UserNameLength, BOOL fFlushToDisk, DHANDLE hOriginalUnreadList, \
       DHANDLE hUnreadUnreadList), \
      (hDB, UserName, UserNameLength, fFlushToDisk, hOriginalUnreadList, hUnreadUnreadList)) \
    X(STATUS, MailOpenMessageFile, (char* FileName, DBHANDLE* rethFile), (FileName, rethFile)) \
    X(STATUS, MailCloseMessageFile, (DBHANDLE hFile), (hFile)) \
    X(STATUS, NIFOpenCollection, \
      (DBHANDLE hViewDB, DBHANDLE hDataDB, NOTEID ViewNoteID, WORD OpenFlags, DHANDLE hUnreadList, \
       HCOLLECTION* rethCollection, NOTEHANDLE* rethViewNote, UNID* retViewUNID, DHANDLE* rethCollapsedList, \
       DHANDLE* rethSelectedList), \
      (hViewDB, hDataDB, ViewNoteID, OpenFlags, hUnreadList, rethCollection, rethViewNote, retViewUNID, \
       rethCollapsedList, rethSelectedList)) \
    X(STATUS, NIFReadEntries, \
      (HCOLLECTION hCollection, COLLECTIONPOSITION* IndexPos, WORD SkipNavigator, DWORD SkipCount, \
       WORD ReturnNavigator, DWORD ReturnCount, DWORD ReturnMask, DHANDLE* rethBuffer, WORD* retBufferLength, \
       DWORD* retNumEntriesSkipped, DWORD* retNumEntriesReturned, WORD* retSignalFlags), \
      (hCollection, IndexPos, SkipNavigator, SkipCount, ReturnNavigator, ReturnCount, ReturnMask, rethBuffer, \
       retBufferLength, retNumEntriesSkipped, retNumEntriesReturned, retSignalFlags)) \
    X(STATUS, NIFCloseCollection, (HCOLLECTION hCollection), (hCollection)) \
    X(STATUS, NSFComputeStart, (WORD Flags, void* lpCompiledFormula, HCOMPUTE* rethCompute), \
      (Flags, lpCompiledFormula, rethCompute)) \
    X(STATUS, NSFComputeEvaluate, \
      (HCOMPUTE hCompute, NOTEHANDLE hNote, DHANDLE* rethResult, WORD* retResultLength, BOOL* retNoteMatchesFormula, \
       BOOL* retNoteShouldBeDeleted, BOOL* retNoteModified), \
      (hCompute, hNote, rethResult, retResultLength, retNoteMatchesFormula, retNoteShouldBeDeleted, \
       retNoteModified)) \
    X(STATUS, NSFComputeStop, (HCOMPUTE hCompute), (hCompute)) \
    X(STATUS, CompoundTextCreate, (NOTEHANDLE hNote, char* pszItemName, DHANDLE* phCompound), \
      (hNote, pszItemName, phCompound)) \
    X(void, CompoundTextInitStyle, (COMPOUNDSTYLE* pStyle), (pStyle)) \
    X(STATUS, CompoundTextDefineStyle, \
      (DHANDLE hCompound, char* pszStyleName, COMPOUNDSTYLE* pDefinition, DWORD* pdwStyleID), \
      (hCompound, pszStyleName, pDefinition, pdwStyleID)) \
    X(STATUS, CompoundTextAddParagraphExt, \
      (DHANDLE hCompound, DWORD dwStyleID, FONTID FontID, char* pchText, DWORD dwTextLen, NLS_PINFO pInfo), \
      (hCompound, dwStyleID, FontID, pchText, dwTextLen, pInfo)) \
    X(STATUS, CompoundTextAddTextExt, \
      (DHANDLE hCompound, DWORD dwStyleID, FONTID FontID, char* pchText, DWORD dwTextLen, char* pszLineDelim, \
       DWORD dwFlags, NLS_PINFO pInfo), \
      (hCompound, dwStyleID, FontID, pchText, dwTextLen, pszLineDelim, dwFlags, pInfo)) \
    X(STATUS, CompoundTextAddDocLink, \
      (DHANDLE hCompound, TIMEDATE DBReplicaID, UNID ViewUNID, UNID NoteUNID, char* pszComment, DWORD dwFlags), \
      (hCompound, DBReplicaID, ViewUNID, NoteUNID, pszComment, dwFlags)) \
    X(STATUS, CompoundTextAddCDRecords, (DHANDLE hCompound, void* pvRecord, DWORD dwRecordLength), \
      (hCompound, pvRecord, dwRecordLength)) \
    X(STATUS, CompoundTextClose, \
      (DHANDLE hCompound, DHANDLE* phReturnBuffer, DWORD* pdwReturnBufferSize, char* pchReturnFile, \
       WORD wReturnFileNameSize), \
      (hCompound, phReturnBuffer, pdwReturnBufferSize, pchReturnFile, wReturnFileNameSize)) \
    X(void, CompoundTextDiscard, (DHANDLE hCompound), (hCompound)) \
    X(STATUS, FolderCreate, \
      (DBHANDLE hDataDB, DBHANDLE hFolderDB, NOTEID FormatNoteID, DBHANDLE hFormatDB, char* pszName, WORD wNameLen, \
       DWORD FolderType, DWORD dwFlags, NOTEID* pNoteID), \
      (hDataDB, hFolderDB, FormatNoteID, hFormatDB, pszName, wNameLen, FolderType, dwFlags, pNoteID)) \
    X(STATUS, FolderDocAdd, \
      (DBHANDLE hDataDB, DBHANDLE hFolderDB, NOTEID FolderNoteID, DHANDLE hTable, DWORD dwFlags), \
      (hDataDB, hFolderDB, FolderNoteID, hTable, dwFlags)) \
    X(STATUS, NSFProfileOpen, \
      (DBHANDLE hDB, const char* ProfileName, WORD ProfileNameLength, const char* UserName, WORD UserNameLength, \
       BOOL CopyProfile, NOTEHANDLE* rethProfileNote), \
      (hDB, ProfileName, ProfileNameLength, UserName, UserNameLength, CopyProfile, rethProfileNote)) \
    X(STATUS, NSFProfileGetField, \
      (DBHANDLE hDB, const char* ProfileName, WORD ProfileNameLength, const char* UserName, WORD UserNameLength, \
       const char* FieldName, WORD FieldNameLength, WORD* retDatatype, BLOCKID* retbhValue, DWORD* retValueLength), \
      (hDB, ProfileName, ProfileNameLength, UserName, UserNameLength, FieldName, FieldNameLength, retDatatype, \
       retbhValue, retValueLength)) \
    X(STATUS, NSFProfileUpdate, \
      (NOTEHANDLE hProfile, const char* ProfileName, WORD ProfileNameLength, const char* UserName, \
       WORD UserNameLength), \
      (hProfile, ProfileName, ProfileNameLength, UserName, UserNameLength))

/* The function pointer types, as PFN_<name>. */
#define NOTES_API_PFN(ret, name, params, args) typedef ret(LNPUBLIC* PFN_##name) params;
NOTES_API_FUNCTIONS(NOTES_API_PFN)
#undef NOTES_API_PFN

/* Every function as a pointer, resolved by name from the loaded library
   with NOTES_API_RESOLVE (null for a function the library lacks). */
typedef struct {
#define NOTES_API_POINTER(ret, name, params, args) PFN_##name name;
    NOTES_API_FUNCTIONS(NOTES_API_POINTER)
#undef NOTES_API_POINTER
} NOTES_FUNCTIONS;
#define NOTES_API_RESOLVE_ONE(ret, name, params, args) \
    notesResolved_->name = (PFN_##name)(void (*)(void))GetProcAddress(notesModule_, #name);
#define NOTES_API_RESOLVE(module, functions) \
    do { \
        HMODULE notesModule_ = (module); \
        NOTES_FUNCTIONS* notesResolved_ = (functions); \
        NOTES_API_FUNCTIONS(NOTES_API_RESOLVE_ONE) \
    } while (0)

#endif
