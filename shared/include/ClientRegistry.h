// The main program's settings table under "Software\Quillmate\Client". It
// loads every value when made and writes every value back when destroyed, so
// that all of them exist after the first run.
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

    ClientRegistry();
    ~ClientRegistry() override;

    QuiRegValue* GetValueTable() override;
    const char* GetSubKey() override;
    int GetValueCount() override;

private:
    QuiRegValue m_table[ValueCount];
};
