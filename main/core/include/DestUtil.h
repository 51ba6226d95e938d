// What the destinations of every edition share: the keyphrase behind a parse
// event's extra value, the adaptors' user bits, the pane's tick, the sink
// registration in a note's context, the dates and times of roles and fields,
// and the note's text without the keyphrases that filled fields.
#pragma once
#include <afxquill.h>

#include <initializer_list>
#include <utility>
#include <vector>

class CActionNote;
class CDateDrop;
class CDestination;
class CDestProp;
class CTimeEdit;
class QuiDestinationSink;
class QuiPrsContext;
class QuiPrsItemRole;
class QuiPrsKeyphrase;

// The keyphrase a parse event's extra value stands for.
QuiPrsKeyphrase* KeyphraseOf(INT_PTR nExtra);
// The destination holds the keyphrase: the note marks it while any
// destination holds it, however many fields of each do.
void HoldKeyphrase(CActionNote* note, const CDestination* owner, INT_PTR nExtra);
// The destination lets the keyphrase go; its mark goes once none holds it.
void LetKeyphraseGo(CActionNote* note, const CDestination* owner, INT_PTR nExtra);
// Whether the adaptor has the user-changed bit.
bool UserChanged(CDestProp* prop);
// Whether any of the adaptors has it.
bool AnyUserChanged(std::initializer_list<CDestProp*> props);
// Ticks or unticks the destination's pane as a click would.
void SetChecked(CDestination& dest, bool bChecked);
// Whether the destination's pane is ticked.
bool IsChecked(CDestination& dest);
// Whether the user switched the pane off (its tick changed by the user and
// off): its fields take no phrase then.
bool SwitchedOff(CDestination& dest);

// Registers the sink for the package and the item type in the note's
// context (once per context); the context is kept for unregistering.
void RegisterDestinationSink(const char* package, const char* typeId, CDestination* dest, CActionNote* note,
                             QuiDestinationSink& sink, QuiPrsContext*& context, bool& registered);
void UnregisterDestinationSink(const char* package, QuiDestinationSink& sink, QuiPrsContext*& context,
                               bool& registered);
// Tells a registered sink again of every phrase of its context, as when they
// were found: a pane switched on again takes the note as it stands.
void ReplaySink(QuiDestinationSink& sink, QuiPrsContext* context, bool registered);

// The role's moment as a local date: VT_DATE, or VT_NULL when the moment
// cannot be converted.
void RoleDate(QuiPrsItemRole* role, COleVariant& value);
// -1.0 empty, -2.0 no date or time, else the value.
DATE FieldDate(CDateDrop& field);
DATE FieldTime(CTimeEdit& field);
// A valid time written back in the user's format.
void RewriteTime(CTimeEdit& field);
// Minutes since midnight of a time-of-day value, or -1 for none.
int MinutesOfDay(DATE t);
// The time of day `minutes` after the start's: an end that would pass
// midnight stops at 23:59, since the end field holds no date of its own.
DATE TimeOfDayAfter(DATE start, long minutes);

// The text without the characters of each range (first and last character,
// counted in UTF-16 units of the text as the parse engine saw it) and the
// one blank directly before each; a character is cut once however many
// ranges hold it. Trimmed when anything was cut, else as it is. codePage is
// the text's ANSI code page.
CString TextWithoutRanges(const CString& text, const std::vector<std::pair<int, int>>& ranges,
                          UINT codePage = CP_ACP);
// The same for keyphrases (their extra values, 0 for none).
CString TextWithoutKeyphrases(const CString& text, const INT_PTR* keyphrases, int count);
