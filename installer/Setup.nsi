; Zaltrow's setup: installs the program into Program Files\Zaltrow for
; every user, with a Start-menu shortcut whose working folder is the
; install folder (the program looks for its picture there, and its upgrade
; looks there for the uninstaller), and registers it in Add/Remove Programs.
; "/S" (or "/SILENT", "/VERYSILENT") installs without a window; "/D=folder"
; chooses the folder.

!define ROLE "Setup"
!include "Common.nsh"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show

Page directory
Page instfiles

Function .onInit
  !insertmacro SilentOnRequest
  !insertmacro RequireAdministrator
  !insertmacro ProgramRegistryView
FunctionEnd

; An uninstaller that could not delete a file in use (on Windows the running
; program's own file, under Wine the uninstaller's too) left its deletion
; for the next restart. Takes back those deletions of the files this setup
; is about to write, so a restart does not delete the new copy. The pending
; operations are pairs of "\??\path" and a target, an empty target meaning
; deletion, ending with an empty string.
!define PENDING_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define PENDING_VALUE "PendingFileRenameOperations"
Function KeepNewFilesFromPendingDeletion
  System::Call 'advapi32::RegOpenKeyExW(p 0x80000002, w "${PENDING_KEY}", i 0, i 3, *p .r1) i .r0'
  IntCmp $0 0 0 done done
  System::Call 'advapi32::RegQueryValueExW(p r1, w "${PENDING_VALUE}", p 0, *i .r2, p 0, *i 0 r3) i .r0'
  IntCmp $0 0 0 close close
  IntCmp $2 7 0 close close
  ; Room after the data, so reading the last text never runs off the end
  ; (texts are read as arrays of NSIS_MAX_STRLEN characters, the length
  ; of a variable).
  IntOp $R9 $3 + 2100
  System::Alloc $R9
  Pop $4
  System::Alloc $R9
  Pop $5
  System::Call 'advapi32::RegQueryValueExW(p r1, w "${PENDING_VALUE}", p 0, p 0, p r4, *i r3 r3) i .r0'
  IntCmp $0 0 0 free free
  StrCpy $6 $4
  StrCpy $7 $5
  IntOp $8 $4 + $3
  StrCpy $R8 0
  next:
    IntCmp $6 $8 finish 0 finish
    System::Call '*$6(&w${NSIS_MAX_STRLEN} .r9)'
    StrLen $R1 $9
    IntCmp $R1 0 finish
    IntOp $R2 $R1 + 1
    IntOp $R2 $R2 * 2
    IntOp $R3 $6 + $R2
    System::Call '*$R3(&w${NSIS_MAX_STRLEN} .R4)'
    StrLen $R5 $R4
    IntOp $R6 $R5 + 1
    IntOp $R6 $R6 * 2
    IntOp $R7 $R3 + $R6
    StrCmp $R4 "" 0 keep
    StrCmp $9 "\??\$INSTDIR\${UNINSTALLER_FILE}" drop
    StrCmp $9 "\??\$INSTDIR\${PROGRAM_FILE}" drop
    StrCmp $9 "\??\$INSTDIR\${PICTURE_FILE}" drop
  keep:
    IntOp $R2 $R7 - $6
    System::Call 'kernel32::RtlMoveMemory(p r7, p r6, i R2)'
    IntOp $7 $7 + $R2
    Goto advance
  drop:
    StrCpy $R8 1
  advance:
    StrCpy $6 $R7
    Goto next
  finish:
  IntCmp $R8 0 free
  System::Call '*$7(&i2 0)'
  IntOp $7 $7 + 2
  IntOp $R2 $7 - $5
  IntCmp $R2 2 0 0 write
  System::Call 'advapi32::RegDeleteValueW(p r1, w "${PENDING_VALUE}")'
  Goto free
  write:
  System::Call 'advapi32::RegSetValueExW(p r1, w "${PENDING_VALUE}", i 0, i 7, p r5, i R2)'
  free:
  System::Free $4
  System::Free $5
  close:
  System::Call 'advapi32::RegCloseKey(p r1)'
  done:
FunctionEnd

Section "${PRODUCT}"
  SetShellVarContext all
  Call KeepNewFilesFromPendingDeletion
  SetOutPath "$INSTDIR"
  File "/oname=${PROGRAM_FILE}" "${PROGRAM_SOURCE}"
  File "/oname=${PICTURE_FILE}" "${PICTURE_SOURCE}"
  File "/oname=${UNINSTALLER_FILE}" "${UNINSTALLER_SOURCE}"

  ; The shortcut's working folder is the current output folder.
  CreateShortCut "$SMPROGRAMS\${SHORTCUT_NAME}" "$INSTDIR\${PROGRAM_FILE}" "" "$INSTDIR\${PROGRAM_FILE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /SILENT'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${PRODUCT_PAGE}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd
