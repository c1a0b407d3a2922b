; The setup program of Pelto, made by makensis from the files of the build (cmake/packages.cmake):
; installs pelto.exe, README.md and LICENSE.txt into Program Files\Pelto for all users, adds a Start menu
; shortcut and the entry of Windows's "Apps" list, and makes an uninstaller that removes exactly that.
; The user's settings (HKCU\Software\Norbek\Pelto) are not ours to remove: a user who reinstalls keeps them.
; /S installs or uninstalls silently, /D=FOLDER installs elsewhere.
;
;   makensis -DVERSION=1.0 -DVERSION_QUAD=1.0.0.0 -DEXE=pelto.exe -DREADME=README.md -DLICENSE=LICENSE
;            -DICON=pelto.ico -DOUTFILE=setup.exe pelto.nsi

; A 64-bit stub: the program is 64-bit, and a Wine without 32-bit support starts no x86 stub.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelto"

Name "Pelto ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pelto"
; A reinstall or an update goes where the first installation went.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\pelto.exe"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The program speaks Japanese only; texts NSIS has no Japanese for come in English.
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Pelto"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "Norbek"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Pelto Setup"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright (C) 2026 Norbek"

Function .onInit
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetShellVarContext all
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File "/oname=pelto.exe" "${EXE}"
    File "/oname=README.md" "${README}"
    File "/oname=LICENSE.txt" "${LICENSE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Pelto.lnk" "$INSTDIR\pelto.exe"

    WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Pelto"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Norbek"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\pelto.exe,0"
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Files first and the entry last: an uninstall that stops half-way stays in the list, to be run again.
Section "Uninstall"
    Delete "$SMPROGRAMS\Pelto.lnk"
    Delete "$INSTDIR\pelto.exe"
    Delete "$INSTDIR\README.md"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: whatever the user put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
