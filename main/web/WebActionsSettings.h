// The settings the web actions pane and destination read: the application's
// settings table, else the registry's.
#pragma once
#include <windows.h>

class CONTACTITEM;

// The user's profile as a web action carries it.
void ReadProfile(CONTACTITEM& profile);
DWORD ReadActivePim();
// The stored web login: "Username" and "Password" (still scrambled).
void ReadWebLogin(char* user, char* password, int size);
