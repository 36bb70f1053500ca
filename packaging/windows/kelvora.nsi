; Kelvora for Windows: installs kelvora.exe for the current user, without administrator
; rights, with a Start-menu shortcut and an uninstaller in the user's list of programs.
; Built by the kelvora_installer target, which passes VERSION, EXE, CLI_EXE, ICON and OUTFILE.

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvora"

Name "Kelvora"
Caption "Kelvora ${VERSION} 安装"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Kelvora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kelvora ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Kelvora"
VIAddVersionKey /LANG=2052 "FileDescription" "Kelvora 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "The Kelvora authors, MIT"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\kelvora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "启动 Kelvora"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "Kelvora"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "/oname=kelvora.exe" "${EXE}"
    File "/oname=kelvora-cli.exe" "${CLI_EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Kelvora.lnk" "$INSTDIR\kelvora.exe" "" "$INSTDIR\kelvora.exe" 0 \
        SW_SHOWNORMAL "" "热电偶与热电阻分度计算"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kelvora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvora.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Kelvora authors"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Kelvora.lnk"
    Delete "$INSTDIR\kelvora.exe"
    Delete "$INSTDIR\kelvora-cli.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
