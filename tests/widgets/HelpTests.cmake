# Tests of the hyperlinks and the help dialog with its browser control.
zaltrow_gui_test_program(help_tests
  HelpTextTest.cpp
  HelpBrowserTest.cpp
  HelpDialogTest.cpp
  HyperLinkTest.cpp
  HyperLinkClassesRoot.cpp
  HyperLinkTestDialog.rc
)
target_include_directories(help_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
# The help must name the console program's commands, options and exit
# codes: its usage text is linked in, its exit codes are read from their
# header (through Wine's drive Z:, the Unix root).
target_link_libraries(help_tests PRIVATE zaltrow_cli)
target_compile_definitions(help_tests PRIVATE
  ZALTROW_EXIT_CODE_HEADER="Z:${PROJECT_SOURCE_DIR}/src/cli/ExitCode.h")

# Started by the link tests in place of a browser; it lands beside
# help_tests.exe, where they look for it.
add_executable(hyperlink_probe WIN32 HyperLinkProbe.cpp)
add_dependencies(help_tests hyperlink_probe)
