; Widens controls to their texts. The dialog templates size buttons and
; labels for the system font's Latin letters; the Japanese fonts draw the
; kana wider, so "インストール(&I)" and "アンインストール元:" lost their first or
; last characters. The widths are measured in the control's own font, so
; the fit holds for whichever font the system chooses.

!include "WinMessages.nsh"

Var FitControl  ; the control
Var FitText     ; the text it must show whole
Var FitWidth    ; that text's width in pixels in the control's font
Var FitLeft     ; the control's place in its parent's client area
Var FitTop
Var FitRight
Var FitBottom
Var FitMore     ; how many pixels wider the control must be

; A button's text keeps this many pixels from either edge.
!define FIT_BUTTON_MARGIN 8

!macro FitTextFunctions UN
  ; FitWidth := the width of FitText in FitControl's font. An "&" (the
  ; access key's mark, not drawn) is measured too: a few pixels to spare.
  Function ${UN}FitMeasure
    Push $0
    Push $1
    Push $2
    Push $3
    SendMessage $FitControl ${WM_GETFONT} 0 0 $0
    System::Call 'user32::GetDC(p $FitControl) p .r1'
    System::Call 'gdi32::SelectObject(p r1, p r0) p .r2'
    System::Call '*(i 0, i 0) p .r3'
    StrLen $0 $FitText
    System::Call 'gdi32::GetTextExtentPoint32W(p r1, w "$FitText", i r0, p r3)'
    System::Call '*$3(i .r0, i)'
    StrCpy $FitWidth $0
    System::Free $3
    System::Call 'gdi32::SelectObject(p r1, p r2)'
    System::Call 'user32::ReleaseDC(p $FitControl, p r1)'
    Pop $3
    Pop $2
    Pop $1
    Pop $0
  FunctionEnd

  ; FitLeft, FitTop, FitRight, FitBottom := FitControl's rectangle in its
  ; parent's client coordinates.
  Function ${UN}FitPlace
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    System::Call 'user32::GetParent(p $FitControl) p .r0'
    System::Call '*(i 0, i 0, i 0, i 0) p .r1'
    System::Call 'user32::GetWindowRect(p $FitControl, p r1)'
    System::Call 'user32::MapWindowPoints(p 0, p r0, p r1, i 2)'
    System::Call '*$1(i .r2, i .r3, i .r4, i .r5)'
    System::Free $1
    StrCpy $FitLeft $2
    StrCpy $FitTop $3
    StrCpy $FitRight $4
    StrCpy $FitBottom $5
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
  FunctionEnd

  ; Moves FitControl to FitLeft..FitRight (its height kept).
  Function ${UN}FitMove
    Push $0
    Push $1
    IntOp $0 $FitRight - $FitLeft
    IntOp $1 $FitBottom - $FitTop
    System::Call 'user32::SetWindowPos(p $FitControl, p 0, i $FitLeft, i $FitTop, i r0, i r1, i 0x14)'
    Pop $1
    Pop $0
  FunctionEnd

  ; FitMore := how much wider FitControl must be to show FitText whole with
  ; the given margin on either side (0 when it is wide enough).
  Function ${UN}FitShortfall
    Exch $0  ; the margin
    Call ${UN}FitMeasure
    Call ${UN}FitPlace
    IntOp $FitMore $0 * 2
    IntOp $FitMore $FitMore + $FitWidth
    IntOp $FitMore $FitMore - $FitRight
    IntOp $FitMore $FitMore + $FitLeft
    ${If} $FitMore < 0
      StrCpy $FitMore 0
    ${EndIf}
    Pop $0
  FunctionEnd
!macroend

; Widens the outer dialog's button ID to the left until TEXT fits on it;
; the button left of it (ID LEFT_ID) moves left as far.
!macro FitButton UN ID LEFT_ID TEXT
  GetDlgItem $FitControl $HWNDPARENT ${ID}
  StrCpy $FitText "${TEXT}"
  Push ${FIT_BUTTON_MARGIN}
  Call ${UN}FitShortfall
  ${If} $FitMore > 0
    IntOp $FitLeft $FitLeft - $FitMore
    Call ${UN}FitMove
    GetDlgItem $FitControl $HWNDPARENT ${LEFT_ID}
    Call ${UN}FitPlace
    IntOp $FitLeft $FitLeft - $FitMore
    IntOp $FitRight $FitRight - $FitMore
    Call ${UN}FitMove
  ${EndIf}
!macroend

; Widens the label LABEL to the right until its text TEXT fits; the control
; RIGHT of it gives up as much of its left side.
!macro FitLabel UN LABEL RIGHT TEXT
  StrCpy $FitControl ${LABEL}
  StrCpy $FitText "${TEXT}"
  Push 1
  Call ${UN}FitShortfall
  ${If} $FitMore > 0
    IntOp $FitRight $FitRight + $FitMore
    Call ${UN}FitMove
    StrCpy $FitControl ${RIGHT}
    Call ${UN}FitPlace
    IntOp $FitLeft $FitLeft + $FitMore
    Call ${UN}FitMove
  ${EndIf}
!macroend
