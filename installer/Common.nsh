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
; exit code 3. It lives in a private namespace whose boundary is the
; Administrators group (S-1-5-32-544), the one the program's locks use
; (fw::AdminNamespace): no standard user can make it first and keep every
; setup out. Where there are no private namespaces (Wine has none; the
; calls are looked up first, since calling a missing one ends the process)
; it is a global name, which anyone could have made: a second setup then
; only says that another program holds it, and never waits.
!define LOCK_NAMESPACE "${PRODUCT}"
!define ONE_AT_A_TIME_OBJECT "SetupOrUninstall"
!define EXIT_ANOTHER_RUNNING 3
!macro OneAtATime
  StrCpy $R2 0  ; the namespace, held open until the process ends
  System::Call 'kernel32::GetModuleHandleW(w "kernel32.dll") p .R3'
  System::Call 'kernel32::GetProcAddress(p R3, m "AddSIDToBoundaryDescriptor") p .R4'
  System::Call 'kernel32::GetProcAddress(p R3, m "CreatePrivateNamespaceW") p .R5'
  System::Call 'kernel32::GetProcAddress(p R3, m "OpenPrivateNamespaceW") p .R6'
  ${If} $R4 P<> 0
  ${AndIf} $R5 P<> 0
  ${AndIf} $R6 P<> 0
    System::Call 'kernel32::CreateBoundaryDescriptorW(w "${LOCK_NAMESPACE}", i 0) p .R3'
    System::Call 'advapi32::ConvertStringSidToSidW(w "S-1-5-32-544", *p .R4) i .R5'
    ${If} $R3 P<> 0
    ${AndIf} $R5 <> 0
      System::Call 'kernel32::AddSIDToBoundaryDescriptor(*p R3 R3, p R4) i .R5'
      ${If} $R5 <> 0
        System::Call 'kernel32::CreatePrivateNamespaceW(p 0, p R3, w "${LOCK_NAMESPACE}") p .R2 ?e'
        Pop $R6
        ${If} $R2 P= 0
        ${AndIf} $R6 = 183  ; ERROR_ALREADY_EXISTS: another setup made it
          System::Call 'kernel32::OpenPrivateNamespaceW(p R3, w "${LOCK_NAMESPACE}") p .R2'
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::LocalFree(p R4)'
    ${EndIf}
  ${EndIf}
  ${If} $R2 P<> 0
    StrCpy $R3 "${LOCK_NAMESPACE}\${ONE_AT_A_TIME_OBJECT}"
  ${Else}
    StrCpy $R3 "Global\${LOCK_NAMESPACE} ${ONE_AT_A_TIME_OBJECT}"
  ${EndIf}
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w R3) p .R0 ?e'
  Pop $R1
  ${If} $R0 P= 0
  ${OrIf} $R1 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "Another ${PRODUCT} setup or uninstaller is running, or another program holds its lock. Let it finish, then try again. Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_ANOTHER_RUNNING}
    Quit
  ${EndIf}
!macroend

