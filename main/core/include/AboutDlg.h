// The about box (dialog 100 of the resource library).
#pragma once
#include <afxquill.h>

class CAboutDlg : public CDialog {
public:
    enum { IDD = 100 };
    explicit CAboutDlg(CWnd* pParent = nullptr) : CDialog(IDD, pParent) {}
};
