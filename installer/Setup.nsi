; Zaltrow's setup: installs the program and the console program
; (zaltrow.exe, for scripts; PATH is left alone) into Program Files\Zaltrow
; for every user, with a Start-menu shortcut whose working folder is the
; install folder (the program looks for its picture there), and registers
; it in Add/Remove Programs. Over an installed Zaltrow it is the upgrade:
; it installs into the same folder, and only once its own files and entry
; are in place removes the earlier version's program file.
; "/S" (or "/SILENT", "/VERYSILENT") installs without a window; "/D=folder"
; chooses the folder.

!define ROLE "Setup"
!include "Common.nsh"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
ShowInstDetails show

Page directory
Page instfiles

Function .onInit
  !insertmacro SilentOnRequest
  !insertmacro RequireAdministrator
  !insertmacro ProgramRegistryView
  ; An upgrade stays in the folder the installed copy is in, read from the
  ; program's own registry view (read before this function, InstallDirRegKey
  ; would use the setup's default view). A folder given with /D wins.
  ${If} $INSTDIR == "${PROGRAM_FILES}\${PRODUCT}"
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 != ""
      StrCpy $INSTDIR $R0
    ${EndIf}
  ${EndIf}
FunctionEnd

; One Zaltrow per machine: an install of the other architecture (its entry
; in the other registry view) is removed first by its own uninstaller,
; silently. Two installs would be two rows and one shared shortcut that
; either uninstaller deletes. If it stays, nothing is installed.
Function RemoveOtherArchitecture
  !ifdef WIN64_PROGRAM
    SetRegView 32
  !else
    ${IfNot} ${RunningX64}
      Return
    ${EndIf}
    SetRegView 64
  !endif
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
    ${If} ${FileExists} "$R0\${UNINSTALLER_FILE}"
      DetailPrint "Removing the other ${PRODUCT} in $R0"
      ExecWait '"$R0\${UNINSTALLER_FILE}" /SILENT' $R1
    ${Else}
      ; Nothing left to run: the entry alone is stale.
      DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${EndIf}
    ClearErrors
    ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${IfNot} ${Errors}
      !insertmacro ProgramRegistryView
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is also installed in $R0, for the other kind of Windows program, and could not be removed. Uninstall it first, then run this setup again." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
  !insertmacro ProgramRegistryView
FunctionEnd

; An uninstaller that could not delete a file in use left its deletion for
; the next restart. Takes back those deletions of the files this setup is
; about to write, so a restart does not delete the new copy. The pending
; operations are pairs of "\??\path" and a target, an empty target meaning
; deletion, ending with an empty string. Entries are measured to their real
; length (lstrlenW); one that does not end within the value, or a value
; that changed between reading its size and its data, leaves the list as
; it was: it is other programs' work too.
!define PENDING_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define PENDING_VALUE "PendingFileRenameOperations"
; Registers: $1 key, $3 size in bytes, $4 data, $5 rewritten list, $6 read
; position, $7 write position, $8 end of data, $R8 1 once something is
; dropped, $R0 1 once something could not be read whole.
Function KeepNewFilesFromPendingDeletion
  System::Call 'advapi32::RegOpenKeyExW(p 0x80000002, w "${PENDING_KEY}", i 0, i 3, *p .r1) i .r0'
  ${If} $0 != 0
    Return
  ${EndIf}
  System::Call 'advapi32::RegQueryValueExW(p r1, w "${PENDING_VALUE}", p 0, *i .r2, p 0, *i 0 r3) i .r0'
  ${If} $0 != 0
  ${OrIf} $2 != 7
  ${OrIf} $3 < 2
    System::Call 'advapi32::RegCloseKey(p r1)'
    Return
  ${EndIf}
  ; Zeroed room after the data: a text is copied into a variable as up to
  ; NSIS_MAX_STRLEN characters, and never runs off the block.
  IntOp $R9 ${NSIS_MAX_STRLEN} * 2
  IntOp $R9 $R9 + $3
  IntOp $R9 $R9 + 8
  System::Alloc $R9
  Pop $4
  System::Alloc $R9
  Pop $5
  StrCpy $R7 $3
  System::Call 'advapi32::RegQueryValueExW(p r1, w "${PENDING_VALUE}", p 0, p 0, p r4, *i R7 R7) i .r0'
  StrCpy $R8 0
  StrCpy $R0 0
  ${If} $0 != 0
  ${OrIf} $R7 != $3
    StrCpy $R0 1
  ${EndIf}
  StrCpy $6 $4
  StrCpy $7 $5
  IntPtrOp $8 $4 + $3
  ${DoWhile} $R0 == 0
    ${If} $6 P>= $8
      ; Ended without the closing empty text.
      StrCpy $R0 1
      ${Break}
    ${EndIf}
    System::Call 'kernel32::lstrlenW(p r6) i .R1'
    ${If} $R1 == 0
      ; The closing empty text: it must be the last one.
      IntPtrOp $R2 $6 + 2
      ${If} $R2 P<> $8
        StrCpy $R0 1
      ${EndIf}
      ${Break}
    ${EndIf}
    ; The source, then its target.
    IntOp $R2 $R1 + 1
    IntOp $R2 $R2 * 2
    IntPtrOp $R3 $6 + $R2
    ${If} $R3 P>= $8
      StrCpy $R0 1
      ${Break}
    ${EndIf}
    System::Call 'kernel32::lstrlenW(p R3) i .R5'
    IntOp $R6 $R5 + 1
    IntOp $R6 $R6 * 2
    IntPtrOp $R7 $R3 + $R6
    ${If} $R7 P> $8
      StrCpy $R0 1
      ${Break}
    ${EndIf}
    StrCpy $R4 0  ; 1: drop this pair
    ${If} $R5 == 0
    ${AndIf} $R1 < ${NSIS_MAX_STRLEN}
      System::Call '*$6(&w${NSIS_MAX_STRLEN} .r9)'
      ${If} $9 == "\??\$INSTDIR\${UNINSTALLER_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${PROGRAM_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${CONSOLE_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE_125}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE_150}"
      ${OrIf} $9 == "\??\$INSTDIR\${PICTURE_FILE_200}"
        StrCpy $R4 1
      ${EndIf}
    ${EndIf}
    ${If} $R4 == 1
      StrCpy $R8 1
    ${Else}
      IntPtrOp $R2 $R7 - $6
      System::Call 'kernel32::RtlMoveMemory(p r7, p r6, p R2)'
      IntPtrOp $7 $7 + $R2
    ${EndIf}
    StrCpy $6 $R7
  ${Loop}
  ${If} $R0 == 0
  ${AndIf} $R8 == 1
    System::Call '*$7(&i2 0)'
    IntPtrOp $7 $7 + 2
    IntPtrOp $R2 $7 - $5
    ${If} $R2 == 2
      System::Call 'advapi32::RegDeleteValueW(p r1, w "${PENDING_VALUE}")'
    ${Else}
      System::Call 'advapi32::RegSetValueExW(p r1, w "${PENDING_VALUE}", i 0, i 7, p r5, i R2)'
    ${EndIf}
  ${EndIf}
  System::Free $4
  System::Free $5
  System::Call 'advapi32::RegCloseKey(p r1)'
