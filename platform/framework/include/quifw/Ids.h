// Identifiers with a meaning to the framework: the application's title string
// and the standard commands.
#pragma once

#define AFX_IDS_APP_TITLE 0xE000   // 57344: the application's title, in the program's own strings
#define ID_APP_ABOUT 0xE140        // 57664
#define ID_APP_EXIT 0xE141         // 57665
#define ID_HELP 0xE146             // 57670: help for the active window
#define ID_APPLY_NOW 0x3021        // 12321: a property sheet's Apply button
