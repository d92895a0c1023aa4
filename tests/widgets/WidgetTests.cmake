# Tests of the resizable dialog base and the hover button, in real windows.
zaltrow_gui_test_program(widgets_tests
  ResizableDialogTest.cpp
  AccessibleRowDescriptionsTest.cpp
  HoverButtonTest.cpp
)
