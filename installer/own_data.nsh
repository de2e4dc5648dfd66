; What vellox, RX3 and their libraries write into the installation folder
; while they run, by name: a purging uninstall removes these and nothing
; else, so the shop's own files in the same folders stay.
;
; Names that carry a number are matched by shape, one character of the
; shape for one of the name, letters without regard to case, except:
;   @  one hexadecimal digit
;   %  one to four hexadecimal digits (a temporary file's number)
;   #  one decimal digit
;   +  one to twenty decimal digits (a process or counter number)

; Files of fixed names.
!macro OwnDataFiles DO
  !insertmacro ${DO} "" "vellox.ENV"
  !insertmacro ${DO} "" "PrintJournal.csv"
  !insertmacro ${DO} "" "UnmovedJobs.txt"
  !insertmacro ${DO} "" "InkEstimates.txt"
  !insertmacro ${DO} "" "DRXTYPES.TXT"
  !insertmacro ${DO} "printer" "RX3.dev"
  !insertmacro MachineInkFiles ${DO} "printer"
!macroend

; RX3's ink account of each machine, named after the machine.
!macro MachineInkFiles DO SUB
  !insertmacro ${DO} "${SUB}" "EPSON RX-1.ink"
  !insertmacro ${DO} "${SUB}" "EPSON RX-2.ink"
  !insertmacro ${DO} "${SUB}" "EPSON RX-3.ink"
  !insertmacro ${DO} "${SUB}" "LumoraLX1.ink"
  !insertmacro ${DO} "${SUB}" "LumoraLX2.ink"
  !insertmacro ${DO} "${SUB}" "LumoraLX3.ink"
!macroend

; A save's temporary file (left by a save cut short), in every folder that
; holds a saved file.
!define OWN_SAVE_TEMP "sav%.tmp"
; Job files vellox moved (printed, restored or rejected): spool names.
!define OWN_SPOOL_NAME "VLX@@@@.vjx"
; A print to the file port: date-time-process-counter.
!define OWN_PRINT_FILE "########-######-+-+.prn"
; A print to the file port is written under this name until it ends whole.
!define OWN_PRINT_PART "########-######-+-+.prn.part"
; RX3's dry runs reserve a temporary file and work in a folder named after
; it; the soft proof's and a spooled print's streams wait in temporary files.
!define OWN_DRY_RUN_FILE "PRF%.tmp"
!define OWN_DRY_RUN_FOLDER "PRF%.tmpd"
!define OWN_SPOOL_TEMP "SPL%.tmp"
!define OWN_PROOF_TEMP "VSP%.tmp"
; The device library makes the press profile of a paper's total ink at the
; paper's first print, beside the default profile (the built-in papers'
; come with the setup program).
!define OWN_PAPER_PROFILE "JapanColor2001Coated-+.icc"

Var OwnFolder     ; the folder searched
Var OwnShape      ; the shape sought
Var OwnName       ; a name found
Var OwnFind       ; the search
Var OwnFits       ; 1 when OwnName has the shape OwnShape
Var OwnAt         ; place in the shape
Var OwnPos        ; place in the name
Var OwnChar       ; a character of the shape
Var OwnOf         ; a character of the name
Var OwnSet        ; the characters a digit of the shape allows
Var OwnMost       ; how many of them it may take
Var OwnRun        ; how many it took
Var OwnIn         ; 1 when OwnOf is in OwnSet
Var OwnSetAt      ; place in OwnSet
Var OwnSetLength  ; OwnSet's length
Var OwnSetChar    ; a character of OwnSet
Var OwnScan       ; the outer search (dry-run folders)
Var OwnEntry      ; a name the outer search found

!define OWN_HEX "0123456789abcdef"
!define OWN_DECIMAL "0123456789"

; OwnIn := 1 when the character OwnOf is one of OwnSet (without regard to
; case); the name's end (an empty OwnOf) is in no set.
Function un.CharInSet
  StrCpy $OwnIn 0
  ${If} $OwnOf != ""
    StrLen $OwnSetLength $OwnSet
    StrCpy $OwnSetAt 0
    ${DoWhile} $OwnSetAt < $OwnSetLength
      StrCpy $OwnSetChar $OwnSet 1 $OwnSetAt
      ${If} $OwnSetChar == $OwnOf
        StrCpy $OwnIn 1
        ${ExitDo}
      ${EndIf}
      IntOp $OwnSetAt $OwnSetAt + 1
    ${Loop}
  ${EndIf}
FunctionEnd

