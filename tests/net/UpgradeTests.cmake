# The upgrade check dialog and the upgrade installation, end to end.
zaltrow_gui_test_program(upgrade_tests
  UpgradePageTest.cpp
  UpgradeDialogTest.cpp
  InstallUpgradeTest.cpp
)
target_link_libraries(upgrade_tests PRIVATE zaltrow_net_test_support)
target_include_directories(upgrade_tests PRIVATE ${PROJECT_BINARY_DIR}/src/generated)

add_executable(command_recorder CommandRecorder.cpp)
add_executable(upgrade_install_driver WIN32 UpgradeInstallDriver.cpp $<TARGET_OBJECTS:zaltrow_resources>)
target_link_libraries(upgrade_install_driver PRIVATE zaltrow_ui)
add_dependencies(upgrade_tests command_recorder upgrade_install_driver)
