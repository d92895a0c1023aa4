#pragma once
// A small dialog of the hyperlink tests (HyperLinkTestDialog.rc): two
// statics to turn into links and a button to move the focus to.

#define IDD_HYPERLINK_TEST 9601
#define IDC_TEST_TEXT_LINK 9611   // its text is a web address, no target set
#define IDC_TEST_EMPTY_LINK 9612  // no text; the test sets its target
#define IDC_TEST_BUTTON 9613
