; The installer of Parvela Client for 64-bit Windows (made by `make windows`):
; both programs in Program Files, the policy file beside them, a Start-menu entry, a
; "Send to" entry (files sent there are handed to the running window, or open a new
; one), and an uninstaller. Silent for administrators with /S; /POLICY=FILE installs
; FILE as the policy file. Defines: VERSION, BUILD (the programs' folder), SOURCE.
Unicode true
Target amd64-unicode
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Parvela Client"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ParvelaClient"

Name "${PRODUCT} ${VERSION}"
OutFile "${BUILD}/parvela-client-${VERSION}-setup.exe"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "${BUILD}/parvelaclient.exe"
  File "${BUILD}/parvela.exe"
  File "/oname=parvelaclient.INI.sample" "${SOURCE}/data/parvelaclient.INI.sample"
  ; The policy file: the one given with /POLICY=, else the sample unless one is there.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/POLICY=" $1
  ${IfNot} ${Errors}
    CopyFiles /SILENT "$1" "$INSTDIR\parvelaclient.INI"
    IfErrors 0 +2
      Abort "Cannot copy the policy file $1"
  ${ElseIfNot} ${FileExists} "$INSTDIR\parvelaclient.INI"
    CopyFiles /SILENT "$INSTDIR\parvelaclient.INI.sample" "$INSTDIR\parvelaclient.INI"
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\parvelaclient.exe"
  ; "Send to" is kept per user: the installing user's.
  SetShellVarContext current
  CreateShortCut "$SENDTO\${PRODUCT}.lnk" "$INSTDIR\parvelaclient.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Trovik"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\parvelaclient.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  Delete "$INSTDIR\parvelaclient.exe"
  Delete "$INSTDIR\parvela.exe"
  Delete "$INSTDIR\parvelaclient.INI.sample"
  Delete "$INSTDIR\parvelaclient.INI"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  SetShellVarContext current
  Delete "$SENDTO\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
