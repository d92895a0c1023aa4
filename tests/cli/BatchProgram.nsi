; A small program for the batch uninstall tests: its setup (run with /S)
; installs one file and an uninstaller into its own folder and lists it in
; the user's list (ROOT HKLM: the machine's); the uninstaller honours /S,
; removes its files and its entry, and ends with EXIT. Defines: NAME, EXIT
; (0), HANG (waits until a file "stop" appears in its folder), KEEPENTRY
; (leaves its entry behind, as broken uninstallers do), ROOT, OUTFILE,
; TARGET (amd64-unicode: a 64-bit program writes the 64-bit view). Two
; uninstallers that run at once are caught: the second ends with 99 and leaves its entry.
; Each uninstaller appends its name to ran.txt beside its folder.
Unicode true
!include LogicLib.nsh
!ifndef TARGET
  !define TARGET amd64-unicode
!endif
Target ${TARGET}
!ifndef EXIT
  !define EXIT 0
!endif
!ifndef ROOT
  !define ROOT HKCU
!endif
Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$TEMP\ZaltrowBatch\${NAME}"
RequestExecutionLevel user
SilentInstall silent
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Section
  SetOutPath "$INSTDIR"
  FileOpen $0 "$INSTDIR\program.txt" w
  FileWrite $0 "${NAME}"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninst.exe"
  WriteRegStr ${ROOT} "${KEY}" "DisplayName" "${NAME}"
  WriteRegStr ${ROOT} "${KEY}" "Publisher" "Zaltrow Batch Tests"
  WriteRegStr ${ROOT} "${KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
SectionEnd

Function un.onInit
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "ZaltrowBatchTestUninstaller") p .r1 ?e'
  Pop $0
  ${If} $0 == 183
    SetErrorLevel 99
    Quit
  ${EndIf}
  FileOpen $2 "$INSTDIR\..\ran.txt" a
  FileSeek $2 0 END
  FileWrite $2 "${NAME}$\r$\n"
  FileClose $2
FunctionEnd

Section "Uninstall"
  Sleep 300
!ifdef HANG
  loop:
    Sleep 200
    IfFileExists "$INSTDIR\stop" 0 loop
!endif
  Delete "$INSTDIR\program.txt"
  Delete "$INSTDIR\stop"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
  !ifndef KEEPENTRY
  DeleteRegKey ${ROOT} "${KEY}"
!endif
  SetErrorLevel ${EXIT}
SectionEnd
