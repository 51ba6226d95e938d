// The stand-in as Outlook is run: closed by its user, of one version, with
// its recipients and its object model guard.
#include "StandInFixture.h"

using namespace StandInTesting;
using ::testing::ElementsAre;

// As the objects of an Outlook in a process of its own, which from 2007 SP2
// on ends when the user closes it, whoever holds its objects.
TEST_F(StandIn, ObjectsHandedOutBeforeTheUserClosedOutlookAnswerAsGone)
{
    Ptr<_TaskItem> task;
    Create(olTaskItem, IID__TaskItem, &task);
    Ptr<_MailItem> mail;
    Create(olMailItem, IID__MailItem, &mail);
    Ptr<Recipients> recipients;
    ASSERT_EQ(S_OK, mail->get_Recipients(recipients.Out()));
    m_outlook.CloseAsUser(CO_E_OBJNOTCONNECTED);
    EXPECT_THAT(m_outlook.Record(1), ElementsAre("program closed Version=9.0.0.3821"));
    IDispatch* objects[] = {m_app.Get(), m_space.Get(), task.Get(), recipients.Get()};
    for (IDispatch* object : objects) {
        LPOLESTR name = const_cast<LPOLESTR>(L"Count");
        DISPID id = 0;
        EXPECT_EQ(CO_E_OBJNOTCONNECTED, object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    }
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, task->Save());
    Ptr<Recipient> added;
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, recipients->Add(Bstr(L"Bob"), added.Out()));
    EXPECT_EQ(1u, m_outlook.RecordCount());

    CLSID clsid;
    Ptr<_Application> again;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Outlook.Application", &clsid));
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID__Application, again.OutVoid()));
    Ptr<IDispatch> note;
    EXPECT_EQ(S_OK, again->CreateItem(olNoteItem, note.Out())) << "Outlook started again";
}

TEST_F(StandIn, OnlyTheMembersOfTheVersionToldAreFoundByName)
{
    Ptr<IDispatch> task;
    ASSERT_EQ(S_OK, m_app->CreateItem(olTaskItem, task.Out()));
    struct Row {
        Build build;
        IDispatch* object;
        const wchar_t* member;
        HRESULT expected;
    } rows[] = {
        {Build::Outlook80, task.Get(), L"ContactNames", DISP_E_UNKNOWNNAME},
        {Build::Outlook80, task.Get(), L"Contacts", S_OK},
        {Build::Outlook90, task.Get(), L"ContactNames", S_OK},
        {Build::Outlook90, task.Get(), L"Contacts", DISP_E_UNKNOWNNAME},
        {Build::Outlook110, m_space.Get(), L"Categories", DISP_E_UNKNOWNNAME},
        {Build::Outlook120, m_space.Get(), L"Categories", S_OK},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(OutlookStandInTesting::ProgramPath(row.build));
        m_outlook.SetProgram(row.build);
        LPOLESTR name = const_cast<LPOLESTR>(row.member);
        DISPID id = 0;
        EXPECT_EQ(row.expected, row.object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    }
}

TEST_F(StandIn, AMessagesAddressTextsAreItsRecipients)
{
    m_outlook.SetKnownNames({"Ann"});
    Ptr<_MailItem> mail;
    Create(olMailItem, IID__MailItem, &mail);
    Ptr<Recipients> recipients;
    ASSERT_EQ(S_OK, mail->get_Recipients(recipients.Out()));
    Ptr<Recipient> ann, cid;
    ASSERT_EQ(S_OK, recipients->Add(Bstr(L"Ann"), ann.Out()));
    ASSERT_EQ(S_OK, recipients->Add(Bstr(L"Cid"), cid.Out()));
    ASSERT_EQ(S_OK, cid->put_Type(olCC));
    auto text = [&](HRESULT (STDMETHODCALLTYPE _MailItem::*get)(BSTR*)) {
        BSTR read = nullptr;
        EXPECT_EQ(S_OK, (mail.Get()->*get)(&read));
        std::wstring value = read ? read : L"";
        SysFreeString(read);
        return value;
    };
    EXPECT_EQ(L"Ann", text(&_MailItem::get_To));
    EXPECT_EQ(L"Cid", text(&_MailItem::get_CC));
    VARIANT_BOOL all = VARIANT_TRUE;
    EXPECT_EQ(S_OK, recipients->ResolveAll(&all));
    EXPECT_EQ(VARIANT_FALSE, all) << "the CC recipient is unknown";

    ASSERT_EQ(S_OK, mail->put_To(Bstr(L"Bob; Dan ;")));
    EXPECT_EQ(L"Bob; Dan", text(&_MailItem::get_To));
    LONG count = 0;
    EXPECT_EQ(S_OK, recipients->get_Count(&count));
    EXPECT_EQ(3, count) << "Cid kept, Ann replaced by Bob and Dan";
}

TEST_F(StandIn, TheGuardAsksBeforeRecipientsAreReadResolvedOrSent)
{
    m_outlook.SetGuardAnswers("yn");
    Ptr<_MailItem> mail;
    Create(olMailItem, IID__MailItem, &mail);
    Ptr<Recipients> recipients;
    ASSERT_EQ(S_OK, mail->get_Recipients(recipients.Out()));
    VARIANT_BOOL all = VARIANT_TRUE;
    EXPECT_EQ(E_ABORT, recipients->ResolveAll(&all)) << "the user said no";
    EXPECT_EQ(E_FAIL, mail->Send()) << "allowed, and no recipient";
    EXPECT_THAT(m_outlook.Dump(), ElementsAre("0001 guard allowed Call=_MailItem.Recipients",
                                              "0002 guard refused Call=Recipients.ResolveAll",
                                              "0003 guard allowed Call=_MailItem.Send"));
}

