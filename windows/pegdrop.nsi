; The Windows installer: the player's own copy, no administrator rights.
;   makensis -DVERSION=1.3.0 -DVERSION4=1.3.0.0 -DSTAGE=folder -DICON=pegdrop.ico -DOUTFILE=setup.exe pegdrop.nsi
; STAGE is the unpacked zip: pegdrop.exe, README.txt, fonts\, licences\, sounds\.
; The program goes to %LOCALAPPDATA%\Programs\Pegdrop; the player's data folder
; is %LOCALAPPDATA%\Pegdrop, where the game is started and keeps top10.dat and
; speed.dat, which the uninstaller leaves.

Unicode true
; A 64-bit installer: it runs where only 64-bit Windows programs can.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pegdrop"
!define DATA "$LOCALAPPDATA\Pegdrop"

Name "Pegdrop"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pegdrop"
InstallDirRegKey HKCU "${KEY}" "InstallLocation"
BrandingText "Pegdrop ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "Pegdrop"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION4}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION4}"
VIAddVersionKey /LANG=1033 "FileDescription" "Pegdrop ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Pegdrop developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright © 2026 The Pegdrop developers"

!include "MUI2.nsh"
!include "FileFunc.nsh"

; Our drawn icon; no welcome or finish page, whose side picture would be
; NSIS's own rather than ours.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Pegdrop"
    SetOutPath "$INSTDIR"
    File "${STAGE}\pegdrop.exe"
    File "${STAGE}\README.txt"
    SetOutPath "$INSTDIR\fonts"
    File "${STAGE}\fonts\*.ttf"
    SetOutPath "$INSTDIR\licences"
    File "${STAGE}\licences\*.txt"

    ; The game plays its cues from sounds\ in the folder it is started in.
    SetOutPath "${DATA}\sounds"
    File "${STAGE}\sounds\*.wav"

    ; A shortcut's working folder is the output folder when it is made.
    SetOutPath "${DATA}"
    CreateShortCut "$SMPROGRAMS\Pegdrop.lnk" "$INSTDIR\pegdrop.exe" "" "$INSTDIR\pegdrop.exe" 0 \
        SW_SHOWNORMAL "" "Drop chips down the peg board into the prize slots"

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "${KEY}" "DisplayName" "Pegdrop"
    WriteRegStr HKCU "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${KEY}" "Publisher" "The Pegdrop developers"
    WriteRegStr HKCU "${KEY}" "DisplayIcon" "$INSTDIR\pegdrop.exe"
    WriteRegStr HKCU "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${KEY}" "NoRepair" 1
    ; What the game takes on the disk, as the directory page counted it: the
    ; program's folder and the cues in the data folder.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    ${GetSize} "${DATA}\sounds" "/S=0K" $3 $1 $2
    IntOp $0 $0 + $3
    WriteRegDWORD HKCU "${KEY}" "EstimatedSize" $0
SectionEnd

; The program goes; the player's table and speed setting stay.
Section "Uninstall"
    Delete "$INSTDIR\pegdrop.exe"
    Delete "$INSTDIR\README.txt"
    RMDir /r "$INSTDIR\fonts"
    RMDir /r "$INSTDIR\licences"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\Pegdrop.lnk"
    ; Only the cues the installer put there; the folder itself goes when empty.
    Delete "${DATA}\sounds\*.wav"
    RMDir "${DATA}\sounds"
    RMDir "${DATA}"

    DeleteRegKey HKCU "${KEY}"
SectionEnd
