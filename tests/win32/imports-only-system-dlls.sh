#!/bin/sh
# Fails when a Windows program imports a DLL that is not part of the system, such
# as a MinGW runtime DLL that -static should have linked in.
objdump=$1; shift
status=0
for exe in "$@"; do
  for dll in $("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    case $(echo "$dll" | tr 'A-Z' 'a-z') in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|comdlg32.dll|shell32.dll|msvcrt.dll) ;;
      *) echo "$exe imports $dll, which is not a system library"; status=1 ;;
    esac
  done
done
exit $status
