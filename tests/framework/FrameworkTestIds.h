// Resource IDs of the framework tests' own templates.
#pragma once

#define IDD_TEST_FORM 200
#define IDC_FORM_TEXT 1001
#define IDC_FORM_NUMBER 1002
#define IDC_FORM_CHECK 1003
#define IDC_FORM_LIST 1004
#define IDC_FORM_PROGRESS 1005
