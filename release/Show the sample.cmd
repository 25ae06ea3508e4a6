@echo off
rem Shows the sample RULES.TXT beside this file in the viewer beside it.
rem start runs the viewer on its own, so this console closes at once.
start "" "%~dp0lorvane.exe" "%~dp0RULES.TXT"
