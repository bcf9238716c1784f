// Resource IDs of the user-interface tests' own templates.
#pragma once

#define IDD_TEST_BASE 300
#define IDC_BASE_PATH 1301
#define IDC_BASE_EMPTY 1302
