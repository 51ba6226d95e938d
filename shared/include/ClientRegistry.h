// The main program's settings table under "Software\Quillmate\Client". It
// loads every value when made and, when destroyed, writes the values it
// changed and those the registry lacks, so that all of them exist after the
// first run; a value it could not read is never replaced by its default.
#pragma once
#include "QuiRegistry.h"

class ClientRegistry : public QuiRegistry {
public:
    // Record indexes, in table order.
    enum Value {
        Position, AskVVInstall, DefaultKwDb,
        TipFilePos, TipStartup, TipTimestamp, TipLastShown,
        ViaVoiceInstalled, ActivePIM, PintailData, PintailDate, PintailFreq, HideSavedNoteDlg,
        EnableHotKeys, NewHotKey, GrabHotKey, ReturnKeyAction, SaveThenNew, Browser, VoiceRecognition,
        ConnectorsLocation, KwdPosition, ShowPromptText,
        KwTypeSelIndex, AliasDB, Username, Password, PintailExe, PintailCatalog,
        ConnectorWaitTimeout, ShowProfile,
        Firstname, Lastname, Email, Address, City, State, Country, PostalCode,
        ImageDir,
        ValueCount
    };

    // A table made only to read a setting writes nothing when it ends.
    enum Ending { SaveChangesAtEnd, WriteNothingAtEnd };

    explicit ClientRegistry(Ending ending = SaveChangesAtEnd);
    ~ClientRegistry() override;

    QuiRegValue* GetValueTable() override;
    const char* GetSubKey() override;
    int GetValueCount() override;

private:
    QuiRegValue m_table[ValueCount];
    Ending m_ending;
};
