#pragma once
// Templates and control ids of the framework tests' own dialogs.
#define IDD_TEST_FORM     200
#define IDD_TEST_HOLDER   201

#define IDC_NAME          300
#define IDC_FIRST         301
#define IDC_SECOND        302
#define IDC_THIRD         303
#define IDC_FLAG          304
#define IDC_LIST          305
#define IDC_BAR           306
#define IDC_ACTION_A      307
#define IDC_ACTION_B      308
#define IDC_FAIL          309
#define IDC_COUNT         310