FunctionEnd

; An earlier version's program file in the install folder ("Zaltrow 1.2.exe"
; beside this "Zaltrow 1.3.exe"): the product's name, a blank, a version of
; digits and dots, ".exe". Nothing else in the folder is touched.
Function RemoveEarlierVersions
  StrLen $R2 "${PRODUCT} "
  FindFirst $R0 $R1 "$INSTDIR\${PRODUCT} *.exe"
  ${DoWhile} $R1 != ""
    ${If} $R1 != "${PROGRAM_FILE}"
      StrCpy $R3 $R1 "" $R2   ; "1.2.exe"
      StrCpy $R3 $R3 -4       ; "1.2"
      StrLen $R4 $R3
      StrCpy $R5 1            ; 1 while it reads as a version
      ${If} $R4 == 0
        StrCpy $R5 0
      ${EndIf}
      StrCpy $R6 0
      ${DoWhile} $R6 < $R4
        StrCpy $R7 $R3 1 $R6
        ${If} $R7 != "."
        ${AndIf} $R7 != "0"
          IntOp $R8 $R7 + 0
          ${If} $R8 <= 0
          ${OrIf} $R8 > 9
            StrCpy $R5 0
          ${EndIf}
        ${EndIf}
        IntOp $R6 $R6 + 1
      ${Loop}
      ${If} $R5 == 1
        DetailPrint "Removing $R1 of an earlier version"
        !insertmacro RemoveFileOrAtRestart "$INSTDIR\$R1"
      ${EndIf}
    ${EndIf}
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
FunctionEnd

Section "${PRODUCT}"
  SetShellVarContext all
  Call RemoveOtherArchitecture
  ; The console program keeps its name across versions: a copy that a
  ; scheduled script is running now is moved out of the way, so the new one
  ; can be written in its place.
  !insertmacro RemoveFileOrAtRestart "$INSTDIR\${CONSOLE_FILE}"
  Call KeepNewFilesFromPendingDeletion
  SetOutPath "$INSTDIR"
  File "/oname=${PROGRAM_FILE}" "${PROGRAM_SOURCE}"
  File "/oname=${CONSOLE_FILE}" "${CONSOLE_SOURCE}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE_125}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE_150}"
  File "${PICTURE_FOLDER}\${PICTURE_FILE_200}"
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

  ; The new version is whole and registered: only now does the old one go.
  Call RemoveEarlierVersions

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd
