; The Clipstow installer, made by scripts/package-windows.sh:
;   makensis -DVERSION=x.y.z -DSTAGE=<folder of the program> -DOUTFILE=<setup.exe> clipstow.nsi
; Installs for every user into the programs folder, with a Start menu entry
; and an uninstaller that first runs `clipstow /uninstall`, which removes the
; program's settings.
; A 64-bit installer for the 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma

Name "Clipstow"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Clipstow"
RequestExecutionLevel admin
LicenseData "${STAGE}\LICENSE.txt"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Clipstow"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Clipstow"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Clipstow"
  CreateShortcut "$SMPROGRAMS\Clipstow\Clipstow.lnk" "$INSTDIR\clipstow.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Clipstow"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\clipstow.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; The program removes its own settings (and says so).
  ExecWait '"$INSTDIR\clipstow.exe" /uninstall'
  Delete "$SMPROGRAMS\Clipstow\Clipstow.lnk"
  RMDir "$SMPROGRAMS\Clipstow"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
