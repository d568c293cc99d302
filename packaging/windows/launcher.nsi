; varid-start.exe: what the Start-menu shortcut runs. Varid keeps its settings
; file and, at first, its archives in the folder it is started in; under
; Program Files that folder is not the user's to write. This starts Varid in
; %APPDATA%\Varid instead, making the folder when it is missing.
;   makensis -DOUTFILE=... -DICON=... launcher.nsi
Unicode true
Target amd64-unicode
Name "Varid"
OutFile "${OUTFILE}"
Icon "${ICON}"
SilentInstall silent
RequestExecutionLevel user
SetCompressor /SOLID lzma

Section
    SetShellVarContext current
    CreateDirectory "$APPDATA\Varid"
    ; Exec starts the program in $OUTDIR.
    SetOutPath "$APPDATA\Varid"
    Exec '"$EXEDIR\varid.exe"'
SectionEnd