; OwnFits := 1 when OwnName has the shape OwnShape. A run takes as many
; digits as it can: no shape has a digit right after a run of its kind.
Function un.NameHasShape
  StrCpy $OwnFits 0
  StrCpy $OwnAt 0
  StrCpy $OwnPos 0
  ${Do}
    StrCpy $OwnChar $OwnShape 1 $OwnAt
    IntOp $OwnAt $OwnAt + 1
    StrCpy $OwnOf $OwnName 1 $OwnPos
    ${If} $OwnChar == ""
      ${IfThen} $OwnOf == "" ${|} StrCpy $OwnFits 1 ${|}
      ${Break}
    ${EndIf}
    StrCpy $OwnSet ""
    StrCpy $OwnMost 1
    ${Select} $OwnChar
      ${Case} "@"
        StrCpy $OwnSet "${OWN_HEX}"
      ${Case} "#"
        StrCpy $OwnSet "${OWN_DECIMAL}"
      ${Case} "%"
        StrCpy $OwnSet "${OWN_HEX}"
        StrCpy $OwnMost 4
      ${Case} "+"
        StrCpy $OwnSet "${OWN_DECIMAL}"
        StrCpy $OwnMost 20
    ${EndSelect}
    ${If} $OwnSet == ""
      ${IfThen} $OwnChar != $OwnOf ${|} ${Break} ${|}
      IntOp $OwnPos $OwnPos + 1
      ${Continue}
    ${EndIf}
    StrCpy $OwnRun 0
    ${DoWhile} $OwnRun < $OwnMost
      StrCpy $OwnOf $OwnName 1 $OwnPos
      Call un.CharInSet
      ${IfThen} $OwnIn = 0 ${|} ${ExitDo} ${|}
      IntOp $OwnPos $OwnPos + 1
      IntOp $OwnRun $OwnRun + 1
    ${Loop}
    ${IfThen} $OwnRun = 0 ${|} ${Break} ${|}
  ${Loop}
FunctionEnd

; Deletes the files (never folders) in OwnFolder whose names have the
; shape OwnShape.
Function un.DeleteShaped
  ClearErrors
  FindFirst $OwnFind $OwnName "$OwnFolder\*"
  ${DoWhile} $OwnName != ""
    ${IfNot} ${FileExists} "$OwnFolder\$OwnName\*.*"
      Call un.NameHasShape
      ${If} $OwnFits = 1
        Delete "$OwnFolder\$OwnName"
      ${EndIf}
    ${EndIf}
    FindNext $OwnFind $OwnName
  ${Loop}
  FindClose $OwnFind
FunctionEnd

!macro DeleteShaped SUB SHAPE
  !if "${SUB}" == ""
    StrCpy $OwnFolder "$INSTDIR"
  !else
    StrCpy $OwnFolder "$INSTDIR\${SUB}"
  !endif
  StrCpy $OwnShape "${SHAPE}"
  Call un.DeleteShaped
!macroend

; The folders of dry runs cut short: what RX3 put into them, then the
; folder when nothing else is left in it.
Function un.DeleteDryRunFolders
  FindFirst $OwnScan $OwnEntry "$INSTDIR\printer\*"
  ${DoWhile} $OwnEntry != ""
    StrCpy $OwnName $OwnEntry
    StrCpy $OwnShape "${OWN_DRY_RUN_FOLDER}"
    Call un.NameHasShape
    ${If} $OwnFits = 1
    ${AndIf} ${FileExists} "$INSTDIR\printer\$OwnEntry\*.*"
      !insertmacro MachineInkFiles RemoveFile "printer\$OwnEntry"
      !insertmacro DeleteShaped "printer\$OwnEntry" "${OWN_SAVE_TEMP}"
      !insertmacro DeleteShaped "printer\$OwnEntry" "${OWN_SPOOL_TEMP}"
      RMDir "$INSTDIR\printer\$OwnEntry"
    ${EndIf}
    FindNext $OwnScan $OwnEntry
  ${Loop}
  FindClose $OwnScan
FunctionEnd

; Everything vellox and RX3 made, and the shop's starter files the setup
; installed. Folders go in the uninstall section, each only when empty.
Function un.DeleteOwnData
  !insertmacro ShopStarterFiles RemoveFile
  !insertmacro OwnDataFiles RemoveFile
  !insertmacro DeleteShaped "" "${OWN_SAVE_TEMP}"
  !insertmacro DeleteShaped "" "${OWN_PAPER_PROFILE}"
  !insertmacro DeleteShaped "printer" "${OWN_SAVE_TEMP}"
  !insertmacro DeleteShaped "printer" "${OWN_DRY_RUN_FILE}"
  !insertmacro DeleteShaped "printer" "${OWN_SPOOL_TEMP}"
  !insertmacro DeleteShaped "printer" "${OWN_PROOF_TEMP}"
  Call un.DeleteDryRunFolders
  !insertmacro DeleteShaped "HotFolder" "${OWN_SPOOL_NAME}"
  !insertmacro DeleteShaped "HotFolder" "${OWN_SAVE_TEMP}"
  !insertmacro DeleteShaped "HotFolder\Rejected" "${OWN_SPOOL_NAME}"
  !insertmacro DeleteShaped "MoveFolder" "${OWN_SPOOL_NAME}"
  !insertmacro DeleteShaped "output" "${OWN_PRINT_FILE}"
  !insertmacro DeleteShaped "output" "${OWN_PRINT_PART}"
FunctionEnd
