/* The Notes stand-in: our own Notes function library (nnotes.dll), which
   exports the documented functions of the Notes C API (notesapi.h) over the
   data of one installation kept in files under a test folder: notes.ini, the
   ID file it names, and databases as text files below the data directory.

   What a test tells the stand-in, under HKEY_CURRENT_USER
   "Software\QuillmateStandIns\Notes":
     "Build"       REG_DWORD     the runtime's build number (default 166)
     "FailCalls"   REG_MULTI_SZ  functions that fail with NOTES_ERR_TOLD_TO_FAIL,
                                 by name, as "NSFNoteUpdate"; "NAME:N" fails the
                                 Nth call after the list was set and every
                                 later one. A function that answers no status
                                 answers FALSE, 0 or nothing.
     "FailItems"   REG_MULTI_SZ  items of a note, by name, as "Subject", that
                                 may not be written: writing them, or their
                                 rich text, fails with NOTES_ERR_TOLD_TO_FAIL
     "MemoryCalls" REG_MULTI_SZ  functions that fail as the library does when
                                 memory runs out (NOTES_ERR_MEMORY)
     "Clock"       REG_SZ        the stand-in's current local time,
                                 "yyyymmdd-hhmmss", for every time it stamps
                                 or answers
     "TickCalls"   REG_MULTI_SZ  functions that move "Clock" on by a minute
                                 each time they are called
     "HoldCalls"   REG_MULTI_SZ  functions that wait, before they do anything,
                                 until the event NOTES_STANDIN_GO_ON_EVENT is
                                 set (a minute at most)

   The library refuses what the real one refuses: every call but the
   runtime's own set-up before NotesInitExtended, and from a thread that did
   not initialise the runtime or call NotesInitThread. What it writes for a
   test under the same key:
     "OpenThreads" REG_DWORD     at NotesTerm, the NotesInitThread calls of
                                 other threads that no NotesTermThread
                                 ended */
#ifndef NOTES_STANDIN_H
#define NOTES_STANDIN_H

#include <windows.h>

#define NOTES_STANDIN_KEY "Software\\QuillmateStandIns\\Notes"
#define NOTES_STANDIN_DEFAULT_BUILD 166
/* Set by the stand-in's notes.exe when it has started. */
#define NOTES_STANDIN_STARTED_EVENT "QuillmateNotesStandInStarted"
/* Set by a test to let the calls of "HoldCalls" go on. */
#define NOTES_STANDIN_GO_ON_EVENT "QuillmateNotesStandInGoOn"

/* Statuses of the stand-in, with their texts through OSLoadString. */
#define NOTES_ERR_NOT_FOUND 3
#define NOTES_ERR_FILE_NOT_FOUND 259
#define NOTES_ERR_FILE_EXISTS 264
#define NOTES_ERR_NOT_INITIALIZED 289
#define NOTES_ERR_THREAD_NOT_REGISTERED 290
#define NOTES_ERR_ALREADY_INITIALIZED 291
#define NOTES_ERR_NO_INI 292
#define NOTES_ERR_BAD_HANDLE 293
#define NOTES_ERR_MEMORY 294
#define NOTES_ERR_ITEM_NOT_FOUND 546
/* An update of a note under an id its database has no note of. */
#define NOTES_ERR_INVALID_NOTE 551
/* A value the call's description rules out, as a folder database handle
   that is not NULLHANDLE. */
#define NOTES_ERR_BAD_PARAM 577
#define NOTES_ERR_NO_USER 548
/* argv[0] of NotesInitExtended names no folder that holds the library. */
#define NOTES_ERR_NO_PROGRAM 295
#define NOTES_ERR_FORMULA 1281
#define NOTES_ERR_BAD_TIME 1282
#define NOTES_ERR_NO_FORM 1283
#define NOTES_ERR_NAME_EXISTS 1284
/* A note whose summary text item holds more than NOTES_SUMMARY_TEXT_LIMIT
   bytes is not saved. */
#define NOTES_ERR_SUMMARY_TOO_BIG 1285
#define NOTES_ERR_SERVER_NOT_RESPONDING 2051
#define NOTES_ERR_TOLD_TO_FAIL 4095

/* The bytes one summary text item (an item written with the summary flag,
   as views read them) can hold, all its texts together. */
#define NOTES_SUMMARY_TEXT_LIMIT 15360

/* A form of the stand-in's files lists its fields in "$Fields"; a keywords
   field whose "$ChoicesOption.<field>" is 1 takes its choices from the
   formula "$ChoicesFormula.<field>": text constants in double quotes joined
   by ":". The library hands the form's fields out as the rich text "$Body"
   of field records, the formula compiled. A field a form's "$Required"
   lists fails its validation in a document that has no text in it:
   NSFNoteComputeWithForm then fails with NOTES_ERR_FORMULA unless told
   CWF_CONTINUE_ON_ERROR.

   Text is kept as the library takes it, in LMBCS; OSTranslate converts the
   Windows code page's Latin-1 letters and the euro sign. What notesdump
   prints is in the Windows code page. */

#endif
