; What the setup and the uninstaller agree on. PRODUCT, VERSION, PUBLISHER,
; PROGRAM_FILE, CONSOLE_FILE (the console program, zaltrow.exe) and the
; source paths come from the build (-D), where the version and the names
; are set once.

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER_FILE "unins000.exe"
; The list's background picture, looked for in the program's working folder:
; drawn at 100 % display scale, and at 125, 150 and 200 % for those scales.
!define PICTURE_FILE "centerimage.bmp"
!define PICTURE_FILE_125 "centerimage-125.bmp"
!define PICTURE_FILE_150 "centerimage-150.bmp"
!define PICTURE_FILE_200 "centerimage-200.bmp"
!define SHORTCUT_NAME "${PRODUCT}.lnk"

!ifdef WIN64_PROGRAM
  ; A 64-bit setup and uninstaller: they run where no 32-bit code can, and
  ; see the 64-bit Program Files and registry view as their own.
  Target amd64-unicode
!endif
Unicode true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
XPStyle on
ManifestDPIAware true
Icon "${ICON_FILE}"
BrandingText "${PUBLISHER}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} ${ROLE}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!include "FileFunc.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

; "/SILENT" and "/VERYSILENT" (the spellings other installers and the
; program's own upgrade use) mean the same as NSIS's "/S".
!macro SilentOnRequest
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SILENT" $R1
  IfErrors 0 silent_requested
  ClearErrors
  ${GetOptions} $R0 "/VERYSILENT" $R1
  IfErrors silent_done
  silent_requested:
  SetSilent silent
  silent_done:
!macroend

; The registry view and Program Files folder of the program's own bitness.
!ifdef WIN64_PROGRAM
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  !define PROGRAM_FILES "$PROGRAMFILES"
!endif
!macro ProgramRegistryView
  !ifdef WIN64_PROGRAM
    SetRegView 64
  !else
    SetRegView 32
  !endif
!macroend

; Removes a file now; one in use (a running program) is first moved out of
; the way where the system allows it, and is deleted at the next restart.
; $R9 is 1 afterwards when something was left for the restart.
!macro RemoveFileOrAtRestart FILE
  StrCpy $R9 0
  Delete "${FILE}"
  ${If} ${FileExists} "${FILE}"
    StrCpy $R9 1
    GetTempFileName $R8
    Delete "$R8"
    ClearErrors
    Rename "${FILE}" "$R8"
    ${If} ${Errors}
      Delete /REBOOTOK "${FILE}"
    ${Else}
      Delete /REBOOTOK "$R8"
    ${EndIf}
  ${EndIf}
!macroend

; Setup and uninstaller both change machine-wide places.
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $R0
  StrCmp $R0 "Admin" admin_ok
  MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} ${VERSION} must be installed and uninstalled by an administrator." /SD IDOK
  Abort
  admin_ok:
!macroend

; One setup or uninstaller at a time on the machine: two at once write and
; delete the same files and leave a folder without a program. The mutex is
; held until the process ends. A second one says so and ends; silently, with
; exit code 3.
!define ONE_AT_A_TIME_MUTEX "Global\${PRODUCT}SetupOrUninstall"
!define EXIT_ANOTHER_RUNNING 3
!macro OneAtATime
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "${ONE_AT_A_TIME_MUTEX}") p .R0 ?e'
  Pop $R1
  ${If} $R0 P= 0
  ${OrIf} $R1 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "Another ${PRODUCT} setup or uninstaller is running. Let it finish, then try again. Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_ANOTHER_RUNNING}
    Quit
  ${EndIf}
!macroend
