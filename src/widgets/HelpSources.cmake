# The help dialog, its embedded browser control and the hyperlinks.
# Included from src/CMakeLists.txt once zaltrow_ui exists.

target_sources(zaltrow_ui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/BrowserEvents.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/BrowserSite.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/CWebBrowser21.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/ShellCommandText.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/HelpPageText.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/UrlLauncher.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/CHyperLink.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/widgets/HelpDialog.cpp
)
target_link_libraries(zaltrow_ui PUBLIC comctl32 shell32 ole32 oleaut32 uuid advapi32 gdi32 user32)

# The maker's addresses (support mail, web site, product page, online help)
# all come from the one host setting; the mail domain is the host without
# its "www.". The help page's source names the host as @ZALTROW_MAKER_HOST@
# and is filled in here, before the resource script embeds it.
string(REGEX REPLACE "^[Ww][Ww][Ww]\\." "" ZALTROW_MAKER_DOMAIN "${ZALTROW_MAKER_HOST}")
set(ZALTROW_HELP_PAGE_FILE ${CMAKE_CURRENT_BINARY_DIR}/generated/help/zaltrow-help.html)
configure_file(${PROJECT_SOURCE_DIR}/res/help/zaltrow-help.html ${ZALTROW_HELP_PAGE_FILE} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/res/help/HelpAddresses.h.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/HelpAddresses.h @ONLY)

# res/Help.rc is compiled into zaltrow_resources, which is defined after
# this file runs; source properties apply to it all the same.
set_source_files_properties(${PROJECT_SOURCE_DIR}/res/Help.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_CURRENT_BINARY_DIR}/generated
  OBJECT_DEPENDS "${ZALTROW_HELP_PAGE_FILE};${PROJECT_SOURCE_DIR}/res/HelpResource.h")
