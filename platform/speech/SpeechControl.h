// The stand-ins' two controls and the engine object of the phrase control.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "QuiConnectionPoint.h"
#include "QuiMessageControl.h"
#include "SpeechCall.h"
#include "SpeechStandIn.h"

// Both stand-ins' windows: their messages come back to the object.
class CSpeechControlBase : public QuiMessageControlImpl {
protected:
    CSpeechControlBase(REFCLSID clsid, const IID* eventIid);
};

class CSpeechEngine : public QuiObjectRoot, public SpeechDispatchImpl<IQuiSpeechEngine, &IID_IQuiSpeechEngine> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    STDMETHODIMP Start() override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP get_Active(LONG* value) override;
    STDMETHODIMP put_Active(LONG value) override;

protected:
    const char* ObjectName() const override { return "engine"; }

private:
    bool m_running = false;
    LONG m_active = 0;
};

class CSpeechPhrasesCtrl : public QuiObjectRoot,
                           public SpeechDispatchImpl<IQuiSpeechPhrases, &IID_IQuiSpeechPhrases>,
                           public CSpeechControlBase,
                           public QuiConnectionPointContainerImpl {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CSpeechPhrasesCtrl();
    ~CSpeechPhrasesCtrl() override;
    HRESULT FinalConstruct();

    STDMETHODIMP get_Listening(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Listening(VARIANT_BOOL value) override;
    STDMETHODIMP get_Engine(IDispatch** engine) override;
    STDMETHODIMP AddPhrase(BSTR phrase, LONG command, BSTR spoken, VARIANT_BOOL enabled, IDispatch** engine) override;

protected:
    const char* ObjectName() const override { return "phrases"; }
    const char* WindowClassName() const override { return "QuiSpeechPhrasesWnd"; }
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    struct Phrase {
        std::wstring text;
        LONG command;
    };
    // Fires the event for phrase `index`: 1 or 0 as the sink handled it, -1 for no such phrase.
    LRESULT Hear(size_t index);

    QuiConnectionPoint m_events;
    IDispatch* m_engine = nullptr;
    std::vector<Phrase> m_phrases;
    VARIANT_BOOL m_listening = VARIANT_FALSE;
};

class CSpeechRichEditCtrl : public QuiObjectRoot,
                            public SpeechDispatchImpl<IQuiSpeechRichEdit, &IID_IQuiSpeechRichEdit>,
                            public CSpeechControlBase {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CSpeechRichEditCtrl();
    ~CSpeechRichEditCtrl() override;
    HRESULT FinalConstruct();

    STDMETHODIMP get_BackColor(OLE_COLOR* value) override;
    STDMETHODIMP put_BackColor(OLE_COLOR value) override;
    STDMETHODIMP get_BorderStyle(LONG* value) override;
    STDMETHODIMP put_BorderStyle(LONG value) override;
    STDMETHODIMP get_Appearance(LONG* value) override;
    STDMETHODIMP put_Appearance(LONG value) override;
    STDMETHODIMP get_Text(BSTR* value) override;
    STDMETHODIMP put_Text(BSTR value) override;
    STDMETHODIMP get_SelStart(LONG* value) override;
    STDMETHODIMP put_SelStart(LONG value) override;
    STDMETHODIMP get_SelLength(LONG* value) override;
    STDMETHODIMP put_SelLength(LONG value) override;
    STDMETHODIMP get_RedrawLocked(VARIANT_BOOL* value) override;
    STDMETHODIMP put_RedrawLocked(VARIANT_BOOL value) override;
    STDMETHODIMP get_SelBold(VARIANT_BOOL* value) override { return GetEffect(CFE_BOLD, value); }
    STDMETHODIMP put_SelBold(VARIANT_BOOL value) override { return PutEffect(CFE_BOLD, value); }
    STDMETHODIMP get_SelItalic(VARIANT_BOOL* value) override { return GetEffect(CFE_ITALIC, value); }
    STDMETHODIMP put_SelItalic(VARIANT_BOOL value) override { return PutEffect(CFE_ITALIC, value); }
    STDMETHODIMP get_SelUnderline(VARIANT_BOOL* value) override { return GetEffect(CFE_UNDERLINE, value); }
    STDMETHODIMP put_SelUnderline(VARIANT_BOOL value) override { return PutEffect(CFE_UNDERLINE, value); }
    STDMETHODIMP get_SelColor(LONG* value) override;
    STDMETHODIMP put_SelColor(LONG value) override;
    STDMETHODIMP get_DictationEnabled(VARIANT_BOOL* value) override;
    STDMETHODIMP put_DictationEnabled(VARIANT_BOOL value) override;

protected:
    const char* ObjectName() const override { return "richedit"; }
    const char* WindowClassName() const override { return "QuiSpeechRichEditWnd"; }
    void OnWindowCreated(HWND window) override;
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // The character attributes apply to the selection of the inner edit;
    // without a window there is no selection to give them.
    HRESULT GetEffect(DWORD effect, VARIANT_BOOL* value);
    HRESULT PutEffect(DWORD effect, VARIANT_BOOL value);
    HRESULT GetSelectionFormat(CHARFORMATW* format);
    HRESULT SetSelectionFormat(DWORD mask, DWORD effects, COLORREF color);
    HRESULT PutFrame(LONG* field, LONG value);
    void ApplyFrame();
    void ApplySelection();
    HWND Inner() const;

    // Kept while there is no window, and given to it when it comes.
    std::wstring m_text;
    OLE_COLOR m_backColor = 0xFFFFFF;
    LONG m_borderStyle = 1;
    LONG m_appearance = 1;
    LONG m_selStart = 0;
    LONG m_selLength = 0;
    VARIANT_BOOL m_redrawLocked = VARIANT_FALSE;
    VARIANT_BOOL m_dictation = VARIANT_FALSE;
    IFont* m_font = nullptr;   // the container's, whose handle the edit shows its text in
};
