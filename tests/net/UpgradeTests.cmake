# The upgrade check dialog and the upgrade installation, end to end.
include(${PROJECT_SOURCE_DIR}/cmake/UpgradeKey.cmake)
zaltrow_gui_test_program(upgrade_tests
  UpgradePageTest.cpp
  UpgradeDialogTest.cpp
  InstallerDownloadTest.cpp
  SignatureTest.cpp
)
target_link_libraries(upgrade_tests PRIVATE zaltrow_net_test_support)
target_include_directories(upgrade_tests PRIVATE ${PROJECT_BINARY_DIR}/src/generated)

# The tests' own upgrade key pair, made once per build folder and never
# committed. The test programs hand its public key to the dialog (the
# dialog's key parameter); the product keeps the key it was built with.
set(test_key_dir ${CMAKE_CURRENT_BINARY_DIR}/test-upgrade-key)
set(test_private_key ${test_key_dir}/private.pem)
set(test_public_key ${test_key_dir}/public.pem)
if(NOT EXISTS ${test_public_key})
  file(MAKE_DIRECTORY ${test_key_dir})
  file(REMOVE ${test_private_key})
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/make-upgrade-key.sh ${test_private_key} ${test_public_key}
    RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR "Could not make the tests' upgrade key (bash and openssl are needed)")
  endif()
endif()
zaltrow_upgrade_key_bytes(${test_public_key} ZALTROW_UPGRADE_KEY_BYTES)
set(ZALTROW_UPGRADE_KEY_FILE ${test_public_key})
set(ZALTROW_UPGRADE_KEY_MACRO ZALTROW_TEST_UPGRADE_KEY_BYTES)
configure_file(${PROJECT_SOURCE_DIR}/src/net/UpgradeKeyBytes.h.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/TestUpgradeKeyBytes.h @ONLY)

add_executable(command_recorder CommandRecorder.cpp)
# The stand-in setup's signed statements, as a release's would be made.
add_custom_command(TARGET command_recorder POST_BUILD
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/make-test-statements.sh ${test_private_key}
          $<TARGET_FILE:command_recorder> $<TARGET_FILE_DIR:command_recorder>
  VERBATIM)
target_include_directories(upgrade_tests PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
add_dependencies(upgrade_tests command_recorder)
