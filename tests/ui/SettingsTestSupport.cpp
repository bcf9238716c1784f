#include "SettingsTestSupport.h"
#include "settings/Profile.h"

int StoredInt(const wchar_t* key) { return ProfileGetInt(L"DATA", key, -12345); }
