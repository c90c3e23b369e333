; user_path.nsh: the installation folder in the user's PATH (HKCU\Environment),
; for ovalith-cli.exe.  Included by ovalith.nsi after its sections.  The
; folder is added only where it is not already listed, and the uninstaller
; takes out only an entry the installer added; every other entry, empty ones
; and their order included, stays as it was.

!define USER_ENVIRONMENT "Environment"

; $0: a PATH value; $R9: a folder.  $1: the value without the entries that
; name the folder (letter case ignored, with or without a trailing "\").
!macro PathWithout un
Function ${un}PathWithout
  StrCpy $1 ""
  StrCpy $2 0  ; entries kept
  StrCpy $3 ""  ; the entry being read
  StrCpy $5 0  ; position
  ${Do}
    StrCpy $6 $0 1 $5
    IntOp $5 $5 + 1
    ${If} $6 == ";"
    ${OrIf} $6 == ""
      ${If} $3 != $R9
      ${AndIf} $3 != "$R9\"
        ${If} $2 > 0
          StrCpy $1 "$1;"
        ${EndIf}
        StrCpy $1 "$1$3"
        IntOp $2 $2 + 1
      ${EndIf}
      StrCpy $3 ""
      ${If} $6 == ""
        ${ExitDo}
      ${EndIf}
    ${Else}
      StrCpy $3 "$3$6"
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro PathWithout ""
!insertmacro PathWithout "un."

Function AddToUserPath
  ClearErrors
  ReadRegStr $0 HKCU "${USER_ENVIRONMENT}" "Path"
  ; A value longer than NSIS strings would be cut on its way back: leave it.
  StrLen $4 $0
  StrLen $5 "$INSTDIR"
  IntOp $4 $4 + $5
  IntOp $5 ${NSIS_MAX_STRLEN} - 2
  ${If} $4 >= $5
    DetailPrint "PATH is too long to change here; add $INSTDIR to it by hand."
    Return
  ${EndIf}
  StrCpy $R9 "$INSTDIR"
  Call PathWithout
  ${If} $1 != $0
    Return  ; listed already, by the user
  ${EndIf}
  ${If} $0 == ""
    StrCpy $0 "$INSTDIR"
  ${Else}
    StrCpy $0 "$0;$INSTDIR"
  ${EndIf}
  WriteRegExpandStr HKCU "${USER_ENVIRONMENT}" "Path" $0
  ; The entry as added: the uninstaller may run under another name of the
  ; folder (a short name, another drive mapping).
  WriteRegStr HKCU "${UNINSTALL_KEY}" "AddedToPath" "$INSTDIR"
  ; New consoles opened from Explorer see the change.
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 \
    "STR:${USER_ENVIRONMENT}" /TIMEOUT=5000
FunctionEnd

Function un.RemoveFromUserPath
  ReadRegStr $R9 HKCU "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $R9 == ""
    Return
  ${EndIf}
  ReadRegStr $0 HKCU "${USER_ENVIRONMENT}" "Path"
  Call un.PathWithout
  ${If} $1 == $0
    Return
  ${EndIf}
  ${If} $1 == ""
    DeleteRegValue HKCU "${USER_ENVIRONMENT}" "Path"
  ${Else}
    WriteRegExpandStr HKCU "${USER_ENVIRONMENT}" "Path" $1
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 \
    "STR:${USER_ENVIRONMENT}" /TIMEOUT=5000
FunctionEnd

; setup.exe /S /PATH: the PATH component in a silent installation.
Function PathOptionFromCommandLine
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PATH" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecPath} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
