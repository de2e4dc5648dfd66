; The files the setup program puts into the installation folder, by name.
; The install copies them from the stage and the uninstaller removes exactly
; these names, so a folder the shop also uses for its own files keeps them.
;
; Each list calls the macro it is given as  DO <sub-folder or ""> <name>.

; Programs, libraries, the plug-in, the tools and the default colour
; profiles: replaced on every install, removed on every uninstall.
!macro ProgramFiles DO
  !insertmacro ${DO} "" "vellox.exe"
  !insertmacro ${DO} "" "proof.exe"
  !insertmacro ${DO} "" "Draw.dll"
  !insertmacro ${DO} "" "Base.dll"
  !insertmacro ${DO} "" "BaseD.dll"
  !insertmacro ${DO} "" "SPOOL.dll"
  !insertmacro ${DO} "" "Device.dll"
  !insertmacro ${DO} "" "PFLink.dll"
  !insertmacro ${DO} "" "sRGB Color Space Profile.icm"
  !insertmacro ${DO} "" "JapanColor2001Coated.icc"
  ; The press profile of each built-in paper's total ink.
  !insertmacro ${DO} "" "JapanColor2001Coated-110.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-120.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-130.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-140.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-150.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-157.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-160.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-170.icc"
  !insertmacro ${DO} "" "JapanColor2001Coated-180.icc"
  !insertmacro ${DO} "tools" "job-maker.exe"
  !insertmacro ${DO} "tools" "test-chart.exe"
  !insertmacro ${DO} "tools" "escp-decode.exe"
  !insertmacro ${DO} "printer" "RX3.dll"
!macroend

; The device registry and the built-in papers of every machine and ink set:
; the shop edits them, so an install writes them only where none stands and
; only a purging uninstall removes them.
!macro ShopStarterFiles DO
  !insertmacro ${DO} "printer" "DEVICE.rgs"
  !insertmacro ${DO} "printer" "RX1.cpf0"
  !insertmacro ${DO} "printer" "RX1.cpf1"
  !insertmacro ${DO} "printer" "RX2.cpf0"
  !insertmacro ${DO} "printer" "RX2.cpf1"
  !insertmacro ${DO} "printer" "RX3.cpf0"
  !insertmacro ${DO} "printer" "RX3.cpf1"
  !insertmacro ${DO} "printer" "LX1.cpf0"
  !insertmacro ${DO} "printer" "LX1.cpf1"
  !insertmacro ${DO} "printer" "LX2.cpf0"
  !insertmacro ${DO} "printer" "LX2.cpf1"
  !insertmacro ${DO} "printer" "LX3.cpf0"
  !insertmacro ${DO} "printer" "LX3.cpf1"
!macroend

!macro InstallFile SUB NAME
  !if "${SUB}" == ""
    SetOutPath "$INSTDIR"
    File "${STAGE}\${NAME}"
  !else
    SetOutPath "$INSTDIR\${SUB}"
    File "${STAGE}\${SUB}\${NAME}"
  !endif
!macroend

!macro RemoveFile SUB NAME
  !if "${SUB}" == ""
    Delete "$INSTDIR\${NAME}"
  !else
    Delete "$INSTDIR\${SUB}\${NAME}"
  !endif
!macroend
