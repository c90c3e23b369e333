; ovalith.nsi: per-user installer of Ovalith for Windows 7 and later.
; Built by make-packages.sh:
;   makensis -DVERSION=x.y.z -DBIN32=dir -DBIN64=dir -DDOCS=dir
;            -DOUTFILE=setup.exe ovalith.nsi
; Installs into the user's programs folder without administrator rights,
; the 64-bit program on 64-bit Windows; adds "Send To", a Start-menu entry
; (the file chooser), the .ov2 association (a double-click decrypts) and an
; uninstall entry, all under HKCU; on request (a component, or /PATH) the
; folder joins the user's PATH for ovalith-cli.exe.  It installs only into
; an empty or new folder or over an Ovalith installation, so it never
; replaces a file of the user's; the uninstaller removes only the files,
; shortcuts, keys and PATH entry it added.

Unicode true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ovalith"
!define PROGID "Ovalith.Container"
!define CLASSES "Software\Classes"
; SHCNE_ASSOCCHANGED: Explorer rereads the associations.
!define NOTIFY_ASSOCIATIONS "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"

Name "Ovalith"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ovalith"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Ovalith ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Ovalith"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Ovalith setup"
VIAddVersionKey "LegalCopyright" "The Ovalith developers, MIT licence"

!insertmacro MUI_PAGE_LICENSE "${DOCS}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderOnLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; $R0 = 1 when $INSTDIR may be installed into: it does not exist, is
; empty, or holds the Ovalith this user installed there.
Function CheckFolder
  StrCpy $R0 1
  ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R1 == "$INSTDIR"
  ${AndIf} ${FileExists} "$INSTDIR\uninstall.exe"
    Return
  ${EndIf}
  ClearErrors
  FindFirst $R2 $R3 "$INSTDIR\*.*"
  ${DoUntil} ${Errors}
    ${If} $R3 != "."
    ${AndIf} $R3 != ".."
      StrCpy $R0 0
      ${ExitDo}
    ${EndIf}
    FindNext $R2 $R3
  ${Loop}
  FindClose $R2
FunctionEnd

!define FOLDER_REFUSED "$INSTDIR holds files of its own. Choose an empty or new folder (for example $INSTDIR\Ovalith): Ovalith does not install among other files."

Function CheckFolderOnLeave
  Call CheckFolder
  ${If} $R0 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "${FOLDER_REFUSED}"
    Abort
  ${EndIf}
FunctionEnd

Function .onInit
  SetShellVarContext current
  Call PathOptionFromCommandLine
  ; Without pages (/S) the folder is checked here: status 2, nothing done.
  ${If} ${Silent}
    Call CheckFolder
    ${If} $R0 = 0
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Ovalith" SecProgram
  SectionIn RO
  ; Whether the user's programs folder is ours to remove again.
  ${IfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
    StrCpy $0 1
  ${Else}
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "CreatedProgramsFolder"
  ${EndIf}

  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "${BIN64}\ovalith.exe"
    File "${BIN64}\ovalith-cli.exe"
    File "${BIN64}\ovalith.dll"
  ${Else}
    File "${BIN32}\ovalith.exe"
    File "${BIN32}\ovalith-cli.exe"
    File "${BIN32}\ovalith.dll"
  ${EndIf}
  File "${DOCS}\README.txt"
  File "${DOCS}\LICENSE.txt"
  File "${DOCS}\THIRD-PARTY-NOTICES.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Send To hands the program the file's path, quoted.
  CreateShortcut "$SENDTO\Ovalith.lnk" "$INSTDIR\ovalith.exe" "" \
    "$INSTDIR\ovalith.exe" 0 SW_SHOWNORMAL "" "Encrypt or decrypt with Ovalith"

  ; The Start menu opens the file chooser (several files).
  CreateShortcut "$SMPROGRAMS\Ovalith.lnk" "$INSTDIR\ovalith.exe" "/choose" \
    "$INSTDIR\ovalith.exe" 0 SW_SHOWNORMAL "" "Encrypt or decrypt files with Ovalith"

  ; Explorer merges HKCU\Software\Classes into the associations of this
  ; user; the program opens a .ov2 file in its decrypt window.
  WriteRegStr HKCU "${CLASSES}\.ov2" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Ovalith container"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\ovalith.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" \
    '"$INSTDIR\ovalith.exe" "%1"'
  System::Call "${NOTIFY_ASSOCIATIONS}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Ovalith"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Ovalith developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ovalith.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "CreatedProgramsFolder" $0
SectionEnd

; For scripts: ovalith-cli.exe by its name in any console.
Section /o "Add the folder to PATH (for ovalith-cli.exe)" SecPath
  Call AddToUserPath
SectionEnd

!addincludedir "${__FILEDIR__}"
!include "user_path.nsh"

Section "Uninstall"
  Delete "$SENDTO\Ovalith.lnk"
  Call un.RemoveFromUserPath
  Delete "$SMPROGRAMS\Ovalith.lnk"
  Delete "$INSTDIR\ovalith.exe"
  Delete "$INSTDIR\ovalith-cli.exe"
  Delete "$INSTDIR\ovalith.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  ; The association only if it is still ours; other values under .ov2
  ; (another program's "Open with" entries) stay.
  ReadRegStr $0 HKCU "${CLASSES}\.ov2" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.ov2" ""
    DeleteRegKey /ifempty HKCU "${CLASSES}\.ov2"
  ${EndIf}
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  System::Call "${NOTIFY_ASSOCIATIONS}"

  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "CreatedProgramsFolder"
  ${If} $0 = 1
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