; Whether a folder that is there may be trusted, before anything in it is
; written or deleted as an administrator. $R0 is the folder (its long
; form; a drive's root with its backslash). $R1 is "" when it may be,
; else why not, in words. It must open as a folder, be no link and be
; reached through none: its final path is the one asked for (Wine, which
; shows its links only by name and follows them when one is opened, still
; shows where they lead). And its owner must be Administrators, SYSTEM,
; TrustedInstaller or the administrator running this: an owner may always
; change its rights, and any other owner may be a standard user (Wine
; shows every file as the running user's). A trusted folder is left open
; in $R2, shared for reading and writing but not for deletion, so that
; nobody can rename it, move it or put a link in its place while it is
; held; the caller closes it. $R2 is 0 otherwise.
!macro DefineFolderDoubt
; The owner SID on the stack (a pointer) is replaced by 1 when it is
; Administrators, SYSTEM, TrustedInstaller or the running account, else 0.
Function TrustedOwner
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call 'advapi32::IsWellKnownSid(p r0, i 26) i .r1'  ; BUILTIN\Administrators
  System::Call 'advapi32::IsWellKnownSid(p r0, i 22) i .r2'  ; LocalSystem
  IntOp $1 $1 | $2
  System::Call 'advapi32::ConvertStringSidToSidW(w "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", *p .r3) i .r2'
  ${If} $2 <> 0
    System::Call 'advapi32::EqualSid(p r0, p r3) i .r2'
    IntOp $1 $1 | $2
    System::Call 'kernel32::LocalFree(p r3)'
  ${EndIf}
  ; The running account: the token's user (TokenUser, 1).
  System::Call 'kernel32::GetCurrentProcess() p .r3'
  System::Call 'advapi32::OpenProcessToken(p r3, i 8, *p .r3) i .r2'
  ${If} $2 <> 0
    System::Call 'advapi32::GetTokenInformation(p r3, i 1, p 0, i 0, *i .r4) i'
    ${If} $4 > 0
      System::Alloc $4
      Pop $5
      System::Call 'advapi32::GetTokenInformation(p r3, i 1, p r5, i r4, *i .r4) i .r2'
      ${If} $2 <> 0
        System::Call '*$5(p .r4)'
        System::Call 'advapi32::EqualSid(p r0, p r4) i .r2'
        IntOp $1 $1 | $2
      ${EndIf}
      System::Free $5
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
  ${If} $1 <> 0
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Function FolderDoubt
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  StrCpy $R1 ""
  StrCpy $R2 0
  System::Call 'kernel32::GetFileAttributesW(w R0) i .r0'
  IntOp $1 $0 & 0x410  ; DIRECTORY | REPARSE_POINT
  ${If} $0 = -1
  ${OrIf} $1 <> 0x10
    StrCpy $R1 "it is no folder, or a link"
    Goto doubt_done
  ${EndIf}
  ; READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY; shared for
  ; reading and writing; BACKUP_SEMANTICS | OPEN_REPARSE_POINT.
  System::Call 'kernel32::CreateFileW(w R0, i 0x20081, i 3, p 0, i 3, i 0x02200000, p 0) p .r0'
  ${If} $0 P= -1
    StrCpy $R1 "it cannot be opened"
    Goto doubt_done
  ${EndIf}
  ; FileAttributeTagInfo: the attributes of what was opened, not of the name.
  System::Call '*(i 0, i 0) p .r1'
  System::Call 'kernel32::GetFileInformationByHandleEx(p r0, i 9, p r1, i 8) i .r2'
  System::Call '*$1(i .r3, i .r4)'
  System::Free $1
  IntOp $3 $3 & 0x400
  ${If} $2 = 0
  ${OrIf} $3 <> 0
    StrCpy $R1 "it is a link"
    Goto doubt_close
  ${EndIf}
  System::Call 'kernel32::GetFinalPathNameByHandleW(p r0, w .r1, i ${NSIS_MAX_STRLEN}, i 0) i .r2'
  ${If} $2 = 0
  ${OrIf} $1 != "\\?\$R0"  ; compared without regard to letter case
    StrCpy $R1 "it leads to $1"
    Goto doubt_close
  ${EndIf}
  System::Call 'advapi32::GetSecurityInfo(p r0, i 1, i 1, *p .r1, p 0, p 0, p 0, *p .r2) i .r3'
  ${If} $3 <> 0
    StrCpy $R1 "its owner cannot be read"
    Goto doubt_close
  ${EndIf}
  Push $1
  Call TrustedOwner
  Pop $4
  System::Call 'kernel32::LocalFree(p r2)'
  ${If} $4 != 1
    StrCpy $R1 "neither Administrators nor SYSTEM own it"
    Goto doubt_close
  ${EndIf}
  StrCpy $R2 $0
  Goto doubt_done
  doubt_close:
  System::Call 'kernel32::CloseHandle(p r0)'
  doubt_done:
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
