@echo off
echo Hello from Kelpack!
type "%~dp0hello.txt"
pause
