// The speech control stand-ins: the dispatch ids callers rely on, and the
// test seams (environment variables read at every call, and the message
// that makes the phrase control hear a phrase).
#pragma once

#define DISPID_SPEECHENGINE_START 1
#define DISPID_SPEECHENGINE_STOP 3
#define DISPID_SPEECHENGINE_ACTIVE 6

#define DISPID_SPEECHPHRASES_LISTENING 3
#define DISPID_SPEECHPHRASES_ENGINE 5
#define DISPID_SPEECHPHRASES_ADDPHRASE 9
#define DISPID_SPEECHPHRASES_HEARD 1

// The standard control properties (DISPID_BACKCOLOR and its kin).
#define DISPID_SPEECHEDIT_BACKCOLOR (-501)
#define DISPID_SPEECHEDIT_BORDERSTYLE (-504)
#define DISPID_SPEECHEDIT_TEXT (-517)
#define DISPID_SPEECHEDIT_APPEARANCE (-520)
#define DISPID_SPEECHEDIT_SELBOLD 0x6C
#define DISPID_SPEECHEDIT_SELCOLOR 0x6E
#define DISPID_SPEECHEDIT_SELITALIC 0x73
#define DISPID_SPEECHEDIT_SELLENGTH 0x74
#define DISPID_SPEECHEDIT_SELSTART 0x78
#define DISPID_SPEECHEDIT_SELUNDERLINE 0x7C
#define DISPID_SPEECHEDIT_REDRAWLOCK 0x85
#define DISPID_SPEECHEDIT_DICTATION 0x89

// A file every call is appended to, one line each:
// "<object> <method|get|put> <dispid>[ <argument>...]", the objects being
// "phrases", "engine" and "richedit"; "<object> create" for each new control,
// "phrases heard <phrase> <command> <handled>" for each event fired, and
// "FAILED " in front of a call that was made to fail.
#define QUI_SPEECH_LOG_VARIABLE "QUI_SPEECH_LOG"
// Calls that fail with DISP_E_EXCEPTION, ';' between them, each written as
// the log writes it without arguments ("richedit put -517"); "<object>
// create" makes the control's creation fail.
#define QUI_SPEECH_FAIL_VARIABLE "QUI_SPEECH_FAIL"

// Sent to the phrase control's window: it hears phrase number wParam (0 the
// first added) and fires its event; the answer is the handled flag (0 or 1),
// or -1 when there is no such phrase.
#define QUI_SPEECH_HEAR_MESSAGE "QuiSpeechStandInHear"

// The control id of the speech rich edit's inner edit window.
#define QUI_SPEECH_INNER_EDIT_ID 1
