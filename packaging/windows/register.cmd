@echo off
rem Registers the Tabulex COM deliverables that lie beside this script (run it as an
rem administrator); "register.cmd /u" unregisters them.
setlocal
set here=%~dp0
set flag=
if /i "%~1"=="/u" set flag=/u
set status=0
for %%d in (TabulexConverter.dll Ledgerlink.dll) do (
  if exist "%here%%%d" (
    regsvr32 /s %flag% "%here%%%d"
    if errorlevel 1 (
      echo register.cmd: regsvr32 %flag% %%d failed
      set status=1
    ) else (
      echo register.cmd: %%d done
    )
  ) else (
    echo register.cmd: %%d is not in this package
  )
)
exit /b %status%
