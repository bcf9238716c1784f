// Resource IDs of Res.dll that ZEP asks for. The numbers are fixed: the
// program and every resource library that replaces this one agree on them.
#pragma once

#define IDD_ABOUTBOX 100
#define IDI_ABOUT 135
#define IDC_ABOUT_LINK 1018
#define IDC_ABOUT_VERSION 1032
