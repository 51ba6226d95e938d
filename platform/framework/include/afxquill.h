// The application framework in one include: strings, run-time classes and
// exceptions, files and archives, windows with message maps, the application
// object, dialogs, property sheets, controls, menus, GDI objects, the prompt
// seam, and the automation client (dispatch drivers, variants, dates, OLE
// exceptions).
#pragma once

#include "quifw/Archive.h"
#include "quifw/File.h"
#include "quifw/Object.h"
#include "quifw/String.h"

#ifdef _WIN32
#include "quifw/CheckListBox.h"
#include "quifw/CmdTarget.h"
#include "quifw/Controls.h"
#include "quifw/Dialog.h"
#include "quifw/FileDialog.h"
#include "quifw/FrameWnd.h"
#include "quifw/Gdi.h"
#include "quifw/Ids.h"
#include "quifw/Menu.h"
#include "quifw/OleDateTime.h"
#include "quifw/OleDispatchDriver.h"
#include "quifw/OleException.h"
#include "quifw/OleInit.h"
#include "quifw/OleVariant.h"
#include "quifw/Prompt.h"
#include "quifw/PropertySheet.h"
#include "quifw/WinApp.h"
#include "quifw/Wnd.h"
#endif
